// Native image layout, little-endian:
//   256  image path, zero-terminated      1  present tracks     1  UseBaseTrack flag
//     1  BaseTrack                        1  NoTrackRestore flag
//   166 track blocks, the disk comment (4-byte length + text), 4-byte ImageCrc32.
// Track block: present flag, then when present Number, SectorCount, RawValid flag,
// 2-byte raw length + raw bytes, 4-byte log length + log text; then 32 slot blocks
// whether the track is present or not. Slot block: present flag, then when present
// C, H, R, N, 2-byte header CRC, Reserved, DataGood flag, 2-byte DataPosition,
// 2-byte data length + data bytes.
// A flag byte is 1 for true and 0xFF for false; only 1 reads as true. Texts are lines
// each ended by CR LF, in Windows-1251.
#include "formats/Native.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "model/Checksums.h"
#include "model/Cp1251.h"

namespace morvane {

namespace {

constexpr std::uint8_t kFlagTrue = 1;
constexpr std::uint8_t kFlagFalse = 0xFF;
constexpr std::size_t kChecksumSize = 4;
constexpr std::size_t kMaxPathBytes = kNativePathFieldSize - 1;

std::uint8_t Flag(bool value) {
    return value ? kFlagTrue : kFlagFalse;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(pos));
            break;
        }
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }
    return lines;
}

Bytes JoinLines(const std::vector<std::string>& lines) {
    Bytes text;
    for (const std::string& line : lines) {
        const Bytes encoded = Utf8ToCp1251(line);
        text.insert(text.end(), encoded.begin(), encoded.end());
        text.push_back('\r');
        text.push_back('\n');
    }
    return text;
}

// ---- reading ----

class NativeParser {
  public:
    NativeParser(std::span<const std::uint8_t> body, DiskImage& disk) : in_(body), disk_(disk) {}

    bool Parse() {
        return Header() && AllTracks() && Text(disk_.DiskLog, "the disk comment") && NothingLeft();
    }
    const std::string& Error() const { return error_; }

  private:
    bool Fail(std::string message) {
        error_ = std::move(message);
        return false;
    }
    bool CutShort(const std::string& where) { return Fail("file cut short in " + where); }
    static std::string TrackName(std::size_t t) { return "track " + std::to_string(t); }
    static std::string SlotName(std::size_t t, std::size_t s) {
        return TrackName(t) + ", slot " + std::to_string(s);
    }
    bool ReadFlag(bool& value) {
        std::uint8_t b = 0;
        if (!in_.U8(b)) return false;
        value = b == kFlagTrue;
        return true;
    }

    bool Header() {
        std::span<const std::uint8_t> path;
        std::uint8_t baseTrack = 0;
        if (!in_.Take(kNativePathFieldSize, path) || !in_.U8(disk_.TrackCount) ||
            !ReadFlag(disk_.UseBaseTrack) || !in_.U8(baseTrack) || !ReadFlag(disk_.NoTrackRestore))
            return CutShort("the image header");
        disk_.BaseTrack = baseTrack;
        const auto zero = std::find(path.begin(), path.end(), std::uint8_t{0});
        disk_.ImagePath = Cp1251ToUtf8(path.first(static_cast<std::size_t>(zero - path.begin())));
        return true;
    }

