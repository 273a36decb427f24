// The three checksums of the program: the WD1793's CRC-16 over ID and data fields, the
// 32-bit checksum that closes UDI and native image files, and the CRC-16 of TD0 files.
#pragma once

#include <cstdint>
#include <span>

namespace morvane {

// CRC-16/CCITT-FALSE (poly 0x1021, init 0xFFFF, MSB first). "123456789" -> 0x29B1.
inline constexpr std::uint16_t kCrc16FdcInit = 0xFFFF;
std::uint16_t Crc16FdcUpdate(std::uint16_t crc, std::span<const std::uint8_t> bytes);
inline std::uint16_t Crc16Fdc(std::span<const std::uint8_t> bytes) {
    return Crc16FdcUpdate(kCrc16FdcInit, bytes);
}
// CRC of an ID field as the controller computes it: over A1 A1 A1 FE C H R N.
std::uint16_t IdFieldCrc(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n);
// CRC of a data field: over A1 A1 A1, the mark (FB or F8) and the data.
std::uint16_t DataFieldCrc(std::uint8_t mark, std::span<const std::uint8_t> data);

// The image checksum. Unlike the common CRC-32, the register shifts right arithmetically
// (the sign bit is copied), so files written by other tools with this variant verify.
// "abc" -> 0xEB52592F.
inline constexpr std::uint32_t kImageCrc32Init = 0xFFFFFFFF;
std::uint32_t ImageCrc32Update(std::uint32_t crc, std::span<const std::uint8_t> bytes);
inline std::uint32_t ImageCrc32(std::span<const std::uint8_t> bytes) {
    return ImageCrc32Update(kImageCrc32Init, bytes);
}

// TD0 CRC-16 (poly 0xA097, init 0, MSB first), table driven. "abc" -> 0x8089.
std::uint16_t Td0Crc16Update(std::uint16_t crc, std::span<const std::uint8_t> bytes);
inline std::uint16_t Td0Crc16(std::span<const std::uint8_t> bytes) {
    return Td0Crc16Update(0, bytes);
}

}  // namespace morvane
