// Real-time mode: an answer becomes readable when a real drive would have finished.
#include <gtest/gtest.h>

#include <chrono>

#include "WireFixture.h"

namespace morvane::virt {
namespace {

using namespace std::chrono_literals;
using test::BlockFrame;
using test::ShortFrame;

constexpr std::uint8_t kStatus = 0x02, kSeek = 0x10, kReadSector = 0x21, kReadTrack = 0x23,
                       kWriteSector = 0x31;

class TimingTest : public test::WireTest {
  protected:
    TimingTest() {
        vc.SetClock([this] { return wall; });
        vc.SetRealTime(true);
    }

    std::uint32_t Queued() {
        std::uint32_t n = 0;
        EXPECT_EQ(vc.GetQueueStatus(n), kFtOk);
        return n;
    }

    Nanos wall = 1000s;
};

TEST_F(TimingTest, SeekTakesOneStepPerCylinderPlusSettling) {
    host.Send(ShortFrame(kSeek, {160}));  // 80 cylinders from track 0
    wall += 494ms;
    EXPECT_EQ(Queued(), 0u);
    wall += 1ms;  // 80 x 6 ms + 15 ms
    EXPECT_GT(Queued(), 0u);
    host.Drain();
    ASSERT_EQ(host.decoder.Records.size(), 1u);
    EXPECT_EQ(host.decoder.Records[0].Data[1], 160);
}

TEST_F(TimingTest, StepTimeIsAdjustable) {
    Mechanics m;
    m.StepTime = 3ms;
    m.SettleTime = 0ms;
    vc.SetMechanics(m);
    host.Send(ShortFrame(kSeek, {20}));
    wall += 29ms;
    EXPECT_EQ(Queued(), 0u);
    wall += 1ms;
    EXPECT_GT(Queued(), 0u);
}

TEST_F(TimingTest, ReadTrackWaitsForTheIndexAndOneRevolution) {
    host.Send(ShortFrame(kReadTrack));
    wall += 199ms;
    EXPECT_EQ(Queued(), 0u);
    wall += 201ms;
    EXPECT_GT(Queued(), 0u);
}

TEST_F(TimingTest, MissingSectorCostsFiveRevolutions) {
    host.Send(ShortFrame(kSeek, {0}));
    host.Drain();
    host.Send(ShortFrame(kReadSector, {99}));
    wall += 999ms;
    EXPECT_EQ(Queued(), 0u);
    wall += 1ms;
    host.Drain();
    ASSERT_EQ(host.decoder.Records.size(), 2u);
    EXPECT_TRUE(host.decoder.Records[1].Error);
}

TEST_F(TimingTest, SectorReadEndsWithinOneRevolution) {
    host.Send(ShortFrame(kReadSector, {1}));
    EXPECT_EQ(Queued(), 0u);
    wall += 200ms;
    EXPECT_GT(Queued(), 0u);
}

TEST_F(TimingTest, WriteSectorAcknowledgesAtOnceAndCompletesLater) {
    Bytes block{3};
    block.resize(257, 0x55);
    host.Send(BlockFrame(kWriteSector, block));
    host.Drain();
    ASSERT_EQ(host.decoder.Records.size(), 1u);
    EXPECT_EQ(host.decoder.Records[0].Data, (Bytes{0x01, 0x01}));
    wall += 200ms;
    host.Drain();
    EXPECT_EQ(host.decoder.Records.size(), 2u);
}

TEST_F(TimingTest, CommandsQueueBehindTheOneInProgress) {
    host.Send(ShortFrame(kReadTrack));
    host.Send(ShortFrame(kStatus));  // sent at once, answered after the track read
    wall += 199ms;
    EXPECT_EQ(Queued(), 0u);
    wall += 201ms;
    host.Drain();
    EXPECT_EQ(host.decoder.Records.size(), 2u);
}

TEST_F(TimingTest, IdleTimeTurnsTheDisk) {
    host.Send(ShortFrame(kReadTrack));
    wall += 400ms;
    host.Drain();
    const Nanos before = vc.Fdc().Now();
    wall += 10s;
    host.Send(ShortFrame(kStatus));
    EXPECT_GE(vc.Fdc().Now(), before + 9s);
    host.Drain();
    ASSERT_EQ(host.decoder.Records.size(), 2u);
    EXPECT_FALSE(host.decoder.Records[1].Data[0] & 0x20);  // the head unloaded meanwhile
}

TEST_F(TimingTest, DeviceTimeCountsTheDrivesWorkAndNotItsIdleTime) {
    vc.ResetDeviceTime();
    host.Send(ShortFrame(kSeek, {40}));  // 20 cylinders
    wall += 10s;                         // the host dawdles
    host.Send(ShortFrame(kSeek, {0}));   // 20 back
    EXPECT_EQ(vc.DeviceTime(), 2 * (20 * 6ms + 15ms));
    EXPECT_GE(vc.EmulatedNow(), 10s) << "the emulated clock did run through the idle time";
    vc.ResetDeviceTime();
    EXPECT_EQ(vc.DeviceTime(), Nanos{});
}

TEST(InstantTimingTest, AnswersAtOnceWhileTheEmulatedClockStillRuns) {
    VirtualController vc;
    test::Host host(vc);
    ASSERT_EQ(host.Open(), kFtOk);
    host.Send(ShortFrame(kSeek, {160}));
    std::uint32_t queued = 0;
    ASSERT_EQ(vc.GetQueueStatus(queued), kFtOk);
    EXPECT_GT(queued, 0u);
    EXPECT_EQ(vc.Fdc().Now(), 495ms);
}

TEST(InstantTimingTest, IndexBitFollowsTheRotation) {
    VirtualController vc;
    test::Host host(vc);
    ASSERT_EQ(host.Open(), kFtOk);
    host.Exchange(ShortFrame(kReadTrack));  // ends exactly on the index
    auto r = host.Exchange(ShortFrame(kStatus));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_TRUE(r[0].Data[0] & 0x02);
    host.Exchange(ShortFrame(kSeek, {2}));  // 6 + 15 ms later
    r = host.Exchange(ShortFrame(kStatus));
    EXPECT_FALSE(r[0].Data[0] & 0x02);
}

}  // namespace
}  // namespace morvane::virt
