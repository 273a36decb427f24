#include "formats/Trd.h"

#include <algorithm>

#include "model/Checksums.h"
#include "model/Geometry.h"

namespace morvane {

namespace {

constexpr std::uint8_t kTrdSizeCode = 1;

// Whole tracks in a file of the given size: the size over 4096, rounded to nearest with
// ties to even, so a final part track longer than half a track counts as a track.
std::size_t TrdTrackCount(std::size_t fileSize) {
    std::size_t tracks = fileSize / kTrdTrackSize;
    const std::size_t rest = fileSize % kTrdTrackSize;
    if (rest * 2 > kTrdTrackSize || (rest * 2 == kTrdTrackSize && tracks % 2 == 1)) ++tracks;
    return tracks;
}

void FillTrdSector(std::span<const std::uint8_t> file, std::size_t offset, std::uint8_t track,
                   std::uint8_t sector, TSectorSlot& slot) {
    const auto cylinder = static_cast<std::uint8_t>(CylinderOf(track));
    slot.Present = kPresent;
    slot.Cylinder = cylinder;
    slot.Head = 0;
    slot.Sector = sector;
    slot.SizeCode = kTrdSizeCode;
    slot.HeaderCrc = IdFieldCrc(cylinder, 0, sector, kTrdSizeCode);
    slot.DataLength = kTrdSectorSize;
    // A sector cut off by the end of the file keeps the bytes that are there, zeros after
    // them, and is marked bad so nobody takes the zeros for data.
    const std::size_t available =
        offset < file.size() ? std::min(kTrdSectorSize, file.size() - offset) : 0;
    const std::span<std::uint8_t> data = slot.Data.first(kTrdSectorSize);
    std::fill(data.begin(), data.end(), std::uint8_t{0});
    if (available > 0)
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), available, data.begin());
    slot.DataGood = available == kTrdSectorSize ? kDataGood : 0;
}

}  // namespace

bool ReadTrd(std::span<const std::uint8_t> file, TZX_Disk& disk) {
    // Tracks past the container's 166 are ignored.
    const std::size_t tracks = std::min(TrdTrackCount(file.size()), kTrackCount);
    disk.ClearImage();
    for (std::size_t t = 0; t < tracks; ++t) {
        const auto index = static_cast<std::uint8_t>(t);
        TTrack& track = *disk.GetTrack(index);
        track.Present = kPresent;
        track.RawLength = 0;
        track.Number = index;
        for (std::size_t p = 0; p < kTrdSectorsPerTrack; ++p) {
            const std::size_t offset = t * kTrdTrackSize + p * kTrdSectorSize;
            FillTrdSector(file, offset, index, static_cast<std::uint8_t>(p + 1), track.Slots[p]);
        }
        track.CountSectors();
    }
    return true;
}

void WriteTrdKeepingGaps(TZX_Disk& disk, Bytes& out, std::vector<TrdGap>& gaps) {
    out.clear();
    gaps.clear();
    const std::size_t tracks = disk.TracksToWrite();
    out.reserve(tracks * kTrdTrackSize);
    for (std::size_t t = 0; t < tracks; ++t) {
        const TTrack& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        const auto first = track.Slots.begin();
        const auto last = first + kTrdSectorsPerTrack;
        for (std::uint8_t r = 1; r <= kTrdSectorsPerTrack; ++r) {
            const auto slot =
                std::find_if(first, last, [r](const TSectorSlot& s) { return s.Sector == r; });
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

bool WriteTrd(TZX_Disk& disk, Bytes& out) {
    std::vector<TrdGap> gaps;
    WriteTrdKeepingGaps(disk, out, gaps);
    if (gaps.empty()) return true;
    out.clear();
    return false;
}

}  // namespace morvane
