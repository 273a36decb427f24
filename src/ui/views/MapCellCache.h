// The finished picture of each kind of disk map cell: its raised tile with its label
// drawn on it. Each picture is painted once, on first use, and then copied whole, so a
// repaint of the map does no text layout; the tiles and the font are resolved on first
// use too, which keeps them out of the program's start-up while the image is empty.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>

#include <optional>
#include <string>
#include <unordered_map>

#include "ui/views/MapCells.h"
#include "ui/views/MapTiles.h"

namespace morvane {

// The map's label font: 7 points, fixed pitch.
QFont MapCellFont();

class MapCellCache {
  public:
    explicit MapCellCache(const QColor& buttonFace) : buttonFace_(buttonFace) {}

    // The picture of a cell that looks like `look`, for a device of pixel ratio `dpr`;
    // a null pixmap for MapTile::None.
    const QPixmap& Cell(const MapCellLook& look, qreal dpr);
    QColor Fill(MapTile tile) const { return TileFill(tile, buttonFace_); }
    // Pictures painted so far (tests watch the reuse).
    std::size_t Size() const { return cells_.size(); }

  private:
    QPixmap Paint(const MapCellLook& look, qreal dpr);

    QColor buttonFace_;
    std::optional<MapTileSet> tiles_;
    std::optional<QFont> font_;
    qreal dpr_ = 1;
    std::unordered_map<std::string, QPixmap> cells_;
    QPixmap none_;
};

}  // namespace morvane
