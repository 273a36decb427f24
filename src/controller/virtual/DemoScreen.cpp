// A smiling face on a rainbow: easy to recognise in the screen viewer at a glance, and
// every attribute colour appears at least once.
#include <cmath>

#include "controller/virtual/DemoDisk.h"

namespace morvane::virt {

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 192;
constexpr std::size_t kPixelBytes = 6144;
constexpr int kCentreX = 128;
constexpr int kCentreY = 96;
constexpr double kFaceRadius = 80.0;
constexpr std::uint8_t kBright = 0x40;

// Offset of the byte holding pixel (x, y): the screen is stored in thirds, and inside a
// third by pixel row within the character row first.
std::size_t PixelOffset(int x, int y) {
    return static_cast<std::size_t>(((y & 0xC0) << 5) | ((y & 0x07) << 8) | ((y & 0x38) << 2) |
                                    (x >> 3));
}

double Distance(double x, double y, double cx, double cy) {
    return std::hypot(x - cx, y - cy);
}

bool Ink(int x, int y) {
    const double face = Distance(x, y, kCentreX, kCentreY);
    if (std::abs(face - kFaceRadius) < 2.5) return true;                               // outline
    if (Distance(x, y, 98, 70) < 10.0 || Distance(x, y, 158, 70) < 10.0) return true;  // eyes
    if (y > 118 && std::abs(face - 50.0) < 3.0) return true;                           // smile
    return false;
}

std::uint8_t Attribute(int column, int row) {
    const double face = Distance(column * 8 + 4, row * 8 + 4, kCentreX, kCentreY);
    if (face < kFaceRadius + 4) return static_cast<std::uint8_t>(kBright | 6 << 3 | 0);  // yellow
    if (row >= 22) return static_cast<std::uint8_t>(kBright | (column / 4 % 8) << 3 | 7);
    return static_cast<std::uint8_t>(1 << 3 | 7);  // white on blue
}

}  // namespace

Bytes MakeDemoScreen() {
    Bytes screen(kScreenSize, 0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (Ink(x, y))
                screen[PixelOffset(x, y)] =
                    static_cast<std::uint8_t>(screen[PixelOffset(x, y)] | 0x80 >> (x & 7));
        }
    }
    for (int row = 0; row < kHeight / 8; ++row) {
        for (int column = 0; column < kWidth / 8; ++column)
            screen[kPixelBytes + static_cast<std::size_t>(row * 32 + column)] =
                Attribute(column, row);
    }
    return screen;
}

}  // namespace morvane::virt
