#include <gtest/gtest.h>

#include <memory>

#include "controller/virtual/DemoDisk.h"
#include "controller/virtual/DiskImageBridge.h"
#include "controller/virtual/FormatTable.h"
#include "controller/virtual/SectorAccess.h"
#include "controller/virtual/Wd1793.h"
#include "controller/virtual/WdStatus.h"
#include "formats/Trd.h"
#include "formats/udi/UdiSectorFinder.h"
#include "model/Checksums.h"
#include "model/DiskImage.h"

namespace morvane::virt {
namespace {

void FillSlot(SectorSlot& slot, std::uint8_t c, std::uint8_t r, std::uint8_t fill, bool good) {
    slot.Present = kPresent;
    slot.Cylinder = c;
    slot.Sector = r;
    slot.SizeCode = 1;
    slot.HeaderCrc = IdFieldCrc(c, 0, r, 1);
    slot.DataLength = 256;
    slot.DataGood = good ? kDataGood : 0;
    std::fill_n(slot.Data.begin(), 256, fill);
}

TEST(DiskImageBridgeTest, TrdImageReadsBackSectorBySector) {
    Bytes trd(3 * 4096);
    for (std::size_t i = 0; i < trd.size(); ++i)
        trd[i] = static_cast<std::uint8_t>(i / 256 * 3 + i);
    auto image = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadTrd(trd, *image));
    ImageToDiskReport report;
    Wd1793 fdc;
    fdc.InsertDisk(Drive::A, DiskFromImage(*image, &report));
    EXPECT_TRUE(report.UnbuiltTracks.empty());
    for (std::uint8_t t = 0; t < 3; ++t) {
        fdc.Seek(t);
        for (std::uint8_t r = 1; r <= 16; ++r) {
            const WdReply reply = fdc.ReadSector(r);
            ASSERT_FALSE(reply.Error);
            const std::size_t at = (t * 16u + r - 1) * 256;
            EXPECT_TRUE(std::equal(reply.Data.begin(), reply.Data.end(), trd.begin() + at));
        }
    }
    fdc.Seek(3);
    EXPECT_TRUE(fdc.ReadAddresses().Error);  // not in the image: unformatted
}

TEST(DiskImageBridgeTest, SectorWithBadDataInTheImageReadsWithCrcError) {
    auto image = std::make_unique<DiskImage>();
    Track* track = image->GetTrack(6);
    track->Present = kPresent;
    FillSlot(track->Slots[0], 3, 1, 0x11, true);
    FillSlot(track->Slots[1], 3, 2, 0x22, false);
    track->CountSectors();
    Wd1793 fdc;
    fdc.InsertDisk(Drive::A, DiskFromImage(*image));
    fdc.Seek(6);
    EXPECT_EQ(fdc.ReadSector(1).Data, Bytes(256, 0x11));
    const WdReply bad = fdc.ReadSector(2);
    EXPECT_TRUE(bad.Error);
    EXPECT_EQ(bad.Status, 0x08);
    EXPECT_EQ(bad.Data, Bytes(256, 0x22));
}

TEST(DiskImageBridgeTest, RawTrackGoesInAsItIs) {
    const std::vector<std::uint8_t> numbers{1, 2, 3};
    RawTrack built = LayDownTrack(StandardFormatPairs(0, 0, numbers, 1));
    WriteDataField(built, *FindSector(built, 2, false).Id, Bytes(256, 0x42), kDataAddressMark);
    auto image = std::make_unique<DiskImage>();
    Track* track = image->GetTrack(0);
    track->Present = kPresent;
    track->RawValid = 1;
    track->RawLength = static_cast<std::uint16_t>(built.Length());
    std::copy(built.Data.begin(), built.Data.end(), track->Raw.begin());
    const auto disk = DiskFromImage(*image);
    EXPECT_EQ(disk->Track(0)->Data, built.Data);
    EXPECT_EQ(disk->Track(0)->Marks, built.Marks);
    EXPECT_EQ(ReadSector(*disk->Track(0), 2).Data, Bytes(256, 0x42));
}

// A track of sectors 1, 2, 3 whose sector 2 has lost the data mark it had; in its place
// a data mark may lie `farMark` bytes past the ID's CRC (0 for none).
RawTrack TrackWithSector2Moved(std::size_t farMark) {
    const std::vector<std::uint8_t> numbers{1, 2, 3};
    RawTrack built = LayDownTrack(StandardFormatPairs(0, 0, numbers, 1));
    for (std::uint8_t r : numbers)
        WriteDataField(built, *FindSector(built, r, false).Id, Bytes(256, r), kDataAddressMark);
    const IdField id = *FindSector(built, 2, false).Id;
    const DataField data = *FindDataField(built, id);
    for (std::size_t p = data.MarkPosition - 3; p <= data.MarkPosition; ++p)
        built.Put(p, 0x4E, false);
    if (farMark != 0) {
        const std::size_t mark = id.EndPosition() + farMark;
        for (std::size_t p = mark - 3; p < mark; ++p)
            built.Put(p, kSyncByte, true);
        built.Put(mark, kDataAddressMark, false);
        const Bytes bytes(256, 0x22);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            built.Put(mark + 1 + i, bytes[i], false);
        const std::uint16_t crc = DataFieldCrc(kDataAddressMark, bytes);
        built.Put(mark + 257, static_cast<std::uint8_t>(crc >> 8), false);
        built.Put(mark + 258, static_cast<std::uint8_t>(crc), false);
    }
    return built;
}

// The sectors a UDI track's bitmap shows are the sectors the drive reads from that track:
// an ID whose data mark is missing or too far off has no data, and never another's.
TEST(DiskImageBridgeTest, SectorsFoundInARawTrackAreWhatTheDriveReads) {
    for (const std::size_t farMark :
         {std::size_t{0}, std::size_t{43}, std::size_t{44}, std::size_t{60}}) {
        SCOPED_TRACE(farMark);
        const RawTrack built = TrackWithSector2Moved(farMark);
        auto image = std::make_unique<DiskImage>();
        Track* track = image->GetTrack(0);
        track->Present = kPresent;
        track->RawValid = 1;
        track->RawLength = static_cast<std::uint16_t>(built.Length());
        std::copy(built.Data.begin(), built.Data.end(), track->Raw.begin());
        FindUdiSectors(built.Data, built.Marks, *track);  // as the UDI reader does
        ASSERT_EQ(track->SectorCount, 3);
        Wd1793 fdc;
        fdc.InsertDisk(Drive::A, DiskFromImage(*image));
        fdc.Seek(0);
        for (std::size_t k = 0; k < 3; ++k) {
            const SectorSlot& slot = track->Slots[k];
            EXPECT_EQ(slot.Sector, k + 1);
            const WdReply reply = fdc.ReadSector(slot.Sector);
            if (slot.DataLength == 0) {
                EXPECT_TRUE(reply.Error) << "slot " << k;
                EXPECT_EQ(reply.Status & wd::kRecordNotFound, wd::kRecordNotFound) << "slot " << k;
                continue;
            }
            ASSERT_FALSE(reply.Error) << "slot " << k;
            EXPECT_TRUE(std::equal(reply.Data.begin(), reply.Data.end(), slot.Data.begin()))
                << "slot " << k;
        }
        EXPECT_EQ(track->Slots[1].DataLength, farMark == 43 ? 256 : 0);
    }
}

TEST(DiskImageBridgeTest, UnbuildableTrackIsReportedAndLeftUnformatted) {
    auto image = std::make_unique<DiskImage>();
    Track* track = image->GetTrack(9);
    track->Present = kPresent;
    FillSlot(track->Slots[0], 4, 1, 0, true);
    track->Slots[0].SizeCode = 7;  // no size the layout can give
    track->CountSectors();
    ImageToDiskReport report;
    const auto disk = DiskFromImage(*image, &report);
    EXPECT_EQ(report.UnbuiltTracks, std::vector<std::uint8_t>{9});
    EXPECT_TRUE(disk->Track(9)->Present);
    EXPECT_TRUE(ReadIdFields(*disk->Track(9)).empty());
}

TEST(DiskImageBridgeTest, DiskRoundTripsThroughTheImage) {
    const auto demo = MakeDemoDisk();
    auto image = std::make_unique<DiskImage>();
    DiskToImage(*demo, *image);
    EXPECT_EQ(image->CountTracks(), 160);
    const Track* t2 = image->GetTrack(2);
    ASSERT_EQ(t2->SectorCount, 16);
    EXPECT_EQ(t2->RawValid, 1);
    EXPECT_EQ(t2->RawLength, demo->Track(2)->Length());
    int bad = 0;
    for (std::uint8_t t = 0; t < 160; ++t) {
        for (std::uint8_t s = 0; s < 16; ++s) {
            const SectorSlot* slot = image->GetTrack(t)->GetSlot(s);
            EXPECT_EQ(slot->DataLength, 256);
            if (slot->DataGood == 0) ++bad;
        }
    }
    EXPECT_EQ(bad, 2);
    EXPECT_EQ(image->GetTrack(2)->Slots[13].DataGood, 0);

    const auto back = DiskFromImage(*image);
    for (std::uint8_t t = 0; t < 166; ++t) {
        EXPECT_EQ(back->Track(t)->Present, demo->Track(t)->Present) << int{t};
        if (!demo->Track(t)->Present) continue;
        EXPECT_EQ(back->Track(t)->Data, demo->Track(t)->Data) << int{t};
        EXPECT_EQ(back->Track(t)->Marks, demo->Track(t)->Marks) << int{t};
    }
}

}  // namespace
}  // namespace morvane::virt
