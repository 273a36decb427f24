#include "model/RawSectorData.h"

#include <algorithm>
#include <span>
#include <utility>

#include "model/Checksums.h"
#include "model/DataMarkWindow.h"
#include "model/SizeCode.h"
#include "model/Track.h"
#include "model/DiskImage.h"

namespace morvane {

namespace {

constexpr std::size_t kCrcLength = 2;
constexpr std::uint8_t kSync = 0xA1;
constexpr std::uint8_t kIdMark = 0xFE;
constexpr std::size_t kIdBytes = 6;  // C H R N and the CRC

// Whether the mark byte at p follows two sync bytes.
bool MarkAt(std::span<const std::uint8_t> raw, std::size_t p) {
    return p >= 2 && p < raw.size() && raw[p - 2] == kSync && raw[p - 1] == kSync;
}

bool IsDataMark(std::uint8_t b) {
    return b == 0xFB || b == 0xF8;
}

// The data mark that belongs to the ID field ending at idCrcEnd, if any.
std::optional<std::size_t> DataMarkFor(std::span<const std::uint8_t> raw, std::size_t idCrcEnd) {
    for (std::size_t m = idCrcEnd + 1; m < raw.size() && DataMarkWithinWindow(idCrcEnd, m); ++m) {
        if (!MarkAt(raw, m)) continue;
        if (raw[m] == kIdMark) return std::nullopt;
        if (IsDataMark(raw[m])) return m;
    }
    return std::nullopt;
}

}  // namespace

std::vector<RawSectorCopy> SectorsInRaw(std::span<const std::uint8_t> raw) {
    std::vector<RawSectorCopy> found;
    for (std::size_t p = 2; p + kIdBytes < raw.size(); ++p) {
        if (raw[p] != kIdMark || !MarkAt(raw, p)) continue;
        RawSectorCopy sector{raw[p + 1], raw[p + 2], raw[p + 3], raw[p + 4], {}, {}};
        const std::size_t idCrcEnd = p + kIdBytes;
        p = idCrcEnd;
        const std::size_t size = SizeFromCode(sector.n);
        const std::optional<std::size_t> mark = DataMarkFor(raw, idCrcEnd);
        if (size == 0 || !mark || *mark + 1 + size + kCrcLength > raw.size()) continue;
        const auto data = raw.subspan(*mark + 1, size);
        sector.copy.data.assign(data.begin(), data.end());
        const std::size_t crcAt = *mark + 1 + size;
        sector.recorded = {raw[*mark], static_cast<std::uint16_t>(raw[crcAt] << 8 | raw[crcAt + 1])};
        sector.copy.good = DataFieldCrc(sector.recorded.mark, data) == sector.recorded.crc;
        found.push_back(std::move(sector));
    }
    return found;
}

const RawSectorCopy* CopyForSlot(std::span<const RawSectorCopy> found, const Track& track,
                                 std::size_t index) {
    const SectorSlot& slot = track.Slots[index];
    auto same = [&](std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
        return c == slot.Cylinder && h == slot.Head && r == slot.Sector && n == slot.SizeCode;
    };
    std::size_t earlier = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const SectorSlot& s = track.Slots[i];
        if (s.Present != 0 && same(s.Cylinder, s.Head, s.Sector, s.SizeCode)) ++earlier;
    }
    for (const RawSectorCopy& f : found)
        if (same(f.c, f.h, f.r, f.n) && earlier-- == 0) return &f;
    return nullptr;
}

std::size_t TakeSectorDataFromRaw(Track& track) {
    std::size_t filled = 0;
    const std::size_t rawLength = std::min<std::size_t>(track.RawLength, track.Raw.size());
    const std::span<const std::uint8_t> raw = std::as_const(track.Raw).first(rawLength);
    for (SectorSlot& slot : track.Slots) {
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

std::size_t TakeSectorDataFromRawTracks(DiskImage& disk) {
    std::size_t filled = 0;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present != 0 && track.RawValid != 0) filled += TakeSectorDataFromRaw(track);
    }
    return filled;
}

}  // namespace morvane
