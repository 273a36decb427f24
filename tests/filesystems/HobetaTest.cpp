#include "filesystems/Hobeta.h"

#include <gtest/gtest.h>

#include "support/TestDisks.h"

namespace morvane {
namespace {

using test::AddTrDosFile;
using test::ExpectedFileBytes;

TrDosEntry Named(std::initializer_list<std::uint8_t> name, std::uint8_t type) {
    TrDosEntry e;
    e.name.fill(' ');
    std::copy(name.begin(), name.end(), e.name.begin());
    e.type = type;
    return e;
}

TEST(Hobeta, HeaderHoldsTheEntryAndItsChecksum) {
    TrDosEntry e = Named({'b', 'o', 'o', 't'}, 'B');
    e.start = 0x0102;
    e.length = 0x0304;
    e.sectors = 5;
    const Bytes h = HobetaHeader(e);
    ASSERT_EQ(h.size(), kHobetaHeaderSize);
    EXPECT_EQ(h[13], 0);
    EXPECT_EQ(h[14], 5);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 15; ++i)
        sum += h[i];
    EXPECT_EQ(GetLe16(h, 15), static_cast<std::uint16_t>(257 * sum + 105));
    EXPECT_EQ(HobetaChecksum(Bytes(15, 0)), 105);
}

struct NameCase {
    TrDosName name;
    std::uint8_t type;
    const char* fileName;
};

class HobetaNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(HobetaNameTest, ReplacesWhatCannotStandInAFileName) {
    TrDosEntry e;
    e.name = GetParam().name;
    e.type = GetParam().type;
    EXPECT_EQ(HobetaFileName(e).FileName(), GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HobetaNameTest,
    ::testing::Values(NameCase{{'b', 'o', 'o', 't', ' ', ' ', ' ', ' '}, 'B', "boot.$B"},
                      NameCase{{'a', '?', 'b', '*', ' ', ' ', ' ', ' '}, 'C', "a_b_.$C"},
                      NameCase{{'a', '/', '\\', ':', '<', '>', '|', '"'}, 'C', "a_______.$C"},
                      NameCase{{0x01, 'x', ' ', ' ', ' ', ' ', 0x07, ' '}, 'D', "_x.$D"},
                      NameCase{{'q', ' ', 'q', ' ', ' ', ' ', ' ', ' '}, '?', "q q.$_"},
                      NameCase{{'t', ' ', ' ', ' ', ' ', ' ', ' ', ' '}, 0x05, "t.$_"},
                      NameCase{{0xC8, 0xC3, 0xD0, 0xC0, ' ', ' ', ' ', ' '}, 'B', "ИГРА.$B"},
                      NameCase{{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}, 'C', "_.$C"}));

TEST(Hobeta, FileOfTheImageReadsBackWithTheCatalogueBytesUnchanged) {
    auto disk = test::NewTrDosDisk();
    const TrDosEntry e = AddTrDosFile(*disk, "a?b", 'C', 17, 9);
    Bytes file;
    ASSERT_TRUE(BuildHobeta(*disk, e, file));
    EXPECT_EQ(file.size(), 17u + 17u * 256u);
    HobetaFile back;
    std::string error;
    ASSERT_TRUE(ParseHobeta(file, back, error)) << error;
    EXPECT_EQ(back.entry.name, e.name);
    EXPECT_EQ(back.entry.length, e.length);
    EXPECT_EQ(back.data, ExpectedFileBytes(9, 17));
}

TEST(Hobeta, StopsAtAnUnreadableSector) {
    auto disk = test::NewTrDosDisk();
    const TrDosEntry e = AddTrDosFile(*disk, "x", 'C', 20, 1);  // runs into track 2
    disk->GetTrack(2)->Slots[1].Present = 0;
    Bytes file;
    SectorPosition failed;
    EXPECT_FALSE(BuildHobeta(*disk, e, file, &failed));
    EXPECT_EQ(failed.track, 2u);
    EXPECT_EQ(failed.sector, 2u);
}

TEST(Hobeta, ParseRefusesAWrongChecksumAndAShortFile) {
    auto disk = test::NewTrDosDisk();
    const TrDosEntry e = AddTrDosFile(*disk, "x", 'C', 2, 1);
    Bytes file;
    ASSERT_TRUE(BuildHobeta(*disk, e, file));
    HobetaFile back;
    std::string error;
    Bytes shortFile(file.begin(), file.end() - 1);
    EXPECT_FALSE(ParseHobeta(shortFile, back, error));
    file[3] ^= 1;
    EXPECT_FALSE(ParseHobeta(file, back, error));
    EXPECT_EQ(error, "Hobeta header checksum does not match");
}

}  // namespace
}  // namespace morvane
