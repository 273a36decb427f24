#include "formats/udi/UdiTrackBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "formats/udi/UdiSectorFinder.h"
#include "model/Bytes.h"
#include "model/Checksums.h"

namespace morvane {
namespace {

struct SectorSpec {
    std::uint8_t sector;
    std::uint8_t sizeCode;
    bool good = true;
};

// Fills slots 0.. of track with the given sectors, data made from their number.
void FillSlots(Track& track, std::uint8_t cylinder, const std::vector<SectorSpec>& sectors) {
    track.Present = kPresent;
    for (std::size_t k = 0; k < sectors.size(); ++k) {
        SectorSlot& slot = track.Slots[k];
        slot.Present = kPresent;
        slot.Cylinder = cylinder;
        slot.Head = 1;
        slot.Sector = sectors[k].sector;
        slot.SizeCode = sectors[k].sizeCode;
        slot.DataGood = sectors[k].good ? kDataGood : 0;
        slot.DataLength = static_cast<std::uint16_t>(128u << (sectors[k].sizeCode & 3));
        for (std::size_t i = 0; i < slot.DataLength; ++i)
            slot.Data[i] = static_cast<std::uint8_t>(i * 3 + sectors[k].sector);
    }
    track.CountSectors();
}

std::vector<SectorSpec> Uniform(std::size_t count, std::uint8_t sizeCode) {
    std::vector<SectorSpec> sectors;
    for (std::size_t k = 0; k < count; ++k)
        sectors.push_back({static_cast<std::uint8_t>(k + 1), sizeCode});
    return sectors;
}

// The track read back through the clock marks, as the UDI reader does.
std::unique_ptr<Track> ReadBack(const UdiTrackImage& image) {
    auto track = std::make_unique<Track>();
    FindUdiSectors(image.Bytes, image.ClockMarks, *track);
    return track;
}

void ExpectSameSectors(const Track& expected, const Track& actual) {
    ASSERT_EQ(actual.SectorCount, expected.SectorCount);
    for (std::size_t k = 0; k < expected.SectorCount; ++k) {
        const SectorSlot& e = expected.Slots[k];
        const SectorSlot& a = actual.Slots[k];
        EXPECT_EQ(a.Cylinder, e.Cylinder) << k;
        EXPECT_EQ(a.Head, e.Head) << k;
        EXPECT_EQ(a.Sector, e.Sector) << k;
        EXPECT_EQ(a.SizeCode, e.SizeCode) << k;
        EXPECT_EQ(a.HeaderCrc, IdFieldCrc(e.Cylinder, e.Head, e.Sector, e.SizeCode)) << k;
        EXPECT_EQ(a.DataGood, e.DataGood) << k;
        ASSERT_EQ(a.DataLength, e.DataLength) << k;
        EXPECT_TRUE(std::equal(e.Data.begin(), e.Data.begin() + e.DataLength, a.Data.begin())) << k;
    }
}

class UdiTrackBuilderTest : public ::testing::Test {
  protected:
    std::unique_ptr<Track> track = std::make_unique<Track>(std::uint8_t{9});
    std::unique_ptr<UdiTrackImage> image = std::make_unique<UdiTrackImage>();
};

TEST_F(UdiTrackBuilderTest, StandardLayoutPutsFieldsAtTheirOffsets) {
    FillSlots(*track, 4, Uniform(16, 1));
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get()}, *image);
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(result.Source, UdiTrackSource::StandardLayout);
    const auto& b = image->Bytes;
    for (std::size_t i = 0; i < 80; ++i)
        ASSERT_EQ(b[i], 0x4E) << i;
    for (std::size_t i = 80; i < 92; ++i)
        ASSERT_EQ(b[i], 0x00) << i;
    for (std::size_t i = 92; i < 95; ++i) {
        EXPECT_EQ(b[i], 0xC2);
        EXPECT_TRUE(image->IsMarked(i));
    }
    EXPECT_EQ(b[95], 0xFC);
    for (std::size_t i = 96; i < 146; ++i)
        ASSERT_EQ(b[i], 0x4E) << i;
    for (std::size_t k = 0; k < 16; ++k) {
        const std::size_t s = 146 + k * 372;
        for (std::size_t i = s; i < s + 12; ++i)
            ASSERT_EQ(b[i], 0x00) << i;
        for (std::size_t i = s + 12; i < s + 15; ++i) {
            EXPECT_EQ(b[i], 0xA1);
            EXPECT_TRUE(image->IsMarked(i));
        }
        EXPECT_EQ(b[s + 15], 0xFE);
        EXPECT_EQ(b[s + 16], 4);
        EXPECT_EQ(b[s + 17], 1);
        EXPECT_EQ(b[s + 18], k + 1);
        EXPECT_EQ(b[s + 19], 1);
        const std::uint16_t idCrc = IdFieldCrc(4, 1, static_cast<std::uint8_t>(k + 1), 1);
        EXPECT_EQ(b[s + 20], idCrc >> 8);
        EXPECT_EQ(b[s + 21], idCrc & 0xFF);
        for (std::size_t i = s + 22; i < s + 44; ++i)
            ASSERT_EQ(b[i], 0x4E) << i;
        for (std::size_t i = s + 44; i < s + 56; ++i)
            ASSERT_EQ(b[i], 0x00) << i;
        for (std::size_t i = s + 56; i < s + 59; ++i)
            EXPECT_TRUE(image->IsMarked(i));
        EXPECT_EQ(b[s + 59], 0xFB);
        const SectorSlot& slot = track->Slots[k];
        EXPECT_TRUE(std::equal(slot.Data.begin(), slot.Data.begin() + 256, b.begin() + s + 60));
        const std::uint16_t dataCrc =
            DataFieldCrc(0xFB, std::span<const std::uint8_t>(slot.Data).first(256));
        EXPECT_EQ(b[s + 316], dataCrc >> 8);
        EXPECT_EQ(b[s + 317], dataCrc & 0xFF);
        for (std::size_t i = s + 318; i < s + 372; ++i)
            ASSERT_EQ(b[i], 0x4E) << i;
    }
    for (std::size_t i = 146 + 16 * 372; i < kUdiTrackLength; ++i)
        ASSERT_EQ(b[i], 0x4E);
    std::size_t marks = 0;
    for (std::size_t i = 0; i < kUdiTrackLength; ++i)
        marks += image->IsMarked(i);
    EXPECT_EQ(marks, 3u + 16 * 6);
}

