#include "formats/td0/Td0.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>

#include "Td0TestWriter.h"
#include "model/Checksums.h"

namespace morvane {
namespace {

using test::Td0TestWriter;

Bytes Sequence(std::size_t n, std::uint8_t start = 0) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), start);
    return b;
}

class Td0Test : public ::testing::Test {
  protected:
    bool Read(const Bytes& file) { return ReadTd0(file, *disk); }
    Track& TrackAt(std::uint8_t index) { return *disk->GetTrack(index); }
    SectorSlot& Slot(std::uint8_t track, std::uint8_t slot) { return *disk->GetSlot(track, slot); }
    void ExpectRefused(const Bytes& file, std::string_view message) {
        disk->LastError.clear();
        EXPECT_FALSE(Read(file));
        EXPECT_EQ(disk->LastError, message);
    }
    std::size_t PresentTracks() const {
        std::size_t n = 0;
        for (std::uint8_t t = 0; t < kTrackCount; ++t)
            n += disk->GetTrack(t)->Present != 0;
        return n;
    }

    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();
};

// --- sectors and their encodings -------------------------------------------------------

TEST_F(Td0Test, LoadsRawEncodedSectorWithComputedHeaderCrc) {
    const Bytes data = Sequence(256);
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 1).Raw(data).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;

    const Track& t = TrackAt(0);
    EXPECT_EQ(t.Present, 255);
    EXPECT_EQ(t.SectorCount, 1);
    EXPECT_EQ(t.RawLength, 0);
    EXPECT_EQ(t.RawValid, 0);
    EXPECT_EQ(t.Number, 0);
    const SectorSlot& s = Slot(0, 0);
    EXPECT_EQ(s.Present, 255);
    EXPECT_EQ(s.Cylinder, 0);
    EXPECT_EQ(s.Head, 0);
    EXPECT_EQ(s.Sector, 1);
    EXPECT_EQ(s.SizeCode, 1);
    EXPECT_EQ(s.HeaderCrc, 0xFA0C);
    EXPECT_EQ(s.DataGood, 255);
    EXPECT_EQ(s.DataPosition, 0);
    ASSERT_EQ(s.DataLength, 256);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), s.Data.begin()));
    EXPECT_EQ(Slot(0, 1).Present, 0);
    EXPECT_EQ(PresentTracks(), 1u);
}

TEST_F(Td0Test, ShortRawBlockIsZeroFilledToTheSectorSize) {
    // The same track twice: the second pass must zero what the first one left.
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 1).Raw(Bytes(256, 0xEE));
    w.Track(1, 0, 0).Sector(0, 0, 1, 1).Raw(Bytes(100, 0x11)).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    const SectorSlot& s = Slot(0, 0);
    ASSERT_EQ(s.DataLength, 256);
    for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(s.Data[i], i < 100 ? 0x11 : 0x00) << "byte " << i;
}

TEST_F(Td0Test, RawBlockLongerThanTheSectorKeepsAllItsBytes) {
    const Bytes data = Sequence(300, 7);
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 0).Raw(data).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    ASSERT_EQ(Slot(0, 0).DataLength, 300);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), Slot(0, 0).Data.begin()));
}

TEST_F(Td0Test, PatternEncodingRepeatsThePairCountTimes) {
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 1).Pattern(128, 0xA5, 0x5A).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    const SectorSlot& s = Slot(0, 0);
    ASSERT_EQ(s.DataLength, 256);
    for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(s.Data[i], i % 2 == 0 ? 0xA5 : 0x5A) << "byte " << i;
}

TEST_F(Td0Test, PatternLongerOrShorterThanTheSectorSetsTheLargerLength) {
    Td0TestWriter w;
    w.Track(2, 0, 0).Sector(0, 0, 1, 0).Pattern(100, 1, 2).Sector(0, 0, 2, 2).Pattern(3, 4, 5);
    w.End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).DataLength, 200);
    EXPECT_EQ(Slot(0, 0).Data[199], 2);
    ASSERT_EQ(Slot(0, 1).DataLength, 512);
    EXPECT_EQ(Slot(0, 1).Data[5], 5);
    EXPECT_EQ(Slot(0, 1).Data[6], 0);
    EXPECT_EQ(Slot(0, 1).Data[511], 0);
}

