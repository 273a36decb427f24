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

// The viewer's zoom: 1x to 4x the machine's pixels.
inline constexpr int kZxMinZoom = 1;
inline constexpr int kZxMaxZoom = 4;
int ClampZxZoom(int zoom);
// The side, in the display's own pixels, of the square one screen pixel takes at `zoom` on
// a display of pixel ratio `dpr`: a whole number, so every screen pixel is the same square
// and none is blurred between two display pixels (at 1.5x, zoom 1 gives 2, zoom 2 gives 3).
int ZxPixelSide(int zoom, qreal dpr);
// `screen` with every pixel a ZxPixelSide square and the display's pixel ratio set, so it
// is shown as drawn, never scaled again.
QImage ZoomedZxScreen(const QImage& screen, int zoom, qreal dpr);
// The picture's size at `zoom` in device-independent pixels, as the window lays it out.
QSize ZxPictureSize(int zoom, qreal dpr);
// The largest zoom whose picture fits `room` (device-independent pixels) on a display of
// pixel ratio `dpr`; kZxMinZoom when not even that fits.
int LargestFittingZxZoom(QSize room, qreal dpr);

}  // namespace morvane
