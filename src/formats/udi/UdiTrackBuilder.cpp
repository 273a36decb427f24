#include "formats/udi/UdiTrackBuilder.h"

#include <algorithm>
#include <utility>

#include "model/Checksums.h"
#include "model/Geometry.h"
#include "model/SizeCode.h"

namespace morvane {

namespace {

using Pos = std::ptrdiff_t;

constexpr Pos kTrackEnd = static_cast<Pos>(kUdiTrackLength);
// A data field whose CRC would end past this point does not fit the track.
constexpr Pos kLastDataEnd = 6239;
// Data of a last, bad sector that does not fit is written up to this position.
constexpr Pos kCutDataEnd = 6246;
constexpr Pos kSyncZeros = 12;
constexpr std::uint8_t kIndexSync = 0xC2;
constexpr std::uint8_t kIndexMark = 0xFC;
constexpr std::uint8_t kSync = 0xA1;
constexpr std::uint8_t kIdMark = 0xFE;
constexpr std::uint8_t kDataMark = 0xFB;
constexpr std::uint8_t kDeletedDataMark = 0xF8;
constexpr std::uint8_t kBadDataSync = 0x14;  // first sync byte of a rebuilt bad sector

// Standard layout.
constexpr Pos kGapA = 80;
constexpr Pos kGapB = 50;
constexpr Pos kGapId = 22;
constexpr Pos kGap3 = 54;
constexpr std::size_t kTrackStartLength = 146;
constexpr std::size_t kSectorOverhead = 116;
constexpr std::size_t kLongShortening = 50;  // e at and past which gaps A and B lose 25
constexpr Pos kGapABCut = 25;
constexpr std::size_t kMaxGap3Cut = 36;

// Writes into the image; positions outside the track are dropped, so a layout that runs
// past the end simply loses its tail.
class TrackOut {
  public:
    explicit TrackOut(UdiTrackImage& image) : image_(image) {}

    void Put(Pos at, std::uint8_t v) {
        if (at >= 0 && at < kTrackEnd) image_.Bytes[static_cast<std::size_t>(at)] = v;
    }
    void Fill(Pos from, Pos count, std::uint8_t v) {
        const auto [begin, end] = Inside(from, count);
        std::fill(image_.Bytes.begin() + begin, image_.Bytes.begin() + end, v);
    }
    void Copy(Pos at, std::span<const std::uint8_t> bytes) {
        const auto [begin, end] = Inside(at, static_cast<Pos>(bytes.size()));
        if (begin == end) return;
        const auto source = bytes.subspan(static_cast<std::size_t>(begin - at),
                                          static_cast<std::size_t>(end - begin));
        std::copy(source.begin(), source.end(), image_.Bytes.begin() + begin);
    }
    void Mark(Pos at) {
        if (at >= 0 && at < kTrackEnd) {
            const auto i = static_cast<std::size_t>(at);
            image_.ClockMarks[i / 8] =
                static_cast<std::uint8_t>(image_.ClockMarks[i / 8] | 1u << (i % 8));
        }
    }
    void Crc(Pos at, std::uint16_t crc) {
        Put(at, static_cast<std::uint8_t>(crc >> 8));
        Put(at + 1, static_cast<std::uint8_t>(crc));
    }
    // Bytes [from, from + count) that lie inside the track.
    std::span<const std::uint8_t> View(Pos from, Pos count) const {
        const auto [begin, end] = Inside(from, count);
        return std::span<const std::uint8_t>(image_.Bytes)
            .subspan(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
    }

  private:
    // The part of [from, from + count) inside the track, as positions begin <= end.
    static std::pair<Pos, Pos> Inside(Pos from, Pos count) {
        const Pos begin = std::clamp<Pos>(from, 0, kTrackEnd);
        return {begin, std::clamp<Pos>(from + count, begin, kTrackEnd)};
    }

    UdiTrackImage& image_;
};

UdiTrackResult Fail(UdiTrackSource source, std::optional<std::uint8_t> slot) {
    return UdiTrackResult{false, source, slot};
}

// Indices of the occupied slots in slot order. A sector removed from the middle of a
// track leaves a gap, so the k-th sector written is not always slot k.
class OccupiedSlots {
  public:
    explicit OccupiedSlots(const TTrack& track) {
        for (std::size_t i = 0; i < kSlotsPerTrack; ++i) {
            if (track.Slots[i].Present != 0) indices_[count_++] = static_cast<std::uint8_t>(i);
        }
    }
    std::size_t size() const { return count_; }
    std::uint8_t operator[](std::size_t k) const { return indices_[k]; }