TEST_F(UdiTrackBuilderTest, TenSectorsOf512FillExactlyTheTrack) {
    FillSlots(*track, 0, Uniform(10, 2));
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get()}, *image).Ok);
    // Gaps A and B lose 25 each, every gap 3 loses 12: 96 + 10 * 616 = 6256.
    const auto& b = image->Bytes;
    EXPECT_EQ(b[55 + 12], 0xC2);
    EXPECT_EQ(b[70], 0xFC);
    for (std::size_t k = 0; k < 10; ++k) {
        const std::size_t s = 96 + k * 616;
        EXPECT_EQ(b[s + 15], 0xFE) << k;
        EXPECT_EQ(b[s + 59], 0xFB) << k;
    }
    const SectorSlot& last = track->Slots[9];
    const std::uint16_t crc =
        DataFieldCrc(0xFB, std::span<const std::uint8_t>(last.Data).first(512));
    const std::size_t crcAt = kUdiTrackLength - 42 - 2;
    EXPECT_EQ(b[crcAt], crc >> 8);
    EXPECT_EQ(b[crcAt + 1], crc & 0xFF);
    for (std::size_t i = crcAt + 2; i < kUdiTrackLength; ++i)
        EXPECT_EQ(b[i], 0x4E) << i;
    ExpectSameSectors(*track, *ReadBack(*image));
}

TEST_F(UdiTrackBuilderTest, SmallExcessShortensGapsAAndBOnly) {
    // 4 x 1024, 1 x 256, 5 x 128: 6298 bytes, 42 too many; gaps A and B lose 23 each.
    std::vector<SectorSpec> sectors = Uniform(4, 3);
    sectors.push_back({5, 1});
    for (std::uint8_t r = 6; r <= 10; ++r)
        sectors.push_back({r, 0});
    FillSlots(*track, 2, sectors);
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get()}, *image).Ok);
    EXPECT_EQ(image->Bytes[57 + 12], 0xC2);
    EXPECT_EQ(image->Bytes[100 + 15], 0xFE);
    const std::size_t end = 6298 - 46;
    for (std::size_t i = end - 54; i < kUdiTrackLength; ++i)
        EXPECT_EQ(image->Bytes[i], 0x4E);
    EXPECT_NE(image->Bytes[end - 55], 0x4E);  // low CRC byte of the last sector, here not 4E
    ExpectSameSectors(*track, *ReadBack(*image));
}

