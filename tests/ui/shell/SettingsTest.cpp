#include "ui/shell/Settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(SettingsRepair, IntegersTakeLowByteAndReplaceZeroByDefault) {
    EXPECT_EQ(RepairRetryCount(0), 10);
    EXPECT_EQ(RepairRetryCount(266), 10);  // 266 & 0xFF = 10
    EXPECT_EQ(RepairRetryCount(256), 10);  // low byte 0 counts as absent
    EXPECT_EQ(RepairRetryCount(7), 7);
    EXPECT_EQ(RepairRetryCount(255), 255);
    EXPECT_EQ(RepairRetryCountWithReset(0), 5);
    EXPECT_EQ(RepairRetryCountWithReset(3), 3);
}

TEST(SettingsRepair, CylindersAreKeptInsideTheDisk) {
    EXPECT_EQ(RepairFirstCylinder(90), 0);
    EXPECT_EQ(RepairFirstCylinder(82), 82);
    EXPECT_EQ(RepairFirstCylinder(83), 0);
    EXPECT_EQ(RepairFirstCylinder(0), 0);
    EXPECT_EQ(RepairLastCylinder(100), 83);
    EXPECT_EQ(RepairLastCylinder(0), 83);
    EXPECT_EQ(RepairLastCylinder(40), 40);
}

TEST(SettingsRepair, CycleReadAndTimeOutStayWithinThirty) {
    EXPECT_EQ(RepairCycleRead(31), 5);
    EXPECT_EQ(RepairCycleRead(0), 5);
    EXPECT_EQ(RepairCycleRead(30), 30);
    EXPECT_EQ(RepairTimeOut(0), 10);
    EXPECT_EQ(RepairTimeOut(31), 10);
    EXPECT_EQ(RepairTimeOut(1), 1);
}

TEST(SettingsRepair, DriveOtherThanAOrBBecomesA) {
    EXPECT_EQ(RepairDrive(QStringLiteral("C")), QStringLiteral("A"));
    EXPECT_EQ(RepairDrive(QString()), QStringLiteral("A"));
    EXPECT_EQ(RepairDrive(QStringLiteral("b")), QStringLiteral("A"));
    EXPECT_EQ(RepairDrive(QStringLiteral("B")), QStringLiteral("B"));
}

TEST(SettingsRepair, MissingOrEmptyFolderBecomesProgramFolder) {
    auto exists = [](const QString& f) { return f == QLatin1String("/data/images"); };
    EXPECT_EQ(RepairDirectory(QStringLiteral("/gone"), QStringLiteral("/opt/morvane"), exists),
              QStringLiteral("/opt/morvane/"));
    EXPECT_EQ(RepairDirectory(QString(), QStringLiteral("/opt/morvane/"), exists),
              QStringLiteral("/opt/morvane/"));
    EXPECT_EQ(RepairDirectory(QStringLiteral("/data/images"), QStringLiteral("/opt"), exists),
              QStringLiteral("/data/images/"));
}

TEST(SettingsRepair, FolderOfFileEndsWithSeparator) {
    EXPECT_EQ(FolderOf(QStringLiteral("/a/b/disk.trd")), QStringLiteral("/a/b/"));
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("/a/b//")), QStringLiteral("/a/b/"));
}

