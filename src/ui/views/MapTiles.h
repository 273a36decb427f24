// The raised tiles of the disk map, built once: a filled rectangle with a white line
// along the left and top edges and a black one along the right and bottom edges.
#pragma once

#include <QColor>
#include <QPixmap>
#include <array>

#include "ui/views/MapCells.h"

namespace morvane {

QColor TileFill(MapTile tile, const QColor& buttonFace);
QPixmap BuildTile(const QColor& fill, int width, int height);

class MapTileSet {
  public:
    explicit MapTileSet(const QColor& buttonFace);
    // Null pixmap for MapTile::None.
    const QPixmap& Tile(MapTile tile) const { return tiles_[static_cast<std::size_t>(tile)]; }
    QColor Fill(MapTile tile) const { return TileFill(tile, buttonFace_); }

  private:
    QColor buttonFace_;
    std::array<QPixmap, kMapTileCount> tiles_;
};

}  // namespace morvane
