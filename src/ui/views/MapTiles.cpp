#include "ui/views/MapTiles.h"

#include <QPainter>

#include <algorithm>

namespace morvane {

namespace {

bool IsLabelTile(MapTile tile) {
    return tile == MapTile::LabelRaw || tile == MapTile::LabelNoRaw ||
           tile == MapTile::LabelDisabled;
}

}  // namespace

QColor TileFill(MapTile tile, const QColor& buttonFace) {
    switch (tile) {
        case MapTile::SectorGood:
            return QColor(0, 255, 0);
        case MapTile::SectorBad:
            return QColor(255, 0, 0);
        case MapTile::SectorHeaderOnly:
        case MapTile::LabelNoRaw:
            return QColor(255, 255, 0);
        case MapTile::LabelRaw:
            return QColor(0, 0, 255);
        case MapTile::SectorVoted:
            return QColor(0, 200, 200);
        case MapTile::SectorBestGuess:
            return QColor(255, 140, 0);
        case MapTile::SectorDisabled:
        case MapTile::LabelDisabled:
        case MapTile::None:
            break;
    }
    return buttonFace;
}

QPixmap BuildTile(const QColor& fill, int width, int height, qreal dpr) {
    // Painted in device pixels, so no line falls between two of them.
    const int w = qRound(width * dpr);
    const int h = qRound(height * dpr);
    const int line = std::max(1, qRound(dpr));
    QPixmap tile(w, h);
    tile.fill(fill);
    {
        QPainter p(&tile);
        p.fillRect(0, 0, w, line, Qt::white);
        p.fillRect(0, 0, line, h, Qt::white);
        p.fillRect(w - line, 0, line, h, Qt::black);
        p.fillRect(0, h - line, w, line, Qt::black);
    }
    tile.setDevicePixelRatio(dpr);
    return tile;
}

MapTileSet::MapTileSet(const QColor& buttonFace, qreal dpr) : buttonFace_(buttonFace), dpr_(dpr) {
    for (std::size_t i = 1; i < tiles_.size(); ++i) {
        const auto tile = static_cast<MapTile>(i);
        const int width = IsLabelTile(tile) ? kMapLabelWidth : kMapSectorWidth;
        tiles_[i] = BuildTile(TileFill(tile, buttonFace), width, kMapRowHeight, dpr);
    }
}

}  // namespace morvane