TEST_F(UdiTrackBuilderTest, StandardLayoutKeepsBadSectorsBad) {
    std::vector<SectorSpec> sectors = Uniform(9, 2);
    sectors[3].good = false;
    sectors[8].good = false;
    FillSlots(*track, 30, sectors);
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get()}, *image).Ok);
    const auto back = ReadBack(*image);
    ExpectSameSectors(*track, *back);
    EXPECT_EQ(back->Slots[3].DataGood, 0);
    EXPECT_EQ(back->Slots[2].DataGood, kDataGood);
}

TEST_F(UdiTrackBuilderTest, ShortDataIsPaddedWithZeros) {
    FillSlots(*track, 0, Uniform(1, 1));
    track->Slots[0].DataLength = 10;
    std::fill_n(track->Slots[0].Data.begin() + 10, 246, std::uint8_t{0x77});
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get()}, *image).Ok);
    const auto back = ReadBack(*image);
    EXPECT_EQ(back->Slots[0].DataLength, 256);
    EXPECT_EQ(back->Slots[0].DataGood, kDataGood);
    EXPECT_TRUE(std::equal(track->Slots[0].Data.begin(), track->Slots[0].Data.begin() + 10,
                           back->Slots[0].Data.begin()));
    EXPECT_TRUE(std::all_of(back->Slots[0].Data.begin() + 10, back->Slots[0].Data.begin() + 256,
                            [](std::uint8_t b) { return b == 0; }));
}

TEST_F(UdiTrackBuilderTest, RefusesGap3CutOver36) {
    FillSlots(*track, 0, Uniform(17, 2));
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get()}, *image);
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.FailSlot.has_value());
}

TEST_F(UdiTrackBuilderTest, StandardLayoutRefusesSizeCodeAbove3AtItsSlot) {
    FillSlots(*track, 0, Uniform(5, 1));
    track->Slots[3].SizeCode = 4;
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get()}, *image);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.FailSlot, 3);
}

TEST_F(UdiTrackBuilderTest, AbsentTrackWithoutRawIsBlank) {
    FillSlots(*track, 0, Uniform(5, 1));
    track->Present = 0;
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get()}, *image);
    EXPECT_TRUE(result.Ok);
    EXPECT_EQ(result.Source, UdiTrackSource::Blank);
    EXPECT_TRUE(std::all_of(image->Bytes.begin(), image->Bytes.end(),
                            [](std::uint8_t b) { return b == 0x4E; }));
    EXPECT_TRUE(std::all_of(image->ClockMarks.begin(), image->ClockMarks.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

// A track whose raw image is a standard layout, its slots as found in it.
void MakeRawTrack(Track& raw, const std::vector<SectorSpec>& sectors) {
    auto layout = std::make_unique<Track>();
    FillSlots(*layout, 6, sectors);
    auto built = std::make_unique<UdiTrackImage>();
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{layout.get()}, *built).Ok);
    std::copy(built->Bytes.begin(), built->Bytes.end(), raw.Raw.begin());
    raw.RawLength = static_cast<std::uint16_t>(kUdiTrackLength);
    raw.RawValid = 1;
    raw.Present = kPresent;
    FindUdiSectors(built->Bytes, built->ClockMarks, raw);
}

