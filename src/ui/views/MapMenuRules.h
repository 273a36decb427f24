// The disk map's context menu: its entries, their captions and which of them are
// enabled for the cell under the mouse.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/DiskImage.h"

namespace morvane {

enum class MapMenuEntry : std::uint8_t {
    // Track entries.
    ReadRawTrack,
    ReadTrackSectors,
    ScanTrack,
    WriteTrack,
    FormatTrack,
    RawToSectorHeaders,
    RemoveTrack,
    SectorDataToRaw,
    ClearTrack,
    ClearSectorsData,
    ClearSectorHeaders,
    // Entries with their own rule.
    AddTrack,
    SetBaseTrack,
    ClearTrackLog,
    // Sector entries.
    ReadSector,
    WriteSector,
    RemoveSector,
    AddSector,
    ClearSectorData,
    ClearSectorHeader,
    EditSectorAddress,
    Count,
};

inline constexpr std::size_t kMapMenuEntryCount = static_cast<std::size_t>(MapMenuEntry::Count);

std::string_view MapMenuCaption(MapMenuEntry entry);

enum class EntryState : std::uint8_t { Unchanged, Enabled, Disabled };

using MapMenuEnabling = std::array<EntryState, kMapMenuEntryCount>;

inline EntryState StateOf(const MapMenuEnabling& enabling, MapMenuEntry entry) {
    return enabling[static_cast<std::size_t>(entry)];
}

// What the rule looks at, taken from the image for the cell under the mouse.
struct MapMenuCell {
    enum class Kind : std::uint8_t { None, TrackLabel, Sector } kind = Kind::None;
    bool trackPresent = false;
    bool trackHasRaw = false;  // RawLength > 0
    bool trackLogHasLines = false;
    bool slotPresent = false;
};

MapMenuCell DescribeMenuCell(const DiskImage& disk, int column, int row);
MapMenuEnabling MapMenuEnablingFor(const MapMenuCell& cell);

}  // namespace morvane
