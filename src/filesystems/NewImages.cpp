#include "filesystems/NewImages.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "filesystems/CpmDirectory.h"
#include "filesystems/TrDosCatalogue.h"
#include "model/Bytes.h"
#include "model/Checksums.h"
#include "model/SizeCode.h"

namespace morvane {

namespace {

constexpr std::uint8_t kTrDosSizeCode = 1;
constexpr std::uint8_t kCpmSizeCode = 3;
constexpr unsigned kCpmDirectorySectors = 4;
constexpr std::uint16_t kNewTrDosFreeSectors = (kNewImageTracks - 1) * kTrDosSectorsPerTrack;

void FormatSlot(SectorSlot& slot, std::uint8_t cylinder, std::uint8_t head, std::uint8_t sector,
                std::uint8_t sizeCode) {
    slot.Data.fill(0);
    slot.Present = kPresent;
    slot.Cylinder = cylinder;
    slot.Head = head;
    slot.Sector = sector;
    slot.SizeCode = sizeCode;
    slot.HeaderCrc = IdFieldCrc(cylinder, head, sector, sizeCode);
    slot.Reserved = 0;
    slot.DataGood = kDataGood;
    slot.DataPosition = 0;
    slot.DataLength = static_cast<std::uint16_t>(SizeFromCode(sizeCode));
}

// Tracks 0..159 present, each with `sectors` slots; the sector number of a slot comes from
// numberOf(track, slot).
template <typename NumberOf>
void FormatTracks(DiskImage& disk, unsigned sectors, std::uint8_t sizeCode, bool headFromSide,
                  NumberOf numberOf) {
    disk.ClearImage();
    for (unsigned t = 0; t < kNewImageTracks; ++t) {
        Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        track.Present = kPresent;
        track.RawLength = 0;
        track.RawValid = 0;
        track.Log.clear();
        const auto cylinder = static_cast<std::uint8_t>(CylinderOf(t));
        const auto head = static_cast<std::uint8_t>(headFromSide ? SideOf(t) : 0);
        for (unsigned s = 0; s < sectors; ++s)
            FormatSlot(track.Slots[s], cylinder, head, numberOf(t, s), sizeCode);
        track.CountSectors();
    }
    disk.CountTracks();
}

}  // namespace

void CreateTrDosImage(DiskImage& disk, std::string_view name) {
    FormatTracks(disk, kTrDosSectorsPerTrack, kTrDosSizeCode, false,
                 [](unsigned, unsigned s) { return static_cast<std::uint8_t>(s + 1); });
    SectorSlot& info = *disk.FindSector(0, kTrDosInfoSector);
    info.Data[kInfoFirstFreeSector] = 0;
    info.Data[kInfoFirstFreeTrack] = 1;
    info.Data[kInfoDiskType] = kDiskType80x2;
    info.Data[kInfoFileCount] = 0;
    SetLe16(info.Data.first(kTrDosSectorSize), kInfoFreeSectors, kNewTrDosFreeSectors);
    info.Data[kInfoIdByte] = kTrDosId;
    info.Data[kInfoDeletedCount] = 0;
    const std::string padded = std::string(name) + std::string(10, ' ');
    std::copy_n(padded.begin(), kTrDosNameSize,
                info.Data.first(kTrDosSectorSize).begin() + kInfoDiskName);
    disk.Repaint();
}

void CreateCpmImage(DiskImage& disk) {
    FormatTracks(disk, kCpmSectorsPerTrack, kCpmSizeCode, true, [](unsigned t, unsigned s) {
        return static_cast<std::uint8_t>(
            t == 0 && s == kCpmSectorsPerTrack - 1 ? kCpmBootSectorNumber : s + 1);
    });
    for (unsigned s = 1; s <= kCpmDirectorySectors; ++s) {
        SectorSlot& dir = *disk.FindSector(0, static_cast<std::uint8_t>(s));
        const std::span<std::uint8_t> data = dir.Data.first(kCpmSectorSize);
        std::fill(data.begin(), data.end(), kCpmErased);
    }
    disk.Repaint();
}

}  // namespace morvane