TEST_F(Td0Test, BlockEncodingConcatenatesRawAndPatternBlocks) {
    Bytes blocks;
    Td0TestWriter::RawBlock(blocks, Bytes{'a', 'b', 'c'});
    Td0TestWriter::PatternBlock(blocks, 3, 0x01, 0x02);
    Td0TestWriter::RawBlock(blocks, Bytes{});
    Td0TestWriter::RawBlock(blocks, Bytes{'z'});
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 0).Blocks(blocks).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    const SectorSlot& s = Slot(0, 0);
    ASSERT_EQ(s.DataLength, 128);
    const Bytes expected{'a', 'b', 'c', 1, 2, 1, 2, 1, 2, 'z', 0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), s.Data.begin()));
}

TEST_F(Td0Test, BlockEncodingLongerThanTheSectorSetsItsLength) {
    Bytes blocks;
    Td0TestWriter::PatternBlock(blocks, 200, 0x33, 0x44);
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 0).Blocks(blocks).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).DataLength, 400);
    EXPECT_EQ(Slot(0, 0).Data[399], 0x44);
}

TEST_F(Td0Test, EmptyBlockEncodingGivesAZeroSector) {
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 1).Blocks(Bytes{}).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).DataLength, 256);
    EXPECT_EQ(Slot(0, 0).Data[0], 0);
}

TEST_F(Td0Test, LastBlockMayRunPastTheDeclaredLength) {
    // The block loop stops only once the declared length is used up, so a block that
    // starts inside it is read whole and the next record follows that block.
    Td0TestWriter w;
    w.Track(2, 0, 0).Sector(0, 0, 1, 0);
    w.RawBytes({0x02, 0x00, 0x02, 0x01, 0x02, 0xAB, 0xCD});  // length 2: type 1 fits 1 byte
    w.Sector(0, 0, 2, 0).Raw(Bytes{9}).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).Data[0], 0xAB);
    EXPECT_EQ(Slot(0, 0).Data[3], 0xCD);
    EXPECT_EQ(Slot(0, 1).Sector, 2);
    EXPECT_EQ(Slot(0, 1).Data[0], 9);
}

TEST_F(Td0Test, PatternEncodingIgnoresItsDeclaredLength) {
    // Count and pattern are read whatever the block length says; the next sector header
    // follows them.
    Td0TestWriter w;
    w.Track(2, 0, 0).Sector(0, 0, 1, 0);
    w.RawBytes({0x09, 0x00, 0x01, 0x02, 0x00, 0x77, 0x88});
    w.Sector(0, 0, 2, 0).Raw(Bytes{1, 2, 3}).End();
    w.RawBytes({0, 0, 0, 0});  // so the declared 9 bytes fit in the file
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).Data[3], 0x88);
    EXPECT_EQ(Slot(0, 1).Sector, 2);
    EXPECT_EQ(Slot(0, 1).Data[2], 3);
}

TEST_F(Td0Test, CrcErrorFlagLoadsTheDataAsBadOtherFlagsKeepItGood) {
    Td0TestWriter w;
    w.Track(3, 0, 0);
    w.Sector(0, 0, 1, 0, 0x02).Raw(Bytes(128, 1));
    w.Sector(0, 0, 2, 0, 0x04).Raw(Bytes(128, 2));
    w.Sector(0, 0, 3, 0, 0x40).Raw(Bytes(128, 3)).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    for (std::uint8_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Slot(0, i).DataGood, i == 0 ? 0 : 255) << int{i};
        EXPECT_EQ(Slot(0, i).DataLength, 128) << int{i};
        EXPECT_EQ(Slot(0, i).Data[0], i + 1);
    }
}

