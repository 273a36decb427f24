// What one cell of the disk map shows, decided from the image alone: which tile, which
// text, where the text goes, and whether a repaint on behalf of an operation scrolls.
#pragma once

#include <cstdint>
#include <string>

#include "model/DiskImage.h"

namespace morvane {

inline constexpr int kMapColumns = 26;  // label column + slots 0..24
inline constexpr int kMapRows = 166;
inline constexpr int kMapLabelWidth = 50;
inline constexpr int kMapSectorWidth = 30;
inline constexpr int kMapRowHeight = 14;

enum class MapTile : std::uint8_t {
    None,  // only the background
    SectorGood,
    SectorBad,
    SectorHeaderOnly,
    SectorDisabled,
    LabelRaw,
    LabelNoRaw,
    LabelDisabled,
    SectorVoted,      // recovered by the vote of its copies
    SectorBestGuess,  // the vote of its copies, unchecked or failing the CRC
};
inline constexpr std::size_t kMapTileCount = static_cast<std::size_t>(MapTile::SectorBestGuess) + 1;

struct MapCellLook {
    MapTile tile = MapTile::None;
    std::string text;        // empty: no text
    bool whiteText = false;  // otherwise black
};

// Column 0 is the track label of row r; column c >= 1 shows slot c - 1 of track r.
MapCellLook LookOfCell(const DiskImage& disk, int column, int row, bool showDisabled);

// "T007": the track index in three decimal digits.
std::string TrackLabelText(unsigned track);
// "s01": the last two decimal digits of the sector number.
std::string SectorLabelText(std::uint8_t sector);

// Offset that centres an extent in a cell: half the free space, halves rounded to the
// even neighbour.
int CentredOffset(int cellExtent, int contentExtent);

// Left edge of a column in grid coordinates (column 0 at 0).
int ColumnLeft(int column);
int ColumnWidth(int column);

// A repaint for track `track` while rows top .. top + visibleRows - 1 are fully visible:
// the new top row (one further down when the track lies below the visible rows, never
// past maxTop).
int TopRowAfterRedraw(int topRow, int visibleRows, int track, int maxTop);

}  // namespace morvane
