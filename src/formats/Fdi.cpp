#include "formats/Fdi.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "formats/DiskComment.h"
#include "model/Bytes.h"
#include "model/Checksums.h"
#include "model/Cp1251.h"
#include "model/Geometry.h"
#include "model/Refuse.h"

namespace morvane {

namespace {

// Header: "FDI", write protect, cylinders (LE16), heads (LE16), description offset (LE16),
// data offset D (LE16), extra header length E (LE16), E bytes; then per track: data offset
// T (LE32, from D), 2 unused, sector count, and per sector C, H, R, N, flags, data offset S
// (LE16, from D+T). The description is zero-terminated text at its offset, before the
// data; the reader does not use the write protect byte.
constexpr std::size_t kFdiHeaderSize = 14;
constexpr std::size_t kFdiTrackHeaderSize = 7;
constexpr std::size_t kFdiCylinderOffset = 4;
constexpr std::size_t kFdiHeadOffset = 6;
constexpr std::size_t kFdiTextOffset = 8;
constexpr std::size_t kFdiDataOffset = 10;
constexpr std::size_t kFdiExtraOffset = 12;
constexpr std::size_t kFdiMaxCylinders = kCylinderCount;  // 83
constexpr std::size_t kFdiMaxHeads = 2;
constexpr std::uint8_t kFdiGoodDataFlags = 0x3F;
constexpr std::uint8_t kFdiLargestSizeBit = 5;
constexpr std::size_t kFdiMaxOffset16 = 0xFFFF;

constexpr const char* kErrorRead = "FDI file read error!";
constexpr const char* kErrorSignature = "Not FDI file!";
constexpr const char* kErrorSize = "FDI file size error!";
constexpr const char* kErrorGeometry = "FDI image geometry error!";
constexpr const char* kErrorTooManySectors = "FDI track has more than 32 sectors!";
constexpr const char* kErrorHeaderTooLong =
    "The FDI track table and disk comment do not fit in 64 KB.";

bool HasSignature(std::span<const std::uint8_t> file) {
    constexpr char kSignature[] = "FDI";
    if (file.size() < 3) return false;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(file[i]) != kSignature[i]) return false;
    }
    return true;
}

// Sector size from the size code as a 16-bit number: 128 << N, 0 once the bits leave the
// 16 bits (N >= 9).
std::size_t FdiSectorSize(std::uint8_t code) {
    return code < 9 ? (std::size_t{128} << code) & 0xFFFF : 0;
}

// Sector headers of one track at the cursor into track; trackData = D + T.
bool ReadSectors(ByteCursor& in, std::span<const std::uint8_t> file, std::uint64_t trackData,
                 std::uint8_t count, Track& track, DiskImage& disk) {
    for (std::uint8_t i = 0; i < count; ++i) {
        std::uint8_t c = 0, h = 0, r = 0, n = 0, flags = 0;
        std::uint16_t offset = 0;
        if (!in.U8(c) || !in.U8(h) || !in.U8(r) || !in.U8(n) || !in.U8(flags) || !in.Le16(offset))
            return Refuse(disk, kErrorSize);
        SectorSlot& slot = track.Slots[i];
        // A sector longer than the slot's buffer (size codes 6 to 8) keeps its first 6500
        // bytes.
        const std::size_t size = std::min(FdiSectorSize(n), kTrackBufferSize);
        slot.Present = kPresent;
        slot.Cylinder = c;
        slot.Head = h;
        slot.Sector = r;
        slot.SizeCode = n;
        slot.DataLength = static_cast<std::uint16_t>(size);
        slot.DataGood = (flags & kFdiGoodDataFlags) != 0 ? kDataGood : 0;
        slot.HeaderCrc = IdFieldCrc(c, h, r, n);
        const std::uint64_t at = trackData + offset;
        if (at > file.size() || size > file.size() - at) {
            track.CountSectors();
            return Refuse(disk, kErrorSize);
        }
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), size,
                    slot.Data.first(size).begin());
    }
    track.CountSectors();
    return true;
}

// The description, up to its zero byte, the data area or the end of the file, whichever
// comes first; nothing when its offset lies in the header or past the file.
std::span<const std::uint8_t> Description(std::span<const std::uint8_t> file, std::size_t data) {
    const std::size_t text = GetLe16(file, kFdiTextOffset);
    if (text < kFdiHeaderSize || text >= file.size()) return {};
    const std::size_t limit = data > text ? std::min(data, file.size()) : file.size();
    const auto bytes = file.subspan(text, limit - text);
    return bytes.first(static_cast<std::size_t>(
        std::find(bytes.begin(), bytes.end(), std::uint8_t{0}) - bytes.begin()));
}

}  // namespace