// TeleDisk writes no data block after a sector it skipped (0x10) or found without data
// (0x20): the sector is an ID alone, and the next record follows at once.
TEST_F(Td0Test, SectorsFlaggedWithoutDataHaveNoDataBlock) {
    for (std::uint8_t flags : {0x10, 0x20, 0x30, 0x32}) {
        SCOPED_TRACE(int{flags});
        Td0TestWriter w;
        w.Track(3, 0, 0);
        w.Sector(0, 0, 1, 1).Raw(Bytes(256, 1));
        w.Sector(0, 0, 2, 1, flags);
        w.Sector(0, 0, 3, 1).Pattern(128, 3, 3);
        w.Track(1, 0, 1).Sector(0, 1, 1, 1).Raw(Bytes(256, 4)).End();
        ASSERT_TRUE(Read(w.File())) << disk->LastError;
        const SectorSlot& noData = Slot(0, 1);
        EXPECT_EQ(noData.Present, 255);
        EXPECT_EQ(noData.Sector, 2);
        EXPECT_EQ(noData.HeaderCrc, IdFieldCrc(0, 0, 2, 1));
        EXPECT_EQ(noData.DataLength, 0);
        EXPECT_EQ(noData.DataGood, 0);
        EXPECT_EQ(Slot(0, 2).Data[255], 3);
        EXPECT_EQ(Slot(0, 2).DataGood, 255);
        EXPECT_EQ(Slot(1, 0).Data[0], 4);
        EXPECT_EQ(TrackAt(0).SectorCount, 3);
    }
}

TEST_F(Td0Test, TrackAndSectorCrcBytesAreNotChecked) {
    Td0TestWriter w;
    w.Track(1, 1, 0, 0xEE).Sector(1, 0, 1, 1, 0, 0x99).Raw(Bytes(256, 5)).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(TrackAt(2).SectorCount, 1);
    EXPECT_EQ(Slot(2, 0).HeaderCrc, IdFieldCrc(1, 0, 1, 1));
}

TEST_F(Td0Test, TrackIndexIsCylinderTimesTwoPlusHeadAndIdsStayAsRead) {
    Td0TestWriter w;
    w.Track(3, 5, 1).Sector(5, 0, 9, 1).Raw(Bytes{1});
    w.Sector(0x50, 0xA0, 1, 1).Raw(Bytes{2}).Sector(5, 0, 5, 1).Raw(Bytes{3}).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(PresentTracks(), 1u);
    ASSERT_EQ(TrackAt(11).SectorCount, 3);
    EXPECT_EQ(TrackAt(11).Number, 11);
    EXPECT_EQ(Slot(11, 0).Sector, 9);
    EXPECT_EQ(Slot(11, 0).Head, 0) << "side-1 sectors with H=0 keep it";
    EXPECT_EQ(Slot(11, 1).Cylinder, 0x50);
    EXPECT_EQ(Slot(11, 1).Head, 0xA0);
    EXPECT_EQ(Slot(11, 1).HeaderCrc, IdFieldCrc(0x50, 0xA0, 1, 1));
    EXPECT_EQ(Slot(11, 2).Sector, 5);
}

TEST_F(Td0Test, SingleDensityFlagIsNotPartOfTheSideAndAThirdSideIsDropped) {
    Td0TestWriter w;
    w.Track(1, 3, 0x81).Sector(3, 1, 1, 1).Raw(Bytes{1});
    w.Track(1, 3, 2).Sector(3, 2, 1, 1).Raw(Bytes{2}).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(PresentTracks(), 1u);
    ASSERT_EQ(TrackAt(7).SectorCount, 1);
    EXPECT_EQ(Slot(7, 0).Data[0], 1);
    EXPECT_EQ(TrackAt(8).Present, 0);
}

TEST_F(Td0Test, TrackWithNoSectorsIsPresentAndEmpty) {
    Td0TestWriter w;
    w.Track(0, 3, 0).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(TrackAt(6).Present, 255);
    EXPECT_EQ(TrackAt(6).SectorCount, 0);
}

