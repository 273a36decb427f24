// Small helpers that put tracks and sectors into an image for the view tests.
#pragma once

#include <cstdint>
#include <memory>

#include "model/DiskImage.h"

namespace morvane::testdata {

inline std::unique_ptr<DiskImage> MakeDisk() {
    return std::make_unique<DiskImage>();
}

inline Track& PresentTrack(DiskImage& disk, std::uint8_t index, std::uint16_t rawLength = 0) {
    Track& t = *disk.GetTrack(index);
    t.Present = kPresent;
    t.RawLength = rawLength;
    t.RawValid = rawLength > 0 ? 1 : 0;
    for (std::uint16_t i = 0; i < rawLength; ++i)
        t.Raw[i] = static_cast<std::uint8_t>(i);
    return t;
}

// A sector in the slot: ID field C/H/R/N, dataLength bytes of a counting pattern.
inline SectorSlot& PutSector(DiskImage& disk, std::uint8_t track, std::uint8_t slot,
                              std::uint8_t sector, std::uint16_t dataLength, bool good,
                              std::uint8_t sizeCode = 1) {
    Track& t = *disk.GetTrack(track);
    SectorSlot& s = *t.GetSlot(slot);
    s.Present = kPresent;
    s.Cylinder = static_cast<std::uint8_t>(track / 2);
    s.Head = static_cast<std::uint8_t>(track % 2);
    s.Sector = sector;
    s.SizeCode = sizeCode;
    s.HeaderCrc = 0x1234;
    s.DataLength = dataLength;
    s.DataGood = good ? kDataGood : 0;
    for (std::size_t i = 0; i < s.Data.size(); ++i)
        s.Data[i] = static_cast<std::uint8_t>(i * 7 + sector);
    t.CountSectors();
    return s;
}

}  // namespace morvane::testdata