TEST_F(UdiTrackBuilderTest, OwnRawRebuildTakesFieldsFromSlots) {
    MakeRawTrack(*track, Uniform(16, 1));
    // Edit the sectors after the read: new IDs and data must be in the rebuilt track.
    for (std::size_t k = 0; k < 16; ++k) {
        track->Slots[k].Sector = static_cast<std::uint8_t>(0x40 + k);
        std::fill_n(track->Slots[k].Data.begin(), 256, static_cast<std::uint8_t>(k));
    }
    track->Raw[500] = 0x99;  // a gap byte that only a copy of the raw image keeps
    for (bool noRestore : {false, true}) {
        const UdiTrackResult result =
            BuildUdiTrack(UdiTrackParams{track.get(), nullptr, noRestore}, *image);
        ASSERT_TRUE(result.Ok);
        EXPECT_EQ(result.Source, UdiTrackSource::OwnRaw);
        EXPECT_EQ(image->Bytes[500], noRestore ? 0x99 : 0x4E);
        auto expected = std::make_unique<Track>();
        for (std::size_t k = 0; k < 16; ++k)
            expected->Slots[k] = track->Slots[k];
        expected->CountSectors();
        ExpectSameSectors(*expected, *ReadBack(*image));
    }
    // Without the copy, the rebuild equals the standard layout of the same slots.
    auto standard = std::make_unique<Track>();
    for (std::size_t k = 0; k < 16; ++k)
        standard->Slots[k] = track->Slots[k];
    standard->Present = kPresent;
    standard->CountSectors();
    auto expectedImage = std::make_unique<UdiTrackImage>();
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{standard.get()}, *expectedImage).Ok);
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get()}, *image).Ok);
    EXPECT_EQ(image->Bytes, expectedImage->Bytes);
    EXPECT_EQ(image->ClockMarks, expectedImage->ClockMarks);
}

TEST_F(UdiTrackBuilderTest, OwnRawRebuildMarksBadSectorWithBrokenSyncAndInvertedCrc) {
    MakeRawTrack(*track, Uniform(9, 2));
    track->Slots[4].DataGood = 0;
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get()}, *image).Ok);
    const std::size_t dataMark = track->Slots[4].DataPosition - 1u;
    EXPECT_EQ(image->Bytes[dataMark - 3], 0x14);
    EXPECT_TRUE(image->IsMarked(dataMark - 3));
    const std::uint16_t crc =
        DataFieldCrc(0xFB, std::span<const std::uint8_t>(track->Slots[4].Data).first(512)) ^ 0xFFFF;
    EXPECT_EQ(image->Bytes[dataMark + 513], crc >> 8);
    EXPECT_EQ(image->Bytes[dataMark + 514], crc & 0xFF);
    const auto back = ReadBack(*image);
    EXPECT_EQ(back->Slots[4].DataGood, 0);
    EXPECT_EQ(back->Slots[3].DataGood, kDataGood);
}

// A slot with less than its whole data, as a raw-only read leaves it, over its own raw
// image: the rest of the field comes from the raw image, with the raw CRC when the field is
// the raw one unchanged; zeros and an inverted CRC only where the raw image lacks the field.
TEST_F(UdiTrackBuilderTest, OwnRawGivesTheDataASlotLacks) {
    const struct {
        const char* name;
        std::uint16_t dataLength;  // bytes the slot holds
        bool slotEdited;           // its bytes differ from the raw image's
        bool rawCrcGood;
        bool rawCut;  // RawLength ends inside the field: zeros past the slot's bytes
        bool good;    // expected DataGood on reading back
    } cases[] = {{"header only", 0, false, true, false, true},
                 {"header only, raw CRC bad", 0, false, false, false, false},
                 {"header only, field cut", 0, false, true, true, false},
                 {"part of the raw", 10, false, true, false, true},
                 {"part, edited", 10, true, true, false, false}};
    for (const auto& c : cases) {
        MakeRawTrack(*track, Uniform(5, 1));
        SectorSlot& slot = track->Slots[4];
        const std::size_t data = slot.DataPosition;
        slot.DataLength = c.dataLength;
        slot.DataGood = 0;
        if (c.slotEdited) slot.Data[0] ^= 0xFF;
        if (!c.rawCrcGood) track->Raw[data + 50] ^= 0x01;
        if (c.rawCut) track->RawLength = static_cast<std::uint16_t>(data + 100);
        Bytes expected(256, 0);
        std::copy_n(slot.Data.begin(), c.dataLength, expected.begin());
        if (!c.rawCut)
            std::copy_n(track->Raw.begin() + data + c.dataLength, 256 - c.dataLength,
                        expected.begin() + c.dataLength);
        for (bool noRestore : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (noRestore ? ", raw copied" : ""));
            ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get(), nullptr, noRestore}, *image).Ok);
            const auto back = ReadBack(*image);
            ASSERT_EQ(back->SectorCount, 5);
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), back->Slots[4].Data.begin()));
            EXPECT_EQ(back->Slots[4].DataGood, c.good ? kDataGood : 0);
            EXPECT_EQ(back->Slots[3].DataGood, kDataGood);
        }
    }
}

