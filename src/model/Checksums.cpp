#include "model/Checksums.h"

#include <array>

namespace morvane {

std::uint16_t Crc16FdcUpdate(std::uint16_t crc, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) {
        crc ^= static_cast<std::uint16_t>(b << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<std::uint16_t>(crc << 1);
        }
    }
    return crc;
}

std::uint16_t IdFieldCrc(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
    const std::array<std::uint8_t, 8> field{0xA1, 0xA1, 0xA1, 0xFE, c, h, r, n};
    return Crc16Fdc(field);
}

std::uint16_t DataFieldCrc(std::uint8_t mark, std::span<const std::uint8_t> data) {
    const std::array<std::uint8_t, 4> prefix{0xA1, 0xA1, 0xA1, mark};
    return Crc16FdcUpdate(Crc16Fdc(prefix), data);
}

namespace {

// The eight shift-and-XOR rounds of the image checksum for one register value. Both the
// arithmetic shift and the conditional XOR are linear over GF(2), so the rounds of a whole
// register are the XOR of the rounds of its four bytes taken alone: that is what the
// tables below hold.
constexpr std::uint32_t ImageCrc32Rounds(std::uint32_t value) {
    auto reg = static_cast<std::int32_t>(value);
    for (int bit = 0; bit < 8; ++bit) {
        const std::int32_t mask = (reg & 1) ? static_cast<std::int32_t>(0xEDB88320u) : 0;
        reg = (reg >> 1) ^ mask;  // arithmetic: the sign bit is copied into bit 31
    }
    return static_cast<std::uint32_t>(reg);
}

using ImageCrcTables = std::array<std::array<std::uint32_t, 256>, 4>;

constexpr ImageCrcTables MakeImageCrcTables() {
    ImageCrcTables tables{};
    for (unsigned lane = 0; lane < 4; ++lane) {
        for (std::uint32_t b = 0; b < 256; ++b)
            tables[lane][b] = ImageCrc32Rounds(b << (8 * lane));
    }
    return tables;
}

constexpr ImageCrcTables kImageCrcTables = MakeImageCrcTables();

}  // namespace

std::uint32_t ImageCrc32Update(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) {
        const std::uint32_t r = crc ^ 0xFFFFFFFFu ^ b;
        crc = kImageCrcTables[0][r & 0xFF] ^ kImageCrcTables[1][(r >> 8) & 0xFF] ^
              kImageCrcTables[2][(r >> 16) & 0xFF] ^ kImageCrcTables[3][r >> 24];
        crc ^= 0xFFFFFFFFu;
    }
    return crc;
}

namespace {

constexpr std::array<std::uint16_t, 256> MakeTd0Table() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? (crc << 1) ^ 0xA097 : crc << 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTd0Table = MakeTd0Table();

}  // namespace

std::uint16_t Td0Crc16Update(std::uint16_t crc, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) {
        crc = static_cast<std::uint16_t>((crc << 8) ^ kTd0Table[((crc >> 8) ^ b) & 0xFF]);
    }
    return crc;
}

}  // namespace morvane