    bool AllTracks() {
        for (std::size_t t = 0; t < kTrackCount; ++t) {
            Track& track = *disk_.GetTrack(static_cast<std::uint8_t>(t));
            if (!TrackFields(t, track)) return false;
            for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
                if (!Slot(t, s, track.Slots[s])) return false;
            }
            // The count is kept by the model's own rule, whatever the file claims (it is
            // not even stored for an absent track).
            track.CountSectors();
        }
        return true;
    }

    bool TrackFields(std::size_t t, Track& track) {
        bool present = false;
        if (!ReadFlag(present)) return CutShort(TrackName(t));
        if (!present) return true;
        std::uint8_t number = 0;
        std::uint8_t sectorCount = 0;
        bool rawValid = false;
        std::uint16_t rawLength = 0;
        if (!in_.U8(number) || !in_.U8(sectorCount) || !ReadFlag(rawValid) || !in_.Le16(rawLength))
            return CutShort(TrackName(t));
        if (rawLength > kTrackBufferSize)
            return Fail(TrackName(t) + ": raw track length " + std::to_string(rawLength) +
                        " exceeds " + std::to_string(kTrackBufferSize));
        std::span<const std::uint8_t> raw;
        if (!in_.Take(rawLength, raw)) return CutShort(TrackName(t) + " raw image");
        // Number stays the track's index: the container keeps that for its whole life.
        track.Present = kPresent;
        track.RawValid = rawValid ? 1 : 0;
        track.RawLength = rawLength;
        std::copy(raw.begin(), raw.end(), track.Raw.first(raw.size()).begin());
        return Text(track.Log, TrackName(t) + " log");
    }

    bool Slot(std::size_t t, std::size_t s, SectorSlot& slot) {
        bool present = false;
        if (!ReadFlag(present)) return CutShort(SlotName(t, s));
        if (!present) return true;
        bool dataGood = false;
        std::uint16_t dataLength = 0;
        if (!in_.U8(slot.Cylinder) || !in_.U8(slot.Head) || !in_.U8(slot.Sector) ||
            !in_.U8(slot.SizeCode) || !in_.Le16(slot.HeaderCrc) || !in_.U8(slot.Reserved) ||
            !ReadFlag(dataGood) || !in_.Le16(slot.DataPosition) || !in_.Le16(dataLength))
            return CutShort(SlotName(t, s));
        slot.Present = kPresent;
        slot.DataGood = dataGood ? kDataGood : 0;
        if (dataLength > kTrackBufferSize)
            return Fail(SlotName(t, s) + ": data length " + std::to_string(dataLength) +
                        " exceeds " + std::to_string(kTrackBufferSize));
        std::span<const std::uint8_t> data;
        if (!in_.Take(dataLength, data)) return CutShort(SlotName(t, s) + " data");
        slot.DataLength = dataLength;
        std::copy(data.begin(), data.end(), slot.Data.first(data.size()).begin());
        return true;
    }

    bool Text(std::vector<std::string>& lines, const std::string& what) {
        std::uint32_t length = 0;
        if (!in_.Le32(length)) return CutShort(what);
        std::span<const std::uint8_t> text;
        if (!in_.Take(length, text))
            return Fail(what + ": text length " + std::to_string(length) + " exceeds the " +
                        std::to_string(in_.Remaining()) + " bytes that remain");
        const std::string utf8 = Cp1251ToUtf8(text);
        lines = SplitLines(utf8);
        return true;
    }

    bool NothingLeft() {
        if (in_.AtEnd()) return true;
        return Fail(std::to_string(in_.Remaining()) +
                    " unexpected bytes between the disk comment and the checksum");
    }

    ByteCursor in_;
    DiskImage& disk_;
    std::string error_;
};

std::string Hex32(std::uint32_t v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        s.push_back(kDigits[(v >> shift) & 0xF]);
    return s;
}

// ---- writing ----

bool CheckLengths(DiskImage& disk) {
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present != 0 && track.RawLength > kTrackBufferSize) {
            disk.LastError = "track " + std::to_string(t) + ": raw track length " +
                             std::to_string(track.RawLength) + " exceeds " +
                             std::to_string(kTrackBufferSize);
            return false;
        }
        for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
            const SectorSlot& slot = track.Slots[s];
            if (slot.Present != 0 && slot.DataLength > kTrackBufferSize) {
                disk.LastError = "track " + std::to_string(t) + ", slot " + std::to_string(s) +
                                 ": data length " + std::to_string(slot.DataLength) + " exceeds " +
                                 std::to_string(kTrackBufferSize);
                return false;
            }
        }
    }
    return true;
}

// False when the text does not fit its 32-bit length field.
bool PutText(Bytes& out, const std::vector<std::string>& lines) {
    const Bytes text = JoinLines(lines);
    if (text.size() > std::numeric_limits<std::uint32_t>::max()) return false;
    PutLe32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    return true;
}

