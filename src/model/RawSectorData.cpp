#include "model/RawSectorData.h"

#include <algorithm>
#include <span>
#include <utility>

#include "model/Checksums.h"
#include "model/SizeCode.h"
#include "model/Track.h"
#include "model/ZxDisk.h"

namespace morvane {

namespace {

constexpr std::size_t kCrcLength = 2;

}  // namespace

std::size_t TakeSectorDataFromRaw(TTrack& track) {
    std::size_t filled = 0;
    const std::size_t rawLength = std::min<std::size_t>(track.RawLength, track.Raw.size());
    const std::span<const std::uint8_t> raw = std::as_const(track.Raw).first(rawLength);
    for (TSectorSlot& slot : track.Slots) {
        const std::size_t size = SizeFromCode(slot.SizeCode);
        const std::size_t first = slot.DataPosition;
        // The mark byte stands just before the data.
        if (slot.Present == 0 || slot.DataLength != 0 || size == 0 || first == 0) continue;
        if (first + size + kCrcLength > rawLength) continue;
        const std::span<const std::uint8_t> data = raw.subspan(first, size);
        std::copy(data.begin(), data.end(), slot.Data.first(size).begin());
        slot.DataLength = static_cast<std::uint16_t>(size);
        const auto stored =
            static_cast<std::uint16_t>(raw[first + size] << 8 | raw[first + size + 1]);
        slot.DataGood = stored == DataFieldCrc(raw[first - 1], data) ? kDataGood : 0;
        ++filled;
    }
    return filled;
}

std::size_t TakeSectorDataFromRawTracks(TZX_Disk& disk) {
    std::size_t filled = 0;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        TTrack& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present != 0 && track.RawValid != 0) filled += TakeSectorDataFromRaw(track);
    }
    return filled;
}

}  // namespace morvane