class SettingsFileTest : public ::testing::Test {
  protected:
    QString Ini() const { return dir.filePath(QStringLiteral("Morvane.ini")); }
    QString Program() const { return WithTrailingSeparator(dir.path()); }
    void Put(const char* key, const QVariant& value) {
        QSettings ini(Ini(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Option/") + QLatin1String(key), value);
    }
    QVariant Get(const char* key) const {
        QSettings ini(Ini(), QSettings::IniFormat);
        return ini.value(QStringLiteral("Option/") + QLatin1String(key));
    }
    void AppendComment() {
        QFile file(Ini());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("; kept\n");
    }
    bool HasComment() const {
        QFile file(Ini());
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("; kept");
    }
    QTemporaryDir dir;
};

TEST_F(SettingsFileTest, FreshFileIsCreatedAndFullyPopulated) {
    SettingsStore store(Ini());
    const Settings s = store.LoadAndRepair(Program());
    EXPECT_TRUE(QFile::exists(Ini()));
    EXPECT_EQ(s.RetryCount, 10);
    EXPECT_EQ(s.LastCylinder, 83);
    EXPECT_TRUE(s.RestoreTrack);
    EXPECT_FALSE(s.CompressTd0);
    EXPECT_EQ(s.NativeImageFolder, Program());
    EXPECT_EQ(s.Drive, QStringLiteral("A"));
    for (const char* key :
         {"RetryCount", "RetryCountWithReset", "FirstCylinder", "LastCylinder", "CycleRead",
          "TimeOut", "RestoreTrack", "TD0arch", "OverlapTrackAndData", "SetSectorSizeFromHead",
          "Directory_1", "Directory_2", "HobetaDir", "SCLDir", "Drive"}) {
        EXPECT_TRUE(Get(key).isValid()) << key;
    }
    EXPECT_EQ(Get("TimeOut").toInt(), 10);
    EXPECT_EQ(Get("RestoreTrack").toBool(), true);
}

TEST_F(SettingsFileTest, RepairsStoredValuesAndWritesThemBack) {
    Put("FirstCylinder", 90);
    Put("LastCylinder", 100);
    Put("CycleRead", 31);
    Put("TimeOut", 0);
    Put("RetryCount", 266);
    Put("Drive", QStringLiteral("C"));
    Put("HobetaDir", dir.filePath(QStringLiteral("no-such-folder")));
    SettingsStore store(Ini());
    const Settings s = store.LoadAndRepair(Program());
    EXPECT_EQ(s.FirstCylinder, 0);
    EXPECT_EQ(s.LastCylinder, 83);
    EXPECT_EQ(s.CycleRead, 5);
    EXPECT_EQ(s.TimeOut, 10);
    EXPECT_EQ(s.RetryCount, 10);
    EXPECT_EQ(s.Drive, QStringLiteral("A"));
    EXPECT_EQ(s.HobetaDir, Program());
    EXPECT_EQ(Get("FirstCylinder").toInt(), 0);
    EXPECT_EQ(Get("LastCylinder").toInt(), 83);
    EXPECT_EQ(Get("Drive").toString(), QStringLiteral("A"));
    EXPECT_EQ(Get("HobetaDir").toString(), Program());
}

TEST_F(SettingsFileTest, KeepsValidValuesAndExistingFolders) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("images")));
    const QString images = dir.filePath(QStringLiteral("images"));
    Put("SCLDir", images);
    Put("Drive", QStringLiteral("B"));
    Put("RetryCountWithReset", 7);
    Put("TD0arch", true);
    SettingsStore store(Ini());
    const Settings s = store.LoadAndRepair(Program());
    EXPECT_EQ(s.SCLDir, images + QLatin1Char('/'));
    EXPECT_EQ(s.Drive, QStringLiteral("B"));
    EXPECT_EQ(s.RetryCountWithReset, 7);
    EXPECT_TRUE(s.CompressTd0);
}

TEST_F(SettingsFileTest, NonNumericIntegerGivesDefault) {
    Put("CycleRead", QStringLiteral("many"));
    SettingsStore store(Ini());
    EXPECT_EQ(store.LoadAndRepair(Program()).CycleRead, 5);
}

TEST_F(SettingsFileTest, StoredFalseRestoreTrackSurvivesRestart) {
    Put("RestoreTrack", false);
    SettingsStore store(Ini());
    EXPECT_FALSE(store.LoadAndRepair(Program()).RestoreTrack);
}

// A rewrite of the file drops comment lines, so a kept comment shows the file was left
// alone; a repaired value still reaches it.
TEST_F(SettingsFileTest, IntactFileIsNotRewrittenAtStart) {
    SettingsStore(Ini()).LoadAndRepair(Program());
    AppendComment();
    SettingsStore(Ini()).LoadAndRepair(Program());
    EXPECT_TRUE(HasComment());
}

