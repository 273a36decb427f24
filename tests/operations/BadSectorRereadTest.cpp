// The re-read of failed sectors against the emulated controller.
#include <gtest/gtest.h>

#include "OperationsFixture.h"
#include "operations/BadSectorReread.h"

namespace morvane {
namespace {

using test::CaseName;
using test::OperationsFixture;

constexpr std::uint8_t kReadSector = 0x21;

class BadSectorRereadTest : public OperationsFixture {
  protected:
    // Marks slot i of track t as occupied by sector r, failed.
    void Failed(std::uint8_t t, std::uint8_t i, std::uint8_t r) {
        disk->GetTrack(t)->Present = kPresent;
        SectorSlot& slot = *disk->GetSlot(t, i);
        slot.Present = kPresent;
        slot.Sector = r;
        slot.SizeCode = 1;
        slot.DataGood = 0;
    }
    std::vector<int> ReadSectors() const {
        std::vector<int> out;
        for (const virt::CommandFrame& f : Frames(kReadSector))
            out.push_back(f.Payload.at(0));
        return out;
    }
    RereadResult Run(RereadOptions options = {}) {
        auto ctx = Ctx();
        return RereadFailedSectors(ctx, options);
    }
};

TEST_F(BadSectorRereadTest, NothingDueMovesTheHeadOnceAndLogsNothing) {
    disk->GetTrack(4)->Present = kPresent;
    disk->GetSlot(4, 0)->Present = kPresent;
    disk->GetSlot(4, 0)->DataGood = kDataGood;
    EXPECT_EQ(Run().outcome, OperationOutcome::Done);
    EXPECT_EQ(SeekTargets(), std::vector<int>{160});
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(host.mapScrolls, 1);
}

TEST_F(BadSectorRereadTest, OnlySlotsUpToTwentyFiveAreLookedAt) {
    Failed(6, 25, 5);
    Failed(6, 27, 6);
    const RereadResult r = Run();
    EXPECT_EQ(r.recovered, 1);
    EXPECT_EQ(ReadSectors(), std::vector<int>{5});
    EXPECT_EQ(disk->GetSlot(6, 25)->DataGood, kDataGood);
    EXPECT_EQ(disk->GetSlot(6, 27)->DataGood, 0);
}

TEST_F(BadSectorRereadTest, TwoDueSectorsOnATrackNeedOneSeek) {
    Failed(5, 0, 1);
    Failed(5, 1, 2);
    EXPECT_EQ(Run().recovered, 2);
    EXPECT_EQ(SeekTargets(), (std::vector<int>{160, 5}));
    EXPECT_EQ(ReadSectors(), (std::vector<int>{1, 2}));
    EXPECT_EQ(host.log, (std::vector<std::string>{
                            "Чтение сектора - 1", "Сектор считан, длинна - 256 byte!",
                            "Чтение сектора - 2", "Сектор считан, длинна - 256 byte!"}));
    EXPECT_EQ(disk->GetSlot(5, 1)->DataLength, 256);
}

struct AnswerCase {
    const char* name;
    std::vector<Answer> answers;
    int unattendedTries;
    OperationOutcome outcome;
    std::size_t questions;
    std::vector<int> seeks;
    std::vector<int> reads;  // sector numbers sent, in order
};

class RereadAnswers : public BadSectorRereadTest,
                      public ::testing::WithParamInterface<AnswerCase> {};

// Track 2 sector 14 of the demo disk never reads; sector 15 after it reads fine.
TEST_P(RereadAnswers, FailedReadFollowsTheAnswer) {
    const AnswerCase& c = GetParam();
    Failed(2, 13, 14);
    Failed(2, 14, 15);
    host.answers.assign(c.answers.begin(), c.answers.end());
    const RereadResult r = Run({c.unattendedTries});
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(host.questions.size(), c.questions);
    EXPECT_EQ(SeekTargets(), c.seeks);
    EXPECT_EQ(ReadSectors(), c.reads);
    EXPECT_EQ(disk->GetSlot(2, 13)->DataGood, 0);
    EXPECT_TRUE(Logged("Ошибка чтения - 08 (Track - 2 / Sector - 14)"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RereadAnswers,
    ::testing::Values(
        AnswerCase{"RetryThenIgnore",
                   {Answer::Retry, Answer::Ignore},
                   0,
                   OperationOutcome::Done,
                   2,
                   {160, 2, 160, 2},
                   {14, 14, 15}},
        AnswerCase{
            "Abort", {Answer::Abort}, 0, OperationOutcome::Cancelled, 1, {160, 2}, {14}},
        AnswerCase{"UnattendedThreeTries",
                   {},
                   3,
                   OperationOutcome::Done,
                   0,
                   {160, 2, 160, 2, 160, 2},
                   {14, 14, 14, 15}}),
    CaseName());

TEST_F(BadSectorRereadTest, IgnoreLogsTheSkipAndGoesOn) {
    Failed(2, 13, 14);
    Failed(2, 14, 15);
    host.answers = {Answer::Ignore};
    EXPECT_EQ(Run().stillFailed, 1);
    EXPECT_TRUE(Logged("Чтение сектора пропущено -14"));
    EXPECT_EQ(disk->GetSlot(2, 14)->DataGood, kDataGood);
}

TEST_F(BadSectorRereadTest, WeakSectorIsRecovered) {
    Failed(9, 3, 4);
    device->Faults().AddDataCrcError(virt::Drive::A, 9, 4, 1);
    device->Faults().NoteSectorRead(virt::Drive::A, 9, 4);  // the run's read used it up
    const RereadResult r = Run();
    EXPECT_EQ(r.recovered, 1);
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(BadSectorRereadTest, TimeOutStopsTheOperation) {
    Failed(9, 3, 4);
    device->SilenceCommand(kReadSector);
    EXPECT_EQ(Run().outcome, OperationOutcome::Stopped);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Время ожидания вышло..."});
}

}  // namespace
}  // namespace morvane
