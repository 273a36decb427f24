// The format table of CommandCode::WriteTrack built after a track's own layout: one ID field and
// one data field per occupied slot, in slot order, with the gaps chosen so that the whole track
// fits one revolution of a 300 rpm, 250 kbit/s MFM track. The fixed sixteen-sector template of
// "Формат дорожки" is a different thing (SectorWrite.h).
#pragma once

#include <QString>

#include <cstddef>
#include <optional>

#include "model/Bytes.h"

namespace morvane {

class Track;

inline constexpr std::size_t kMfmTrackBytes = 6250;  // 250 kbit/s at 300 rpm
inline constexpr std::size_t kMinDataGap = 24;       // gap 3, fewest bytes a write may use
inline constexpr std::size_t kMaxDataGap = 84;       // gap 3, never wider than a PC format

// What a layout table lays down, for the caller's log and for tests.
struct LayoutFormat {
    Bytes table;                 // P, then P (count, value) pairs
    std::size_t sectors = 0;     // ID fields in the table
    std::size_t trackBytes = 0;  // bytes up to the end of the last sector's gap 3
    std::size_t dataGap = 0;     // gap 3 chosen
    bool indexMark = false;      // the track starts with the index address mark
};

// None when the layout cannot be written: a size code above 3, more bytes than one
// revolution holds, or more pairs than the count byte can say. refusal then names the
// track and what does not fit. A track without occupied slots gives a table of gap only.
std::optional<LayoutFormat> BuildLayoutFormatTable(const Track& track, QString& refusal);

}  // namespace morvane
