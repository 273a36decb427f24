#include "formats/udi/UdiSectorFinder.h"

#include <algorithm>
#include <utility>

#include "model/Checksums.h"
#include "model/DataMarkWindow.h"
#include "model/Geometry.h"

namespace morvane {

namespace {

constexpr std::uint8_t kIdMark = 0xFE;
constexpr std::uint8_t kDataMark = 0xFB;
constexpr std::uint8_t kDeletedDataMark = 0xF8;
constexpr std::ptrdiff_t kIdFieldLength = 7;  // mark, C, H, R, N, CRC high, CRC low

class TrackBytes {
  public:
    TrackBytes(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> marks)
        : bytes_(bytes), marks_(marks) {}

    std::ptrdiff_t Length() const { return static_cast<std::ptrdiff_t>(bytes_.size()); }
    std::uint8_t At(std::ptrdiff_t i) const {
        return i >= 0 && i < Length() ? bytes_[static_cast<std::size_t>(i)] : 0;
    }
    bool Marked(std::ptrdiff_t i) const {
        const auto byte = static_cast<std::size_t>(i / 8);
        return i >= 0 && byte < marks_.size() && (marks_[byte] >> (i % 8) & 1) != 0;
    }
    std::span<const std::uint8_t> Range(std::ptrdiff_t from, std::size_t count) const {
        return bytes_.subspan(static_cast<std::size_t>(from), count);
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::span<const std::uint8_t> marks_;
};

void TakeId(const TrackBytes& raw, std::ptrdiff_t f, SectorSlot& slot) {
    slot.Present = kPresent;
    slot.Cylinder = raw.At(f + 1);
    slot.Head = raw.At(f + 2);
    slot.Sector = raw.At(f + 3);
    slot.SizeCode = raw.At(f + 4);
    slot.HeaderCrc = static_cast<std::uint16_t>(raw.At(f + 5) << 8 | raw.At(f + 6));
}

// Copies count bytes from f + 1 on into the slot (count is below the track length, which
// the reader keeps within the slot's buffer).
void TakeData(const TrackBytes& raw, std::ptrdiff_t f, std::size_t count, SectorSlot& slot) {
    const std::size_t n = std::min(count, slot.Data.size());
    if (n > 0) {
        const auto source = raw.Range(f + 1, n);
        std::copy(source.begin(), source.end(), slot.Data.first(n).begin());
    }
    slot.DataPosition = static_cast<std::uint16_t>(f + 1);
    slot.DataLength = static_cast<std::uint16_t>(n);
}

// Data of slot from the data mark at f on: size bytes with their CRC checked, or what
// the track still holds when the field runs past its end (bad data). Returns the position
// from which the search for marks goes on.
std::ptrdiff_t TakeDataField(const TrackBytes& raw, std::ptrdiff_t f, SectorSlot& slot) {
    const std::ptrdiff_t length = raw.Length();
    // The size shift wraps the way a 32-bit shift does; codes of 25 and up give 0.
    const std::uint32_t size = std::uint32_t{128} << (slot.SizeCode % 32);
    // f is past an ID field here, so the three bytes before the mark exist.
    if (f >= 3 && static_cast<std::uint64_t>(f) + 3 + size < static_cast<std::uint64_t>(length)) {
        TakeData(raw, f, size, slot);
        // CRC over the three bytes before the mark, the mark and the data.
        const std::uint16_t crc = Crc16Fdc(raw.Range(f - 3, std::size_t{size} + 4));
        const auto stored =
            static_cast<std::uint16_t>(raw.At(f + size + 1) << 8 | raw.At(f + size + 2));
        slot.DataGood = crc == stored ? kDataGood : 0;
        return f + static_cast<std::ptrdiff_t>(size) + 1;
    }
    const std::ptrdiff_t rest = std::max<std::ptrdiff_t>(length - f - 3, 0);
    TakeData(raw, f, static_cast<std::size_t>(rest), slot);
    slot.DataGood = 0;
    return std::max(f, length - 2);
}

}  // namespace

void FindUdiSectors(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> clockMarks,
                    Track& track) {
    const TrackBytes raw(bytes.first(std::min(bytes.size(), kTrackBufferSize)), clockMarks);
    const std::ptrdiff_t length = raw.Length();
    bool marked = false;
    // The slot whose ID field waits for its data mark, and where that ID's CRC ends.
    SectorSlot* waiting = nullptr;
    std::ptrdiff_t idCrcEnd = 0;
    std::size_t s = 0;
    for (std::ptrdiff_t f = 0; f < length; ++f) {
        if (raw.Marked(f)) {
            marked = true;
            continue;
        }
        if (!marked) continue;
        marked = false;
        const std::uint8_t mark = raw.At(f);
        // The first mark after an ID field decides whether it has data; an ID left without
        // keeps its slot with the ID alone, as the controller finds no record for it.
        if (waiting != nullptr) {
            SectorSlot& slot = *std::exchange(waiting, nullptr);
            if ((mark == kDataMark || mark == kDeletedDataMark) &&
                DataMarkWithinWindow(static_cast<std::size_t>(idCrcEnd),
                                     static_cast<std::size_t>(f))) {
                f = TakeDataField(raw, f, slot);
                continue;
            }
        }
        // An ID mark past the 32nd sector has no slot to go to and is passed over, and so
        // is a data mark that no ID field waits for.
        if (mark == kIdMark && s < kSlotsPerTrack) {
            TakeId(raw, f, track.Slots[s]);
            waiting = &track.Slots[s];
            ++s;
            idCrcEnd = f + kIdFieldLength - 1;
            f = idCrcEnd;
        }
    }
    track.CountSectors();
}

}  // namespace morvane