  private:
    std::array<std::uint8_t, kSlotsPerTrack> indices_{};
    std::size_t count_ = 0;
};

// a / b rounded to nearest, ties to even.
std::size_t RoundedQuotient(std::size_t a, std::size_t b) {
    std::size_t q = a / b;
    const std::size_t r = a % b;
    if (r * 2 > b || (r * 2 == b && q % 2 == 1)) ++q;
    return q;
}

// The first x at or after from and before until (x <= 6255) with source[x], source[x+1] ==
// first, second and source[x+2] accepted by third; -1 when none.
template <typename ThirdTest>
Pos FindMark(std::span<const std::uint8_t, kTrackBufferSize> source, Pos from, std::uint8_t first,
             std::uint8_t second, ThirdTest third, Pos until = kTrackEnd) {
    for (Pos x = std::max<Pos>(from, 0); x < std::min<Pos>(until, kTrackEnd); ++x) {
        const auto i = static_cast<std::size_t>(x);
        if (source[i] == first && source[i + 1] == second && third(source[i + 2])) return x;
    }
    return -1;
}

std::uint16_t DataLengthToCopy(const TSectorSlot& slot, std::size_t size) {
    return static_cast<std::uint16_t>(std::min<std::size_t>(slot.DataLength, size));
}

constexpr Pos kCrcLength = 2;

// The size data bytes and two CRC bytes after the data mark found at x, when the first
// rawLength bytes of source hold them all; empty otherwise.
std::span<const std::uint8_t> RawDataField(std::span<const std::uint8_t, kTrackBufferSize> source,
                                           std::size_t rawLength, Pos x, Pos size) {
    const Pos first = x + 3;
    const Pos end = first + size + kCrcLength;
    if (end > static_cast<Pos>(std::min(rawLength, source.size()))) return {};
    return std::span<const std::uint8_t>(source).subspan(static_cast<std::size_t>(first),
                                                         static_cast<std::size_t>(end - first));
}

// Cases A and B: the address marks are found in a raw image, the fields come from the
// slots.
UdiTrackResult RebuildFromRaw(const TTrack& track,
                              std::span<const std::uint8_t, kTrackBufferSize> source, bool ownRaw,
                              bool noTrackRestore, UdiTrackImage& image) {
    // Only the track's own raw image holds this track's sector bytes.
    const std::size_t ownRawLength = ownRaw ? track.RawLength : 0;
    const UdiTrackSource kind = ownRaw ? UdiTrackSource::OwnRaw : UdiTrackSource::BaseTemplate;
    TrackOut out(image);
    if (ownRaw && noTrackRestore) out.Copy(0, source.first(kUdiTrackLength));

    Pos pos = 0;
    // The index mark belongs in the gap before the first ID field; C2 C2 FC met later is
    // sector data, and taking it for the index would leave no room for the sectors before it.
    const Pos firstId =
        FindMark(source, 0, kSync, kSync, [](std::uint8_t b) { return b == kIdMark; });
    Pos x = FindMark(
        source, 0, kIndexSync, kIndexSync, [](std::uint8_t b) { return b == kIndexMark; },
        firstId >= 0 ? firstId : kTrackEnd);
    if (x >= 0) {
        // The twelve zeros before the sync bytes need room.
        if (x < 15) return Fail(kind, std::nullopt);
        out.Fill(x - 1, 3, kIndexSync);
        out.Put(x + 2, kIndexMark);
        for (Pos m = x - 1; m <= x + 1; ++m)
            out.Mark(m);
        out.Fill(x - 13, kSyncZeros, 0x00);
        pos = x + 2;
    } else {
        x = 0;
    }

    const OccupiedSlots occupied(track);
    const std::size_t n = occupied.size();
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint8_t slotIndex = occupied[k];
        const TSectorSlot& slot = track.Slots[slotIndex];

        x = FindMark(source, x, kSync, kSync, [](std::uint8_t b) { return b == kIdMark; });
        if (x < 0) return Fail(kind, slotIndex);
        if (ownRaw) {
            if (x - pos < 5) return Fail(kind, slotIndex);
            const Pos g = x - pos >= 13 ? kSyncZeros : x - pos - 1;
            out.Fill(x - 1 - g, g, 0x00);
        } else {
            if (x - pos < 15) return Fail(kind, slotIndex);
            out.Fill(x - 13, kSyncZeros, 0x00);
        }
        out.Fill(x - 1, 3, kSync);
        out.Put(x + 2, kIdMark);
        for (Pos m = x - 1; m <= x + 1; ++m)
            out.Mark(m);
        out.Put(x + 3, slot.Cylinder);
        out.Put(x + 4, slot.Head);
        out.Put(x + 5, slot.Sector);
        out.Put(x + 6, slot.SizeCode);
        out.Crc(x + 7, IdFieldCrc(slot.Cylinder, slot.Head, slot.Sector, slot.SizeCode));
        pos = x + 8;

        // Searched from after the ID field: its bytes are no mark, whatever their values.
        x = FindMark(source, x + 9, kSync, kSync,
                     [](std::uint8_t b) { return b == kDataMark || b == kDeletedDataMark; });
        if (x < 0) return Fail(kind, slotIndex);
        const std::uint8_t mark = source[static_cast<std::size_t>(x) + 2];
        if (x - pos < 15) return Fail(kind, slotIndex);
        out.Fill(x - 1, 3, kSync);
        out.Put(x + 2, mark);
        out.Fill(x - 13, kSyncZeros, 0x00);
        for (Pos m = x - 1; m <= x + 1; ++m)
            out.Mark(m);

        const std::size_t size = SizeFromCode(slot.SizeCode);
        if (size == 0) return Fail(kind, slotIndex);
        const Pos sizePos = static_cast<Pos>(size);
        if (x + sizePos > kLastDataEnd) {
            if (slot.DataGood != 0 || k != n - 1) return Fail(kind, slotIndex);
            if (!ownRaw) {
                // Whatever fits of the last, bad sector; no CRC.
                const Pos cut = std::max<Pos>(kCutDataEnd - x, 0);
                out.Fill(x + 3, cut, 0x00);
                out.Copy(x + 3, slot.Data.first(static_cast<std::size_t>(cut)));
                pos = x + cut + 3;
            }
            continue;
        }
        out.Fill(x + 3, sizePos, 0x00);
        const std::size_t kept = DataLengthToCopy(slot, size);
        out.Copy(x + 3, slot.Data.first(kept));
        // A slot with less than its whole data (a raw-only read leaves header-only slots)
        // takes the rest from its own raw image, where the sector's bytes still are; when
        // nothing of the field was changed, its own CRC goes with it, good or bad.
        std::span<const std::uint8_t> rawField;
        if (kept < size) rawField = RawDataField(source, ownRawLength, x, sizePos);
        bool keepRawCrc = false;
        if (!rawField.empty()) {
            out.Copy(x + 3 + static_cast<Pos>(kept), rawField.subspan(kept, size - kept));
            keepRawCrc = std::ranges::equal(out.View(x + 3, sizePos), rawField.first(size));
        }
        if (keepRawCrc) {
            out.Copy(x + 3 + sizePos, rawField.last(kCrcLength));
        } else {
            std::uint16_t crc = DataFieldCrc(mark, out.View(x + 3, sizePos));
            if (slot.DataGood == 0) {
                // A bad sector stays bad: inverted CRC and a broken first sync byte.
                crc ^= 0xFFFF;
                out.Put(x - 1, kBadDataSync);
            }
            out.Crc(x + 3 + sizePos, crc);
        }
        pos = x + sizePos + 4;
        // The next ID is searched from after this data field, whose bytes may look like
        // marks.
        x += 3 + sizePos + kCrcLength;
    }
    return UdiTrackResult{true, kind, std::nullopt};
}

// Case C: gaps, syncs and marks of the standard layout around the slots' fields.
UdiTrackResult BuildStandardLayout(const TTrack& track, UdiTrackImage& image) {
    constexpr UdiTrackSource kind = UdiTrackSource::StandardLayout;
    const OccupiedSlots occupied(track);
    const std::size_t n = occupied.size();
    std::size_t total = kTrackStartLength;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t size = SizeFromCode(track.Slots[occupied[k]].SizeCode);
        if (size == 0) return Fail(kind, occupied[k]);
        total += kSectorOverhead + size;
    }

