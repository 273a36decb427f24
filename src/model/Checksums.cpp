#include "model/Checksums.h"

#include <array>
#include <cstddef>

namespace morvane {

namespace {

// Both checksums below are linear over GF(2), so the effect of eight bytes is the XOR of the
// effects of each byte alone, followed by as many zero bytes as come after it in the
// group: slice k of a table holds byte value v followed by k zero bytes. Eight table
// look-ups then stand for 64 shift-and-XOR rounds. The tables are built at compile time.
constexpr std::size_t kSlices = 8;

using Crc16Slices = std::array<std::array<std::uint16_t, 256>, kSlices>;

constexpr Crc16Slices MakeCrc16Slices() {
    Crc16Slices t{};
    for (unsigned v = 0; v < 256; ++v) {
        unsigned crc = v << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
        t[0][v] = static_cast<std::uint16_t>(crc);
    }
    for (std::size_t k = 1; k < kSlices; ++k) {
        for (unsigned v = 0; v < 256; ++v) {
            const unsigned prev = t[k - 1][v];
            t[k][v] = static_cast<std::uint16_t>((prev << 8) ^ t[0][prev >> 8]);
        }
    }
    return t;
}

constexpr Crc16Slices kCrc16Slices = MakeCrc16Slices();

}  // namespace

std::uint16_t Crc16FdcUpdate(std::uint16_t crc, std::span<const std::uint8_t> bytes) {
    const auto& t = kCrc16Slices;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= kSlices; n -= kSlices, p += kSlices) {
        crc = static_cast<std::uint16_t>(t[7][p[0] ^ (crc >> 8)] ^ t[6][p[1] ^ (crc & 0xFF)] ^
                                         t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^
                                         t[1][p[6]] ^ t[0][p[7]]);
    }
    for (; n > 0; --n, ++p)
        crc = static_cast<std::uint16_t>((crc << 8) ^ t[0][(crc >> 8) ^ *p]);
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

// The eight shift-and-XOR rounds of the image checksum for one register value: linear over
// GF(2), the arithmetic shift included.
constexpr std::uint32_t ImageCrc32Rounds(std::uint32_t value) {
    auto reg = static_cast<std::int32_t>(value);
    for (int bit = 0; bit < 8; ++bit) {
        const std::int32_t mask = (reg & 1) ? static_cast<std::int32_t>(0xEDB88320u) : 0;
        reg = (reg >> 1) ^ mask;  // arithmetic: the sign bit is copied into bit 31
    }
    return static_cast<std::uint32_t>(reg);
}

// One byte: crc' = ~Rounds(~crc ^ b) = Rounds(crc ^ b) ^ kStepConstant, and the rounds of a
// register are those of its low byte (a table) XOR the register shifted arithmetically by 8.
constexpr std::uint32_t kStepConstant = ImageCrc32Rounds(0xFFFFFFFFu) ^ 0xFFFFFFFFu;

// Eight bytes b0..b7 from register c (bytes c0..c3):
//   c' = kGroupConstant ^ byte[0][c0 ^ b0] ^ byte[1][c1 ^ b1] ^ byte[2][c2 ^ b2]
//        ^ top[c3] ^ byte[3][b3] ^ ... ^ byte[7][b7],
// byte[i][v] being v entered at byte i and taken through the remaining 8 - i rounds. The
// register's top byte has a table of its own: shifting it down copies its sign bit
// upwards, which a byte entered later does not do.
struct ImageCrcSlices {
    std::array<std::array<std::uint32_t, 256>, kSlices> byte{};
    std::array<std::uint32_t, 256> top{};
    std::uint32_t groupConstant = 0;
};

constexpr ImageCrcSlices MakeImageCrcSlices() {
    ImageCrcSlices t;
    for (std::uint32_t v = 0; v < 256; ++v) {
        t.byte[kSlices - 1][v] = ImageCrc32Rounds(v);
        for (std::size_t i = kSlices - 1; i > 0; --i)
            t.byte[i - 1][v] = ImageCrc32Rounds(t.byte[i][v]);
        std::uint32_t top = v << 24;
        for (std::size_t round = 0; round < kSlices; ++round)
            top = ImageCrc32Rounds(top);
        t.top[v] = top;
    }
    for (std::size_t round = 0; round < kSlices; ++round)
        t.groupConstant = ImageCrc32Rounds(t.groupConstant) ^ kStepConstant;
    return t;
}

constexpr ImageCrcSlices kImageCrcSlices = MakeImageCrcSlices();

}  // namespace

std::uint32_t ImageCrc32Update(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
    const auto& b = kImageCrcSlices.byte;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= kSlices; n -= kSlices, p += kSlices) {
        crc = kImageCrcSlices.groupConstant ^ b[0][(crc ^ p[0]) & 0xFF] ^
              b[1][((crc >> 8) ^ p[1]) & 0xFF] ^ b[2][((crc >> 16) ^ p[2]) & 0xFF] ^
              kImageCrcSlices.top[crc >> 24] ^ b[3][p[3]] ^ b[4][p[4]] ^ b[5][p[5]] ^ b[6][p[6]] ^
              b[7][p[7]];
    }
    for (; n > 0; --n, ++p) {
        const auto shifted = static_cast<std::uint32_t>(static_cast<std::int32_t>(crc) >> 8);
        crc = b[kSlices - 1][(crc ^ *p) & 0xFF] ^ shifted ^ kStepConstant;
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
