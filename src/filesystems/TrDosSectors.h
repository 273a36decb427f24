// Sector access of the TR-DOS layer: a sector counts only when it is present and holds at
// least 256 data bytes; a file's sectors run on from sector 16 to sector 1 of the next
// logical track.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "filesystems/TrDosCatalogue.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

// Where a read stopped: logical track and sector number (1..16).
struct SectorPosition {
    unsigned track = 0;
    unsigned sector = 0;
};

// The first slot of logical track `track` with sector number `sector` when it is readable;
// nullptr for a missing or short sector and for a track outside the image.
const SectorSlot* FindReadableSector(const DiskImage& disk, unsigned track, unsigned sector);
SectorSlot* FindReadableSector(DiskImage& disk, unsigned track, unsigned sector);

// Appends `count` sectors starting at (firstTrack, firstSector index 0..15) to out. False at
// the first unreadable sector, whose position goes to *failed when given; the sectors
// before it stay appended.
bool ReadTrDosSectors(const DiskImage& disk, unsigned firstTrack, unsigned firstSector,
                      std::size_t count, Bytes& out, SectorPosition* failed = nullptr);
// The entry's length-in-sectors sectors from its start.
bool ReadTrDosFile(const DiskImage& disk, const TrDosEntry& entry, Bytes& out,
                   SectorPosition* failed = nullptr);

// "Ошибка сектора - (track T sector S)..!", the message of a failed export, delete or
// compaction (caption "Ошибка..!").
std::string SectorErrorText(unsigned track, unsigned sector);

}  // namespace morvane