TEST_F(Td0Test, RepeatedTrackRefillsItsSlotsFromTheFirst) {
    Td0TestWriter w;
    w.Track(3, 0, 0);
    for (std::uint8_t r = 1; r <= 3; ++r)
        w.Sector(0, 0, r, 0).Raw(Bytes{r});
    w.Track(1, 0, 0).Sector(0, 0, 7, 0).Raw(Bytes{7}).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(TrackAt(0).SectorCount, 3);
    EXPECT_EQ(Slot(0, 0).Sector, 7);
    EXPECT_EQ(Slot(0, 1).Sector, 2);
}

TEST_F(Td0Test, CommentBlockBecomesTheDiskComment) {
    Td0TestWriter w;
    w.Comment(std::string("made on a rainy day\r\nsecond line\0third\0\0", 40))
        .Track(1, 0, 0)
        .Sector(0, 0, 1, 0);
    w.Raw(Bytes(128, 0x42)).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).Data[127], 0x42);
    EXPECT_EQ(disk->DiskLog,
              (std::vector<std::string>{"made on a rainy day", "second line", "third"}));
}

TEST_F(Td0Test, StreamWithoutEndMarkIsReadToItsEnd) {
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 0).Raw(Bytes{1});
    w.Track(1, 0, 1).Sector(0, 1, 1, 0).Raw(Bytes{2});
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(PresentTracks(), 2u);
}

TEST_F(Td0Test, BytesAfterTheEndMarkAreIgnored) {
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 0).Raw(Bytes{1}).End().RawBytes({1, 2, 3, 0xFE, 0x99});
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(PresentTracks(), 1u);
}

TEST_F(Td0Test, HeaderOnlyFileGivesAnEmptyImage) {
    Td0TestWriter w;
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(PresentTracks(), 0u);
}

TEST_F(Td0Test, SignatureInMixedCaseIsReadAsPlain) {
    for (const char* sig : {"Td", "tD", "TD"}) {
        Td0TestWriter w;
        w.signature = sig;
        w.version = 11;
        w.Track(1, 0, 0).Sector(0, 0, 1, 0).Raw(Bytes{0x5E}).End();
        ASSERT_TRUE(Read(w.File())) << sig << ": " << disk->LastError;
        EXPECT_EQ(Slot(0, 0).Data[0], 0x5E) << sig;
    }
}

TEST_F(Td0Test, CompressedFileLoadsLikeItsPlainTwin) {
    for (std::uint8_t version : {20, 21}) {
        Td0TestWriter w;
        w.version = version;
        w.Comment("packed").Track(2, 1, 1);
        w.Sector(1, 1, 1, 1).Raw(Sequence(256)).Sector(1, 1, 2, 1).Pattern(128, 0xE5, 0xE6);
        w.End();
        ASSERT_TRUE(Read(w.File())) << disk->LastError;
        const Bytes plain(Slot(3, 0).Data.begin(), Slot(3, 0).Data.begin() + 256);

        w.signature = "td";
        ASSERT_TRUE(Read(w.File())) << disk->LastError;
        EXPECT_EQ(PresentTracks(), 1u);
        ASSERT_EQ(TrackAt(3).SectorCount, 2);
        EXPECT_TRUE(std::equal(plain.begin(), plain.end(), Slot(3, 0).Data.begin()));
        EXPECT_EQ(Slot(3, 1).Data[255], 0xE6);
    }
}

TEST_F(Td0Test, ClearsTheImageEvenWhenTheFileIsRefused) {
    disk->GetTrack(40)->Present = 255;
    disk->GetSlot(40, 0)->Present = 255;
    ExpectRefused(Bytes{'X', 'Y'}, kTd0ErrNotTd0);
    EXPECT_EQ(PresentTracks(), 0u);
    EXPECT_EQ(Slot(40, 0).Present, 0);
}

// --- refusals with the program's messages ----------------------------------------------

