#include "controller/RxDecoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "WireEncoding.h"
#include "controller/virtual/AnswerStream.h"

namespace morvane {
namespace {

struct Recorder : RxRecordSink {
    std::vector<AnswerRecord> answers;
    std::vector<ErrorRecord> errors;
    std::vector<char> order;
    void OnAnswer(AnswerRecord&& a) override {
        answers.push_back(std::move(a));
        order.push_back('A');
    }
    void OnError(ErrorRecord&& e) override {
        errors.push_back(std::move(e));
        order.push_back('E');
    }
};

using Bytes8 = std::vector<std::uint8_t>;

Recorder Decode(const Bytes8& stream) {
    RxDecoder decoder;
    Recorder sink;
    decoder.Feed(stream, sink);
    return sink;
}

TEST(RxDecoder, DecodesNibblePairsAndHighBytes) {
    const Recorder r = Decode({0x0A, 0x21, 0x32, 0xC3, 0xAA});
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(r.answers[0].data, (Bytes8{0x12, 0xC3}));
    EXPECT_EQ(r.answers[0].Length(), 2u);
    EXPECT_FALSE(r.answers[0].truncated);
}

TEST(RxDecoder, ErrorAnswerKeepsDataPartAndStatusPart) {
    const Recorder r = Decode({0x0A, 0x25, 0x3C, 0x0B, 0x28, 0x31, 0xAA});
    EXPECT_TRUE(r.answers.empty());
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].data, (Bytes8{0x5C}));
    EXPECT_EQ(r.errors[0].status, (Bytes8{0x81}));
}

TEST(RxDecoder, ErrorWithEmptyDataIsClosedByNextStart) {
    RxDecoder decoder;
    Recorder sink;
    decoder.Feed(Bytes8{0x0A, 0x0B, 0x21, 0x30}, sink);
    EXPECT_TRUE(sink.errors.empty()) << "still open until something closes it";
    decoder.Feed(0x0A, sink);
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_EQ(sink.errors[0].status, (Bytes8{0x10}));
    EXPECT_EQ(sink.errors[0].DataLength(), 0u);
    EXPECT_TRUE(decoder.CollectingAnswer());
}

TEST(RxDecoder, ErrorWithoutStatusBytesIsDroppedByNextStart) {
    const Recorder r = Decode({0x0A, 0x0B, 0x0A, 0x31, 0xAA});
    EXPECT_TRUE(r.errors.empty());
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0].data, (Bytes8{0x01}));
}

TEST(RxDecoder, LowNibbleWithoutHighNibbleStandsAlone) {
    const Recorder r = Decode({0x0A, 0x35, 0xAA});
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0].data, (Bytes8{0x05}));
}

TEST(RxDecoder, HighByteClearsPendingNibble) {
    const Recorder r = Decode({0x0A, 0x2F, 0xE5, 0x31, 0xAA});
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0].data, (Bytes8{0xE5, 0x01}));
}

TEST(RxDecoder, IgnoresBytesOutsideFrames) {
    const Recorder r = Decode({0x21, 0x32, 0xC3, 0xAA, 0x0A, 0x31, 0xAA, 0x25, 0x3C, 0xE5});
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0].data, (Bytes8{0x01}));
    EXPECT_TRUE(r.errors.empty());
}

TEST(RxDecoder, IgnoresBytesWithoutMeaningInsideFrame) {
    const Recorder r = Decode({0x0A, 0x00, 0x1F, 0x41, 0x9F, 0xAB, 0x31, 0xAA});
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0].data, (Bytes8{0x01}));
}

TEST(RxDecoder, SecondStartDropsPartialAnswer) {
    const Recorder r = Decode({0x0A, 0x31, 0x32, 0x0A, 0x33, 0xAA});
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0].data, (Bytes8{0x03}));
}

TEST(RxDecoder, EndWithNothingOpenIsIgnored) {
    const Recorder r = Decode({0xAA, 0xAA, 0x0A, 0xAA, 0xAA});
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0].Length(), 0u);
}

TEST(RxDecoder, ErrorMarkOutsideAFrameIsNoise) {
    // Before anything, after an answer and after an error record: the marks and what
    // follows them make no record, and the next frame decodes whole.
    struct Case {
        Bytes8 before;
        std::vector<char> order;
    };
    const Case cases[] = {{{}, {'A'}},
                          {test::EncodeAnswer({0x11}), {'A', 'A'}},
                          {test::EncodeError({0x11, 0x22}, {1, 2}), {'E', 'A'}}};
    for (const Case& c : cases) {
        Bytes8 stream = c.before;
        for (std::uint8_t b : {0x0B, 0x28, 0x30, 0x0B, 0x31, 0xAA, 0x0B, 0x32})
            stream.push_back(b);
        const Bytes8 next = test::EncodeAnswer({0x42});
        stream.insert(stream.end(), next.begin(), next.end());
        const Recorder r = Decode(stream);
        ASSERT_EQ(r.order, c.order) << c.before.size();
        EXPECT_EQ(r.answers.back().data, (Bytes8{0x42}));
    }
}