// A sector whose ID was found but whose data was never read is written as an ID without a
// data field, from the standard layout and from the base template alike (not as data in
// error), and the track rebuilt from that file's own raw image keeps it so.
TEST_F(UdiTrackBuilderTest, AnIdWithoutDataGetsNoDataField) {
    auto base = std::make_unique<Track>();
    MakeRawTrack(*base, Uniform(9, 2));
    for (const Track* from :
         {static_cast<const Track*>(nullptr), static_cast<const Track*>(base.get())}) {
        SCOPED_TRACE(from == nullptr ? "standard layout" : "base template");
        FillSlots(*track, 30, Uniform(9, 2));
        track->Slots[4].DataLength = 0;
        track->Slots[4].DataGood = 0;
        ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get(), from}, *image).Ok);
        const auto back = ReadBack(*image);
        ExpectSameSectors(*track, *back);
        std::copy(image->Bytes.begin(), image->Bytes.end(), back->Raw.begin());
        back->RawLength = kUdiTrackLength;
        back->RawValid = 1;
        ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{back.get()}, *image).Ok);
        ExpectSameSectors(*track, *ReadBack(*image));
    }
}

// Bytes inside an ID or data field that read as address marks are not taken for the next
// mark, whether the marks come from the track's own raw image or from the base template.
TEST_F(UdiTrackBuilderTest, MarkLookalikesInsideAFieldAreSkipped) {
    const struct {
        std::size_t at;  // offset in sector 1's 372 bytes of standard layout
        std::uint8_t third;
    } cases[] = {{160, 0xFE}, {16, 0xFB}};  // ID mark in the data, data mark in the ID
    for (const auto& c : cases) {
        for (bool fromBase : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.at << (fromBase ? " base" : " own"));
            auto raw = std::make_unique<Track>();
            MakeRawTrack(*raw, Uniform(5, 1));
            const std::uint8_t bytes[] = {0xA1, 0xA1, c.third};
            std::copy_n(bytes, 3, raw->Raw.begin() + 146 + 372 + c.at);
            // Over its own raw image, the slot holds what a read of it gives.
            if (fromBase) {
                FillSlots(*track, 6, Uniform(5, 1));
            } else if (c.at < 60) {
                raw->Slots[1].Cylinder = 0xA1;
                raw->Slots[1].Head = 0xA1;
                raw->Slots[1].Sector = c.third;
            } else {
                std::copy_n(bytes, 3, raw->Slots[1].Data.begin() + (c.at - 60));
            }
            const UdiTrackParams params =
                fromBase ? UdiTrackParams{track.get(), raw.get()} : UdiTrackParams{raw.get()};
            ASSERT_TRUE(BuildUdiTrack(params, *image).Ok);
            ExpectSameSectors(fromBase ? *track : *raw, *ReadBack(*image));
        }
    }
}

TEST_F(UdiTrackBuilderTest, OwnRawKeepsDeletedDataMark) {
    MakeRawTrack(*track, Uniform(5, 3));
    const std::size_t mark = track->Slots[2].DataPosition - 1u;
    track->Raw[mark] = 0xF8;
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get()}, *image).Ok);
    EXPECT_EQ(image->Bytes[mark], 0xF8);
    EXPECT_EQ(ReadBack(*image)->Slots[2].DataGood, kDataGood);
}

TEST_F(UdiTrackBuilderTest, IndexMarkWithinFirst15BytesFails) {
    MakeRawTrack(*track, Uniform(16, 1));
    track->Raw[10] = 0xC2;
    track->Raw[11] = 0xC2;
    track->Raw[12] = 0xFC;
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get()}, *image);
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.FailSlot.has_value());
}