TEST_F(Td0Test, RefusesFilesWithoutTheTdSignature) {
    ExpectRefused(Bytes{}, kTd0ErrNotTd0);
    ExpectRefused(Bytes{'T'}, kTd0ErrNotTd0);
    Td0TestWriter w;
    w.signature = "XD";
    ExpectRefused(w.File(), kTd0ErrNotTd0);
    w.signature = "DT";
    ExpectRefused(w.File(), kTd0ErrNotTd0);
}

TEST_F(Td0Test, AcceptsVersionsTenToTwentyOneOnly) {
    for (int version : {0, 9, 22, 0x15 + 0x10, 255}) {
        Td0TestWriter w;
        w.version = static_cast<std::uint8_t>(version);
        ExpectRefused(w.File(), kTd0ErrVersion);
    }
    for (int version : {10, 15, 21}) {
        Td0TestWriter w;
        w.version = static_cast<std::uint8_t>(version);
        EXPECT_TRUE(Read(w.File())) << version << ": " << disk->LastError;
    }
}

TEST_F(Td0Test, RefusesHeaderCrcMismatch) {
    Td0TestWriter w;
    Bytes file = w.File();
    file[10] ^= 0x01;
    ExpectRefused(file, kTd0ErrHeaderCrc);
    file = w.File();
    file[9] ^= 0x80;  // a byte the reader ignores, still under the CRC
    ExpectRefused(file, kTd0ErrHeaderCrc);
    file = w.File();
    file[11] ^= 0x40;
    ExpectRefused(file, kTd0ErrHeaderCrc);
}

TEST_F(Td0Test, RefusesOldCompressionBelowVersionTwenty) {
    for (std::uint8_t version : {10, 11, 19}) {
        Td0TestWriter w;
        w.signature = "td";
        w.version = version;
        ExpectRefused(w.File(), kTd0ErrOldCompression);
    }
}

TEST_F(Td0Test, ChecksTheHeaderInOrderSignatureVersionCrcCompression) {
    Td0TestWriter w;
    w.signature = "td";
    w.version = 22;
    Bytes file = w.File();
    file[10] ^= 0xFF;
    ExpectRefused(file, kTd0ErrVersion);
    w.version = 19;
    file = w.File();
    file[10] ^= 0xFF;
    ExpectRefused(file, kTd0ErrHeaderCrc);
}

TEST_F(Td0Test, RefusesDataBlockRunningPastTheEnd) {
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 1).RawBytes({0x10, 0x00, 0x00, 1, 2, 3});
    ExpectRefused(w.File(), kTd0ErrSize);
    // A block that ends exactly at the end of the file is fine.
    Td0TestWriter exact;
    exact.Track(1, 0, 0).Sector(0, 0, 1, 1).RawBytes({0x04, 0x00, 0x00, 1, 2, 3});
    EXPECT_TRUE(Read(exact.File())) << disk->LastError;
}

TEST_F(Td0Test, RefusesEmptyDataBlock) {
    Td0TestWriter w;
    w.Track(2, 0, 0).Sector(0, 0, 1, 1).RawBytes({0x00, 0x00});
    w.Sector(0, 0, 2, 1).Raw(Bytes{1}).End();
    ExpectRefused(w.File(), kTd0ErrSize);
}

TEST_F(Td0Test, RefusesRawBlockAbove5000Bytes) {
    Td0TestWriter ok;
    ok.Track(1, 0, 0).Sector(0, 0, 1, 3).Raw(Bytes(4999, 0x21)).End();
    ASSERT_TRUE(Read(ok.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).DataLength, 4999);
    EXPECT_EQ(Slot(0, 0).Data[4998], 0x21);

    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 3).Raw(Bytes(5000, 0x21)).End();
    ExpectRefused(w.File(), kTd0ErrSectorSize);
}

