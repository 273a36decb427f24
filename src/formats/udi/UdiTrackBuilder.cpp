#include "formats/udi/UdiTrackBuilder.h"

#include <algorithm>
#include <utility>

#include "model/Checksums.h"
#include "model/DataMarkWindow.h"
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
    explicit OccupiedSlots(const Track& track) {
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

std::uint16_t DataLengthToCopy(const SectorSlot& slot, std::size_t size) {
    return static_cast<std::uint16_t>(std::min<std::size_t>(slot.DataLength, size));
}

// A mark found in a raw image is addressed by x, where the search met the last two of its
// three sync bytes; the rest of the mark and its field lie at fixed distances from x.
constexpr Pos kFirstSyncAt = -1;  // the first of the three sync bytes
constexpr Pos kSyncBytes = 3;
constexpr Pos kMarkAt = 2;        // the mark byte
constexpr Pos kFieldAt = 3;       // the field the mark opens
constexpr Pos kIdFieldBytes = 4;  // cylinder, head, sector, size code
constexpr Pos kCrcLength = 2;
constexpr Pos kIdCrcAt = kFieldAt + kIdFieldBytes;
constexpr Pos kIdEndAt = kIdCrcAt + kCrcLength - 1;  // the last byte of the ID field's CRC
// A rebuilt mark with its twelve zeros lies at least this far after the last byte written
// for the field before it (for the index mark: after the start of the track).
constexpr Pos kMinMarkDistance = 15;
// An ID mark in the track's own raw image keeps its place closer to the field before, with
// as many zeros as fit in between.
constexpr Pos kMinOwnIdDistance = 5;

bool IsIndexMark(std::uint8_t b) {
    return b == kIndexMark;
}

bool IsIdMark(std::uint8_t b) {
    return b == kIdMark;
}

bool IsDataMark(std::uint8_t b) {
    return b == kDataMark || b == kDeletedDataMark;
}

// The size data bytes and two CRC bytes of the data field starting at at, when the first
// rawLength bytes of source hold them all; empty otherwise.
std::span<const std::uint8_t> RawDataField(std::span<const std::uint8_t, kTrackBufferSize> source,
                                           std::size_t rawLength, Pos at, Pos size) {
    const Pos end = at + size + kCrcLength;
    if (end > static_cast<Pos>(std::min(rawLength, source.size()))) return {};
    return std::span<const std::uint8_t>(source).subspan(static_cast<std::size_t>(at),
                                                         static_cast<std::size_t>(end - at));
}

// Cases A and B: the marks are found in a raw image (the track's own or the base
// template's) and rebuilt where they were found; the fields after them come from the
// slots. Run goes through the index mark, then the ID and data fields of every occupied
// slot in slot order; the first step that fails names the slot.
class RawRebuild {
  public:
    RawRebuild(const Track& track, std::span<const std::uint8_t, kTrackBufferSize> source,
               bool ownRaw, UdiTrackImage& image)
        : track_(track),
          source_(source),
          ownRaw_(ownRaw),
          // Only the track's own raw image holds this track's sector bytes.
          ownRawLength_(ownRaw ? track.RawLength : 0),
          kind_(ownRaw ? UdiTrackSource::OwnRaw : UdiTrackSource::BaseTemplate),
          out_(image) {}

    UdiTrackResult Run(bool noTrackRestore) {
        if (ownRaw_ && noTrackRestore) out_.Copy(0, source_.first(kUdiTrackLength));
        if (!IndexMark()) return Fail(kind_, std::nullopt);
        const OccupiedSlots occupied(track_);
        for (std::size_t k = 0; k < occupied.size(); ++k) {
            const std::uint8_t slotIndex = occupied[k];
            const SectorSlot& slot = track_.Slots[slotIndex];
            const bool last = k + 1 == occupied.size();
            if (!IdField(slot) || !DataField(slot, last)) return Fail(kind_, slotIndex);
        }
        return UdiTrackResult{true, kind_, std::nullopt};
    }

  private:
    // The three sync bytes and the mark at x, with zeros zero bytes before them.
    void WriteMark(Pos x, Pos zeros, std::uint8_t sync, std::uint8_t mark) {
        out_.Fill(x + kFirstSyncAt - zeros, zeros, 0x00);
        out_.Fill(x + kFirstSyncAt, kSyncBytes, sync);
        out_.Put(x + kMarkAt, mark);
        for (Pos m = x + kFirstSyncAt; m < x + kFirstSyncAt + kSyncBytes; ++m)
            out_.Mark(m);
    }

    // The index mark belongs in the gap before the first ID field; C2 C2 FC met later is
    // sector data, and taking it for the index would leave no room for the sectors before
    // it. A track without one has its sectors searched from its start.
    bool IndexMark() {
        const Pos firstId = FindMark(source_, 0, kSync, kSync, IsIdMark);
        const Pos x = FindMark(source_, 0, kIndexSync, kIndexSync, IsIndexMark,
                               firstId >= 0 ? firstId : kTrackEnd);
        if (x < 0) return true;
        if (x - pos_ < kMinMarkDistance) return false;
        WriteMark(x, kSyncZeros, kIndexSync, kIndexMark);
        x_ = x;
        pos_ = x + kMarkAt;
        return true;
    }

    bool IdField(const SectorSlot& slot) {
        x_ = FindMark(source_, x_, kSync, kSync, IsIdMark);
        if (x_ < 0) return false;
        const Pos distance = x_ - pos_;
        if (distance < (ownRaw_ ? kMinOwnIdDistance : kMinMarkDistance)) return false;
        WriteMark(x_, std::min(kSyncZeros, distance - 1), kSync, kIdMark);
        out_.Put(x_ + kFieldAt, slot.Cylinder);
        out_.Put(x_ + kFieldAt + 1, slot.Head);
        out_.Put(x_ + kFieldAt + 2, slot.Sector);
        out_.Put(x_ + kFieldAt + 3, slot.SizeCode);
        out_.Crc(x_ + kIdCrcAt, IdFieldCrc(slot.Cylinder, slot.Head, slot.Sector, slot.SizeCode));
        pos_ = x_ + kIdEndAt;
        return true;
    }

    // The data mark (normal or deleted, as found) and the data with its CRC.
    bool DataField(const SectorSlot& slot, bool last) {
        const Pos idCrcEnd = x_ + kIdEndAt;
        // Searched from after the ID field: its bytes are no mark, whatever their values.
        x_ = FindMark(source_, idCrcEnd + 1, kSync, kSync, IsDataMark);
        const std::size_t size = SizeFromCode(slot.SizeCode);
        // A slot without data (its ID found, its data never read) keeps its ID alone, unless
        // the track's own raw image has a data field for that ID, which it then gives. The
        // base template's data fields are not this track's.
        const bool idHasField =
            x_ >= 0 && DataMarkWithinWindow(static_cast<std::size_t>(idCrcEnd),
                                            static_cast<std::size_t>(x_ + kMarkAt));
        if (slot.DataLength == 0 && size != 0 && (!ownRaw_ || !idHasField)) {
            x_ = idHasField ? x_ + kFieldAt + static_cast<Pos>(size) + kCrcLength : idCrcEnd + 1;
            return true;
        }
        if (x_ < 0) return false;
        const std::uint8_t mark = source_[static_cast<std::size_t>(x_ + kMarkAt)];
        if (x_ - pos_ < kMinMarkDistance) return false;
        WriteMark(x_, kSyncZeros, kSync, mark);
        if (size == 0) return false;
        if (x_ + static_cast<Pos>(size) > kLastDataEnd) return CutLastData(slot, last);
        WriteData(slot, size, mark);
        return true;
    }

    // Only a last, bad sector may run past the end of the track. From the base template
    // whatever fits of it is written, without CRC; the track's own image keeps its bytes.
    bool CutLastData(const SectorSlot& slot, bool last) {
        if (slot.DataGood != 0 || !last) return false;
        if (ownRaw_) return true;
        const Pos cut = std::max<Pos>(kCutDataEnd - x_, 0);
        out_.Fill(x_ + kFieldAt, cut, 0x00);
        out_.Copy(x_ + kFieldAt, slot.Data.first(static_cast<std::size_t>(cut)));
        pos_ = x_ + kFieldAt + cut;
        return true;
    }

    void WriteData(const SectorSlot& slot, std::size_t size, std::uint8_t mark) {
        const Pos at = x_ + kFieldAt;
        const Pos sizePos = static_cast<Pos>(size);
        out_.Fill(at, sizePos, 0x00);
        const std::size_t kept = DataLengthToCopy(slot, size);
        out_.Copy(at, slot.Data.first(kept));
        // A slot with less than its whole data (a raw-only read leaves header-only slots)
        // takes the rest from its own raw image, where the sector's bytes still are; when
        // nothing of the field was changed, its own CRC goes with it, good or bad.
        std::span<const std::uint8_t> rawField;
        if (kept < size) rawField = RawDataField(source_, ownRawLength_, at, sizePos);
        bool keepRawCrc = false;
        if (!rawField.empty()) {
            out_.Copy(at + static_cast<Pos>(kept), rawField.subspan(kept, size - kept));
            keepRawCrc = std::ranges::equal(out_.View(at, sizePos), rawField.first(size));
        }
        if (keepRawCrc) {
            out_.Copy(at + sizePos, rawField.last(kCrcLength));
        } else {
            std::uint16_t crc = DataFieldCrc(mark, out_.View(at, sizePos));
            if (slot.DataGood == 0) {
                // A bad sector stays bad: inverted CRC and a broken first sync byte.
                crc ^= 0xFFFF;
                out_.Put(x_ + kFirstSyncAt, kBadDataSync);
            }
            out_.Crc(at + sizePos, crc);
        }
        pos_ = at + sizePos + kCrcLength - 1;
        // The next ID is searched from after this data field, whose bytes may look like
        // marks.
        x_ = at + sizePos + kCrcLength;
    }

    const Track& track_;
    std::span<const std::uint8_t, kTrackBufferSize> source_;
    bool ownRaw_;
    std::size_t ownRawLength_;
    UdiTrackSource kind_;
    TrackOut out_;
    Pos x_ = 0;    // where the next mark is searched from, then where it was found
    Pos pos_ = 0;  // the last byte written for the field before
};

// Case C: gaps, syncs and marks of the standard layout around the slots' fields.
UdiTrackResult BuildStandardLayout(const Track& track, UdiTrackImage& image) {
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
        const SectorSlot& slot = track.Slots[occupied[k]];
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
        // A sector without data (its ID found, its data never read) keeps its ID alone: the
        // place of its data field stays gap, with no mark a reader would take for data.
        if (slot.DataLength == 0) {
            fill(kSyncZeros + 4 + sizePos + kCrcLength, kUdiGapByte);
            fill(kGap3 - cut3, kUdiGapByte);
            continue;
        }
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
    const Track* track = params.TrackToBuild;
    if (track == nullptr) return UdiTrackResult{};
    if (track->RawValid != 0 && track->RawLength > 0)
        return RawRebuild(*track, track->Raw.Whole(), true, image).Run(params.NoTrackRestore);
    if (params.BaseTrack != nullptr && params.BaseTrack->RawLength > 0)
        return RawRebuild(*track, params.BaseTrack->Raw.Whole(), false, image).Run(false);
    if (track->Present != 0) return BuildStandardLayout(*track, image);
    return UdiTrackResult{};
}

const Track* UsableBaseTrack(const DiskImage& disk) {
    constexpr std::uint8_t kHighestBaseTrack = 160;
    if (!disk.UseBaseTrack || disk.BaseTrack > kHighestBaseTrack) return nullptr;
    const Track* base = disk.GetTrack(disk.BaseTrack);
    return base != nullptr && base->RawLength > 0 ? base : nullptr;
}

bool BuildUdiTrack(DiskImage& disk, std::uint8_t trackIndex, UdiTrackImage& image) {
    Track* track = disk.GetTrack(trackIndex);
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
