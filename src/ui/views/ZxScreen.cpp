#include "ui/views/ZxScreen.h"

#include <algorithm>

namespace morvane {

const std::array<QRgb, 16> kZxPalette{
    qRgb(0, 0, 0),     qRgb(0, 82, 164),    qRgb(213, 30, 85),   qRgb(164, 47, 170),
    qRgb(68, 149, 82), qRgb(47, 189, 182),  qRgb(216, 216, 16),  qRgb(228, 228, 228),
    qRgb(0, 0, 0),     qRgb(95, 136, 243),  qRgb(250, 88, 92),   qRgb(255, 66, 255),
    qRgb(83, 255, 83), qRgb(107, 239, 239), qRgb(255, 255, 128), qRgb(255, 255, 255),
};

QImage RenderZxScreen(std::span<const std::uint8_t> screen) {
    QImage image(kZxScreenWidth, kZxScreenHeight, QImage::Format_RGB32);
    auto byteAt = [&screen](std::size_t offset) -> std::uint8_t {
        return offset < screen.size() ? screen[offset] : 0;
    };
    for (unsigned y = 0; y < kZxScreenHeight; ++y) {
        for (unsigned x = 0; x < kZxScreenWidth / 8; ++x) {
            const std::uint8_t bits = byteAt(ZxBitmapOffset(y, x));
            const std::uint8_t attr = byteAt(ZxAttributeOffset(y, x));
            for (unsigned bit = 0; bit < 8; ++bit) {
                const bool set = (bits >> (7 - bit) & 1) != 0;
                const QRgb colour = kZxPalette[set ? ZxInkIndex(attr) : ZxPaperIndex(attr)];
                image.setPixel(static_cast<int>(8 * x + bit), static_cast<int>(y), colour);
            }
        }
    }
    return image;
}

int ClampZxZoom(int zoom) {
    return std::clamp(zoom, kZxMinZoom, kZxMaxZoom);
}

int ZxPixelSide(int zoom, qreal dpr) {
    return std::max(1, qRound(ClampZxZoom(zoom) * dpr));
}

QImage ZoomedZxScreen(const QImage& screen, int zoom, qreal dpr) {
    const int side = ZxPixelSide(zoom, dpr);
    // Whole-number enlargement without smoothing: each pixel becomes a side x side square.
    QImage zoomed = screen.scaled(screen.width() * side, screen.height() * side,
                                  Qt::IgnoreAspectRatio, Qt::FastTransformation);
    zoomed.setDevicePixelRatio(dpr);
    return zoomed;
}

QSize ZxPictureSize(int zoom, qreal dpr) {
    const int side = ZxPixelSide(zoom, dpr);
    return QSizeF(kZxScreenWidth * side / dpr, kZxScreenHeight * side / dpr).toSize();
}

int LargestFittingZxZoom(QSize room, qreal dpr) {
    for (int zoom = kZxMaxZoom; zoom > kZxMinZoom; --zoom) {
        const QSize picture = ZxPictureSize(zoom, dpr);
        if (picture.width() <= room.width() && picture.height() <= room.height()) return zoom;
    }
    return kZxMinZoom;
}

}  // namespace morvane
