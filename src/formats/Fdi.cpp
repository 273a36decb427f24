#include "formats/Fdi.h"

#include <algorithm>
#include <cctype>

#include "model/Bytes.h"
#include "model/Checksums.h"
#include "model/Geometry.h"

namespace morvane {

namespace {

// Header: "FDI", 1 unused, cylinders (LE16), heads (LE16), 2 unused, data offset D (LE16),
// extra header length E (LE16), E bytes; then per track: data offset T (LE32, from D),
// 2 unused, sector count, and per sector C, H, R, N, flags, data offset S (LE16, from D+T).
constexpr std::size_t kFdiHeaderSize = 14;
constexpr std::size_t kFdiTrackHeaderSize = 7;
constexpr std::size_t kFdiCylinderOffset = 4;
constexpr std::size_t kFdiHeadOffset = 6;
constexpr std::size_t kFdiDataOffset = 10;
constexpr std::size_t kFdiExtraOffset = 12;
constexpr std::size_t kFdiMaxCylinders = kCylinderCount;  // 83
constexpr std::size_t kFdiMaxHeads = 2;
constexpr std::uint8_t kFdiGoodDataFlags = 0x3F;

constexpr const char* kErrorRead = "FDI file read error!";
constexpr const char* kErrorSignature = "Not FDI file!";
constexpr const char* kErrorSize = "FDI file size error!";
constexpr const char* kErrorGeometry = "FDI image geometry error!";
constexpr const char* kErrorTooManySectors = "FDI track has more than 32 sectors!";

bool Refuse(TZX_Disk& disk, const char* message) {
    disk.LastError = message;
    return false;
}

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
                 std::uint8_t count, TTrack& track, TZX_Disk& disk) {
    for (std::uint8_t i = 0; i < count; ++i) {
        std::uint8_t c = 0, h = 0, r = 0, n = 0, flags = 0;
        std::uint16_t offset = 0;
        if (!in.U8(c) || !in.U8(h) || !in.U8(r) || !in.U8(n) || !in.U8(flags) || !in.Le16(offset))
            return Refuse(disk, kErrorSize);
        TSectorSlot& slot = track.Slots[i];
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
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), size, slot.Data.begin());
    }
    track.CountSectors();
    return true;
}

}  // namespace

bool ReadFdi(std::span<const std::uint8_t> file, TZX_Disk& disk) {
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

    ByteCursor in(file);
    in.Seek(kFdiHeaderSize + extra);
    for (std::size_t c = 0; c < cylinders; ++c) {
        for (std::size_t h = 0; h < heads; ++h) {
            std::uint32_t offset = 0;
            std::uint8_t count = 0;
            if (!in.Le32(offset) || !in.Skip(2) || !in.U8(count)) return Refuse(disk, kErrorSize);
            const std::uint64_t trackData = data + offset;
            if (trackData > file.size()) return Refuse(disk, kErrorSize);
            TTrack& track =
                *disk.GetTrack(TrackIndex(static_cast<unsigned>(c), static_cast<unsigned>(h)));
            track.Present = kPresent;
            if (count > kSlotsPerTrack) return Refuse(disk, kErrorTooManySectors);
            if (!ReadSectors(in, file, trackData, count, track, disk)) return false;
        }
    }
    return true;
}

}  // namespace morvane
