#include <QFile>

#include "TrDosWindowFixture.h"
#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosSectors.h"
#include "support/CaseName.h"

namespace morvane::test {
namespace {

Bytes ReadBack(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return Bytes(b.begin(), b.end());
}

void WriteMarker(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
}

TEST_F(TrDosWindowTest, HobetaWritesEachSelectedFileAndRemembersTheFolder) {
    dialogs.folder = out.path();
    window->SelectRows({0, 2});
    window->SaveHobeta();
    HobetaFile back;
    std::string error;
    ASSERT_TRUE(ParseHobeta(ReadBack(Path("boot.$B")), back, error)) << error;
    EXPECT_EQ(back.data, ExpectedFileBytes(1, 2));
    ASSERT_TRUE(ParseHobeta(ReadBack(Path("code.$C")), back, error)) << error;
    EXPECT_FALSE(QFile::exists(Path("pic.$C")));
    EXPECT_EQ(hobetaDir, out.path() + QLatin1Char('/'));
}

TEST_F(TrDosWindowTest, HobetaGivesASecondFileOfTheSameNameANumber) {
    AddTrDosFile(*disk, "boot", 'B', 1, 9);
    ASSERT_TRUE(window->LoadFromImage());
    dialogs.folder = out.path();
    window->SelectRows({0, 3});
    window->SaveHobeta();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    HobetaFile back;
    std::string error;
    ASSERT_TRUE(ParseHobeta(ReadBack(Path("boot.$B")), back, error)) << error;
    EXPECT_EQ(back.data, ExpectedFileBytes(1, 2));
    ASSERT_TRUE(ParseHobeta(ReadBack(Path("boot_2.$B")), back, error)) << error;
    EXPECT_EQ(back.data, ExpectedFileBytes(9, 1));
}

TEST_F(TrDosWindowTest, HobetaFolderCancelledOrNothingSelectedWritesNothing) {
    window->SelectRows({0});
    window->SaveHobeta();  // no folder chosen
    dialogs.folder = out.path();
    window->SelectRows({});
    window->SaveHobeta();
    EXPECT_TRUE(QDir(out.path()).isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

struct OverwriteCase {
    Answer answer;
    bool overwritten;
    bool laterFileWritten;
    bool folderRemembered;
};

class HobetaOverwriteTest : public TrDosWindowTest,
                            public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(HobetaOverwriteTest, AnExistingFileIsAskedFor) {
    dialogs.folder = out.path();
    WriteMarker(Path("boot.$B"));
    dialogs.yesNoCancel = {GetParam().answer};
    window->SelectRows({0, 2});
    window->SaveHobeta();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0],
              QStringLiteral("Внимание..!|Файл boot.$B уже существует! Перезаписать?"));
    EXPECT_EQ(ReadBack(Path("boot.$B")).size() != 3, GetParam().overwritten);
    EXPECT_EQ(QFile::exists(Path("code.$C")), GetParam().laterFileWritten);
    EXPECT_EQ(hobetaDir != QStringLiteral("/nowhere/"), GetParam().folderRemembered);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HobetaOverwriteTest,
    ::testing::Values(OverwriteCase{Answer::Yes, true, true, true},
                      OverwriteCase{Answer::No, false, true, true},
                      OverwriteCase{Answer::Cancel, false, false, false}));

// Every save of the window's files: a file with a sector read in error and one not read
// whole is saved only when the user, told which sectors, says so; on No nothing at all is
// written, the whole files neither.
struct DamagedSaveCase {
    const char* name;
    void (TrDosCatalogueWindow::*save)();
    const char* written;  // the damaged file's or the one file's name
};

class DamagedSaveTest : public TrDosWindowTest,
                        public ::testing::WithParamInterface<DamagedSaveCase> {};

TEST_P(DamagedSaveTest, AsksNamingTheSectorsAndSavesOnlyOnYes) {
    FindReadableSector(*disk, 1, 15)->DataGood = 0;     // inside "pic"
    FindReadableSector(*disk, 1, 16)->DataLength = 100;  // "pic" too
    dialogs.folder = out.path();
    dialogs.saveFile = Path("set.out");
    window->SelectRows({0, 1});
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        dialogs.yesNo = yes;
        dialogs.questions.clear();
        (window.get()->*GetParam().save)();
        EXPECT_EQ(dialogs.questions,
                  QStringList{QStringLiteral(
                      "Внимание..!|Не все сектора файлов считаны без ошибок:\n"
                      "pic.C: дорожка 1 сектор 15 считан с ошибкой, дорожка 1 сектор 16 не "
                      "считан\nСохранить файлы как есть?")});
        EXPECT_EQ(QFile::exists(Path(QString::fromUtf8(GetParam().written))), yes);
        EXPECT_EQ(QDir(out.path()).isEmpty(), !yes);
        EXPECT_TRUE(dialogs.messages.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Saves, DamagedSaveTest,
    ::testing::Values(DamagedSaveCase{"Hobeta", &TrDosCatalogueWindow::SaveHobeta, "pic.$C"},
                      DamagedSaveCase{"Bin", &TrDosCatalogueWindow::SaveBin, "pic.C"},
                      DamagedSaveCase{"Scl", &TrDosCatalogueWindow::SaveScl, "set.out"},
                      DamagedSaveCase{"Tap", &TrDosCatalogueWindow::SaveTap, "set.out"}),
    CaseName());

TEST_F(TrDosWindowTest, SclWritesTheSelectedFilesAndRemembersTheFolder) {
    dialogs.saveFile = Path("set.scl");
    window->SelectRows({0, 2});
    window->SaveScl();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Сохранить файл(ы) в SCL..!"));
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Sinclair file (*.scl)|*.scl"));
    EXPECT_EQ(dialogs.saveRequests[0].directory, QStringLiteral("/nowhere/"));
    std::vector<SclFile> files;
    std::string error;
    ASSERT_TRUE(ParseScl(ReadBack(Path("set.scl")), files, error)) << error;
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].data, ExpectedFileBytes(1, 2));
    EXPECT_EQ(files[1].data, ExpectedFileBytes(3, 3));
    EXPECT_EQ(sclDir, out.path() + QLatin1Char('/'));
}

TEST_F(TrDosWindowTest, SclWithoutSelectionSaysSo) {
    dialogs.saveFile = Path("set.scl");
    window->SaveScl();
    EXPECT_EQ(dialogs.messages,
              QStringList{QStringLiteral("Ошибка..!|Файлы для сохранения не выбраны..!")});
    EXPECT_TRUE(dialogs.saveRequests.empty());
}

TEST_F(TrDosWindowTest, SclKeepsAnExistingFileOnNo) {
    dialogs.saveFile = Path("set.scl");
    WriteMarker(dialogs.saveFile);
    dialogs.yesNo = false;
    window->SelectRows({0});
    window->SaveScl();
    EXPECT_EQ(dialogs.questions,
              QStringList{QStringLiteral("Внимание..!|Файл ") + dialogs.saveFile +
                          QStringLiteral(" уже существует! Перезаписать?")});
    EXPECT_EQ(ReadBack(dialogs.saveFile).size(), 3u);
    EXPECT_EQ(sclDir, QStringLiteral("/nowhere/"));
}

// A file that cannot be replaced is named with the reason.
TEST_F(TrDosWindowTest, SclThatCannotBeWrittenSaysWhy) {
    dialogs.saveFile = Path("set.scl");
    WriteMarker(dialogs.saveFile);
    ASSERT_TRUE(QFile::setPermissions(dialogs.saveFile, QFile::ReadOwner));
    window->SelectRows({0});
    window->SaveScl();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Ошибка..!|Ошибка записи файла ") +
                                            dialogs.saveFile +
                                            QStringLiteral("\nthe file is read-only")});
    EXPECT_EQ(ReadBack(dialogs.saveFile).size(), 3u);
}

}  // namespace
}  // namespace morvane::test
