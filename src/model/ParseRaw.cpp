// Decoding of a raw track image (as READ TRACK delivers it) into sector slots:
// A1 A1 FE starts an ID field (C H R N CRChi CRClo), A1 A1 FB / A1 A1 F8 a data field.
#include "model/Track.h"

namespace morvane {

namespace {

constexpr std::uint8_t kSync = 0xA1;
constexpr std::uint8_t kIdMark = 0xFE;
constexpr std::uint8_t kDataMark = 0xFB;
constexpr std::uint8_t kDeletedDataMark = 0xF8;

// Bytes past the end of the buffer read as 0, so they never match a mark.
std::uint8_t At(const LazyBuffer& raw, std::size_t i) {
    return i < raw.size() ? raw[i] : 0;
}

bool SyncPairAt(const LazyBuffer& raw, std::size_t i) {
    return At(raw, i) == kSync && At(raw, i + 1) == kSync;
}

}  // namespace

void Track::ParseRaw() {
    ClearSlots();
    SectorCount = 0;
    int cursor = -1;
    bool headerPending = false;
    std::size_t i = 0;
    const std::size_t length = RawLength < kTrackBufferSize ? RawLength : kTrackBufferSize;
    while (i < length) {
        const std::uint8_t mark = At(Raw, i + 2);
        if (!headerPending && SyncPairAt(Raw, i) && mark == kIdMark) {
            i += 3;
            ++cursor;
            if (cursor >= static_cast<int>(kSlotsPerTrack)) continue;  // 33rd header on
            SectorSlot& slot = Slots[static_cast<std::size_t>(cursor)];
            slot.Present = kPresent;
            slot.Cylinder = At(Raw, i);
            slot.Head = At(Raw, i + 1);
            slot.Sector = At(Raw, i + 2);
            slot.SizeCode = At(Raw, i + 3);
            slot.HeaderCrc = static_cast<std::uint16_t>(At(Raw, i + 4) << 8 | At(Raw, i + 5));
            i += 6;
            ++SectorCount;
            headerPending = true;
        } else if (headerPending && SyncPairAt(Raw, i) &&
                   (mark == kDataMark || mark == kDeletedDataMark)) {
            i += 3;
            Slots[static_cast<std::size_t>(cursor)].DataPosition = static_cast<std::uint16_t>(i);
            headerPending = false;
        } else {
            ++i;
        }
    }
}

}  // namespace morvane
