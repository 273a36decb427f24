#include "model/Checksums.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <vector>

#include "model/SizeCode.h"

namespace morvane {
namespace {

std::span<const std::uint8_t> Text(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(Crc16Fdc, MatchesPublishedCheckValues) {
    EXPECT_EQ(Crc16Fdc(Text("123456789")), 0x29B1);
    EXPECT_EQ(Crc16Fdc({}), 0xFFFF);
}

TEST(Crc16Fdc, IdAndDataFieldsAsTheControllerComputesThem) {
    const std::array<std::uint8_t, 8> id{0xA1, 0xA1, 0xA1, 0xFE, 0, 0, 1, 1};
    EXPECT_EQ(Crc16Fdc(id), 0xFA0C);
    EXPECT_EQ(IdFieldCrc(0, 0, 1, 1), 0xFA0C);
    const std::vector<std::uint8_t> zeros(256, 0);
    EXPECT_EQ(DataFieldCrc(0xFB, zeros), 0xE122);
}

TEST(Crc16Fdc, UpdateInPiecesEqualsOneRun) {
    const auto all = Text("123456789");
    const std::uint16_t first = Crc16FdcUpdate(kCrc16FdcInit, all.first(4));
    EXPECT_EQ(Crc16FdcUpdate(first, all.subspan(4)), 0x29B1);
}

TEST(ImageCrc32, ReproducesTheArithmeticShiftVariant) {
    EXPECT_EQ(ImageCrc32(Text("abc")), 0xEB52592Fu);
    EXPECT_NE(ImageCrc32(Text("abc")), 0x352441C2u);  // the common CRC-32 of "abc"
    EXPECT_EQ(ImageCrc32({}), 0xFFFFFFFFu);
}

TEST(ImageCrc32, UpdateInPiecesEqualsOneRun) {
    std::vector<std::uint8_t> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::span<const std::uint8_t> all(data);
    EXPECT_EQ(ImageCrc32Update(ImageCrc32(all.first(333)), all.subspan(333)), ImageCrc32(all));
}

// The checksum as its definition states it, one bit at a time on a signed register.
std::uint32_t BitwiseImageCrc32(std::span<const std::uint8_t> bytes) {
    std::int32_t reg = -1;
    for (std::uint8_t b : bytes) {
        reg ^= static_cast<std::int32_t>(0xFFFFFFFFu ^ b);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg >> 1) ^ ((reg & 1) ? static_cast<std::int32_t>(0xEDB88320u) : 0);
        reg ^= -1;
    }
    return static_cast<std::uint32_t>(reg);
}

std::vector<std::uint8_t> PseudoRandomBytes(std::size_t n) {
    std::vector<std::uint8_t> data(n);
    std::uint32_t x = 12345;
    for (std::uint8_t& b : data) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return data;
}

// The CRC-16 as its definition states it, one bit at a time.
std::uint16_t BitwiseCrc16Fdc(std::span<const std::uint8_t> bytes) {
    unsigned crc = 0xFFFF;
    for (std::uint8_t b : bytes) {
        crc ^= unsigned{b} << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? ((crc << 1) ^ 0x1021) & 0xFFFF : (crc << 1) & 0xFFFF;
    }
    return static_cast<std::uint16_t>(crc);
}

// Every length up to a few groups of eight bytes, from every start within a group, so
// that whole groups and the bytes after them are both covered.
template <class Fast, class Bitwise>
void ExpectSameOnEveryPiece(Fast fast, Bitwise bitwise) {
    const std::vector<std::uint8_t> data = PseudoRandomBytes(80);
    const std::span<const std::uint8_t> all(data);
    for (std::size_t start = 0; start < 8; ++start) {
        for (std::size_t n = 0; n <= 40; ++n) {
            const auto piece = all.subspan(start, n);
            ASSERT_EQ(fast(piece), bitwise(piece)) << start << " " << n;
        }
    }
}

TEST(Crc16Fdc, GroupedFormEqualsTheBitwiseDefinition) {
    ExpectSameOnEveryPiece([](auto piece) { return Crc16Fdc(piece); }, BitwiseCrc16Fdc);
}

TEST(ImageCrc32, GroupedFormEqualsTheBitwiseDefinitionAtEveryLength) {
    ExpectSameOnEveryPiece([](auto piece) { return ImageCrc32(piece); }, BitwiseImageCrc32);
}

TEST(ImageCrc32, TableFormEqualsTheBitwiseDefinition) {
    const std::vector<std::uint8_t> data = PseudoRandomBytes(70000);
    const std::span<const std::uint8_t> all(data);
    for (std::size_t n : {std::size_t{1}, std::size_t{2}, std::size_t{255}, data.size()}) {
        EXPECT_EQ(ImageCrc32(all.first(n)), BitwiseImageCrc32(all.first(n))) << n;
    }
    const std::vector<std::uint8_t> highBytes(4096, 0x80);  // sign bit set throughout
    EXPECT_EQ(ImageCrc32(highBytes), BitwiseImageCrc32(highBytes));
}

TEST(Td0Crc16, MatchesCheckValues) {
    EXPECT_EQ(Td0Crc16(Text("abc")), 0x8089);
    EXPECT_EQ(Td0Crc16(Text("123456789")), 0x0FB3);
    EXPECT_EQ(Td0Crc16({}), 0);
}

TEST(SizeFromCode, CoversCodesZeroToThreeOnly) {
    EXPECT_EQ(SizeFromCode(0), 128u);
    EXPECT_EQ(SizeFromCode(1), 256u);
    EXPECT_EQ(SizeFromCode(2), 512u);
    EXPECT_EQ(SizeFromCode(3), 1024u);
    EXPECT_EQ(SizeFromCode(4), 0u);
    EXPECT_EQ(SizeFromCode(255), 0u);
}

}  // namespace
}  // namespace morvane