TEST_F(UdiTrackBuilderTest, IndexMarkBytesInsideSectorDataAreNotTheIndex) {
    MakeRawTrack(*track, Uniform(4, 1));
    // A track read without its index mark, so the first C2 C2 FC is in sector 2's data.
    for (std::size_t x = 0; x + 2 < kUdiTrackLength; ++x) {
        if (track->Raw[x] == 0xC2 && track->Raw[x + 1] == 0xC2 && track->Raw[x + 2] == 0xFC)
            track->Raw[x + 2] = 0x4E;
    }
    const std::size_t data = track->Slots[2].DataPosition;
    for (std::size_t i = 0; i < 3; ++i) {
        track->Raw[data + 10 + i] = i < 2 ? 0xC2 : 0xFC;
        track->Slots[2].Data[10 + i] = track->Raw[data + 10 + i];
    }
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get()}, *image);
    ASSERT_TRUE(result.Ok);
    ExpectSameSectors(*track, *ReadBack(*image));
    EXPECT_EQ(image->Bytes[data + 12], 0xFC);
    EXPECT_FALSE(image->IsMarked(data + 10));  // data bytes carry no clock marks
}

TEST_F(UdiTrackBuilderTest, MoreSlotsThanIdMarksFailsAtFirstMissing) {
    MakeRawTrack(*track, Uniform(3, 1));
    FillSlots(*track, 6, Uniform(4, 1));
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get()}, *image);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.FailSlot, 3);
}

TEST_F(UdiTrackBuilderTest, OwnRawRefusesSizeCodeAbove3) {
    MakeRawTrack(*track, Uniform(4, 1));
    track->Slots[2].SizeCode = 7;
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get()}, *image);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.FailSlot, 2);
}

TEST_F(UdiTrackBuilderTest, BaseTemplateGivesMarksAndTrackGivesSectors) {
    auto base = std::make_unique<Track>();
    MakeRawTrack(*base, Uniform(9, 2));
    base->Raw[3000] = 0x99;
    FillSlots(*track, 33, Uniform(9, 2));
    track->Slots[8].DataGood = 0;
    const UdiTrackResult result =
        BuildUdiTrack(UdiTrackParams{track.get(), base.get(), true}, *image);
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(result.Source, UdiTrackSource::BaseTemplate);
    EXPECT_NE(image->Bytes[3000], 0x99);  // nothing of the base is copied but its marks
    ExpectSameSectors(*track, *ReadBack(*image));
}

TEST_F(UdiTrackBuilderTest, OwnRawWinsOverBaseTemplate) {
    auto base = std::make_unique<Track>();
    MakeRawTrack(*base, Uniform(5, 3));
    MakeRawTrack(*track, Uniform(16, 1));
    const UdiTrackResult result =
        BuildUdiTrack(UdiTrackParams{track.get(), base.get(), false}, *image);
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(result.Source, UdiTrackSource::OwnRaw);
}

// A base raw image with one ID and its data mark at dataMark (x of the data mark search).
std::unique_ptr<Track> BaseWithLateSector(std::size_t dataMark) {
    auto base = std::make_unique<Track>();
    auto put = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes)
            base->Raw[at++] = b;
    };
    put(dataMark - 40, {0xA1, 0xA1, 0xFE});
    put(dataMark, {0xA1, 0xA1, 0xFB});
    base->RawLength = 6250;
    return base;
}

TEST_F(UdiTrackBuilderTest, BaseTemplateCutsLastBadSectorThatDoesNotFit) {
    const std::size_t x = 5800;
    const auto base = BaseWithLateSector(x);
    FillSlots(*track, 1, {{1, 3, false}});
    ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get(), base.get()}, *image).Ok);
    const std::size_t kept = 6246 - x;
    EXPECT_TRUE(std::equal(track->Slots[0].Data.begin(),
                           track->Slots[0].Data.begin() + static_cast<std::ptrdiff_t>(kept),
                           image->Bytes.begin() + static_cast<std::ptrdiff_t>(x + 3)));
    EXPECT_EQ(image->Bytes[x + 3 + kept], 0x4E);
    const auto back = ReadBack(*image);
    EXPECT_EQ(back->Slots[0].DataGood, 0);
}

