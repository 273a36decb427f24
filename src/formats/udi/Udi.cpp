#include "formats/udi/Udi.h"

#include <algorithm>
#include <array>
#include <string>

#include "formats/udi/UdiSectorFinder.h"
#include "formats/udi/UdiTrackBuilder.h"
#include "model/Checksums.h"
#include "model/Geometry.h"
#include "model/Refuse.h"

namespace morvane {

namespace {

// Header: "UDI!", size without checksum (LE32), version, highest cylinder, highest side,
// reserved, extended header length (LE32). Tracks follow, then the checksum (LE32).
constexpr std::array<std::uint8_t, 4> kUdiSignature{'U', 'D', 'I', '!'};
constexpr std::size_t kUdiHeaderSize = 16;
constexpr std::size_t kUdiChecksumSize = 4;
constexpr std::size_t kUdiMinimumFile = 20;
constexpr std::size_t kUdiTrackRecordHeader = 3;  // type byte, LE16 length
constexpr std::uint8_t kUdiTrackTypeMfm = 0;
constexpr std::size_t kUdiWrittenRecord =
    kUdiTrackRecordHeader + kUdiTrackLength + kUdiBitmapLength;  // 7041

constexpr const char* kErrorFile = "Error UDI file!";
constexpr const char* kErrorCrc = "UDI file CRC error!";
constexpr const char* kErrorSignature = "No UDI format!";
constexpr const char* kErrorFormat = "Error UDI format!";
constexpr const char* kErrorLength = "Error UDI file length!";
constexpr const char* kErrorTrackTooLong = "UDI track longer than 6500 bytes!";

// One track record at the cursor into track (the slots are empty after ClearImage).
bool ReadTrackRecord(ByteCursor& in, Track& track, DiskImage& disk) {
    std::uint8_t type = 0;
    std::uint16_t length = 0;
    if (!in.U8(type) || !in.Le16(length)) return Refuse(disk, kErrorLength);
    std::span<const std::uint8_t> bytes;
    if (!in.Take(length, bytes)) return Refuse(disk, kErrorLength);
    // The raw buffer holds 6500 bytes; a longer track cannot be kept whole.
    if (length > kTrackBufferSize) return Refuse(disk, kErrorTrackTooLong);
    std::span<const std::uint8_t> marks;
    if (!in.Take((std::size_t{length} + 7) / 8, marks)) return Refuse(disk, kErrorLength);

    std::copy(bytes.begin(), bytes.end(), track.Raw.first(bytes.size()).begin());
    track.RawLength = length;
    track.Present = kPresent;
    track.RawValid = 1;
    FindUdiSectors(bytes, marks, track);
    return true;
}

std::string ReservedByteNote(std::uint8_t reserved) {
    return "The reserved byte of the UDI header (offset 11) is " + std::to_string(reserved) +
           ", not 0; the file was read as usual.";
}

std::string TracksBeyondNote(std::size_t records) {
    return "The UDI file holds " + std::to_string(records) + " tracks; tracks " +
           std::to_string(kTrackCount) + ".." + std::to_string(records - 1) +
           " lie beyond the image's " + std::to_string(kTrackCount) + " tracks and are not loaded.";
}

std::string TrailingBytesNote(std::size_t bytes) {
    return "The UDI file holds " + std::to_string(bytes) +
           " bytes after its last track; they belong to no track and are not loaded.";
}

}  // namespace

bool ReadUdi(std::span<const std::uint8_t> file, DiskImage& disk) {
    disk.ClearImage();
    if (file.size() < kUdiMinimumFile) return Refuse(disk, kErrorFile);
    const std::size_t body = file.size() - kUdiChecksumSize;
    if (ImageCrc32(file.first(body)) != GetLe32(file, body)) return Refuse(disk, kErrorCrc);
    if (!std::equal(kUdiSignature.begin(), kUdiSignature.end(), file.begin()))
        return Refuse(disk, kErrorSignature);

    ByteCursor in(file);
    in.Skip(kUdiSignature.size());
    std::uint32_t size = 0;
    std::uint8_t version = 0;
    std::uint8_t highestCylinder = 0;
    std::uint8_t highestSide = 0;
    std::uint8_t reserved = 0;
    std::uint32_t extendedHeader = 0;
    in.Le32(size);
    in.U8(version);
    in.U8(highestCylinder);
    in.U8(highestSide);
    in.U8(reserved);
    in.Le32(extendedHeader);
    // The reserved byte changes nothing in how the file reads (a converter of the time
    // wrote 1 there), so it is only noted; the writer keeps writing 0.
    if (version != 0 || extendedHeader != 0) return Refuse(disk, kErrorFormat);
    if (body != size) return Refuse(disk, kErrorLength);
    if (reserved != 0) disk.LoadNotes.push_back({.text = ReservedByteNote(reserved)});

    // Records go to tracks 0, 1, 2, ... in file order whatever the number of sides; those
    // past the container's last track are not read.
    const std::size_t records = (std::size_t{highestCylinder} + 1) * (std::size_t{highestSide} + 1);
    const std::size_t kept = std::min(records, kTrackCount);
    for (std::size_t n = 0; n < kept; ++n) {
        if (!ReadTrackRecord(in, *disk.GetTrack(static_cast<std::uint8_t>(n)), disk)) return false;
    }
    if (records > kTrackCount) {
        disk.LoadNotes.push_back({.text = TracksBeyondNote(records)});
    } else if (in.Position() < body) {
        // Bytes between the last record and the checksum belong to no track.
        disk.LoadNotes.push_back({.text = TrailingBytesNote(body - in.Position())});
    }
    return true;
}

bool WriteUdi(DiskImage& disk, Bytes& out) {
    out.clear();
    const std::size_t present = disk.TracksToWrite();
    // An empty image is written as one cylinder of blank tracks: the header cannot say
    // "no cylinders".
    const std::size_t cylinders = std::max<std::size_t>((present + 1) / 2, 1);
    const std::size_t body = kUdiHeaderSize + 2 * kUdiWrittenRecord * cylinders;
    out.reserve(body + kUdiChecksumSize);

    out.insert(out.end(), kUdiSignature.begin(), kUdiSignature.end());
    PutLe32(out, static_cast<std::uint32_t>(body));
    out.push_back(0);  // version
    out.push_back(static_cast<std::uint8_t>(cylinders - 1));
    out.push_back(1);  // highest side
    out.push_back(0);  // reserved
    PutLe32(out, 0);   // extended header length

    UdiTrackImage image;
    for (std::size_t t = 0; t < 2 * cylinders; ++t) {
        const auto index = static_cast<std::uint8_t>(t);
        if (!BuildUdiTrack(disk, index, image)) {
            disk.FailTrack = index;
            out.clear();
            return false;
        }
        out.push_back(kUdiTrackTypeMfm);
        PutLe16(out, static_cast<std::uint16_t>(kUdiTrackLength));
        out.insert(out.end(), image.Bytes.begin(), image.Bytes.end());
        out.insert(out.end(), image.ClockMarks.begin(), image.ClockMarks.end());
    }
    PutLe32(out, ImageCrc32(out));
    return true;
}

}  // namespace morvane