TEST_F(Td0Test, RefusesPatternCountAbove2500) {
    Td0TestWriter ok;
    ok.Track(1, 0, 0).Sector(0, 0, 1, 3).Pattern(2500, 1, 2).End();
    ASSERT_TRUE(Read(ok.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).DataLength, 5000);
    EXPECT_EQ(Slot(0, 0).Data[4999], 2);

    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 3).Pattern(2501, 1, 2).End();
    ExpectRefused(w.File(), kTd0ErrSectorSize);
    Td0TestWriter huge;
    huge.Track(1, 0, 0).Sector(0, 0, 1, 3).Pattern(0xFFFF, 1, 2).End();
    ExpectRefused(huge.File(), kTd0ErrSectorSize);
}

TEST_F(Td0Test, RefusesUnknownEncoding) {
    for (std::uint8_t encoding : {3, 0x80, 0xFF}) {
        Td0TestWriter w;
        w.Track(1, 0, 0).Sector(0, 0, 1, 0).RawBytes({0x02, 0x00, encoding, 0x00}).End();
        ExpectRefused(w.File(), kTd0ErrFormat);
    }
}

TEST_F(Td0Test, RefusesUnknownBlockTypeInBlockEncoding) {
    Bytes blocks;
    Td0TestWriter::RawBlock(blocks, Bytes{1, 2});
    blocks.insert(blocks.end(), {2, 1, 0, 0});
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 0).Blocks(blocks).End();
    ExpectRefused(w.File(), kTd0ErrFormat);
}

TEST_F(Td0Test, KeepsTracksReadBeforeAFailure) {
    Td0TestWriter w;
    w.Track(1, 0, 0).Sector(0, 0, 1, 0).Raw(Bytes{0x61});
    w.Track(2, 0, 1).Sector(0, 1, 1, 0).Raw(Bytes{0x62});
    w.Sector(0, 1, 2, 0).RawBytes({0x02, 0x00, 0x07, 0x00}).End();
    ExpectRefused(w.File(), kTd0ErrFormat);
    EXPECT_EQ(Slot(0, 0).Data[0], 0x61);
    EXPECT_EQ(TrackAt(1).Present, 255);
    EXPECT_EQ(Slot(1, 0).Data[0], 0x62);
    EXPECT_EQ(TrackAt(1).SectorCount, 2) << "the failing sector's ID was taken before its data";
}

// --- beyond the model's capacities --------------------------------------------------------

TEST_F(Td0Test, SectorsPastTheThirtySecondAreReadButNotStored) {
    Td0TestWriter w;
    w.Track(40, 0, 0);
    for (std::uint8_t r = 1; r <= 40; ++r)
        w.Sector(0, 0, r, 0).Raw(Bytes{r});
    w.Track(1, 0, 1).Sector(0, 1, 1, 0).Raw(Bytes{0x99}).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(TrackAt(0).SectorCount, 32);
    EXPECT_EQ(Slot(0, 31).Sector, 32);
    EXPECT_EQ(Slot(0, 31).Data[0], 32);
    EXPECT_EQ(Slot(1, 0).Data[0], 0x99) << "the record after the long track is found";
}

TEST_F(Td0Test, SectorsPastTheThirtySecondAreStillChecked) {
    Td0TestWriter w;
    w.Track(34, 0, 0);
    for (std::uint8_t r = 1; r <= 33; ++r)
        w.Sector(0, 0, r, 0).Raw(Bytes{r});
    w.Sector(0, 0, 34, 0).RawBytes({0x02, 0x00, 0x05, 0x00}).End();
    ExpectRefused(w.File(), kTd0ErrFormat);
}

TEST_F(Td0Test, TracksPastIndex165AreReadButNotStored) {
    Td0TestWriter w;
    w.Track(1, 83, 0).Sector(83, 0, 1, 0).Raw(Bytes{1});
    w.Track(1, 255, 255).Sector(0, 0, 1, 0).Pattern(64, 1, 1);
    w.Track(1, 82, 1).Sector(82, 1, 1, 0).Raw(Bytes{0x77}).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(PresentTracks(), 1u);
    EXPECT_EQ(Slot(165, 0).Data[0], 0x77);
}