void PutHeader(DiskImage& disk, Bytes& out) {
    Bytes path = Utf8ToCp1251(disk.ImagePath);
    const auto zero = std::find(path.begin(), path.end(), std::uint8_t{0});
    path.erase(zero, path.end());
    if (path.size() > kMaxPathBytes) path.resize(kMaxPathBytes);
    out.insert(out.end(), path.begin(), path.end());
    out.resize(kNativePathFieldSize, 0);
    out.push_back(disk.CountTracks());
    out.push_back(Flag(disk.UseBaseTrack));
    out.push_back(disk.BaseTrack);
    out.push_back(Flag(disk.NoTrackRestore));
}

void PutSlot(const SectorSlot& slot, Bytes& out) {
    out.push_back(Flag(slot.Present != 0));
    if (slot.Present == 0) return;
    out.push_back(slot.Cylinder);
    out.push_back(slot.Head);
    out.push_back(slot.Sector);
    out.push_back(slot.SizeCode);
    PutLe16(out, slot.HeaderCrc);
    out.push_back(slot.Reserved);
    out.push_back(Flag(slot.DataGood != 0));
    PutLe16(out, slot.DataPosition);
    PutLe16(out, slot.DataLength);
    const std::span<const std::uint8_t> data = slot.Data.first(slot.DataLength);
    out.insert(out.end(), data.begin(), data.end());
}

bool PutTrack(const Track& track, Bytes& out) {
    out.push_back(Flag(track.Present != 0));
    if (track.Present != 0) {
        out.push_back(track.Number);
        out.push_back(track.SectorCount);
        out.push_back(Flag(track.RawValid != 0));
        PutLe16(out, track.RawLength);
        const std::span<const std::uint8_t> raw = track.Raw.first(track.RawLength);
        out.insert(out.end(), raw.begin(), raw.end());
        if (!PutText(out, track.Log)) return false;
    }
    for (const SectorSlot& slot : track.Slots)
        PutSlot(slot, out);
    return true;
}

bool TooLong(DiskImage& disk, Bytes& out, const std::string& what) {
    out.clear();
    disk.LastError = what + " is too long for the native image";
    return false;
}

std::size_t EstimateSize(DiskImage& disk) {
    std::size_t size = kNativeMinimumSize;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present != 0) size += 9 + track.RawLength;
        for (const SectorSlot& slot : track.Slots) {
            if (slot.Present != 0) size += 12 + slot.DataLength;
        }
    }
    return size;
}

}  // namespace

bool ReadNative(std::span<const std::uint8_t> file, DiskImage& disk) {
    disk.ClearImage();
    if (file.size() < kNativeMinimumSize) {
        disk.LastError = "file of " + std::to_string(file.size()) +
                         " bytes is too short for a native image (at least " +
                         std::to_string(kNativeMinimumSize) + ")";
        return false;
    }
    const std::span<const std::uint8_t> body = file.first(file.size() - kChecksumSize);
    NativeParser parser(body, disk);
    if (!parser.Parse()) {
        disk.LastError = parser.Error();
        return false;
    }
    const std::uint32_t stored = GetLe32(file, body.size());
    const std::uint32_t computed = ImageCrc32(body);
    if (stored != computed) {
        disk.LastError =
            "checksum mismatch: stored " + Hex32(stored) + ", computed " + Hex32(computed);
        return false;
    }
    return true;
}

bool WriteNative(DiskImage& disk, Bytes& out) {
    out.clear();
    if (!CheckLengths(disk)) return false;
    out.reserve(EstimateSize(disk));
    PutHeader(disk, out);
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        if (!PutTrack(*disk.GetTrack(static_cast<std::uint8_t>(t)), out))
            return TooLong(disk, out, "track " + std::to_string(t) + " log");
    }
    if (!PutText(out, disk.DiskLog)) return TooLong(disk, out, "the disk comment");
    PutLe32(out, ImageCrc32(out));
    return true;
}

}  // namespace morvane
