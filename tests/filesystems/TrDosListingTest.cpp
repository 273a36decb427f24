#include "filesystems/TrDosListing.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(TrDosListing, RowShowsUpperCaseHexColumns) {
    TrDosEntry e;
    e.name = TrDosName{0x01, 'o', 'o', 't', ' ', ' ', ' ', ' '};
    e.type = 'B';
    e.start = 0x5CCB;
    e.length = 0x00AF;
    e.sectors = 0x1B;
    e.firstSector = 0x0A;
    e.firstTrack = 0x9F;
    const std::array<std::string, 7> expected{"?oot    ", "B", "5CCB", "00AF", "1B", "0A", "9F"};
    EXPECT_EQ(TrDosRowTexts(e), expected);
}

struct TypeCase {
    std::uint8_t type;
    const char* text;
};

class DiskTypeTextTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(DiskTypeTextTest, NamesTheTrackCount) {
    EXPECT_EQ(DiskTypeText(GetParam().type), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Types, DiskTypeTextTest,
    ::testing::Values(TypeCase{0x16, "80-дорожек"}, TypeCase{0x18, "80-дорожек"},
                      TypeCase{0x17, "40-дорожек"}, TypeCase{0x19, "40-дорожек"},
                      TypeCase{0x15, "Не определено"}, TypeCase{0x00, "Не определено"}));

TEST(TrDosListing, DescriptionShowsTheFreeSectorOneBased) {
    TrDosCatalogue c;
    c.diskName = TrDosName{'W', 'O', 'R', 'K', ' ', ' ', ' ', ' '};
    c.diskType = 0x19;
    c.firstFreeSector = 15;
    c.firstFreeTrack = 39;
    c.freeSectors = 1;
    c.fileCount = 100;
    c.deletedCount = 3;
    const std::array<std::string, 7> expected{"WORK    ", "40-дорожек", "16", "39",
                                              "1",        "100",        "3"};
    EXPECT_EQ(TrDosDescriptionValues(c), expected);
}

}  // namespace
}  // namespace morvane
