#include "formats/td0/Td0Writer.h"

#include <algorithm>
#include <ctime>
#include <span>

#include "formats/td0/LzhEncoder.h"
#include "formats/td0/Td0SectorData.h"
#include "formats/td0/Td0SectorEncoder.h"
#include "model/Checksums.h"
#include "model/Cp1251.h"
#include "model/Geometry.h"
#include "model/Refuse.h"

namespace morvane {

namespace {

// Header as written (see Td0.cpp for the reader's view):
//   0 "TD"/"td"  2 volume 0  3 check byte 0  4 version 21  5 data rate 0 (250 kbit/s)
//   6 drive type  7 stepping 0, bit 7 comment  8 DOS mode 0 (all sectors)  9 sides
//  10 Td0Crc16 of bytes 0..9
constexpr std::size_t kHeaderCrcOffset = 10;
constexpr std::uint8_t kDrive360k = 1;  // 5.25", 40 tracks
constexpr std::uint8_t kDrive720k = 3;  // 3.5", 80 tracks
constexpr unsigned kLastCylinderOf40TrackDrive = 41;
constexpr std::uint8_t kCommentFlag = 0x80;
constexpr std::uint8_t kEndOfImage = 0xFF;
constexpr std::uint8_t kLargestStoredSizeCode = 6;  // 8192 bytes

std::uint8_t LowCrc(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint8_t>(Td0Crc16(bytes));
}

struct Shape {
    unsigned lastCylinder = 0;
    bool twoSides = false;
};

Shape ShapeOf(const DiskImage& disk) {
    Shape shape;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        if (disk.GetTrack(static_cast<std::uint8_t>(t))->Present == 0) continue;
        shape.lastCylinder = CylinderOf(static_cast<unsigned>(t));
        shape.twoSides = shape.twoSides || SideOf(static_cast<unsigned>(t)) == 1;
    }
    return shape;
}

Bytes Header(const DiskImage& disk, const Td0WriteOptions& options) {
    const Shape shape = ShapeOf(disk);
    const bool comment = !disk.DiskLog.empty();
    Bytes h{static_cast<std::uint8_t>(options.compress ? 't' : 'T'),
            static_cast<std::uint8_t>(options.compress ? 'd' : 'D'),
            0,
            0,
            kTd0WriteVersion,
            0,
            shape.lastCylinder > kLastCylinderOf40TrackDrive ? kDrive720k : kDrive360k,
            static_cast<std::uint8_t>(comment ? kCommentFlag : 0),
            0,
            static_cast<std::uint8_t>(shape.twoSides ? 2 : 1)};
    PutLe16(h, Td0Crc16(std::span(h).first(kHeaderCrcOffset)));
    return h;
}

// TeleDisk keeps the comment's lines apart with zero bytes.
bool AppendComment(const DiskImage& disk, const Td0WriteOptions& options, Bytes& body) {
    Bytes text;
    for (std::size_t i = 0; i < disk.DiskLog.size(); ++i) {
        if (i > 0) text.push_back(0);
        const Bytes line = Utf8ToCp1251(disk.DiskLog[i]);
        text.insert(text.end(), line.begin(), line.end());
    }
    if (text.size() > 0xFFFF) return false;
    Bytes block;
    PutLe16(block, static_cast<std::uint16_t>(text.size()));
    block.insert(block.end(), options.date.begin(), options.date.end());
    block.insert(block.end(), text.begin(), text.end());
    PutLe16(body, Td0Crc16(block));  // the CRC covers everything after itself
    body.insert(body.end(), block.begin(), block.end());
    return true;
}

// The bytes a sector record carries: the sector's size for the codes TeleDisk stores, the
// slot's zero-padded data up to it; for larger codes what the slot holds.
Bytes SectorBytes(const SectorSlot& slot) {
    const std::size_t held = std::min<std::size_t>(slot.DataLength, kTrackBufferSize);
    const std::size_t size =
        slot.SizeCode <= kLargestStoredSizeCode ? Td0SectorSize(slot.SizeCode) : held;
    Bytes data(size, 0);
    const std::span<const std::uint8_t> bytes = slot.Data.first(std::min(held, size));
    std::copy(bytes.begin(), bytes.end(), data.begin());
    return data;
}

void AppendSector(const SectorSlot& slot, Bytes& body) {
    const bool hasData = slot.DataLength > 0;
    const Bytes data = hasData ? SectorBytes(slot) : Bytes{};
    std::uint8_t flags = 0;
    if (!hasData)
        flags = kTd0FlagNoData;
    else if (slot.DataGood == 0)
        flags = kTd0FlagCrcError;
    for (std::uint8_t b :
         {slot.Cylinder, slot.Head, slot.Sector, slot.SizeCode, flags, LowCrc(data)})
        body.push_back(b);
    if (hasData) AppendTd0SectorData(data, body);
}

void AppendTrackHeader(std::uint8_t sectors, std::uint8_t cylinder, std::uint8_t head,
                       Bytes& body) {
    const std::array<std::uint8_t, 3> h{sectors, cylinder, head};
    body.insert(body.end(), h.begin(), h.end());
    body.push_back(LowCrc(h));
}

void AppendTracks(const DiskImage& disk, Bytes& body) {
    std::uint8_t lastCylinder = 0;
    std::uint8_t lastHead = 0;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        const auto sectors = static_cast<std::uint8_t>(
            std::count_if(track.Slots.begin(), track.Slots.end(),
                          [](const SectorSlot& s) { return s.Present; }));
        lastCylinder = static_cast<std::uint8_t>(CylinderOf(static_cast<unsigned>(t)));
        lastHead = static_cast<std::uint8_t>(SideOf(static_cast<unsigned>(t)));
        AppendTrackHeader(sectors, lastCylinder, lastHead, body);
        for (const SectorSlot& slot : track.Slots)
            if (slot.Present != 0) AppendSector(slot, body);
    }
    // TeleDisk ends with a whole track header whose count is 0xFF, repeating the last
    // track's place.
    AppendTrackHeader(kEndOfImage, lastCylinder, lastHead, body);
}

}  // namespace

bool BuildTd0(const DiskImage& disk, const Td0WriteOptions& options, Bytes& out,
              std::string& error) {
    Bytes body;
    if (!disk.DiskLog.empty() && !AppendComment(disk, options, body)) {
        error = std::string(kTd0ErrCommentTooLong);
        return false;
    }
    AppendTracks(disk, body);
    out = Header(disk, options);
    if (options.compress) {
        LzhEncoder encoder;
        encoder.Compress(body, out);
    } else {
        out.insert(out.end(), body.begin(), body.end());
    }
    return true;
}

std::array<std::uint8_t, 6> Td0DateNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<std::uint8_t>(std::clamp(local.tm_year, 0, 255)),
            static_cast<std::uint8_t>(local.tm_mon),
            static_cast<std::uint8_t>(local.tm_mday),
            static_cast<std::uint8_t>(local.tm_hour),
            static_cast<std::uint8_t>(local.tm_min),
            static_cast<std::uint8_t>(local.tm_sec)};
}

bool WriteTd0(DiskImage& disk, Bytes& out) {
    std::string error;
    if (!BuildTd0(disk, {false, Td0DateNow()}, out, error)) return Refuse(disk, error);
    return true;
}

bool WriteTd0Compressed(DiskImage& disk, Bytes& out) {
    std::string error;
    if (!BuildTd0(disk, {true, Td0DateNow()}, out, error)) return Refuse(disk, error);
    return true;
}

}  // namespace morvane
