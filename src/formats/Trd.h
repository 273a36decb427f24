// TRD: the plain sector dump of a TR-DOS disk, 16 sectors of 256 bytes per track, tracks
// in index order (cylinder * 2 + side), no header and no checksum.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

inline constexpr std::size_t kTrdSectorSize = 256;
inline constexpr std::size_t kTrdSectorsPerTrack = 16;
inline constexpr std::size_t kTrdTrackSize = kTrdSectorSize * kTrdSectorsPerTrack;  // 4096

// Clears disk and fills one track per 4096 bytes of file with sectors 1..16 of 256 bytes
// and made-up headers (C = track / 2, H = 0, N = 1). A file that ends inside a track
// gives that track too: the sectors it holds whole with their data, the others as ID
// fields without data, and a note in disk.LoadNotes saying how many bytes are missing.
// Tracks past the container's 166 are left out with a note. Never fails.
bool ReadTrd(std::span<const std::uint8_t> file, DiskImage& disk);
// Appends sectors 1..16 of tracks 0 .. CountTracks() - 1 to out (cleared first). False,
// with out emptied, when a track lacks one of the sector numbers in slots 0..15.
bool WriteTrd(DiskImage& disk, Bytes& out);

struct TrdGap {
    std::uint8_t track = 0;
    std::uint8_t sector = 0;
    bool operator==(const TrdGap&) const = default;
};

// The same file for a dump that must keep whatever was read: a sector number a track
// lacks becomes 256 zero bytes, and each one is listed in gaps (in file order).
void WriteTrdKeepingGaps(DiskImage& disk, Bytes& out, std::vector<TrdGap>& gaps);

}  // namespace morvane
