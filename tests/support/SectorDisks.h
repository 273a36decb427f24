// Disks of sectors for the writer tests, and the sector-level comparison the TD0 and FDI
// formats are held to: what they keep of a disk is its present tracks' occupied slots (ID
// field, data status and the sector's data), not raw tracks, logs or image-level fields.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "model/Bytes.h"
#include "model/Checksums.h"
#include "model/DiskImage.h"
#include "support/Patterns.h"

namespace morvane::test {

inline std::size_t SectorSize(std::uint8_t sizeCode) {
    return std::min<std::size_t>(sizeCode < 9 ? std::size_t{128} << sizeCode : 0, kTrackBufferSize);
}

// Fills a slot as a reader would: ID, its CRC, data of the size code (cut to the buffer).
inline SectorSlot& PutSector(DiskImage& disk, std::uint8_t track, std::uint8_t slot, std::uint8_t r,
                              std::uint8_t n, const Bytes& data, bool good = true) {
    Track& t = *disk.GetTrack(track);
    t.Present = kPresent;
    SectorSlot& s = t.Slots[slot];
    s.Present = kPresent;
    s.Cylinder = static_cast<std::uint8_t>(track / 2);
    s.Head = static_cast<std::uint8_t>(track % 2);
    s.Sector = r;
    s.SizeCode = n;
    s.HeaderCrc = IdFieldCrc(s.Cylinder, s.Head, r, n);
    s.DataGood = good ? kDataGood : 0;
    s.DataLength = static_cast<std::uint16_t>(std::min(data.size(), kTrackBufferSize));
    std::copy_n(data.begin(), s.DataLength, s.Data.begin());
    t.CountSectors();
    return s;
}

// Good sectors of many kinds: a TR-DOS track, a PC track with side-1 IDs of head 0, sizes
// 128 to 8192 (the last more than a slot holds), filled, run-rich and random data, and a
// gap of absent tracks before the last one.
inline void FillGoodSectors(DiskImage& disk) {
    disk.ClearImage();
    for (std::uint8_t r = 1; r <= 16; ++r) {
        Bytes data(256);
        std::iota(data.begin(), data.end(), r);
        PutSector(disk, 0, static_cast<std::uint8_t>(r - 1), r, 1, data);
    }
    for (std::uint8_t r = 1; r <= 9; ++r) {
        SectorSlot& s =
            PutSector(disk, 1, static_cast<std::uint8_t>(r - 1), r, 2, RandomBytes(512, r));
        s.Head = 0;
        s.HeaderCrc = IdFieldCrc(s.Cylinder, 0, r, 2);
    }
    PutSector(disk, 2, 0, 1, 0, Bytes(128, 0xE5));
    Bytes runs(1024, 0);
    for (std::size_t i = 0; i < runs.size(); i += 100)
        std::fill_n(runs.begin() + static_cast<std::ptrdiff_t>(i), 7, std::uint8_t(i / 100 + 1));
    PutSector(disk, 2, 1, 2, 3, runs);
    PutSector(disk, 2, 2, 0xF7, 4, RandomBytes(2048, 99));
    PutSector(disk, 9, 0, 1, 6, RandomBytes(8192, 7));
}

// One track of damaged sectors: data in error, an ID without data, then a good sector.
inline void AddDamagedTrack(DiskImage& disk, std::uint8_t track) {
    PutSector(disk, track, 0, 1, 1, RandomBytes(256, 5), false);
    PutSector(disk, track, 1, 2, 1, {}, false);
    PutSector(disk, track, 2, 3, 1, Bytes(256, 0x42));
}

enum class NoData {
    Kept,       // read back as an ID without data
    AsBadData,  // read back as data in error, zero bytes of the sector's size
};

// Every present track of original is present in copy with the same occupied slots; tracks
// copy holds beyond them have no sectors.
inline ::testing::AssertionResult SameSectors(const DiskImage& original, const DiskImage& copy,
                                              NoData noData = NoData::Kept) {
    for (std::uint8_t t = 0; t < kTrackCount; ++t) {
        const Track& a = *original.GetTrack(t);
        const Track& b = *copy.GetTrack(t);
        const std::string where = "track " + std::to_string(t);
        if (a.Present == 0) {
            if (b.Present != 0 && b.SectorCount != 0)
                return ::testing::AssertionFailure() << where << " gained sectors";
            continue;
        }
        if (b.Present == 0) return ::testing::AssertionFailure() << where << " lost";
        for (std::size_t i = 0; i < kSlotsPerTrack; ++i) {
            const SectorSlot& x = a.Slots[i];
            const SectorSlot& y = b.Slots[i];
            const std::string at = where + " slot " + std::to_string(i);
            if (x.Present != y.Present) return ::testing::AssertionFailure() << at << ": Present";
            if (x.Present == 0) continue;
            if (x.Cylinder != y.Cylinder || x.Head != y.Head || x.Sector != y.Sector ||
                x.SizeCode != y.SizeCode || x.HeaderCrc != y.HeaderCrc)
                return ::testing::AssertionFailure() << at << ": ID field";
            if (x.DataLength == 0 && noData == NoData::Kept) {
                if (y.DataLength != 0 || y.DataGood != 0)
                    return ::testing::AssertionFailure() << at << ": should have no data";
                continue;
            }
            if (x.DataGood != y.DataGood)
                return ::testing::AssertionFailure()
                       << at << ": DataGood " << int{x.DataGood} << " vs " << int{y.DataGood};
            const std::size_t size = x.DataLength == 0 ? 0 : SectorSize(x.SizeCode);
            const std::size_t held = std::min<std::size_t>(x.DataLength, size);
            if (y.DataLength < size)
                return ::testing::AssertionFailure() << at << ": DataLength " << y.DataLength;
            if (!std::equal(x.Data.begin(), x.Data.begin() + held, y.Data.begin()) ||
                !std::all_of(y.Data.begin() + held, y.Data.begin() + size,
                             [](std::uint8_t v) { return v == 0; }))
                return ::testing::AssertionFailure() << at << ": Data";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace morvane::test
