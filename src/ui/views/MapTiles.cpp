#include "ui/views/MapTiles.h"

#include <QPainter>

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

QPixmap BuildTile(const QColor& fill, int width, int height) {
    QPixmap tile(width, height);
    tile.fill(fill);
    QPainter p(&tile);
    p.setPen(Qt::white);
    p.drawLine(0, 0, width - 1, 0);
    p.drawLine(0, 0, 0, height - 1);
    p.setPen(Qt::black);
    p.drawLine(width - 1, 0, width - 1, height - 1);
    p.drawLine(0, height - 1, width - 1, height - 1);
    return tile;
}

MapTileSet::MapTileSet(const QColor& buttonFace) : buttonFace_(buttonFace) {
    for (std::size_t i = 1; i < tiles_.size(); ++i) {
        const auto tile = static_cast<MapTile>(i);
        const int width = IsLabelTile(tile) ? kMapLabelWidth : kMapSectorWidth;
        tiles_[i] = BuildTile(TileFill(tile, buttonFace), width, kMapRowHeight);
    }
}

}  // namespace morvane