    Pos cutAB = 0;
    Pos cut3 = 0;
    if (total > kUdiTrackLength) {
        const std::size_t excess = total - kUdiTrackLength;
        if (excess >= kLongShortening) {
            cutAB = kGapABCut;
            const std::size_t perSector = RoundedQuotient(excess - kLongShortening, n);
            if (perSector > kMaxGap3Cut) return Fail(kind, std::nullopt);
            cut3 = static_cast<Pos>(perSector);
        } else {
            cutAB = static_cast<Pos>(RoundedQuotient(excess, 2)) + 2;
        }
    }

    TrackOut out(image);
    Pos at = 0;
    auto put = [&](std::uint8_t v) { out.Put(at++, v); };
    auto fill = [&](Pos count, std::uint8_t v) {
        out.Fill(at, count, v);
        at += count;
    };
    auto syncs = [&](std::uint8_t v) {
        for (int i = 0; i < 3; ++i) {
            out.Mark(at);
            put(v);
        }
    };

    fill(kGapA - cutAB, kUdiGapByte);
    fill(kSyncZeros, 0x00);
    syncs(kIndexSync);
    put(kIndexMark);
    fill(kGapB - cutAB, kUdiGapByte);
    for (std::size_t k = 0; k < n; ++k) {
        const TSectorSlot& slot = track.Slots[occupied[k]];
        const std::size_t size = SizeFromCode(slot.SizeCode);
        const Pos sizePos = static_cast<Pos>(size);
        fill(kSyncZeros, 0x00);
        syncs(kSync);
        put(kIdMark);
        put(slot.Cylinder);
        put(slot.Head);
        put(slot.Sector);
        put(slot.SizeCode);
        out.Crc(at, IdFieldCrc(slot.Cylinder, slot.Head, slot.Sector, slot.SizeCode));
        at += 2;
        fill(kGapId, kUdiGapByte);
        fill(kSyncZeros, 0x00);
        syncs(kSync);
        put(kDataMark);
        if (at + sizePos > kLastDataEnd) {
            if (slot.DataGood != 0 || k != n - 1) return Fail(kind, occupied[k]);
            const Pos cut = std::max<Pos>(kCutDataEnd - at, 0);
            out.Copy(at, slot.Data.first(static_cast<std::size_t>(cut)));
            at += cut;
        } else {
            out.Fill(at, sizePos, 0x00);
            out.Copy(at, slot.Data.first(DataLengthToCopy(slot, size)));
            std::uint16_t crc = DataFieldCrc(kDataMark, out.View(at, sizePos));
            if (slot.DataGood == 0) crc ^= 0xFFFF;
            at += sizePos;
            out.Crc(at, crc);
            at += 2;
        }
        fill(kGap3 - cut3, kUdiGapByte);
    }
    return UdiTrackResult{true, kind, std::nullopt};
}

}  // namespace