TEST_F(Td0Test, SizeCodeAboveTheSlotBufferIsCutAtIt) {
    // Size code 6 asks for 8192 bytes; the slot holds 6500.
    Bytes blocks;
    for (int i = 0; i < 16; ++i)
        Td0TestWriter::PatternBlock(blocks, 0, 0, 0);  // count 0: no output
    for (int i = 0; i < 16; ++i)
        Td0TestWriter::PatternBlock(blocks, 255, static_cast<std::uint8_t>(i), 0xAA);
    Td0TestWriter w;
    w.Track(2, 0, 0).Sector(0, 0, 1, 6).Blocks(blocks).Sector(0, 0, 2, 7).Raw(Bytes(10, 3));
    w.End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    const SectorSlot& big = Slot(0, 0);
    EXPECT_EQ(big.DataLength, 6500);
    EXPECT_EQ(big.Data[0], 0);
    EXPECT_EQ(big.Data[510 * 12], 12);
    EXPECT_EQ(big.Data[6499], 0xAA);
    EXPECT_EQ(Slot(0, 1).DataLength, 6500);
    EXPECT_EQ(Slot(0, 1).Data[9], 3);
    EXPECT_EQ(Slot(0, 1).Data[10], 0);
    EXPECT_EQ(Slot(0, 1).Data[6499], 0);
}

TEST_F(Td0Test, SizeCodeNineOrMoreCountsAsNoSize) {
    Td0TestWriter w;
    w.Track(2, 0, 0).Sector(0, 0, 1, 9).Raw(Bytes(10, 3)).Sector(0, 0, 2, 0xF7).Pattern(2, 1, 2);
    w.End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).DataLength, 10);
    EXPECT_EQ(Slot(0, 0).SizeCode, 9);
    EXPECT_EQ(Slot(0, 1).DataLength, 4);
    EXPECT_EQ(Slot(0, 1).SizeCode, 0xF7);
}

TEST_F(Td0Test, BlockEncodingLongerThanTheSlotIsCutAndTheNextSectorRead) {
    Bytes blocks;
    for (int i = 0; i < 30; ++i)
        Td0TestWriter::PatternBlock(blocks, 255, 0x10, 0x20);
    Td0TestWriter::RawBlock(blocks, Sequence(200));
    Td0TestWriter w;
    w.Track(2, 0, 0).Sector(0, 0, 1, 2).Blocks(blocks).Sector(0, 0, 2, 0).Raw(Bytes{0x5C}).End();
    ASSERT_TRUE(Read(w.File())) << disk->LastError;
    EXPECT_EQ(Slot(0, 0).DataLength, 6500);
    EXPECT_EQ(Slot(0, 0).Data[6499], 0x20);
    EXPECT_EQ(Slot(0, 1).Data[0], 0x5C);
}

// --- files cut short ---------------------------------------------------------------------

TEST_F(Td0Test, RefusesFileShorterThanItsHeader) {
    Td0TestWriter w;
    const Bytes file = w.File();
    for (std::size_t n = 2; n < 12; ++n)
        ExpectRefused(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)),
                      kTd0ErrHeaderCut);
}

