#include <gtest/gtest.h>

#include "HostSide.h"
#include "controller/virtual/CommandFrame.h"

namespace morvane::virt {
namespace {

Bytes ShortFrameOf(CommandCode code, std::initializer_list<std::uint8_t> args = {}) {
    return test::ShortFrame(static_cast<std::uint8_t>(code), args);
}
Bytes BlockFrameOf(CommandCode code, std::span<const std::uint8_t> block) {
    return test::BlockFrame(static_cast<std::uint8_t>(code), block);
}

std::vector<CommandFrame> ParseAll(const Bytes& bytes) {
    FrameParser parser;
    std::vector<CommandFrame> frames;
    parser.Feed(bytes, frames);
    return frames;
}

TEST(CommandFrameTest, ShortFramesTakeTheirCodesArgumentCount) {
    Bytes stream = ShortFrameOf(CommandCode::Seek, {5});
    for (const Bytes& more :
         {ShortFrameOf(CommandCode::Status), ShortFrameOf(CommandCode::WriteRegister, {0x28, 1}),
          ShortFrameOf(CommandCode::ReadTrack)})
        stream.insert(stream.end(), more.begin(), more.end());
    const auto frames = ParseAll(stream);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(static_cast<CommandCode>(frames[0].Code), CommandCode::Seek);
    EXPECT_EQ(frames[0].Payload, Bytes{5});
    EXPECT_EQ(static_cast<CommandCode>(frames[1].Code), CommandCode::Status);
    EXPECT_TRUE(frames[1].Payload.empty());
    EXPECT_EQ(frames[2].Payload, (Bytes{0x28, 1}));
    EXPECT_EQ(static_cast<CommandCode>(frames[3].Code), CommandCode::ReadTrack);
}

TEST(CommandFrameTest, BlockFrameMayArriveInPieces) {
    Bytes block(1200);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i);
    const Bytes frame = BlockFrameOf(CommandCode::WriteSector, block);
    FrameParser parser;
    std::vector<CommandFrame> frames;
    parser.Feed(std::span(frame).first(1000), frames);
    EXPECT_TRUE(frames.empty());
    EXPECT_TRUE(parser.InsideFrame());
    parser.Feed(std::span(frame).subspan(1000), frames);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].Block);
    EXPECT_EQ(frames[0].Payload, block);
}

TEST(CommandFrameTest, BlockContentThatLooksLikeAHeaderStaysData) {
    const Bytes block{0x00, 0x00, 0x0A, 0x5A, 0x02};
    const auto frames = ParseAll(BlockFrameOf(CommandCode::ReadSectors, block));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Payload, block);
}

TEST(CommandFrameTest, BytesBetweenFramesArePassedOver) {
    Bytes stream{0x5A, 0x00, 0x0A, 0x00, 0x00, 0x0A};
    const Bytes frame = ShortFrameOf(CommandCode::ReadSector, {9});
    stream.insert(stream.end(), frame.begin(), frame.end());
    const auto frames = ParseAll(stream);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Payload, Bytes{9});
}

TEST(CommandFrameTest, EmptyBlockCompletesAtOnce) {
    const auto frames = ParseAll(BlockFrameOf(CommandCode::ReadSectors, Bytes{}));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].Payload.empty());
}

TEST(CommandFrameTest, UnknownCodeEndsItsFrame) {
    Bytes stream = test::ShortFrame(0x99);
    const Bytes frame = ShortFrameOf(CommandCode::Status);
    stream.insert(stream.end(), frame.begin(), frame.end());
    const auto frames = ParseAll(stream);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_FALSE(frames[0].Known);
    EXPECT_TRUE(frames[1].Known);
}

}  // namespace
}  // namespace morvane::virt
