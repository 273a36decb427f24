#include "model/LazyBuffer.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace morvane {
namespace {

struct ReadCase {
    const char* name;
    std::function<std::uint8_t(const LazyBuffer&)> read;
};

TEST(LazyBuffer, ReadsAsZerosAndHoldsNothingBeforeAWrite) {
    const ReadCase cases[] = {
        {"index", [](const LazyBuffer& b) { return b[6499]; }},
        {"back", [](const LazyBuffer& b) { return b.back(); }},
        {"first", [](const LazyBuffer& b) { return b.first(300)[299]; }},
        {"data", [](const LazyBuffer& b) { return b.data()[4000]; }},
        {"range", [](const LazyBuffer& b) { return *(b.end() - 1); }},
        {"whole", [](const LazyBuffer& b) { return b.Whole()[100]; }},
    };
    for (const ReadCase& c : cases) {
        const LazyBuffer buffer;
        EXPECT_EQ(c.read(buffer), 0) << c.name;
        EXPECT_EQ(buffer.Held(), 0u) << c.name;
    }
}

struct WriteCase {
    const char* name;
    std::function<void(LazyBuffer&)> write;
    std::size_t atLeast;
    std::size_t atMost;
};

TEST(LazyBuffer, WritesHoldOnlyWhatTheyReach) {
    const WriteCase cases[] = {
        {"one byte", [](LazyBuffer& b) { b[10] = 1; }, 11, 128},
        {"a sector", [](LazyBuffer& b) { b.first(256)[255] = 1; }, 256, 256},
        {"a raw track", [](LazyBuffer& b) { b.first(6250)[0] = 1; }, 6250, 6500},
        {"pointer", [](LazyBuffer& b) { b.data()[0] = 1; }, 6500, 6500},
        {"fill", [](LazyBuffer& b) { b.fill(0x4E); }, 6500, 6500},
        {"fill with zeros", [](LazyBuffer& b) { b.fill(0); }, 0, 0},
        {"zero first", [](LazyBuffer& b) { b.ZeroFirst(1024); }, 0, 0},
    };
    for (const WriteCase& c : cases) {
        LazyBuffer buffer;
        c.write(buffer);
        EXPECT_GE(buffer.Held(), c.atLeast) << c.name;
        EXPECT_LE(buffer.Held(), c.atMost) << c.name;
    }
}

TEST(LazyBuffer, ReadsWithinWhatIsHeldDoNotGrowIt) {
    LazyBuffer buffer;
    buffer.first(256)[7] = 0x77;
    const LazyBuffer& view = buffer;
    EXPECT_EQ(view.first(256)[7], 0x77);
    EXPECT_EQ(view[5000], 0);
    EXPECT_EQ(buffer.Held(), 256u);
}

TEST(LazyBuffer, GrowingKeepsTheBytesAndReadsZerosPastThem) {
    LazyBuffer buffer;
    buffer[3] = 0x33;
    const std::span<std::uint8_t> wide = buffer.first(3000);
    EXPECT_EQ(wide[3], 0x33);
    EXPECT_EQ(wide[2999], 0);
    const LazyBuffer& view = buffer;
    EXPECT_EQ(view.Whole()[3], 0x33);
    EXPECT_EQ(view.Held(), 6500u);
}

TEST(LazyBuffer, ClearingKeepsTheMemoryInPlace) {
    LazyBuffer buffer;
    buffer.first(1024)[1000] = 5;
    buffer.first(2048)[2000] = 6;
    const std::uint8_t* where = buffer.data();
    buffer.ZeroFirst(1024);
    EXPECT_EQ(buffer[1000], 0);
    EXPECT_EQ(buffer[2000], 6);
    buffer.fill(0);
    EXPECT_EQ(buffer[2000], 0);
    const LazyBuffer empty;
    buffer = empty;  // copying an empty buffer in zeroes, nothing more
    EXPECT_EQ(buffer.data(), where);
}

TEST(LazyBuffer, CopiesCompareByContentsWhateverIsHeld) {
    LazyBuffer a;
    a.first(512)[500] = 9;
    LazyBuffer b = a;
    EXPECT_EQ(b[500], 9);
    EXPECT_EQ(a, b);
    b[500] = 0;
    EXPECT_NE(a, b);
    EXPECT_EQ(b, LazyBuffer());
}

TEST(LazyBuffer, MoveHandsTheBytesOverAndLeavesZeros) {
    LazyBuffer a;
    a[1] = 1;
    const std::uint8_t* where = a.data();
    LazyBuffer b = std::move(a);
    EXPECT_EQ(b.data(), where);
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(std::as_const(a)[1], 0);  // NOLINT(bugprone-use-after-move): moved-from is empty
    EXPECT_EQ(a.Held(), 0u);            // NOLINT(bugprone-use-after-move)
}

}  // namespace
}  // namespace morvane
