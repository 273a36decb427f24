// Small TR-DOS and CP/M images for the filesystem tests: a new image plus files written
// the way the disk's own system would lay them out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "filesystems/CpmDirectory.h"
#include "filesystems/NewImages.h"
#include "filesystems/TrDosCatalogue.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane::test {

inline std::unique_ptr<DiskImage> NewTrDosDisk() {
    auto disk = std::make_unique<DiskImage>();
    CreateTrDosImage(*disk, kNewTrDosDiskName);
    return disk;
}

// The byte a test file holds at position i: distinct per file and per sector.
inline std::uint8_t FileByte(std::uint8_t seed, std::size_t i) {
    return static_cast<std::uint8_t>(seed * 31 + i * 7 + i / 256);
}

inline SectorSlot& TrDosSector(DiskImage& disk, unsigned track, unsigned sector) {
    return *disk.FindSector(static_cast<std::uint8_t>(track), static_cast<std::uint8_t>(sector));
}

inline void PutTrDosEntry(DiskImage& disk, std::size_t index, const TrDosEntry& e) {
    SectorSlot& sector = TrDosSector(disk, 0, static_cast<unsigned>(index / 16 + 1));
    const std::size_t at = index % 16 * 16;
    std::copy(e.name.begin(), e.name.end(), sector.Data.begin() + static_cast<std::ptrdiff_t>(at));
    sector.Data[at + 8] = e.type;
    SetLe16(sector.Data, at + 9, e.start);
    SetLe16(sector.Data, at + 11, e.length);
    sector.Data[at + 13] = e.sectors;
    sector.Data[at + 14] = e.firstSector;
    sector.Data[at + 15] = e.firstTrack;
}

// Appends a file at the first free sector, as TR-DOS saves one, and updates the
// information sector. Returns the entry written.
inline TrDosEntry AddTrDosFile(DiskImage& disk, std::string_view name, char type,
                               std::uint8_t sectors, std::uint8_t seed, std::uint16_t length = 0) {
    SectorSlot& info = TrDosSector(disk, 0, kTrDosInfoSector);
    TrDosEntry e;
    e.name.fill(' ');
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 8), e.name.begin());
    e.type = static_cast<std::uint8_t>(type);
    e.start = 0x6000;
    e.length = length != 0 ? length : static_cast<std::uint16_t>(sectors * 256 - 10);
    e.sectors = sectors;
    e.firstSector = info.Data[kInfoFirstFreeSector];
    e.firstTrack = info.Data[kInfoFirstFreeTrack];
    unsigned pos = e.StartPosition();
    for (std::size_t i = 0; i < std::size_t{sectors} * 256; ++i) {
        SectorSlot& s = TrDosSector(disk, (pos + i / 256) / 16, (pos + i / 256) % 16 + 1);
        s.Data[i % 256] = FileByte(seed, i);
    }
    const std::size_t index = info.Data[kInfoFileCount];
    PutTrDosEntry(disk, index, e);
    pos += sectors;
    info.Data[kInfoFirstFreeSector] = static_cast<std::uint8_t>(pos % 16);
    info.Data[kInfoFirstFreeTrack] = static_cast<std::uint8_t>(pos / 16);
    info.Data[kInfoFileCount] = static_cast<std::uint8_t>(index + 1);
    SetLe16(info.Data, kInfoFreeSectors,
            static_cast<std::uint16_t>(GetLe16(info.Data, kInfoFreeSectors) - sectors));
    return e;
}

