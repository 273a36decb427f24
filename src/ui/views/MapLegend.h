// The disk map's legend: what each colour of its cells means, one row per kind of cell,
// each with the cell as the map draws it, and what an empty cell means. Opened from the
// map's context menu.
#pragma once

#include <QDialog>

#include <vector>

#include "ui/views/MapCells.h"

namespace morvane {

class MapCellCache;

struct MapLegendRow {
    MapCellLook look;     // the cell as the map shows it
    const char* meaning;  // window text, marked for translation
};

// Track labels first, then sectors, in the order a reader meets them.
std::vector<MapLegendRow> MapLegendRows();

class MapLegend : public QDialog {
    Q_OBJECT
  public:
    // Draws the cells through the map's own cache, so the legend shows its colours.
    MapLegend(MapCellCache& cells, QWidget* parent = nullptr);
};

}  // namespace morvane
