#include "filesystems/Scl.h"

#include <gtest/gtest.h>

#include "support/TestDisks.h"

namespace morvane {
namespace {

using test::AddTrDosFile;
using test::ExpectedFileBytes;

class SclTest : public ::testing::Test {
  protected:
    std::unique_ptr<DiskImage> disk = test::NewTrDosDisk();
};

TEST_F(SclTest, OneFileOfOneSectorIs283Bytes) {
    const TrDosEntry e = AddTrDosFile(*disk, "one", 'C', 1, 1);
    Bytes scl;
    ASSERT_TRUE(BuildScl(*disk, std::span(&e, 1), scl));
    EXPECT_EQ(scl.size(), 283u);
    EXPECT_TRUE(std::equal(kSclSignature.begin(), kSclSignature.end(), scl.begin()));
    EXPECT_EQ(scl[8], 1);
}

TEST_F(SclTest, ChecksumIsThePlainByteSum) {
    const TrDosEntry e = AddTrDosFile(*disk, "one", 'C', 2, 1);
    Bytes before;
    ASSERT_TRUE(BuildScl(*disk, std::span(&e, 1), before));
    test::TrDosSector(*disk, 1, 2).Data[7] += 1;
    Bytes after;
    ASSERT_TRUE(BuildScl(*disk, std::span(&e, 1), after));
    EXPECT_EQ(GetLe32(after, after.size() - 4), GetLe32(before, before.size() - 4) + 1);
    EXPECT_EQ(GetLe32(after, after.size() - 4),
              SclChecksum(std::span(after).first(after.size() - 4)));
}

// Every set of files an archive can hold, from none to 128 (a full catalogue), reads back
// with the same headers and bytes.
class SclRoundTripTest : public SclTest, public ::testing::WithParamInterface<int> {};

TEST_P(SclRoundTripTest, ArchiveReadsBackIdentically) {
    std::vector<TrDosEntry> files;
    std::vector<Bytes> data;
    for (int i = 0; i < GetParam(); ++i) {
        const auto sectors = static_cast<std::uint8_t>(1 + i % 5);
        files.push_back(AddTrDosFile(*disk, "f" + std::to_string(i), "BCD#"[i % 4], sectors,
                                     static_cast<std::uint8_t>(i)));
        data.push_back(ExpectedFileBytes(static_cast<std::uint8_t>(i), sectors));
    }
    Bytes scl;
    ASSERT_TRUE(BuildScl(*disk, files, scl));
    std::vector<SclFile> back;
    std::string error;
    ASSERT_TRUE(ParseScl(scl, back, error)) << error;
    ASSERT_EQ(back.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(back[i].entry.name, files[i].name);
        EXPECT_EQ(back[i].entry.type, files[i].type);
        EXPECT_EQ(back[i].entry.start, files[i].start);
        EXPECT_EQ(back[i].entry.length, files[i].length);
        EXPECT_EQ(back[i].entry.sectors, files[i].sectors);
        EXPECT_EQ(back[i].data, data[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SclRoundTripTest, ::testing::Values(0, 1, 2, 17, 128));

TEST_F(SclTest, UnreadableSectorGivesNoArchiveAndItsPosition) {
    const TrDosEntry a = AddTrDosFile(*disk, "a", 'C', 2, 1);
    const TrDosEntry b = AddTrDosFile(*disk, "b", 'C', 2, 2);
    test::TrDosSector(*disk, 1, 4).DataLength = 0;
    const TrDosEntry both[] = {a, b};
    Bytes scl;
    SectorPosition failed;
    EXPECT_FALSE(BuildScl(*disk, both, scl, &failed));
    EXPECT_TRUE(scl.empty());
    EXPECT_EQ(failed.track, 1u);
    EXPECT_EQ(failed.sector, 4u);
    EXPECT_EQ(SectorErrorText(failed.track, failed.sector),
              "Ошибка сектора - (track 1 sector 4)..!");
}

TEST_F(SclTest, MoreThan255FilesAreRefused) {
    const std::vector<TrDosEntry> files(256);
    Bytes scl;
    EXPECT_FALSE(BuildScl(*disk, files, scl));
}

TEST_F(SclTest, ParseRefusesDamagedArchives) {
    const TrDosEntry e = AddTrDosFile(*disk, "a", 'C', 2, 1);
    Bytes scl;
    ASSERT_TRUE(BuildScl(*disk, std::span(&e, 1), scl));
    std::vector<SclFile> back;
    std::string error;
    Bytes cut(scl.begin(), scl.end() - 5);
    EXPECT_FALSE(ParseScl(cut, back, error));
    Bytes changed = scl;
    changed[100] ^= 0x40;
    EXPECT_FALSE(ParseScl(changed, back, error));
    EXPECT_EQ(error, "SCL checksum does not match");
    Bytes unsigned_ = scl;
    unsigned_[0] = 'X';
    EXPECT_FALSE(ParseScl(unsigned_, back, error));
}

}  // namespace
}  // namespace morvane
