#include "formats/Trd.h"

#include <algorithm>
#include <string>

#include "model/Checksums.h"
#include "model/Geometry.h"

namespace morvane {

namespace {

constexpr std::uint8_t kTrdSizeCode = 1;

// A sector the file holds whole gets its 256 bytes; one the end of the file cuts into or
// off keeps its made-up ID field and no data: the file does not say what it held.
void FillTrdSector(std::span<const std::uint8_t> file, std::size_t offset, std::uint8_t track,
                   std::uint8_t sector, SectorSlot& slot) {
    const auto cylinder = static_cast<std::uint8_t>(CylinderOf(track));
    slot.Present = kPresent;
    slot.Cylinder = cylinder;
    slot.Head = 0;
    slot.Sector = sector;
    slot.SizeCode = kTrdSizeCode;
    slot.HeaderCrc = IdFieldCrc(cylinder, 0, sector, kTrdSizeCode);
    if (offset > file.size() || file.size() - offset < kTrdSectorSize) {
        slot.DataLength = 0;
        slot.DataGood = 0;
        return;
    }
    slot.DataLength = kTrdSectorSize;
    slot.DataGood = kDataGood;
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), kTrdSectorSize,
                slot.Data.first(kTrdSectorSize).begin());
}

// What the reader says of a file whose last track is cut: where it ends, how many bytes
// are missing and which sectors therefore have no data.
LoadNote CutTrackNote(std::size_t track, std::size_t held) {
    const std::size_t wholeSectors = held / kTrdSectorSize;
    const std::size_t partBytes = held % kTrdSectorSize;
    std::string text = "The TRD file ends " + std::to_string(held) + " bytes into track " +
                       std::to_string(track) + ": the last " +
                       std::to_string(kTrdTrackSize - held) +
                       " bytes of the track are missing, and its sector";
    if (wholeSectors + 1 == kTrdSectorsPerTrack)
        text += " 16 is";
    else
        text += "s " + std::to_string(wholeSectors + 1) + "..16 are";
    text += " loaded without data";
    if (partBytes > 0)
        text += " (sector " + std::to_string(wholeSectors + 1) + " has only " +
                std::to_string(partBytes) + " of its 256 bytes)";
    text += '.';
    return {.text = std::move(text), .sectorsMissing = true};
}

LoadNote TracksBeyondNote(std::size_t fileTracks) {
    return {.text = "The TRD file holds " + std::to_string(fileTracks) + " tracks; tracks " +
                    std::to_string(kTrackCount) + ".." + std::to_string(fileTracks - 1) +
                    " lie beyond the image's " + std::to_string(kTrackCount) +
                    " tracks and are not loaded."};
}

}  // namespace

bool ReadTrd(std::span<const std::uint8_t> file, DiskImage& disk) {
    disk.ClearImage();
    // A part track at the end counts as a track: its whole sectors are loaded.
    const std::size_t held = file.size() % kTrdTrackSize;
    const std::size_t fileTracks = file.size() / kTrdTrackSize + (held > 0 ? 1 : 0);
    const std::size_t tracks = std::min(fileTracks, kTrackCount);
    for (std::size_t t = 0; t < tracks; ++t) {
        const auto index = static_cast<std::uint8_t>(t);
        Track& track = *disk.GetTrack(index);
        track.Present = kPresent;
        track.RawLength = 0;
        track.Number = index;
        for (std::size_t p = 0; p < kTrdSectorsPerTrack; ++p) {
            const std::size_t offset = t * kTrdTrackSize + p * kTrdSectorSize;
            FillTrdSector(file, offset, index, static_cast<std::uint8_t>(p + 1), track.Slots[p]);
        }
        track.CountSectors();
    }
    if (held > 0 && fileTracks <= kTrackCount)
        disk.LoadNotes.push_back(CutTrackNote(fileTracks - 1, held));
    if (fileTracks > kTrackCount) disk.LoadNotes.push_back(TracksBeyondNote(fileTracks));
    return true;
}

void WriteTrdKeepingGaps(DiskImage& disk, Bytes& out, std::vector<TrdGap>& gaps) {
    out.clear();
    gaps.clear();
    const std::size_t tracks = disk.TracksToWrite();
    out.reserve(tracks * kTrdTrackSize);
    for (std::size_t t = 0; t < tracks; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        const auto first = track.Slots.begin();
        const auto last = first + kTrdSectorsPerTrack;
        for (std::uint8_t r = 1; r <= kTrdSectorsPerTrack; ++r) {
            const auto slot =
                std::find_if(first, last, [r](const SectorSlot& s) { return s.Sector == r; });
            if (slot == last) {
                gaps.push_back({static_cast<std::uint8_t>(t), r});
                out.insert(out.end(), kTrdSectorSize, std::uint8_t{0});
                continue;
            }
            const std::span<const std::uint8_t> data = slot->Data.first(kTrdSectorSize);
            out.insert(out.end(), data.begin(), data.end());
        }
    }
}

bool WriteTrd(DiskImage& disk, Bytes& out) {
    std::vector<TrdGap> gaps;
    WriteTrdKeepingGaps(disk, out, gaps);
    if (gaps.empty()) return true;
    out.clear();
    return false;
}

}  // namespace morvane
