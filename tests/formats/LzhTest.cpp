#include "formats/td0/Lzh.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "LzhTestEncoder.h"
#include "support/Corpus.h"

namespace morvane {
namespace {

using test::LzhTestEncoder;

// Zero bytes the TD0 reader lets the decoder run over past the real data.
constexpr std::size_t kTail = 12;
constexpr std::size_t kNoLimit = std::size_t{1} << 30;

Bytes Decode(const Bytes& stream, std::size_t takeCount, std::size_t limit = kNoLimit) {
    Bytes out;
    EXPECT_EQ(LzhDecompress(stream, takeCount, limit, out), LzhStatus::Complete);
    return out;
}

Bytes DecodeWithTail(const Bytes& stream) {
    return Decode(stream, stream.size() + kTail);
}

bool StartsWith(const Bytes& out, const Bytes& prefix) {
    return out.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), out.begin());
}

// The decoder's ring as the stream's writer sees it, to predict what matches copy.
struct RingModel {
    std::array<std::uint8_t, 4096> ring{};
    std::size_t r = 4036;
    Bytes out;
    RingModel() { std::fill(ring.begin(), ring.begin() + 4036, std::uint8_t{0x20}); }
    void Put(std::uint8_t b) {
        out.push_back(b);
        ring[r] = b;
        r = (r + 1) % 4096;
    }
    void Match(unsigned distance, unsigned length) {
        const std::size_t from = (r + 4096 - distance) % 4096;
        for (unsigned k = 0; k < length; ++k)
            Put(ring[(from + k) % 4096]);
    }
};

TEST(LzhDecode, ZeroTakeCountGivesNoOutput) {
    const Bytes input{0x12, 0x34, 0x56};
    Bytes out{0xAA};
    EXPECT_EQ(LzhDecompress(input, 0, kNoLimit, out), LzhStatus::Complete);
    EXPECT_EQ(out, Bytes{0xAA});
    EXPECT_EQ(LzhDecompress({}, 0, kNoLimit, out), LzhStatus::Complete);
    EXPECT_EQ(out, Bytes{0xAA});
}

TEST(LzhDecode, LiteralsDecodeToTheirBytes) {
    LzhTestEncoder enc;
    for (char c : std::string("ABC"))
        enc.Literal(static_cast<std::uint8_t>(c));
    const Bytes out = DecodeWithTail(enc.Finish());
    EXPECT_TRUE(StartsWith(out, Bytes{'A', 'B', 'C'}));
    EXPECT_GT(out.size(), 3u) << "the zero tail decodes to more bytes";
}

TEST(LzhDecode, MatchAtPositionZeroOnFreshRingGivesSpaces) {
    LzhTestEncoder enc;
    enc.Match(1, 3);
    EXPECT_TRUE(StartsWith(DecodeWithTail(enc.Finish()), Bytes{' ', ' ', ' '}));
}

TEST(LzhDecode, OverlappingMatchRepeatsTheLastBytes) {
    LzhTestEncoder enc;
    enc.Literal('A');
    enc.Literal('B');
    enc.Match(2, 10);
    EXPECT_TRUE(StartsWith(DecodeWithTail(enc.Finish()),
                           Bytes{'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B'}));
}

TEST(LzhDecode, LongestMatchCopiesSixtyBytes) {
    LzhTestEncoder enc;
    RingModel model;
    for (std::uint8_t b = 1; b <= 60; ++b) {
        enc.Literal(b);
        model.Put(b);
    }
    enc.Match(60, 60);
    model.Match(60, 60);
    const Bytes out = DecodeWithTail(enc.Finish());
    ASSERT_TRUE(StartsWith(out, model.out));
    EXPECT_EQ(model.out.size(), 120u);
}

TEST(LzhDecode, PositionCodesOfEveryLengthDecode) {
    // Fill the whole ring with distinct-looking bytes, then copy from every 64-byte band of
    // positions, so every entry group of the position code (3 to 8 bit prefixes) is used.
    LzhTestEncoder enc;
    RingModel model;
    std::mt19937 rng(7);
    for (int i = 0; i < 4096; ++i) {
        const auto b = static_cast<std::uint8_t>(rng());
        enc.Literal(b);
        model.Put(b);
    }
    for (unsigned upper = 0; upper < 64; ++upper) {
        for (unsigned low : {0u, 37u, 63u}) {
            const unsigned distance = upper * 64 + low + 1;
            const unsigned length = 3 + (upper + low) % 58;
            enc.Match(distance, length);
            model.Match(distance, length);
        }
    }
    const Bytes out = DecodeWithTail(enc.Finish());
    ASSERT_GE(out.size(), model.out.size());
    EXPECT_TRUE(StartsWith(out, model.out));
}

