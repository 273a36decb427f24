// The two operations that change the physical disk: "Записать сектор" writes the selected
// slot's data to the sector with its number, "Формат дорожки" lays down a track of sixteen
// sectors whose ID fields come from slots 0..15. The track record is not changed.
#pragma once

#include <cstdint>
#include <optional>

#include "model/Bytes.h"
#include "operations/OperationContext.h"

namespace morvane {

class Track;
struct SectorSlot;

inline constexpr std::size_t kFormatTemplateEntries = 198;
inline constexpr std::size_t kFormatSectors = 16;
inline constexpr std::size_t kMaxFormatPairs = 255;  // the count byte of the table

// The block of CommandCode::WriteSector: R, then exactly 128 << N data bytes (cut or zero-padded).
// None for a size code above 3. cut tells whether the slot held more than the sector.
std::optional<Bytes> BuildSectorWriteBlock(const SectorSlot& slot, bool* cut = nullptr);

// The format table from the 198-entry template and slots 0..15: P, then P (count, value)
// pairs. None when the pairs do not fit the count byte (sixteen sectors of 512 or 1024
// bytes), or the sixteen sectors do not fit one revolution (nine of 512 bytes and seven
// empty slots).
std::optional<Bytes> BuildFormatTable(const Track& track);

// "Записать сектор"
OperationOutcome WriteSelectedSector(OperationContext& ctx, MapCell cell);
// "Формат дорожки": the sixteen-sector template where the track fits it; otherwise (five
// sectors of 1024 bytes, a CP/M track) the table of the track's own layout that "Записать
// дорожку" lays down (LayoutFormatTable.h), without the data. Refused, with the layout's
// reason shown, when neither can be written.
OperationOutcome FormatSelectedTrack(OperationContext& ctx, MapCell cell);

}  // namespace morvane