TEST_F(Td0Test, EveryCutLengthEndsWithTheMessageOfWhereItFalls) {
    Td0TestWriter w;
    w.Comment("cut me");
    const std::size_t commentEnd = w.body.size();
    w.Track(3, 0, 0);
    const std::size_t trackHeaderEnd = w.body.size();
    w.Sector(0, 0, 1, 0);
    const std::size_t sectorHeaderStart = w.body.size() - 6;
    w.Raw(Bytes(20, 1));
    const std::size_t rawEnd = w.body.size();
    w.Sector(0, 0, 2, 0).Pattern(64, 1, 2);
    const std::size_t patternEnd = w.body.size();
    Bytes blocks;
    Td0TestWriter::RawBlock(blocks, Bytes(5, 9));
    Td0TestWriter::PatternBlock(blocks, 4, 7, 8);
    w.Sector(0, 0, 3, 0).Blocks(blocks);
    const std::size_t blocksEnd = w.body.size();
    const Bytes file = w.File();

    for (std::size_t cut = 0; cut <= w.body.size(); ++cut) {
        Bytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(12 + cut));
        const bool ok = Read(part);
        SCOPED_TRACE("cut at body byte " + std::to_string(cut));
        if (cut < commentEnd) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(disk->LastError, kTd0ErrCommentCut);
        } else if (cut == commentEnd || cut == blocksEnd) {
            EXPECT_TRUE(ok) << disk->LastError;
        } else if (cut < trackHeaderEnd) {
            EXPECT_EQ(disk->LastError, kTd0ErrTrackHeaderCut);
        } else if (cut < sectorHeaderStart + 8) {
            EXPECT_EQ(disk->LastError, kTd0ErrSectorHeaderCut);
        } else if (cut < rawEnd) {
            EXPECT_EQ(disk->LastError, kTd0ErrSize);
        } else if (cut < rawEnd + 8) {
            EXPECT_EQ(disk->LastError, kTd0ErrSectorHeaderCut);
        } else if (cut < patternEnd) {
            // The block length (5) is checked first; count and pattern follow it.
            EXPECT_EQ(disk->LastError, kTd0ErrSize);
        } else if (cut < patternEnd + 8) {
            EXPECT_EQ(disk->LastError, kTd0ErrSectorHeaderCut);
        } else {
            EXPECT_EQ(disk->LastError, kTd0ErrSize);
        }
        EXPECT_EQ(ok, disk->LastError.empty());
        disk->LastError.clear();
    }
}

TEST_F(Td0Test, RefusesPatternOrBlockDataCutByTheEndOfTheStream) {
    // Declared lengths that fit the file, contents that run past it.
    Td0TestWriter pattern;
    pattern.Track(1, 0, 0).Sector(0, 0, 1, 0).RawBytes({0x01, 0x00, 0x01, 0x40});
    ExpectRefused(pattern.File(), kTd0ErrSectorDataCut);
    Td0TestWriter raw;
    raw.Track(1, 0, 0).Sector(0, 0, 1, 0).RawBytes({0x03, 0x00, 0x02, 0x00, 0x09, 1, 2});
    ExpectRefused(raw.File(), kTd0ErrSectorDataCut);
    Td0TestWriter type;
    type.Track(1, 0, 0).Sector(0, 0, 1, 0).RawBytes({0x03, 0x00, 0x02, 0x01, 0x02});
    ExpectRefused(type.File(), kTd0ErrSectorDataCut);
}

TEST_F(Td0Test, RefusesCompressedBodyThatExpandsBeyondTheBound) {
    // One literal, then nothing but longest matches at distance 1: a few bits per 60 bytes.
    test::LzhTestEncoder enc;
    enc.Literal(0);
    for (int i = 0; i < 20000; ++i)
        enc.Match(1, 60);
    for (std::uint8_t b : {0, 0, 0, 0xFF})  // whole 4-byte track records, then the end mark
        enc.Literal(b);
    Td0TestWriter w;
    w.signature = "td";
    Bytes file = w.Header();
    const Bytes packed = enc.Finish();
    file.insert(file.end(), packed.begin(), packed.end());
    ASSERT_LT(packed.size() * 20, 20000u * 60);

    disk->LastError.clear();
    EXPECT_FALSE(ReadTd0(file, *disk, 1'000'000));
    EXPECT_EQ(disk->LastError, kTd0ErrTooLarge);
    // Under the bound the same body is decoded and read: its zero bytes are track records
    // of no sectors for cylinder 0, head 0.
    disk->LastError.clear();
    EXPECT_TRUE(ReadTd0(file, *disk, 1'300'000)) << disk->LastError;
    EXPECT_EQ(TrackAt(0).Present, 255);
    EXPECT_EQ(TrackAt(0).SectorCount, 0);
    // The default bound is far above any real disk.
    EXPECT_GE(kTd0MaxDecompressed, kTrackCount * kSlotsPerTrack * (kTrackBufferSize + 9));
}

}  // namespace
}  // namespace morvane