bool ReadFdi(std::span<const std::uint8_t> file, DiskImage& disk) {
    disk.ClearImage();
    if (file.empty()) return Refuse(disk, kErrorRead);
    if (!HasSignature(file)) return Refuse(disk, kErrorSignature);
    if (file.size() < kFdiHeaderSize) return Refuse(disk, kErrorSize);
    const std::size_t cylinders = GetLe16(file, kFdiCylinderOffset);
    const std::size_t heads = GetLe16(file, kFdiHeadOffset);
    const std::uint64_t data = GetLe16(file, kFdiDataOffset);
    const std::size_t extra = GetLe16(file, kFdiExtraOffset);
    if (file.size() < kFdiHeaderSize + extra + kFdiTrackHeaderSize * cylinders * heads)
        return Refuse(disk, kErrorSize);
    if (cylinders > kFdiMaxCylinders || heads > kFdiMaxHeads) return Refuse(disk, kErrorGeometry);
    disk.DiskLog = DiskCommentLines(Description(file, data));

    ByteCursor in(file);
    in.Seek(kFdiHeaderSize + extra);
    for (std::size_t c = 0; c < cylinders; ++c) {
        for (std::size_t h = 0; h < heads; ++h) {
            std::uint32_t offset = 0;
            std::uint8_t count = 0;
            if (!in.Le32(offset) || !in.Skip(2) || !in.U8(count)) return Refuse(disk, kErrorSize);
            const std::uint64_t trackData = data + offset;
            if (trackData > file.size()) return Refuse(disk, kErrorSize);
            Track& track =
                *disk.GetTrack(TrackIndex(static_cast<unsigned>(c), static_cast<unsigned>(h)));
            track.Present = kPresent;
            if (count > kSlotsPerTrack) return Refuse(disk, kErrorTooManySectors);
            if (!ReadSectors(in, file, trackData, count, track, disk)) return false;
        }
    }
    return true;
}

namespace {

struct FdiShape {
    std::size_t cylinders = 0;
    std::size_t heads = 1;
};

FdiShape ShapeOf(const DiskImage& disk) {
    FdiShape shape;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        if (disk.GetTrack(static_cast<std::uint8_t>(t))->Present == 0) continue;
        shape.cylinders = CylinderOf(static_cast<unsigned>(t)) + 1;
        if (SideOf(static_cast<unsigned>(t)) == 1) shape.heads = 2;
    }
    return shape;
}

// A sector without data is one in error here: FDI has no mark for it, and a size code of 9
// or more has no data in FDI's own reckoning yet may be good.
std::uint8_t SectorFlags(const SectorSlot& slot) {
    if (slot.DataGood == 0) return 0;
    return static_cast<std::uint8_t>(1u << std::min(slot.SizeCode, kFdiLargestSizeBit));
}

// Appends the sector's data as the reader takes it: FdiSectorSize bytes, the slot's held
// data first and zeros after.
void AppendSectorData(const SectorSlot& slot, Bytes& data) {
    const std::size_t size = FdiSectorSize(slot.SizeCode);
    const std::size_t held = std::min<std::size_t>({slot.DataLength, kTrackBufferSize, size});
    const std::span<const std::uint8_t> bytes = slot.Data.first(held);
    data.insert(data.end(), bytes.begin(), bytes.end());
    data.insert(data.end(), size - held, 0);
}

// Track header and sector table of one track into table, its sectors' data into data.
bool AppendTrack(const Track* track, std::size_t index, Bytes& table, Bytes& data,
                 DiskImage& disk) {
    const std::size_t trackData = data.size();
    PutLe32(table, static_cast<std::uint32_t>(trackData));
    PutLe16(table, 0);
    const std::size_t countAt = table.size();
    table.push_back(0);
    if (track == nullptr || track->Present == 0) return true;
    std::uint8_t count = 0;
    for (const SectorSlot& slot : track->Slots) {
        if (slot.Present == 0) continue;
        const std::size_t offset = data.size() - trackData;
        if (offset > kFdiMaxOffset16) {
            disk.LastError =
                "FDI track " + std::to_string(index) + " holds more than 64 KB of sector data.";
            return false;
        }
        for (std::uint8_t b :
             {slot.Cylinder, slot.Head, slot.Sector, slot.SizeCode, SectorFlags(slot)})
            table.push_back(b);
        PutLe16(table, static_cast<std::uint16_t>(offset));
        AppendSectorData(slot, data);
        ++count;
    }
    table[countAt] = count;
    return true;
}

Bytes DescriptionText(const DiskImage& disk) {
    Bytes text;
    for (std::size_t i = 0; i < disk.DiskLog.size(); ++i) {
        if (i > 0) {
            text.push_back('\r');
            text.push_back('\n');
        }
        const Bytes line = Utf8ToCp1251(disk.DiskLog[i]);
        text.insert(text.end(), line.begin(), line.end());
    }
    std::replace(text.begin(), text.end(), std::uint8_t{0}, std::uint8_t{' '});
    text.push_back(0);
    return text;
}

}  // namespace

bool WriteFdi(DiskImage& disk, Bytes& out) {
    const FdiShape shape = ShapeOf(disk);
    Bytes table;
    Bytes data;
    for (std::size_t c = 0; c < shape.cylinders; ++c) {
        for (std::size_t h = 0; h < shape.heads; ++h) {
            const std::uint8_t index =
                TrackIndex(static_cast<unsigned>(c), static_cast<unsigned>(h));
            if (!AppendTrack(disk.GetTrack(index), index, table, data, disk)) return false;
        }
    }
    const Bytes text = DescriptionText(disk);
    const std::size_t textOffset = kFdiHeaderSize + table.size();
    const std::size_t dataOffset = textOffset + text.size();
    if (dataOffset > kFdiMaxOffset16) return Refuse(disk, kErrorHeaderTooLong);

    out = {'F', 'D', 'I', 0};
    PutLe16(out, static_cast<std::uint16_t>(shape.cylinders));
    PutLe16(out, static_cast<std::uint16_t>(shape.heads));
    PutLe16(out, static_cast<std::uint16_t>(textOffset));
    PutLe16(out, static_cast<std::uint16_t>(dataOffset));
    PutLe16(out, 0);  // no extra header
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), text.begin(), text.end());
    out.insert(out.end(), data.begin(), data.end());
    return true;
}

}  // namespace morvane
