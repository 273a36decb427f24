#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "HostSide.h"
#include "controller/virtual/AnswerStream.h"

namespace morvane::virt {
namespace {

TEST(AnswerStreamTest, BytesBelowB0TravelAsNibblePairs) {
    const Bytes data{0x12, 0xC3, 0x5C, 0xAF, 0xB0, 0x00};
    EXPECT_EQ(EncodeAnswer(data),
              (Bytes{0x0A, 0x21, 0x32, 0xC3, 0x25, 0x3C, 0x2A, 0x3F, 0xB0, 0x20, 0x30, 0xAA}));
}

TEST(AnswerStreamTest, ErrorRecordCarriesDataThenStatus) {
    const Bytes data{0x5C};
    const Bytes status{0x81};
    EXPECT_EQ(EncodeError(data, status), (Bytes{0x0A, 0x25, 0x3C, 0x0B, 0x28, 0x31, 0xAA}));
    EXPECT_EQ(EncodeError({}, Bytes{0x10, 3}), (Bytes{0x0A, 0x0B, 0x21, 0x30, 0x20, 0x33, 0xAA}));
}

TEST(AnswerStreamTest, EveryByteValueSurvivesTheDecoder) {
    Bytes all(256);
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<std::uint8_t>(i);
    test::StreamDecoder decoder;
    decoder.Feed(EncodeAnswer(all));
    decoder.Feed(EncodeError(all, Bytes{0x08, 0xFF}));
    ASSERT_EQ(decoder.Records.size(), 2u);
    EXPECT_EQ(decoder.Records[0].Data, all);
    EXPECT_TRUE(decoder.Records[1].Error);
    EXPECT_EQ(decoder.Records[1].Data, all);
    EXPECT_EQ(decoder.Records[1].Status, (Bytes{0x08, 0xFF}));
}

TEST(AnswerStreamTest, GarbageNeverHoldsAFrameMarker) {
    std::mt19937 random(7);
    const Bytes noise = MakeGarbage(random, 5000);
    ASSERT_EQ(noise.size(), 5000u);
    for (std::uint8_t b : noise) {
        EXPECT_NE(b, 0x0A);
        EXPECT_NE(b, 0x0B);
        EXPECT_NE(b, 0xAA);
    }
    test::StreamDecoder decoder;
    decoder.Feed(noise);
    EXPECT_TRUE(decoder.Records.empty());
}

TEST(AnswerStreamTest, TornFrameStartsAFrameThatNothingEnds) {
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        std::mt19937 random(seed);
        const Bytes torn = MakeTornFrame(random, 1 + seed % 30);
        const auto start = std::find(torn.begin(), torn.end(), 0x0A);
        ASSERT_NE(start, torn.end()) << seed;
        EXPECT_EQ(std::count(torn.begin(), torn.end(), 0x0A), 1) << seed;
        EXPECT_EQ(std::count(torn.begin(), torn.end(), 0x0B), 0) << seed;
        EXPECT_EQ(std::count(start, torn.end(), 0xAA), 0) << seed;
    }
}

TEST(AnswerStreamTest, StrayErrorMarkIsFollowedByDataBytesAndNoFrameStart) {
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        std::mt19937 random(seed);
        const Bytes noise = MakeStrayErrorMark(random, 1 + seed % 30);
        const auto mark = std::find(noise.begin(), noise.end(), 0x0B);
        ASSERT_NE(mark, noise.end()) << seed;
        EXPECT_NE(mark + 1, noise.end()) << "a status byte follows " << seed;
        EXPECT_EQ(std::count(noise.begin(), noise.end(), 0x0A), 0) << seed;
        EXPECT_EQ(std::count(noise.begin(), noise.end(), 0xAA), 0) << seed;
    }
}

}  // namespace
}  // namespace morvane::virt