TEST(RxDecoder, SecondMarkInAFrameDropsTheEarlierDataPart) {
    const Recorder r = Decode({0x0A, 0x31, 0x0B, 0x21, 0x30, 0x0B, 0x28, 0x30, 0xAA});
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].status, (Bytes8{0x80}));
    EXPECT_TRUE(r.errors[0].data.empty());
}

TEST(RxDecoder, ResetForgetsFrameInProgress) {
    RxDecoder decoder;
    Recorder sink;
    decoder.Feed(Bytes8{0x0A, 0x31, 0x32}, sink);
    decoder.Reset();
    EXPECT_FALSE(decoder.CollectingAnswer());
    decoder.Feed(Bytes8{0x33, 0xAA}, sink);
    EXPECT_TRUE(sink.answers.empty());
}

TEST(RxDecoder, RecordsComeOutInStreamOrder) {
    Bytes8 stream = test::EncodeAnswer({1});
    const Bytes8 err = test::EncodeError({}, {0x10, 3});
    const Bytes8 two = test::EncodeAnswer({2});
    stream.insert(stream.end(), err.begin(), err.end());
    stream.insert(stream.end(), two.begin(), two.end());
    const Recorder r = Decode(stream);
    EXPECT_EQ(r.order, (std::vector<char>{'A', 'E', 'A'}));
}

TEST(RxDecoder, CutsAnswerAtRecordCapacity) {
    Bytes8 data(kAnswerCapacity + 100);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    const Recorder r = Decode(test::EncodeAnswer(data));
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0].Length(), kAnswerCapacity);
    EXPECT_TRUE(r.answers[0].truncated);
    EXPECT_TRUE(std::equal(r.answers[0].data.begin(), r.answers[0].data.end(), data.begin()));
}

TEST(RxDecoder, CutsEndlessFrameAtCollectCapacity) {
    RxDecoder decoder;
    Recorder sink;
    decoder.Feed(0x0A, sink);
    const Bytes8 flood(3 * kCollectCapacity, 0xE5);
    decoder.Feed(flood, sink);
    decoder.Feed(0xAA, sink);
    ASSERT_EQ(sink.answers.size(), 1u);
    EXPECT_EQ(sink.answers[0].Length(), kAnswerCapacity);
    EXPECT_TRUE(sink.answers[0].truncated);
}

TEST(RxDecoder, CutsErrorPartsAtTheirCapacities) {
    const Bytes8 data(kErrorDataCapacity + 10, 0xF0);
    const Bytes8 status(kErrorStatusCapacity + 10, 0xF1);
    const Recorder r = Decode(test::EncodeError(data, status));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].DataLength(), kErrorDataCapacity);
    EXPECT_EQ(r.errors[0].StatusLength(), kErrorStatusCapacity);
    EXPECT_TRUE(r.errors[0].truncated);
}

TEST(RxDecoder, ShortRecordsReadZeroPastTheirEnd) {
    const Recorder r = Decode({0x0A, 0x31, 0x0B, 0xAA});
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].StatusByte(0), 0);
    EXPECT_EQ(r.errors[0].StatusByte(1), 0);
    EXPECT_EQ(r.errors[0].DataByte(0), 1);
    EXPECT_EQ(r.errors[0].DataByte(5), 0);
}

TEST(RxDecoder, GarbageNeverCrashesAndLeavesBoundedRecords) {
    RxDecoder decoder;
    Recorder sink;
    std::uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        decoder.Feed(static_cast<std::uint8_t>(x >> 16), sink);
    }
    EXPECT_FALSE(sink.answers.empty());
    for (const auto& a : sink.answers)
        EXPECT_LE(a.Length(), kAnswerCapacity);
    for (const auto& e : sink.errors) {
        EXPECT_LE(e.StatusLength(), kErrorStatusCapacity);
        EXPECT_LE(e.DataLength(), kErrorDataCapacity);
    }
}

TEST(RxDecoder, GarbageBetweenFramesIsPassedOver) {
    // The emulated device's harsh noise: a stray end marker, a frame start cut short, an
    // error mark with status-like bytes after it.
    using Maker = Bytes8 (*)(std::mt19937&, std::size_t);
    const Maker makers[] = {virt::MakeTornFrame, virt::MakeStrayErrorMark};
    const Bytes8 sector(256, 0x5C);
    const Bytes8 status{0x08, 0x03};
    for (Maker make : makers) {
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            std::mt19937 random(seed);
            Bytes8 stream;
            for (int i = 0; i < 3; ++i) {
                const Bytes8 noise = make(random, 1 + seed % 24);
                stream.insert(stream.end(), noise.begin(), noise.end());
                const Bytes8 frame =
                    i == 1 ? virt::EncodeError(sector, status) : virt::EncodeAnswer(sector);
                stream.insert(stream.end(), frame.begin(), frame.end());
            }
            const Recorder r = Decode(stream);
            ASSERT_EQ(r.order, (std::vector<char>{'A', 'E', 'A'})) << "seed " << seed;
            EXPECT_EQ(r.answers[0].data, sector);
            EXPECT_EQ(r.answers[1].data, sector);
            EXPECT_EQ(r.errors[0].data, sector);
            EXPECT_EQ(r.errors[0].status, status);
        }
    }
}

}  // namespace
}  // namespace morvane
