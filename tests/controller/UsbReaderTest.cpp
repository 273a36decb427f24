// The reader thread under the libftdi driver, with a scripted read in place of the device.
#include "controller/UsbReader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace morvane {
namespace {

using Bytes8 = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Hands out scripted results in turn (bytes, then an error if it is negative), then
// "nothing".
struct ScriptedReads {
    struct Step {
        Bytes8 bytes;
        int error = 0;
    };
    std::mutex mutex;
    std::deque<Step> steps;
    std::atomic<int> calls{0};

    UsbReader::Piece operator()(std::span<std::uint8_t> buffer) {
        ++calls;
        std::lock_guard lock(mutex);
        if (steps.empty()) return {};
        const Step step = steps.front();
        steps.pop_front();
        std::copy(step.bytes.begin(), step.bytes.end(), buffer.begin());
        return {step.bytes.size(), step.error};
    }
};

template <typename Predicate>
bool WaitFor(Predicate done) {
    for (int i = 0; i < 2000 && !done(); ++i)
        std::this_thread::sleep_for(1ms);
    return done();
}

class UsbReaderTest : public ::testing::Test {
  protected:
    void Start() {
        reader.SetDataArrivedCallback([this] { ++announced; });
        reader.Start([this](std::span<std::uint8_t> b) { return reads(b); });
    }

    ScriptedReads reads;
    std::atomic<int> announced{0};
    UsbReader reader;
};

TEST_F(UsbReaderTest, ArrivalsAreBufferedAndAnnounced) {
    reads.steps = {{Bytes8{1, 2, 3}}, {Bytes8{4}}};
    Start();
    ASSERT_TRUE(WaitFor([&] { return reader.Queued() == 4; }));
    EXPECT_TRUE(WaitFor([&] { return announced >= 2; }));
    Bytes8 out(3);
    EXPECT_EQ(reader.Take(out), 3u);
    EXPECT_EQ(out, (Bytes8{1, 2, 3}));
    EXPECT_EQ(reader.Queued(), 1u);
    EXPECT_FALSE(reader.Failed());
}

TEST_F(UsbReaderTest, FailedReadIsAnnouncedKeepsEarlierBytesAndEndsTheThread) {
    reads.steps = {{Bytes8{9, 8}}, {{}, -7}};
    Start();
    ASSERT_TRUE(WaitFor([&] { return reader.Failed(); }));
    EXPECT_EQ(reader.FailureCode(), -7);
    EXPECT_TRUE(WaitFor([&] { return announced >= 2; })) << "the failure is not silent";
    const int callsAtFailure = reads.calls;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(reads.calls, callsAtFailure) << "no busy retrying after a failure";
    EXPECT_EQ(reader.Queued(), 2u) << "what came before the failure can still be read";
}

TEST_F(UsbReaderTest, ReadThatFailsPartWayKeepsWhatItBrought) {
    reads.steps = {{Bytes8{1, 2}}, {Bytes8{3, 4, 5}, -4}};
    Start();
    ASSERT_TRUE(WaitFor([&] { return reader.Failed(); }));
    Bytes8 out(8);
    EXPECT_EQ(reader.Take(out), 5u);
    EXPECT_EQ(out, (Bytes8{1, 2, 3, 4, 5, 0, 0, 0}));
}

TEST_F(UsbReaderTest, StartingAgainForgetsTheFailure) {
    reads.steps = {{{}, -4}};
    Start();
    ASSERT_TRUE(WaitFor([&] { return reader.Failed(); }));
    {
        std::lock_guard lock(reads.mutex);
        reads.steps = {{Bytes8{5}}};
    }
    Start();
    EXPECT_FALSE(reader.Failed());
    EXPECT_TRUE(WaitFor([&] { return reader.Queued() == 1; }));
}

TEST_F(UsbReaderTest, HoldKeepsTheThreadFromReading) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return reads.calls > 0; }));
    {
        UsbReader::Hold hold(reader);
        const int before = reads.calls;
        std::this_thread::sleep_for(10ms);
        EXPECT_LE(reads.calls, before + 1) << "at most the read already under way";
    }
    const int after = reads.calls;
    EXPECT_TRUE(WaitFor([&] { return reads.calls > after; }));
}

TEST_F(UsbReaderTest, RemovedCallbackIsNotCalledAgain) {
    Start();
    reader.SetDataArrivedCallback({});
    const int before = announced;
    {
        std::lock_guard lock(reads.mutex);
        reads.steps = {{Bytes8{1}}, {{}, -1}};
    }
    ASSERT_TRUE(WaitFor([&] { return reader.Failed(); }));
    EXPECT_EQ(announced, before);
}

}  // namespace
}  // namespace morvane
