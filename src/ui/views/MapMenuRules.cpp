#include "ui/views/MapMenuRules.h"

#include "ui/views/MapCells.h"

namespace morvane {

namespace {

constexpr std::array<std::string_view, kMapMenuEntryCount> kCaptions{
    "Считать RAW дорожки",
    "Считать сектора дорожки",
    "Сканировать дорожку",
    "Записать дорожку",
    "Формат дорожки",
    "RAW -> заголовки секторов",
    "Убрать дорожку",
    "Данные скторов -> RAW",
    "Очистить дорожку",
    "Очистить данные секторов",
    "Очистить заголовки секторов",
    "Добавить дорожку",
    "Установить базовым трэком",
    "Очистить Log дорожки",
    "Считать сектор",
    "Записать сектор",
    "Убрать сектор",
    "Добавить сектор",
    "Очистить данные сектора",
    "Очистить заголовок сектора",
    "Редактировать адрес сектора",
};

constexpr MapMenuEntry kTrackEntries[] = {
    MapMenuEntry::ReadRawTrack,       MapMenuEntry::ReadTrackSectors,
    MapMenuEntry::ScanTrack,          MapMenuEntry::WriteTrack,
    MapMenuEntry::FormatTrack,        MapMenuEntry::RawToSectorHeaders,
    MapMenuEntry::RemoveTrack,        MapMenuEntry::SectorDataToRaw,
    MapMenuEntry::ClearTrack,         MapMenuEntry::ClearSectorsData,
    MapMenuEntry::ClearSectorHeaders,
};

constexpr MapMenuEntry kSectorEntries[] = {
    MapMenuEntry::ReadSector,        MapMenuEntry::WriteSector,     MapMenuEntry::RemoveSector,
    MapMenuEntry::AddSector,         MapMenuEntry::ClearSectorData, MapMenuEntry::ClearSectorHeader,
    MapMenuEntry::EditSectorAddress,
};

EntryState From(bool enabled) {
    return enabled ? EntryState::Enabled : EntryState::Disabled;
}

void Set(MapMenuEnabling& e, MapMenuEntry entry, EntryState state) {
    e[static_cast<std::size_t>(entry)] = state;
}

template <std::size_t N>
void SetAll(MapMenuEnabling& e, const MapMenuEntry (&entries)[N], EntryState state) {
    for (MapMenuEntry entry : entries)
        Set(e, entry, state);
}

}  // namespace

std::string_view MapMenuCaption(MapMenuEntry entry) {
    const auto index = static_cast<std::size_t>(entry);
    return index < kCaptions.size() ? kCaptions[index] : std::string_view{};
}

MapMenuCell DescribeMenuCell(const TZX_Disk& disk, int column, int row) {
    MapMenuCell cell;
    if (column < 0 || column >= kMapColumns || row < 0 || row >= kMapRows) return cell;
    const TTrack* track = disk.GetTrack(static_cast<std::uint8_t>(row));
    if (track == nullptr) return cell;
    cell.trackPresent = track->Present != 0;
    cell.trackHasRaw = track->RawLength > 0;
    cell.trackLogHasLines = !track->Log.empty();
    if (column == 0) {
        cell.kind = MapMenuCell::Kind::TrackLabel;
        return cell;
    }
    const TSectorSlot* slot = track->GetSlot(static_cast<std::uint8_t>(column - 1));
    if (slot == nullptr) return MapMenuCell{};
    cell.kind = MapMenuCell::Kind::Sector;
    cell.slotPresent = slot->Present != 0;
    return cell;
}

MapMenuEnabling MapMenuEnablingFor(const MapMenuCell& cell) {
    MapMenuEnabling e{};
    e.fill(EntryState::Disabled);
    switch (cell.kind) {
        case MapMenuCell::Kind::None:
            Set(e, MapMenuEntry::ClearTrackLog, EntryState::Unchanged);
            break;
        case MapMenuCell::Kind::TrackLabel:
            SetAll(e, kTrackEntries, From(cell.trackPresent));
            Set(e, MapMenuEntry::AddTrack, From(!cell.trackPresent));
            Set(e, MapMenuEntry::SetBaseTrack, From(cell.trackPresent && cell.trackHasRaw));
            Set(e, MapMenuEntry::ClearTrackLog, From(cell.trackLogHasLines));
            break;
        case MapMenuCell::Kind::Sector:
            if (!cell.trackPresent) break;
            if (cell.slotPresent) {
                Set(e, MapMenuEntry::ReadSector, EntryState::Enabled);
                Set(e, MapMenuEntry::WriteSector, EntryState::Enabled);
                Set(e, MapMenuEntry::RemoveSector, EntryState::Enabled);
                Set(e, MapMenuEntry::EditSectorAddress, EntryState::Enabled);
                Set(e, MapMenuEntry::AddSector, EntryState::Unchanged);
                Set(e, MapMenuEntry::ClearSectorData, EntryState::Unchanged);
                Set(e, MapMenuEntry::ClearSectorHeader, EntryState::Unchanged);
            } else {
                Set(e, MapMenuEntry::AddSector, EntryState::Enabled);
            }
            break;
    }
    return e;
}

}  // namespace morvane
