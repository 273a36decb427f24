// The recovery passes against the emulated controller's weak sectors: only the tracks with
// bad sectors are read, the weak ones come back by vote, and a sector whose recorded CRC
// itself is wrong stays bad.
#include <gtest/gtest.h>

#include <set>

#include "OperationsFixture.h"
#include "controller/virtual/SectorAccess.h"
#include "model/SectorVote.h"
#include "operations/Positioning.h"
#include "operations/RecoveryPasses.h"

namespace morvane {
namespace {

class RecoveryPassesTest : public test::OperationsFixture {
  protected:
    RecoveryResult Recover(int passes) {
        auto ctx = Ctx();
        return RecoverBadSectors(ctx, {passes});
    }
    Bytes Written(std::uint8_t t, std::uint8_t r) const {
        return virt::ReadSector(Stored(t), r).Data;
    }
    Bytes Held(std::uint8_t t, std::uint8_t r) const {
        const SectorSlot& s = *disk->FindSector(t, r);
        const auto bytes = s.Data.first(s.DataLength);
        return Bytes(bytes.begin(), bytes.end());
    }
};

TEST_F(RecoveryPassesTest, ReadsOnlyBadTracksAndRecoversWeakSectorsByVote) {
    const std::pair<std::uint8_t, std::uint8_t> weak[] = {{4, 3}, {5, 9}, {7, 16}};
    device->Faults().SetRandomSeed(7);
    for (const auto& [t, r] : weak)
        device->Faults().AddWeakSector(virt::Drive::A, t, r, 0.01);
    ASSERT_EQ(Run(kRunScan | kRunSectors, 0, 10).outcome, OperationOutcome::Done);
    const std::vector<std::uint8_t> due = TracksToRecover(*disk);
    // The weak tracks and the demo disk's two sectors with a bad CRC on the disk itself.
    ASSERT_EQ(due, (std::vector<std::uint8_t>{2, 3, 4, 5, 7}));
    device->ClearReceivedFrames();

    const RecoveryResult result = Recover(3);
    ASSERT_EQ(result.outcome, OperationOutcome::Done);
    EXPECT_EQ(std::set<std::uint8_t>(result.tracksRead.begin(), result.tracksRead.end()),
              std::set<std::uint8_t>(due.begin(), due.end()));
    const std::vector<int> seeks = SeekTargets();
    std::set<int> sought(seeks.begin(), seeks.end());
    sought.erase(kHomeTrack);
    EXPECT_EQ(sought, (std::set<int>{2, 3, 4, 5, 7}));
    for (const auto& [t, r] : weak) {
        EXPECT_EQ(disk->FindSector(t, r)->DataGood, kDataGood) << int{t};
        EXPECT_EQ(Held(t, r), Written(t, r)) << int{t};
    }
    // The disk's own bad CRCs: no vote can match them.
    EXPECT_EQ(CurrentOrigin(*disk->FindSector(2, 14)), SectorOrigin::BestGuess);
    EXPECT_EQ(disk->FindSector(3, 2)->DataGood, 0);
    EXPECT_EQ(BadSectorCount(*disk), 2);
    EXPECT_TRUE(result.noChange);
    EXPECT_TRUE(Logged("Без изменений: ещё один проход при этих настройках вряд ли поможет."));
}

TEST_F(RecoveryPassesTest, FullReadKeepsEachRawReadsCopyOfAFailedSector) {
    device->Faults().SetRandomSeed(3);
    device->Faults().AddWeakSector(virt::Drive::A, 4, 3, 0.03);
    ASSERT_EQ(Run(kRunRaw | kRunScan | kRunSectors, 4, 1).outcome, OperationOutcome::Done);
    const SectorHistory kept = CurrentHistory(*disk->FindSector(4, 3));
    EXPECT_EQ(kept.copies.size(), 1u + kRawReadsPerTrack);  // the sector read and the raw reads
    EXPECT_EQ(kept.crcs.size(), 1u);
    EXPECT_EQ(Recover(1).passes.at(0).recovered, 1);
    EXPECT_EQ(Held(4, 3), Written(4, 3));
}

TEST_F(RecoveryPassesTest, NothingBadReadsNothing) {
    FillDemoSlots(6);
    for (SectorSlot& s : disk->GetTrack(6)->Slots)
        if (s.Present != 0) s.DataGood = kDataGood;
    device->ClearReceivedFrames();
    const RecoveryResult result = Recover(3);
    EXPECT_EQ(result.outcome, OperationOutcome::Done);
    EXPECT_TRUE(result.tracksRead.empty());
    EXPECT_TRUE(device->ReceivedFrames().empty());
}

}  // namespace
}  // namespace morvane
