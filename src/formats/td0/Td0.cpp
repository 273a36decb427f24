#include "formats/td0/Td0.h"

#include <string>

#include "formats/DiskComment.h"
#include "formats/td0/Lzh.h"
#include "formats/td0/Td0SectorData.h"
#include "model/Bytes.h"
#include "model/Checksums.h"
#include "model/Geometry.h"

namespace morvane {

namespace {

// File header (never compressed):
//   0  2  signature "TD" plain, "td" LZHUF-compressed body (any case passes as TD0)
//   4  1  version, 10..21; compressed files need 20 or more
//   7  1  bit 7: a comment block follows
//  10  2  Td0Crc16 of bytes 0..9
// Body: [comment block] track records... [0xFF]
//   comment: crc(2) length(2) date(6) text(length), lines apart by zero bytes
//   track:   sectors(1, 0xFF ends) cylinder(1) head(1) crc(1)
//   sector:  C H R N(4) flags(1) crc(1) block length(2) encoding(1) data
//            (no block length, encoding or data when flags has 0x10 or 0x20)
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kVersionOffset = 4;
constexpr std::size_t kFlagsOffset = 7;
constexpr std::size_t kHeaderCrcOffset = 10;
constexpr std::uint8_t kMinVersion = 10;
constexpr std::uint8_t kMaxVersion = 21;
constexpr std::uint8_t kMinCompressedVersion = 20;
constexpr std::uint8_t kCommentFlag = 0x80;
constexpr std::size_t kCommentHeaderSize = 10;
constexpr std::size_t kCommentLengthOffset = 2;
constexpr std::uint8_t kEndOfImage = 0xFF;
// Sector flags TeleDisk sets.
constexpr std::uint8_t kSectorCrcError = 0x02;  // the data read with a CRC error
constexpr std::uint8_t kSectorSkipped = 0x10;   // not allocated, not copied: no data block
constexpr std::uint8_t kSectorNoData = 0x20;    // an ID without a data field: no data block

bool Fail(DiskImage& disk, std::string_view message) {
    disk.LastError = std::string(message);
    return false;
}

char Upper(std::uint8_t c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
}

// The comment block's text becomes the disk comment; its date is not kept.
std::string_view ReadComment(ByteCursor& in, DiskImage& disk) {
    std::span<const std::uint8_t> header;
    std::span<const std::uint8_t> text;
    if (!in.Take(kCommentHeaderSize, header)) return kTd0ErrCommentCut;
    if (!in.Take(GetLe16(header, kCommentLengthOffset), text)) return kTd0ErrCommentCut;
    disk.DiskLog = DiskCommentLines(text);
    return {};
}

std::string_view ReadSector(ByteCursor& in, SectorSlot& slot) {
    std::span<const std::uint8_t> id;
    if (!in.Take(4, id)) return kTd0ErrSectorHeaderCut;
    slot.Cylinder = id[0];
    slot.Head = id[1];
    slot.Sector = id[2];
    slot.SizeCode = id[3];
    slot.Present = kPresent;
    slot.DataGood = kDataGood;
    slot.HeaderCrc = IdFieldCrc(id[0], id[1], id[2], id[3]);

    std::uint8_t flags = 0;
    if (!in.U8(flags) || !in.Skip(1)) return kTd0ErrSectorHeaderCut;  // crc
    if ((flags & (kSectorSkipped | kSectorNoData)) != 0) {
        slot.DataGood = 0;
        slot.DataLength = 0;
        return {};
    }
    std::uint16_t blockLength = 0;
    if (!in.Le16(blockLength)) return kTd0ErrSectorHeaderCut;
    if (blockLength > in.Remaining()) return kTd0ErrSize;
    // A sector TeleDisk read with a CRC error stays bad, so a reread tries it again and a
    // UDI save writes it with a bad CRC.
    if ((flags & kSectorCrcError) != 0) slot.DataGood = 0;
    return ReadTd0SectorData(in, blockLength, slot);
}

// Reads one track record after its sector count. Records that land outside the model
// (track index 166 or more, sectors past the 32nd) go through `spare` and are dropped.
std::string_view ReadTrack(ByteCursor& in, std::uint8_t sectors, DiskImage& disk,
                           SectorSlot& spare) {
    std::uint8_t cylinder = 0;
    std::uint8_t head = 0;
    if (!in.U8(cylinder) || !in.U8(head) || !in.Skip(1)) return kTd0ErrTrackHeaderCut;

    // Bit 7 of the head byte flags a single-density track; the side is the rest. A side
    // above 1 has no place in the image and is dropped rather than landing on another
    // cylinder's track.
    const unsigned side = head & 0x7Fu;
    const unsigned index = side <= 1 ? unsigned{cylinder} * 2 + side : kTrackCount;
    Track* track = index < kTrackCount ? disk.GetTrack(static_cast<std::uint8_t>(index)) : nullptr;
    if (track != nullptr) track->Present = kPresent;

    std::string_view error;
    for (unsigned i = 0; i < sectors && error.empty(); ++i) {
        SectorSlot* slot =
            track != nullptr ? track->GetSlot(static_cast<std::uint8_t>(i)) : nullptr;
        error = ReadSector(in, slot != nullptr ? *slot : spare);
    }
    if (track != nullptr) track->CountSectors();
    return error;
}

std::string_view ReadBody(std::span<const std::uint8_t> body, bool hasComment, DiskImage& disk) {
    ByteCursor in(body);
    if (hasComment) {
        const std::string_view error = ReadComment(in, disk);
        if (!error.empty()) return error;
    }
    SectorSlot spare;
    while (!in.AtEnd()) {
        std::uint8_t sectors = 0;
        in.U8(sectors);
        if (sectors == kEndOfImage) break;
        const std::string_view error = ReadTrack(in, sectors, disk, spare);
        if (!error.empty()) return error;
    }
    return {};
}

}  // namespace

bool ReadTd0(std::span<const std::uint8_t> file, DiskImage& disk) {
    return ReadTd0(file, disk, kTd0MaxDecompressed);
}

bool ReadTd0(std::span<const std::uint8_t> file, DiskImage& disk, std::size_t maxDecompressed) {
    disk.ClearImage();
    if (file.size() < 2 || Upper(file[0]) != 'T' || Upper(file[1]) != 'D')
        return Fail(disk, kTd0ErrNotTd0);
    if (file.size() < kHeaderSize) return Fail(disk, kTd0ErrHeaderCut);

    const std::uint8_t version = file[kVersionOffset];
    if (version < kMinVersion || version > kMaxVersion) return Fail(disk, kTd0ErrVersion);
    if (Td0Crc16(file.first(kHeaderCrcOffset)) != GetLe16(file, kHeaderCrcOffset))
        return Fail(disk, kTd0ErrHeaderCrc);

    const bool hasComment = (file[kFlagsOffset] & kCommentFlag) != 0;
    std::string_view error;
    if (file[0] == 't' && file[1] == 'd') {
        if (version < kMinCompressedVersion) return Fail(disk, kTd0ErrOldCompression);
        // The decoder is told to take as many bytes as the whole file holds although it
        // starts past the header, so it runs on over 12 zero bytes; what that adds lies
        // behind the end-of-image mark.
        Bytes body;
        if (LzhDecompress(file.subspan(kHeaderSize), file.size(), maxDecompressed, body) ==
            LzhStatus::OutputLimit)
            return Fail(disk, kTd0ErrTooLarge);
        error = ReadBody(body, hasComment, disk);
    } else {
        error = ReadBody(file.subspan(kHeaderSize), hasComment, disk);
    }
    if (!error.empty()) return Fail(disk, error);
    return true;
}

}  // namespace morvane
