// The raised tiles of the disk map, built once per pixel density: a filled rectangle with a
// white line along the left and top edges and a black one along the right and bottom
// edges. A tile is drawn in the screen's own pixels (its device pixel ratio set), its
// edge lines a whole number of them wide, so it stays sharp at 1.5x and 2x.
#pragma once

#include <QColor>
#include <QPixmap>

#include <array>

#include "ui/views/MapCells.h"

namespace morvane {

QColor TileFill(MapTile tile, const QColor& buttonFace);
// A tile of width x height logical pixels for a screen of pixel ratio dpr.
QPixmap BuildTile(const QColor& fill, int width, int height, qreal dpr = 1);

class MapTileSet {
  public:
    explicit MapTileSet(const QColor& buttonFace, qreal dpr = 1);
    qreal Dpr() const { return dpr_; }
    // Null pixmap for MapTile::None.
    const QPixmap& Tile(MapTile tile) const { return tiles_[static_cast<std::size_t>(tile)]; }
    QColor Fill(MapTile tile) const { return TileFill(tile, buttonFace_); }

  private:
    QColor buttonFace_;
    qreal dpr_;
    std::array<QPixmap, kMapTileCount> tiles_;
};

}  // namespace morvane
