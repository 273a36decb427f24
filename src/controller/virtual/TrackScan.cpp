#include "controller/virtual/TrackScan.h"

#include <algorithm>

#include "model/Checksums.h"

namespace morvane::virt {

std::vector<std::size_t> FindAddressMarks(const RawTrack& track) {
    // Walk the bitmap a byte at a time: most of a track has no sync bytes at all.
    std::vector<std::size_t> marks;
    const std::size_t length = track.Length();
    for (std::size_t j = 0; j < track.Marks.size(); ++j) {
        if (track.Marks[j] == 0) continue;
        for (std::size_t k = 0; k < 8; ++k) {
            const std::size_t q = 8 * j + k;
            if (q >= length || !track.IsMarked(q)) continue;
            // The byte after the last sync byte of the circle is the first of the track.
            if (!track.IsMarked(q + 1)) marks.push_back(track.Wrap(q + 1));
        }
    }
    if (!marks.empty() && marks.back() == 0)
        std::rotate(marks.rbegin(), marks.rbegin() + 1, marks.rend());
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
    for (std::size_t p = id.EndPosition() + 1; DataMarkWithinWindow(id.EndPosition(), p); ++p) {
        if (track.IsMarked(p) || !track.IsMarked(p - 1)) continue;
        const std::uint8_t mark = track.At(p);
        if (mark == kDataAddressMark || mark == kDeletedDataAddressMark)
            return DataField{track.Wrap(p), mark};
        return std::nullopt;  // another address mark came first
    }
    return std::nullopt;
}

}  // namespace morvane::virt