UdiTrackResult BuildUdiTrack(const UdiTrackParams& params, UdiTrackImage& image) {
    image.Bytes.fill(kUdiGapByte);
    image.ClockMarks.fill(0);
    const TTrack* track = params.Track;
    if (track == nullptr) return UdiTrackResult{};
    if (track->RawValid != 0 && track->RawLength > 0)
        return RebuildFromRaw(*track, track->Raw.Whole(), true, params.NoTrackRestore, image);
    if (params.BaseTrack != nullptr && params.BaseTrack->RawLength > 0)
        return RebuildFromRaw(*track, params.BaseTrack->Raw.Whole(), false, false, image);
    if (track->Present != 0) return BuildStandardLayout(*track, image);
    return UdiTrackResult{};
}

const TTrack* UsableBaseTrack(const TZX_Disk& disk) {
    constexpr std::uint8_t kHighestBaseTrack = 160;
    if (!disk.UseBaseTrack || disk.BaseTrack > kHighestBaseTrack) return nullptr;
    const TTrack* base = disk.GetTrack(disk.BaseTrack);
    return base != nullptr && base->RawLength > 0 ? base : nullptr;
}

bool BuildUdiTrack(TZX_Disk& disk, std::uint8_t trackIndex, UdiTrackImage& image) {
    TTrack* track = disk.GetTrack(trackIndex);
    if (track != nullptr) track->CountSectors();
    const UdiTrackParams params{track, UsableBaseTrack(disk), disk.NoTrackRestore};
    const UdiTrackResult result = BuildUdiTrack(params, image);
    if (!result.Ok) {
        disk.FailTrack = trackIndex;
        if (result.FailSlot) disk.FailSlot = *result.FailSlot;
    }
    return result.Ok;
}

}  // namespace morvane