TEST_F(UdiTrackBuilderTest, BaseTemplateRefusesGoodSectorThatDoesNotFit) {
    const auto base = BaseWithLateSector(5800);
    FillSlots(*track, 1, {{1, 3, true}});
    const UdiTrackResult result = BuildUdiTrack(UdiTrackParams{track.get(), base.get()}, *image);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.FailSlot, 0);
}

TEST_F(UdiTrackBuilderTest, DataMarkAtTrackEndStaysInsideTheImage) {
    const auto base = BaseWithLateSector(6255);
    FillSlots(*track, 1, {{1, 0, false}});
    EXPECT_TRUE(BuildUdiTrack(UdiTrackParams{track.get(), base.get()}, *image).Ok);
    EXPECT_EQ(image->Bytes[6254], 0xA1);
    EXPECT_EQ(image->Bytes[6255], 0xA1);
}

TEST_F(UdiTrackBuilderTest, ContainerUsesBaseTrackOnlyWhenChosenAndUsable) {
    auto disk = std::make_unique<DiskImage>();
    MakeRawTrack(*disk->GetTrack(4), Uniform(9, 2));
    FillSlots(*disk->GetTrack(7), 3, Uniform(16, 1));  // does not match the base's marks
    disk->BaseTrack = 4;
    disk->UseBaseTrack = false;
    EXPECT_EQ(UsableBaseTrack(*disk), nullptr);
    EXPECT_TRUE(BuildUdiTrack(*disk, 7, *image));
    disk->UseBaseTrack = true;
    EXPECT_EQ(UsableBaseTrack(*disk), disk->GetTrack(4));
    disk->FailSlot = 77;
    EXPECT_FALSE(BuildUdiTrack(*disk, 7, *image));  // 16 sectors, the base has 9 IDs
    EXPECT_EQ(disk->FailTrack, 7);
    EXPECT_EQ(disk->FailSlot, 9);
    disk->BaseTrack = 161;
    EXPECT_EQ(UsableBaseTrack(*disk), nullptr);
    EXPECT_TRUE(BuildUdiTrack(*disk, 7, *image));
}

TEST_F(UdiTrackBuilderTest, ContainerLeavesFailSlotWhenNoSlotIsConcerned) {
    auto disk = std::make_unique<DiskImage>();
    FillSlots(*disk->GetTrack(12), 6, Uniform(17, 2));
    disk->FailSlot = 5;
    EXPECT_FALSE(BuildUdiTrack(*disk, 12, *image));
    EXPECT_EQ(disk->FailTrack, 12);
    EXPECT_EQ(disk->FailSlot, 5);
    EXPECT_TRUE(BuildUdiTrack(*disk, 200, *image));
}

// "Убрать сектор" leaves a gap among the occupied slots: whatever the track is built
// from, the sectors that remain are the ones written, in slot order.
TEST_F(UdiTrackBuilderTest, RemovedSlotLeavesOutItsSectorOnly) {
    enum class From { Standard, BaseTemplate, OwnRaw };
    for (From from : {From::Standard, From::BaseTemplate, From::OwnRaw}) {
        SCOPED_TRACE(static_cast<int>(from));
        auto base = std::make_unique<Track>();
        MakeRawTrack(*base, Uniform(16, 1));
        track = std::make_unique<Track>(std::uint8_t{9});
        if (from == From::OwnRaw)
            MakeRawTrack(*track, Uniform(16, 1));
        else
            FillSlots(*track, 6, Uniform(16, 1));
        track->Slots[5].Present = 0;
        track->CountSectors();
        const Track* usedBase = from == From::BaseTemplate ? base.get() : nullptr;
        ASSERT_TRUE(BuildUdiTrack(UdiTrackParams{track.get(), usedBase}, *image).Ok);
        const auto back = ReadBack(*image);
        std::vector<int> sectors;
        for (std::size_t k = 0; k < back->SectorCount; ++k)
            sectors.push_back(back->Slots[k].Sector);
        EXPECT_EQ(sectors, (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
        EXPECT_EQ(back->Slots[5].Data[0], track->Slots[6].Data[0]);
    }
}

}  // namespace
}  // namespace morvane
