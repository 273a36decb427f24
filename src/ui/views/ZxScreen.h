// The ZX Spectrum screen: 6144 bytes of bitmap in the machine's interleaved row order,
// then 768 attribute bytes (ink, paper, bright, flash) for the 8 x 8 cells.
#pragma once

#include <QImage>
#include <QRgb>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace morvane {

inline constexpr int kZxScreenWidth = 256;
inline constexpr int kZxScreenHeight = 192;
inline constexpr std::size_t kZxBitmapSize = 6144;
inline constexpr std::size_t kZxScreenSize = 6912;

// Index = bright * 8 + colour (black, blue, red, magenta, green, cyan, yellow, white).
extern const std::array<QRgb, 16> kZxPalette;

// Offset of the bitmap byte holding pixel row y (0..191), byte column x (0..31).
constexpr std::size_t ZxBitmapOffset(unsigned y, unsigned x) {
    return ((y & 0xC0u) << 5) | ((y & 0x07u) << 8) | ((y & 0x38u) << 2) | x;
}
constexpr std::size_t ZxAttributeOffset(unsigned y, unsigned x) {
    return kZxBitmapSize + (y / 8) * 32 + x;
}
// Palette indices of a set and a clear pixel under an attribute; flash is ignored.
constexpr unsigned ZxInkIndex(std::uint8_t attr) {
    return (attr & 0x07u) | ((attr & 0x40u) >> 3);
}
constexpr unsigned ZxPaperIndex(std::uint8_t attr) {
    return (attr & 0x78u) >> 3;
}

// 256 x 192 picture; bytes missing from a short input count as 0.
QImage RenderZxScreen(std::span<const std::uint8_t> screen);

}  // namespace morvane