TEST_F(SettingsFileTest, FileWithARepairedValueIsRewritten) {
    SettingsStore(Ini()).LoadAndRepair(Program());
    Put("CycleRead", 99);
    AppendComment();
    SettingsStore(Ini()).LoadAndRepair(Program());
    EXPECT_FALSE(HasComment());
    EXPECT_EQ(Get("CycleRead").toInt(), 5);
}

TEST_F(SettingsFileTest, DirectoryAndDriveWritesReachTheFileAtOnce) {
    SettingsStore store(Ini());
    store.LoadAndRepair(Program());
    store.WriteImageFolder(QStringLiteral("/x/y/"));
    store.WriteDrive(QStringLiteral("B"));
    EXPECT_EQ(Get("Directory_2").toString(), QStringLiteral("/x/y/"));
    EXPECT_EQ(Get("Drive").toString(), QStringLiteral("B"));
}

TEST_F(SettingsFileTest, VirtualControllerChoiceHasItsOwnSection) {
    SettingsStore store(Ini());
    EXPECT_FALSE(store.ReadVirtualController().Enabled);
    store.WriteVirtualController({true, QStringLiteral("/disks/demo.trd")});
    SettingsStore again(Ini());
    const VirtualControllerChoice c = again.ReadVirtualController();
    EXPECT_TRUE(c.Enabled);
    EXPECT_EQ(c.ImagePath, QStringLiteral("/disks/demo.trd"));
    QSettings ini(Ini(), QSettings::IniFormat);
    EXPECT_TRUE(ini.value(QStringLiteral("VirtualController/Enabled")).toBool());
    EXPECT_FALSE(ini.contains(QStringLiteral("Option/Enabled")));
}

TEST(SettingsLocation, ReadOnlyProgramFolderFallsBackToThePerUserFolder) {
    const QString program = QStringLiteral("/opt/morvane/");
    const QString user = QStringLiteral("/home/u/.config/Morvane");
    EXPECT_EQ(ChooseIniFolder(program, false, true, user), program);
    EXPECT_EQ(ChooseIniFolder(program, true, false, user), program);  // a writable ini wins
    EXPECT_EQ(ChooseIniFolder(program, false, false, user), user + QLatin1Char('/'));
    EXPECT_EQ(ChooseIniFolder(program, false, false, QString()), program);
}

TEST(SettingsLocation, SystemProgramFoldersAreNotWrittenEvenWhenWritable) {
    for (const char* folder : {"/usr/bin/", "/usr/local/bin/", "/bin/", "/sbin/"})
        EXPECT_TRUE(IsSharedProgramFolder(QLatin1String(folder))) << folder;
    for (const char* folder : {"/opt/morvane/", "/home/u/morvane/build/", "/usrlocal/"})
        EXPECT_FALSE(IsSharedProgramFolder(QLatin1String(folder))) << folder;
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

// The screen viewer's zoom in section "Interface": what the file holds, brought to 1..4.
TEST(ScreenZoomSetting, ReadBackInRange) {
    const std::pair<const char*, int> cases[] = {{"", 1}, {"3", 3}, {"0", 1}, {"9", 4}, {"x", 1}};
    for (const auto& [stored, zoom] : cases) {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Morvane.ini"));
        if (*stored != '\0')
            QSettings(ini, QSettings::IniFormat)
                .setValue(QStringLiteral("Interface/ScreenZoom"), QString::fromLatin1(stored));
        EXPECT_EQ(SettingsStore(ini).ReadScreenZoom(), zoom) << stored;
    }
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Morvane.ini"));
    SettingsStore(ini).WriteScreenZoom(2);
    EXPECT_EQ(SettingsStore(ini).ReadScreenZoom(), 2);
}

}  // namespace
}  // namespace morvane
