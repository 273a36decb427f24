#include "ui/views/MapMenuRules.h"

#include <QtGlobal>

#include "ui/views/MapCells.h"

namespace morvane {

namespace {

constexpr std::array<std::string_view, kMapMenuEntryCount> kCaptions{
    QT_TRANSLATE_NOOP("morvane::Ui", "Считать RAW дорожки"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Считать сектора дорожки"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сканировать дорожку"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Записать дорожку"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Формат дорожки"),
    QT_TRANSLATE_NOOP("morvane::Ui", "RAW -> заголовки секторов"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Убрать дорожку"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Данные скторов -> RAW"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Очистить дорожку"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Очистить данные секторов"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Очистить заголовки секторов"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Добавить дорожку"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Установить базовым трэком"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Очистить Log дорожки"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Считать сектор"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Записать сектор"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Убрать сектор"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Добавить сектор"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Очистить данные сектора"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Очистить заголовок сектора"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Редактировать адрес сектора"),
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

MapMenuCell DescribeMenuCell(const DiskImage& disk, int column, int row) {
    MapMenuCell cell;
    if (column < 0 || column >= kMapColumns || row < 0 || row >= kMapRows) return cell;
    const Track* track = disk.GetTrack(static_cast<std::uint8_t>(row));
    if (track == nullptr) return cell;
    cell.trackPresent = track->Present != 0;
    cell.trackHasRaw = track->RawLength > 0;
    cell.trackLogHasLines = !track->Log.empty();
    if (column == 0) {
        cell.kind = MapMenuCell::Kind::TrackLabel;
        return cell;
    }
    const SectorSlot* slot = track->GetSlot(static_cast<std::uint8_t>(column - 1));
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
