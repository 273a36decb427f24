#include "formats/td0/LzhEncoder.h"

#include <gtest/gtest.h>

#include <string>

#include "formats/td0/Lzh.h"
#include "support/CaseName.h"
#include "support/Patterns.h"

namespace morvane {
namespace {

using test::RandomBytes;

// The TD0 reader lets the decoder take 12 zero bytes past the stream; what they decode to
// follows the data.
constexpr std::size_t kTail = 12;
constexpr std::size_t kNoLimit = std::size_t{1} << 30;

Bytes RoundTrip(const Bytes& input) {
    const Bytes packed = LzhCompress(input);
    Bytes out;
    EXPECT_EQ(LzhDecompress(packed, packed.size() + kTail, kNoLimit, out), LzhStatus::Complete);
    return out;
}

bool StartsWith(const Bytes& out, const Bytes& prefix) {
    return out.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), out.begin());
}

Bytes Text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

struct Case {
    const char* name;
    Bytes input;
    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

class LzhRoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(LzhRoundTrip, DecoderGivesBackTheInput) {
    const Bytes& input = GetParam().input;
    EXPECT_TRUE(StartsWith(RoundTrip(input), input));
}

Bytes Periodic(std::size_t n, std::size_t period) {
    const Bytes unit = RandomBytes(period, static_cast<unsigned>(period));
    Bytes b;
    while (b.size() < n)
        b.insert(b.end(), unit.begin(), unit.end());
    b.resize(n);
    return b;
}

// Sectors of a whole disk: many tree rebuilds, matches of every length and distance.
Bytes DiskLike() {
    Bytes b;
    for (unsigned s = 0; s < 400; ++s) {
        const Bytes r = RandomBytes(64, s % 37);
        b.insert(b.end(), r.begin(), r.end());
        b.insert(b.end(), 192 + s % 300, static_cast<std::uint8_t>(s % 3 == 0 ? 0xE5 : 0));
    }
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, LzhRoundTrip,
    ::testing::Values(Case{"empty", {}}, Case{"one_byte", {0x41}}, Case{"abc", Text("ABC")},
                      Case{"spaces", Bytes(100, 0x20)}, Case{"zeros_64k", Bytes(65536, 0)},
                      Case{"random_20k", RandomBytes(20000, 1)},
                      Case{"period_1000", Periodic(30000, 1000)},
                      Case{"period_4036", Periodic(20000, 4036)},
                      Case{"period_4037", Periodic(20000, 4037)},
                      Case{"text", Text("TR-DOS TR-DOS boot boot B O O T the the the end")},
                      Case{"disk_like", DiskLike()}),
    test::CaseName());

TEST(LzhEncoder, EveryByteValueAndEveryMatchLengthRoundTrips) {
    Bytes input;
    for (unsigned v = 0; v < 256; ++v)
        input.push_back(static_cast<std::uint8_t>(v));
    for (std::size_t length = 3; length <= 61; ++length) {
        input.insert(input.end(), input.end() - 200, input.end() - 200 + static_cast<long>(length));
        input.push_back(static_cast<std::uint8_t>(length * 7));
    }
    EXPECT_TRUE(StartsWith(RoundTrip(input), input));
}

TEST(LzhEncoder, LongRunsBecomeMatchesAndShrink) {
    LzhEncoder encoder;
    Bytes out;
    encoder.Compress(Bytes(60000, 0xE5), out);
    EXPECT_GT(encoder.MatchCount(), 900u);
    EXPECT_LT(out.size(), 60000u / 40);
}

TEST(LzhEncoder, RandomDataIsCodedAsLiterals) {
    LzhEncoder encoder;
    Bytes out;
    const Bytes input = RandomBytes(5000, 3);
    encoder.Compress(input, out);
    EXPECT_LT(encoder.MatchCount(), 10u);
    EXPECT_GE(encoder.LiteralCount(), input.size() - 30);
}

// The ring holds 4096 bytes, but the encoder keeps to 4036 as LZHUF encoders do.
TEST(LzhEncoder, RepeatsFartherThanTheWindowAreNotMatched) {
    const Bytes block = RandomBytes(100, 11);
    const Bytes near = Concat({block, RandomBytes(kLzhMaxDistance - 100, 12), block});
    const Bytes far = Concat({block, RandomBytes(kLzhMaxDistance - 99, 12), block});
    LzhEncoder encoder;
    Bytes out;
    encoder.Compress(near, out);
    EXPECT_LE(encoder.LiteralCount(), near.size() - 97);
    encoder.Compress(far, out);
    EXPECT_GE(encoder.LiteralCount(), far.size() - 30);  // a few chance three-byte repeats
}

TEST(LzhEncoder, EachCallStartsAfreshAndAppends) {
    const Bytes input = Text("ABCABCABCABC the same again");
    const Bytes once = LzhCompress(input);
    LzhEncoder encoder;
    Bytes out{0x99};
    encoder.Compress(input, out);
    encoder.Compress(input, out);
    EXPECT_EQ(out, Concat({Bytes{0x99}, once, once}));
}

TEST(LzhEncoder, ShorterChainsStillRoundTrip) {
    const Bytes input = DiskLike();
    LzhEncoder quick(1);
    Bytes packed;
    quick.Compress(input, packed);
    Bytes out;
    LzhDecompress(packed, packed.size() + kTail, kNoLimit, out);
    EXPECT_TRUE(StartsWith(out, input));
    EXPECT_GE(packed.size(), LzhCompress(input).size());
}

TEST(LzhEncoder, DecodesAcrossTreeRebuilds) {
    const Bytes input = Concat({RandomBytes(40000, 8), Bytes(5000, 0), RandomBytes(9000, 9)});
    const Bytes packed = LzhCompress(input);
    LzhDecoder decoder;
    Bytes out;
    decoder.Decompress(packed, packed.size() + kTail, kNoLimit, out);
    EXPECT_GT(decoder.RebuildCount(), 0u);
    EXPECT_TRUE(StartsWith(out, input));
}

}  // namespace
}  // namespace morvane
