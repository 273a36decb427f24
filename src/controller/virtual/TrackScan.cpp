#include "controller/virtual/TrackScan.h"

#include "model/Checksums.h"

namespace morvane::virt {

std::vector<std::size_t> FindAddressMarks(const RawTrack& track) {
    std::vector<std::size_t> marks;
    const std::size_t length = track.Length();
    for (std::size_t p = 0; p < length; ++p) {
        // The bit before the index belongs to the end of the same circle.
        const std::size_t before = p == 0 ? length - 1 : p - 1;
        if (!track.IsMarked(p) && track.IsMarked(before)) marks.push_back(p);
    }
    return marks;
}

std::vector<IdField> ReadIdFields(const RawTrack& track) {
    std::vector<IdField> ids;
    for (std::size_t p : FindAddressMarks(track)) {
        if (track.At(p) != kIdAddressMark) continue;
        IdField id;
        id.MarkPosition = p;
        id.C = track.At(p + 1);
        id.H = track.At(p + 2);
        id.R = track.At(p + 3);
        id.N = track.At(p + 4);
        id.StoredCrc = static_cast<std::uint16_t>(track.At(p + 5) << 8 | track.At(p + 6));
        id.CrcGood = id.StoredCrc == IdFieldCrc(id.C, id.H, id.R, id.N);
        ids.push_back(id);
    }
    return ids;
}

std::optional<DataField> FindDataField(const RawTrack& track, const IdField& id) {
    for (std::size_t d = 1; d <= kDataMarkWindow; ++d) {
        const std::size_t p = id.EndPosition() + d;
        if (track.IsMarked(p) || !track.IsMarked(p - 1)) continue;
        const std::uint8_t mark = track.At(p);
        if (mark == kDataAddressMark || mark == kDeletedDataAddressMark)
            return DataField{track.Wrap(p), mark};
        return std::nullopt;  // another address mark came first
    }
    return std::nullopt;
}

}  // namespace morvane::virt
