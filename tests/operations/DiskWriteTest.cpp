// Writing an image onto the emulated disk: refusals before anything is written, tracks
// formatted after their layout and written, the verify read, and formatting a new disk.
#include <gtest/gtest.h>

#include <algorithm>

#include "OperationsFixture.h"
#include "controller/virtual/VirtualDisk.h"
#include "filesystems/NewImages.h"
#include "filesystems/TrDosCatalogue.h"
#include "operations/DiskWrite.h"

namespace morvane {
namespace {

using test::OperationsFixture;

constexpr std::uint8_t kReadSectors = 0x24, kWriteTrack = 0x30, kWriteSector = 0x31;
constexpr int kImageTracks = 4;

class DiskWriteTest : public OperationsFixture {
  protected:
    // Tracks 0..3 of a TR-DOS layout, each sector's bytes telling its track and number.
    void SmallImage() {
        CreateTrDosImage(*disk, "WRITE");
        for (std::size_t t = kImageTracks; t < kTrackCount; ++t)
            disk->GetTrack(static_cast<std::uint8_t>(t))->Present = 0;
        for (std::uint8_t t = 0; t < kImageTracks; ++t)
            for (SectorSlot& s : disk->GetTrack(t)->Slots)
                for (std::size_t i = 0; i < s.DataLength; ++i)
                    s.Data[i] = static_cast<std::uint8_t>(t * 31 + s.Sector * 7 + i);
    }
    void BlankDisk() { device->InsertDisk(virt::Drive::A, std::make_unique<virt::VirtualDisk>()); }
    std::unique_ptr<DiskImage> DeviceDisk() {
        auto saved = std::make_unique<DiskImage>();
        EXPECT_TRUE(device->SaveImage(virt::Drive::A, *saved));
        return saved;
    }
    // Every occupied slot of the image's track t is on the disk with the same bytes.
    static void ExpectSameSectors(const Track& image, const Track& saved) {
        for (const SectorSlot& s : image.Slots) {
            if (s.Present == 0) continue;
            const auto found = std::find_if(
                saved.Slots.begin(), saved.Slots.end(),
                [&](const SectorSlot& d) { return d.Present != 0 && d.Sector == s.Sector; });
            ASSERT_NE(found, saved.Slots.end())
                << "track " << int(image.Number) << " sector " << int(s.Sector);
            EXPECT_EQ(found->DataGood, kDataGood);
            EXPECT_TRUE(
                std::equal(s.Data.begin(), s.Data.begin() + s.DataLength, found->Data.begin()));
        }
    }
};

TEST_F(DiskWriteTest, WriteProtectedDiskIsRefusedBeforeAnySeekOrWrite) {
    SmallImage();
    device->SetWriteProtected(virt::Drive::A, true);
    OperationContext ctx = Ctx();
    const DiskWriteResult result = WriteWholeDisk(ctx);
    EXPECT_EQ(result.outcome, OperationOutcome::Stopped);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Диск защищен от записи!"});
    EXPECT_TRUE(SeekTargets().empty());
    EXPECT_TRUE(Frames(kWriteTrack).empty());
    EXPECT_TRUE(Frames(kWriteSector).empty());
}

TEST_F(DiskWriteTest, UnwritableLayoutIsRefusedBeforeAnything) {
    SmallImage();
    Track& track = *disk->GetTrack(2);
    for (std::size_t i = 0; i < 18; ++i) {
        track.Slots[i].Present = kPresent;
        track.Slots[i].SizeCode = 1;
    }
    OperationContext ctx = Ctx();
    const DiskWriteResult result = WriteWholeDisk(ctx);
    EXPECT_EQ(result.outcome, OperationOutcome::Refused);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text.rfind("Дорожка 2: ", 0), 0u) << host.messages[0].text;
    EXPECT_TRUE(device->ReceivedFrames().empty());
}

TEST_F(DiskWriteTest, PresentTracksAreWrittenAndVerifiedOthersLeftAlone) {
    SmallImage();
    const std::unique_ptr<DiskImage> before = DeviceDisk();  // the demo disk
    OperationContext ctx = Ctx();
    const DiskWriteResult result = WriteWholeDisk(ctx);
    EXPECT_EQ(result.outcome, OperationOutcome::Done);
    EXPECT_EQ(result.tracksWritten, kImageTracks);
    EXPECT_EQ(result.sectorsWritten, kImageTracks * 16);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(Frames(kWriteTrack).size(), std::size_t{kImageTracks});
    EXPECT_EQ(Frames(kReadSectors).size(), std::size_t{kImageTracks});
    EXPECT_TRUE(Logged("Записано дорожек - 4"));
    EXPECT_TRUE(Logged("Записано секторов - 64"));
    const std::unique_ptr<DiskImage> after = DeviceDisk();
    for (std::uint8_t t = 0; t < kImageTracks; ++t)
        ExpectSameSectors(*disk->GetTrack(t), *after->GetTrack(t));
    ExpectSameSectors(*before->GetTrack(kImageTracks), *after->GetTrack(kImageTracks));
}

TEST_F(DiskWriteTest, VerifyMismatchIsLoggedByTrackAndSector) {
    SmallImage();
    BlankDisk();
    device->Faults().AddDataCrcError(virt::Drive::A, 1, 3);
    OperationContext ctx = Ctx();
    const DiskWriteResult result = WriteWholeDisk(ctx);
    EXPECT_EQ(result.outcome, OperationOutcome::Done);
    EXPECT_EQ(result.failed, (std::vector<WrittenSector>{{1, 3}}));
    EXPECT_TRUE(Logged("Сектор не прошел проверку - дорожка 1 / сектор 3"));
}

TEST_F(DiskWriteTest, WithoutVerifyNothingIsReadBack) {
    SmallImage();
    BlankDisk();
    OperationContext ctx = Ctx();
    const DiskWriteResult result = WriteWholeDisk(ctx, {false});
    EXPECT_EQ(result.outcome, OperationOutcome::Done);
    EXPECT_TRUE(Frames(kReadSectors).empty());
    EXPECT_EQ(result.sectorsWritten, kImageTracks * 16);
}

TEST_F(DiskWriteTest, CancelEndsTheRunBetweenSteps) {
    SmallImage();
    BlankDisk();
    host.onRunTrack = [this](const std::string& track) { host.cancel = track == "1"; };
    OperationContext ctx = Ctx();
    const DiskWriteResult result = WriteWholeDisk(ctx);
    EXPECT_EQ(result.outcome, OperationOutcome::Cancelled);
    EXPECT_EQ(result.tracksWritten, 1);
    // Track 1 was formatted, then the run ended before its sectors.
    EXPECT_EQ(Frames(kWriteTrack).size(), 2u);
    EXPECT_EQ(Frames(kWriteSector).size(), 16u);
    EXPECT_EQ(host.runEvents.back(), "end");
}

TEST_F(DiskWriteTest, WriteImageTrackWritesTheSelectedTrackOnly) {
    SmallImage();
    BlankDisk();
    // Bad data is the best copy there is: written, and said to be from a failed read.
    disk->GetTrack(2)->Slots[4].DataGood = 0;
    OperationContext ctx = Ctx();
    EXPECT_EQ(WriteImageTrack(ctx, {2, 0}), OperationOutcome::Done);
    EXPECT_EQ(Frames(kWriteTrack).size(), 1u);
    EXPECT_EQ(Frames(kWriteSector).size(), 16u);
    EXPECT_TRUE(Logged("Записано секторов - 16"));
    EXPECT_TRUE(Logged("Записан сбойный сектор - дорожка 2 / сектор " +
                       std::to_string(disk->GetTrack(2)->Slots[4].Sector)));
    const std::unique_ptr<DiskImage> after = DeviceDisk();
    EXPECT_EQ(after->GetTrack(2)->CountSectors(), 16);
    EXPECT_EQ(after->GetTrack(3)->Present, 0);
    disk->GetTrack(2)->Slots[4].DataGood = kDataGood;
    ExpectSameSectors(*disk->GetTrack(2), *after->GetTrack(2));
}

TEST_F(DiskWriteTest, FormatTrDosLeavesAnEmptyCatalogueAndTheImageAlone) {
    BlankDisk();
    OperationContext ctx = Ctx();
    const DiskWriteResult result = FormatWholeDisk(ctx, NewDiskKind::TrDos, "FRESH");
    EXPECT_EQ(result.outcome, OperationOutcome::Done);
    EXPECT_EQ(result.tracksWritten, 160);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(disk->CountTracks(), 0);
    TrDosCatalogue catalogue;
    ASSERT_TRUE(ReadTrDosCatalogue(*DeviceDisk(), catalogue));
    EXPECT_EQ(ZxDiskNameText(catalogue.diskName), "FRESH   ");
    EXPECT_EQ(catalogue.count, 0);
    EXPECT_EQ(catalogue.freeSectors, 2544);
}

}  // namespace
}  // namespace morvane
