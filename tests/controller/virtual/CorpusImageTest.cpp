// Real images written by other tools, loaded into a drive: every good sector of the image
// reads back through the emulated WD1793 with the same data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "controller/virtual/VirtualController.h"
#include "imagefiles/ImageFiles.h"
#include "model/SizeCode.h"
#include "model/DiskImage.h"
#include "support/Corpus.h"

namespace morvane::virt {
namespace {

bool UniqueOnTrack(const Track& track, std::uint8_t r) {
    int count = 0;
    for (const SectorSlot& s : track.Slots)
        count += (s.Present != 0 && s.Sector == r) ? 1 : 0;
    return count == 1;
}

class CorpusImageTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusImageTest, GoodSectorsReadBackThroughTheDrive) {
    const std::filesystem::path path = test::CorpusDir() / GetParam();
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "corpus image absent: " << path;
    auto image = std::make_unique<DiskImage>();
    ASSERT_TRUE(LoadImageFile(path.string(), *image)) << image->LastError;
    VirtualController vc({.DemoDiskInDriveA = false});
    ImageToDiskReport report;
    vc.LoadImage(Drive::A, *image, &report);
    Wd1793& fdc = vc.Fdc();
    std::size_t compared = 0;
    for (std::uint8_t t = 0; t < 166; ++t) {
        const Track* track = image->GetTrack(t);
        if (track->Present == 0) continue;
        if (std::find(report.UnbuiltTracks.begin(), report.UnbuiltTracks.end(), t) !=
            report.UnbuiltTracks.end())
            continue;
        fdc.Seek(t);
        for (const SectorSlot& slot : track->Slots) {
            if (slot.Present == 0 || slot.DataGood == 0 || slot.SizeCode > kMaxSizeCode) continue;
            if (!UniqueOnTrack(*track, slot.Sector)) continue;
            const WdReply reply = fdc.ReadSector(slot.Sector);
            ASSERT_FALSE(reply.Error) << "track " << int{t} << " sector " << int{slot.Sector};
            ASSERT_EQ(reply.Data.size(), SizeFromCode(slot.SizeCode));
            EXPECT_TRUE(std::equal(reply.Data.begin(), reply.Data.end(), slot.Data.begin()))
                << "track " << int{t} << " sector " << int{slot.Sector};
            ++compared;
        }
    }
    EXPECT_GT(compared, 100u);
}

INSTANTIATE_TEST_SUITE_P(Images, CorpusImageTest,
                         ::testing::Values("udi/48.udi", "trd/test_disk.trd", "trd/EyeAche.trd",
                                           "fdi/VORON1.FDI", "td0/UFO1.TD0"));

}  // namespace
}  // namespace morvane::virt
