// Sector finding in a UDI-style track through its clock-mark bitmap: which bytes start a
// field, which data field belongs to which ID field, and the slots they fill.
#include "formats/udi/UdiSectorFinder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/Bytes.h"
#include "model/Checksums.h"
#include "support/CaseName.h"

namespace morvane {
namespace {

// A track put together field by field; bytes written through Marked() lack their clock.
struct RawTrack {
    Bytes bytes;
    Bytes marks;
    void Marked(std::initializer_list<std::uint8_t> values) {
        for (std::uint8_t v : values) {
            const std::size_t i = bytes.size();
            if (marks.size() <= i / 8) marks.resize(i / 8 + 1);
            marks[i / 8] = static_cast<std::uint8_t>(marks[i / 8] | 1 << (i % 8));
            bytes.push_back(v);
        }
    }
    void Plain(std::initializer_list<std::uint8_t> values) {
        bytes.insert(bytes.end(), values);
        marks.resize((bytes.size() + 7) / 8);
    }
    void Fill(std::size_t count, std::uint8_t v) {
        bytes.insert(bytes.end(), count, v);
        marks.resize((bytes.size() + 7) / 8);
    }
    void Id(std::uint8_t r, std::uint8_t n) {
        Marked({0, 0, 0});  // sync values are not looked at, only the marks
        Plain({0xFE, 1, 0, r, n, 0x12, 0x34});
        Fill(10, 0x4E);
    }
    void Data(std::size_t size, std::uint8_t fill, bool goodCrc = true) {
        Marked({0xA1, 0xA1, 0xA1});
        Plain({0xFB});
        Bytes data(size, fill);
        std::uint16_t crc = DataFieldCrc(0xFB, data);
        if (!goodCrc) crc ^= 1;
        bytes.insert(bytes.end(), data.begin(), data.end());
        Plain({static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
        Fill(10, 0x4E);
    }
};

TEST(UdiSectorFinderTest, FindsSectorsThroughClockMarksOnly) {
    RawTrack raw;
    raw.Fill(20, 0x4E);
    raw.Id(5, 1);
    raw.Data(256, 0x55);
    auto track = std::make_unique<Track>();
    FindUdiSectors(raw.bytes, raw.marks, *track);
    ASSERT_EQ(track->SectorCount, 1);
    const SectorSlot& slot = track->Slots[0];
    EXPECT_EQ(slot.Sector, 5);
    EXPECT_EQ(slot.HeaderCrc, 0x1234);  // as stored, not checked
    EXPECT_EQ(slot.DataLength, 256);
    EXPECT_EQ(slot.DataPosition, 20 + 3 + 7 + 10 + 3 + 1);
    EXPECT_EQ(slot.DataGood, kDataGood);
}

TEST(UdiSectorFinderTest, UnmarkedBitmapFindsNothing) {
    RawTrack raw;
    raw.Id(1, 1);
    raw.Data(256, 1);
    std::fill(raw.marks.begin(), raw.marks.end(), std::uint8_t{0});
    auto track = std::make_unique<Track>();
    FindUdiSectors(raw.bytes, raw.marks, *track);
    EXPECT_EQ(track->SectorCount, 0);
}

TEST(UdiSectorFinderTest, IdWithoutDataDoesNotTakeTheNextSectorsData) {
    RawTrack raw;
    raw.Id(1, 1);
    raw.Id(2, 1);
    raw.Data(256, 0x22);
    auto track = std::make_unique<Track>();
    FindUdiSectors(raw.bytes, raw.marks, *track);
    ASSERT_EQ(track->SectorCount, 2);
    EXPECT_EQ(track->Slots[0].Sector, 1);
    EXPECT_EQ(track->Slots[0].DataLength, 0);
    EXPECT_EQ(track->Slots[1].Sector, 2);
    EXPECT_EQ(track->Slots[1].Data[0], 0x22);
}

// A data field belongs to an ID field only as the controller reads it: its mark within 43
// bytes after the ID's CRC, before any other mark. Id() leaves 10 gap bytes after the CRC
// and Data() puts three sync bytes before its mark, so after a further gap of g bytes the
// mark is 14 + g bytes past the CRC.
struct PairingPiece {
    enum Kind { Id, Data, Gap, IndexMark } kind;
    std::uint8_t value;  // Id: sector number; Data: fill byte; Gap: its length
};

struct PairingCase {
    const char* name;
    std::vector<PairingPiece> track;
    // Slot by slot: the sector number and the fill byte of its data, 0 for no data.
    std::vector<std::pair<std::uint8_t, std::uint8_t>> slots;
};

class UdiSectorPairing : public ::testing::TestWithParam<PairingCase> {};

TEST_P(UdiSectorPairing, EachIdGetsTheDataTheControllerReadsForIt) {
    RawTrack raw;
    raw.Fill(20, 0x4E);
    for (const PairingPiece& piece : GetParam().track) {
        switch (piece.kind) {
            case PairingPiece::Id:
                raw.Id(piece.value, 1);
                break;
            case PairingPiece::Data:
                raw.Data(256, piece.value);
                break;
            case PairingPiece::Gap:
                raw.Fill(piece.value, 0x4E);
                break;
            case PairingPiece::IndexMark:
                raw.Marked({0xC2, 0xC2, 0xC2});
                raw.Plain({0xFC});
                break;
        }
    }
    raw.Fill(40, 0x4E);
    auto track = std::make_unique<Track>();
    FindUdiSectors(raw.bytes, raw.marks, *track);
    const auto& slots = GetParam().slots;
    ASSERT_EQ(track->SectorCount, slots.size());
    for (std::size_t k = 0; k < slots.size(); ++k) {
        const SectorSlot& slot = track->Slots[k];
        EXPECT_EQ(slot.Sector, slots[k].first) << "slot " << k;
        const bool hasData = slots[k].second != 0;
        EXPECT_EQ(slot.DataLength, hasData ? 256 : 0) << "slot " << k;
        EXPECT_EQ(slot.DataGood, hasData ? kDataGood : 0) << "slot " << k;
        if (hasData) {
            EXPECT_EQ(slot.Data[0], slots[k].second) << "slot " << k;
        }
    }
}

using P = PairingPiece;
INSTANTIATE_TEST_SUITE_P(
    Cases, UdiSectorPairing,
    ::testing::Values(
        PairingCase{"NextIdKeepsItsOwnData",
                    {{P::Id, 1}, {P::Id, 2}, {P::Data, 0x22}},
                    {{1, 0}, {2, 0x22}}},
        PairingCase{"SeveralIdsWithoutData",
                    {{P::Id, 1}, {P::Id, 2}, {P::Id, 3}, {P::Data, 0x33}, {P::Id, 4}},
                    {{1, 0}, {2, 0}, {3, 0x33}, {4, 0}}},
        PairingCase{
            "MarkAtTheWindowsLastByte", {{P::Id, 1}, {P::Gap, 29}, {P::Data, 0x11}}, {{1, 0x11}}},
        PairingCase{"MarkOneBytePastTheWindow",
                    {{P::Id, 1}, {P::Gap, 30}, {P::Data, 0x11}, {P::Id, 2}, {P::Data, 0x22}},
                    {{1, 0}, {2, 0x22}}},
        PairingCase{"MarkFarPastTheWindow", {{P::Id, 1}, {P::Gap, 200}, {P::Data, 0x11}}, {{1, 0}}},
        PairingCase{
            "OtherMarkComesFirst", {{P::Id, 1}, {P::IndexMark, 0}, {P::Data, 0x11}}, {{1, 0}}},
        PairingCase{"DataWithoutIdIsPassedOver",
                    {{P::Data, 0x11}, {P::Id, 1}, {P::Data, 0x22}},
                    {{1, 0x22}}}),
    test::CaseName());

TEST(UdiSectorFinderTest, DataRunningPastTrackEndIsKeptAsBad) {
    RawTrack raw;
    raw.Id(1, 2);
    raw.Marked({0xA1, 0xA1, 0xA1});
    raw.Plain({0xFB});
    raw.Fill(100, 0x66);
    auto track = std::make_unique<Track>();
    FindUdiSectors(raw.bytes, raw.marks, *track);
    ASSERT_EQ(track->SectorCount, 1);
    EXPECT_EQ(track->Slots[0].DataGood, 0);
    EXPECT_EQ(track->Slots[0].DataLength, 100 - 2);
    EXPECT_EQ(track->Slots[0].Data[0], 0x66);
}

TEST(UdiSectorFinderTest, MarkAtVeryEndYieldsEmptyData) {
    RawTrack raw;
    raw.Id(1, 2);
    raw.Marked({0xA1, 0xA1, 0xA1});
    raw.Plain({0xFB});
    auto track = std::make_unique<Track>();
    FindUdiSectors(raw.bytes, raw.marks, *track);
    ASSERT_EQ(track->SectorCount, 1);
    EXPECT_EQ(track->Slots[0].DataLength, 0);
    EXPECT_EQ(track->Slots[0].DataGood, 0);
}

TEST(UdiSectorFinderTest, SectorsPastSlot31AreIgnored) {
    RawTrack raw;
    for (int k = 0; k < 40; ++k) {
        raw.Id(static_cast<std::uint8_t>(k), 0);
        raw.Data(128, static_cast<std::uint8_t>(k));
    }
    auto track = std::make_unique<Track>();
    FindUdiSectors(raw.bytes, raw.marks, *track);
    EXPECT_EQ(track->SectorCount, 32);
    EXPECT_EQ(track->Slots[31].Sector, 31);
    EXPECT_EQ(track->Slots[31].Data[0], 31);
}

TEST(UdiSectorFinderTest, HugeSizeCodeWrapsLikeA32BitShift) {
    RawTrack raw;
    raw.Id(1, 25);  // 128 << 25 leaves 32 bits: size 0
    raw.Marked({0xA1, 0xA1, 0xA1});
    raw.Plain({0xFB});
    raw.Fill(50, 0x4E);
    raw.Id(2, 6);  // 8192 bytes: runs past the end
    raw.Marked({0xA1, 0xA1, 0xA1});
    raw.Plain({0xFB});
    raw.Fill(50, 0x4E);
    auto track = std::make_unique<Track>();
    FindUdiSectors(raw.bytes, raw.marks, *track);
    ASSERT_EQ(track->SectorCount, 2);
    EXPECT_EQ(track->Slots[0].DataLength, 0);
    EXPECT_EQ(track->Slots[1].DataLength, 48);
    EXPECT_EQ(track->Slots[1].DataGood, 0);
}

}  // namespace
}  // namespace morvane
