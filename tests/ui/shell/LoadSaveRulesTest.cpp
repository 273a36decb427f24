#include "ui/shell/LoadSaveRules.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "filesystems/NewImages.h"
#include "filesystems/TrDosAdding.h"

namespace morvane {
namespace {

TEST(LoadSaveRules, DispatchComparesThreeCharactersAfterTheLastDot) {
    EXPECT_EQ(DispatchFormat(QStringLiteral("/a/disk.udif")), ImageFormat::Udi);
    EXPECT_EQ(DispatchFormat(QStringLiteral("/a/DISK.Trd")), ImageFormat::Trd);
    EXPECT_EQ(DispatchFormat(QStringLiteral("x.td0")), ImageFormat::Td0);
    EXPECT_EQ(DispatchFormat(QStringLiteral("x.fdi")), ImageFormat::Fdi);
    EXPECT_EQ(DispatchFormat(QStringLiteral("game.scl")), ImageFormat::Scl);
    EXPECT_EQ(DispatchFormat(QStringLiteral("boot.$B")), ImageFormat::Hobeta);
    EXPECT_EQ(DispatchFormat(QStringLiteral("x.dsk")), ImageFormat::Unknown);
    EXPECT_EQ(DispatchFormat(QStringLiteral("x.udf")), ImageFormat::Unknown);
    EXPECT_EQ(DispatchFormat(QStringLiteral("/dir.trd/noext")), ImageFormat::Unknown);
    EXPECT_EQ(DispatchFormat(QStringLiteral("a.trd.udi")), ImageFormat::Udi);
}

TEST(LoadSaveRules, ErrorLinesQuoteTheReadersMessage) {
    EXPECT_EQ(ReadErrorLine(ImageFormat::Udi, "bad crc"),
              QStringLiteral("Error load UDI - \"bad crc\""));
    EXPECT_EQ(ReadErrorLine(ImageFormat::Fdi, "short"),
              QStringLiteral("Error load FDI -\"short\""));
    EXPECT_EQ(ReadErrorLine(ImageFormat::Td0, "x"), QStringLiteral("Error load TD0 -\"x\""));
    EXPECT_EQ(ReadErrorLine(ImageFormat::Trd, "x"), QStringLiteral("Error load TRD -\"x\""));
    auto disk = std::make_unique<DiskImage>();
    disk->FailTrack = 12;
    disk->FailSlot = 3;
    EXPECT_EQ(UdiWriteFailLine(*disk), QStringLiteral("Ошибка в дорожке - 12 / Сектор - 3"));
}

TEST(LoadSaveRules, StatusTextCountsTracks) {
    EXPECT_EQ(ImageStatusText(QStringLiteral("/d/a.trd"), 160),
              QStringLiteral("Disk Image - /d/a.trd (Дорожек - 160)"));
}

TEST(LoadSaveRules, StartNamesOfTheSaveDialogs) {
    EXPECT_EQ(SaveAsStartName(QStringLiteral("game.trd")), QStringLiteral("game"));
    EXPECT_EQ(SaveAsStartName(QStringLiteral("abc")), QString());
    EXPECT_EQ(NativeSaveStartName(QStringLiteral("game.trd")), QStringLiteral("game.udf"));
    EXPECT_EQ(NativeSaveStartName(QStringLiteral("TWILIGHT.$C")), QStringLiteral("TWILIGHT.udf"));
    EXPECT_EQ(NativeSaveStartName(QString()), QString());
    EXPECT_EQ(SaveAsSuffixForFilter(1), QStringLiteral("udi"));
    EXPECT_EQ(SaveAsSuffixForFilter(2), QStringLiteral("trd"));
    EXPECT_EQ(SaveAsSuffixForFilter(3), QStringLiteral("td0"));
    EXPECT_EQ(SaveAsSuffixForFilter(4), QStringLiteral("fdi"));
    EXPECT_EQ(SaveAsSuffixForFilter(7), QStringLiteral("udf"));
    EXPECT_EQ(SaveAsSuffixForFilter(8), QString());
}

TEST(LoadSaveRules, SingleFormatNamesTakeTheFormatsExtension) {
    EXPECT_EQ(WithExtension(QStringLiteral("/d.x/game.trd"), QStringLiteral(".udi")),
              QStringLiteral("/d.x/game.udi"));
    EXPECT_EQ(WithExtension(QStringLiteral("/d.x/game"), QStringLiteral(".udi")),
              QStringLiteral("/d.x/game.udi"));
    EXPECT_EQ(SingleSaveStartName(QStringLiteral("/s/a.udi"), QStringLiteral("/o/b.trd"),
                                  QStringLiteral(".trd")),
              QStringLiteral("/s/a.trd"));
    EXPECT_EQ(SingleSaveStartName(QString(), QStringLiteral("/o/b.td0"), QStringLiteral(".udi")),
              QStringLiteral("/o/b.udi"));
    EXPECT_EQ(SingleSaveStartName(QString(), QString(), QStringLiteral(".udi")), QString());
}

TEST(LoadSaveRules, QtFiltersKeepDescriptionsAndListPatterns) {
    const QStringList filters = QtNameFilters(LoadAsFilter());
    ASSERT_EQ(filters.size(), 7);
    EXPECT_EQ(filters[0], QStringLiteral("Универсальный образ диска (*.udi)"));
    EXPECT_EQ(filters[6],
              QStringLiteral("Поддерживаемые форматы (*.udi,*.trd,*.td0,*.fdi,*.scl,*.$?) "
                             "(*.fdi *.trd *.udi *.td0 *.scl *.$?)"));
    EXPECT_EQ(QtNameFilters(NativeFilter()),
              QStringList{QStringLiteral("Universal Disk Format (*.udf)")});
}

// A Hobeta file is named after the TR-DOS type of the image's one file.
TEST(LoadSaveRules, HobetaEntryTakesTheTypeOfTheImagesOneFile) {
    auto disk = std::make_unique<DiskImage>();
    EXPECT_EQ(SaveAsSuffixForImage(6, *disk), QStringLiteral("$C"));  // no catalogue
    CreateTrDosImage(*disk, kNewTrDosDiskName);
    TrDosFileData file;
    std::fill(file.entry.name.begin(), file.entry.name.end(), 'A');
    file.entry.type = 'B';
    file.entry.sectors = 1;
    file.entry.length = 10;
    file.data.assign(256, 0);
    std::string error;
    ASSERT_TRUE(AddTrDosFiles(*disk, {&file, 1}, error)) << error;
    EXPECT_EQ(SaveAsSuffixForImage(6, *disk), QStringLiteral("$B"));
    EXPECT_EQ(SaveAsSuffixForImage(2, *disk), QStringLiteral("trd"));
    EXPECT_EQ(SaveAsFormat(QStringLiteral("out.udf")), ImageFormat::Udf);
    EXPECT_EQ(SaveAsTargetName(QStringLiteral("/d/out.udf"), QStringLiteral("udi")),
              QStringLiteral("/d/out.udf"));
}

}  // namespace
}  // namespace morvane