TEST(LzhDecode, ContinuesSeamlesslyAcrossTreeRebuilds) {
    // A skewed alphabet makes the tree reshape often; 80000 symbols take the root count to
    // 0x8000 at least twice.
    LzhTestEncoder enc;
    RingModel model;
    std::mt19937 rng(12345);
    std::geometric_distribution<int> skew(0.08);
    for (int i = 0; i < 80000; ++i) {
        if (i % 97 == 50) {
            const unsigned length = 3 + static_cast<unsigned>(rng() % 58);
            const unsigned distance = 1 + static_cast<unsigned>(rng() % 4096);
            enc.Match(distance, length);
            model.Match(distance, length);
            continue;
        }
        const auto b = static_cast<std::uint8_t>(skew(rng) % 256);
        enc.Literal(b);
        model.Put(b);
    }
    ASSERT_GE(enc.Rebuilds(), 2u) << "input too short to cross a rebuild";

    const Bytes stream = enc.Finish();
    LzhDecoder decoder;
    Bytes out;
    ASSERT_EQ(decoder.Decompress(stream, stream.size() + kTail, kNoLimit, out),
              LzhStatus::Complete);
    EXPECT_EQ(decoder.RebuildCount(), enc.Rebuilds());
    ASSERT_GE(out.size(), model.out.size());
    EXPECT_TRUE(StartsWith(out, model.out));
}

TEST(LzhDecode, StopsBetweenSymbolsOnceTakeCountIsReached) {
    LzhTestEncoder enc;
    for (int i = 0; i < 200; ++i)
        enc.Literal(static_cast<std::uint8_t>(i));
    const Bytes stream = enc.Finish();
    LzhDecoder decoder;
    Bytes out;
    decoder.Decompress(stream, 10, kNoLimit, out);
    EXPECT_GE(decoder.BytesTaken(), 10u);
    EXPECT_LE(decoder.BytesTaken(), 12u) << "at most one symbol's bits past the count";
    EXPECT_LT(out.size(), 200u);
}

TEST(LzhDecode, BytesPastTheInputReadAsZero) {
    const Bytes zeros(40, 0);
    const Bytes head(zeros.begin(), zeros.begin() + 5);
    Bytes fromZeros;
    Bytes fromShort;
    LzhDecompress(zeros, 40, kNoLimit, fromZeros);
    LzhDecoder decoder;
    decoder.Decompress(head, 40, kNoLimit, fromShort);
    EXPECT_EQ(fromShort, fromZeros);
    EXPECT_GE(decoder.BytesTaken(), 40u);
}

TEST(LzhDecode, OutputLimitCutsTheOutputThere) {
    LzhTestEncoder enc;
    enc.Literal('x');
    enc.Match(1, 60);
    const Bytes stream = enc.Finish();
    Bytes out{0x55};
    EXPECT_EQ(LzhDecompress(stream, stream.size() + kTail, 20, out), LzhStatus::OutputLimit);
    ASSERT_EQ(out.size(), 21u) << "the limit counts only the bytes this call appends";
    EXPECT_EQ(out[0], 0x55);
    EXPECT_EQ(out[20], 'x');
}

TEST(LzhDecode, EveryCallStartsFromAFreshState) {
    LzhTestEncoder enc;
    for (char c : std::string("hello, hello, hello"))
        enc.Literal(static_cast<std::uint8_t>(c));
    enc.Match(7, 14);
    const Bytes stream = enc.Finish();
    LzhDecoder decoder;
    Bytes first;
    Bytes second;
    decoder.Decompress(stream, stream.size() + kTail, kNoLimit, first);
    Bytes other(300, 0xC3);
    Bytes scratch;
    decoder.Decompress(other, other.size(), kNoLimit, scratch);
    decoder.Decompress(stream, stream.size() + kTail, kNoLimit, second);
    EXPECT_EQ(first, second);
}

TEST(LzhDecode, ArbitraryBytesNeverOverrunTheOutputBound) {
    std::mt19937 rng(99);
    for (int round = 0; round < 200; ++round) {
        Bytes input(1 + rng() % 3000);
        for (auto& b : input)
            b = static_cast<std::uint8_t>(rng());
        const std::size_t limit = rng() % 50000;
        LzhDecoder decoder;
        Bytes out;
        const LzhStatus status = decoder.Decompress(input, input.size() + kTail, limit, out);
        ASSERT_LE(out.size(), limit);
        if (status == LzhStatus::Complete) {
            EXPECT_GE(decoder.BytesTaken(), input.size() + kTail);
        } else {
            EXPECT_EQ(out.size(), limit);
        }
    }
}

// Transylvania's body is long enough to cross several rebuilds; that all of it decodes to
// the right sectors is checked through the TD0 reader against the raw dump.
TEST(LzhCorpus, CompressedTd0BodyCrossesTreeRebuilds) {
    const std::filesystem::path path = test::CorpusDir() / "td0" / "Transylvania.td0";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "corpus file absent: " << path;
    Bytes file;
    ASSERT_TRUE(ReadWholeFile(path.string(), file));
    ASSERT_GT(file.size(), 12u);
    LzhDecoder decoder;
    Bytes out;
    ASSERT_EQ(decoder.Decompress(std::span(file).subspan(12), file.size(), kNoLimit, out),
              LzhStatus::Complete);
    EXPECT_GE(decoder.RebuildCount(), 2u);
    EXPECT_EQ(decoder.BytesTaken(), file.size());
    // The comment block leads the body: its text starts at offset 10.
    const std::string comment = "Transylvania (C)1982-1986 Polarware / Penguin Software";
    ASSERT_GT(out.size(), 10 + comment.size());
    EXPECT_EQ(std::string(out.begin() + 10,
                          out.begin() + 10 + static_cast<std::ptrdiff_t>(comment.size())),
              comment);
}

}  // namespace
}  // namespace morvane