// Places a file of the given header and sector bytes at the first free sector.
inline TrDosEntry PlaceTrDosFile(DiskImage& disk, TrDosEntry e, std::span<const std::uint8_t> data) {
    SectorSlot& info = TrDosSector(disk, 0, kTrDosInfoSector);
    e.firstSector = info.Data[kInfoFirstFreeSector];
    e.firstTrack = info.Data[kInfoFirstFreeTrack];
    const unsigned pos = e.StartPosition();
    for (std::size_t i = 0; i < data.size(); ++i) {
        SectorSlot& s = TrDosSector(disk, (pos + i / 256) / 16, (pos + i / 256) % 16 + 1);
        s.Data[i % 256] = data[i];
    }
    const std::size_t index = info.Data[kInfoFileCount];
    PutTrDosEntry(disk, index, e);
    const unsigned end = pos + e.sectors;
    info.Data[kInfoFirstFreeSector] = static_cast<std::uint8_t>(end % 16);
    info.Data[kInfoFirstFreeTrack] = static_cast<std::uint8_t>(end / 16);
    info.Data[kInfoFileCount] = static_cast<std::uint8_t>(index + 1);
    return e;
}

inline Bytes ExpectedFileBytes(std::uint8_t seed, std::uint8_t sectors) {
    Bytes b(std::size_t{sectors} * 256);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = FileByte(seed, i);
    return b;
}

// A file of three sectors whose second sector was read in error and whose third was never
// read (an ID without data), after two whole files: "data" (C, seed 4) in sectors 6..8 of
// track 1, after "boot" (B, 2 sectors) and "game" (C, 3).
struct DamagedTrDosDisk {
    std::unique_ptr<DiskImage> disk = NewTrDosDisk();
    TrDosEntry boot = AddTrDosFile(*disk, "boot", 'B', 2, 1);
    TrDosEntry game = AddTrDosFile(*disk, "game", 'C', 3, 2);
    TrDosEntry data = AddTrDosFile(*disk, "data", 'C', 3, 4);
    DamagedTrDosDisk() {
        TrDosSector(*disk, 1, 7).DataGood = 0;
        TrDosSector(*disk, 1, 8).DataLength = 0;
    }
    // What "data" holds as it is: its bytes, the sector never read as zeros.
    static Bytes DataAsItIs() {
        Bytes b = ExpectedFileBytes(4, 3);
        std::fill(b.begin() + 512, b.end(), std::uint8_t{0});
        return b;
    }
};

inline std::unique_ptr<DiskImage> NewCpmDisk() {
    auto disk = std::make_unique<DiskImage>();
    CreateCpmImage(*disk);
    return disk;
}

// Writes one 32-byte directory entry of a CP/M image; s2 holds the extent's high bits.
inline void PutCpmEntry(DiskImage& disk, std::size_t index, std::uint8_t user,
                        std::string_view name11, std::uint8_t extent, std::uint8_t records,
                        const std::vector<std::uint16_t>& blocks, std::uint8_t s2 = 0) {
    SectorSlot& sector =
        *disk.FindSector(0, static_cast<std::uint8_t>(index * kCpmEntrySize / 1024 + 1));
    const std::size_t at = index * kCpmEntrySize % 1024;
    std::fill_n(sector.Data.begin() + static_cast<std::ptrdiff_t>(at), kCpmEntrySize, 0);
    sector.Data[at] = user;
    std::copy_n(name11.begin(), kCpmNameSize,
                sector.Data.begin() + static_cast<std::ptrdiff_t>(at + 1));
    sector.Data[at + 12] = extent;
    sector.Data[at + 14] = s2;
    sector.Data[at + 15] = records;
    for (std::size_t i = 0; i < blocks.size() && i < 8; ++i)
        SetLe16(sector.Data, at + 16 + 2 * i, blocks[i]);
}

// Fills block b of a CP/M image with FileByte(seed, offset in the block + 2048 * ordinal).
inline void FillCpmBlock(DiskImage& disk, std::uint16_t block, std::uint8_t seed,
                         std::size_t ordinal) {
    for (std::size_t half = 0; half < 2; ++half) {
        const std::size_t logical = std::size_t{block} * 2 + half;
        const auto track = static_cast<std::uint8_t>(logical / 5);
        auto number = static_cast<std::uint8_t>(logical % 5 + 1);
        if (track == 0 && number == 5) number = 9;
        SectorSlot& s = *disk.FindSector(track, number);
        for (std::size_t i = 0; i < 1024; ++i)
            s.Data[i] = FileByte(seed, ordinal * 2048 + half * 1024 + i);
    }
}

}  // namespace morvane::test
