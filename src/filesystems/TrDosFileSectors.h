// A TR-DOS file's sectors as the image holds them, each with its state. The exports and
// the copy between images read files this way, so that a sector read in error, or one never
// read at all, is not passed off as the file's good bytes: they refuse such a file with its
// sectors named, or take it as it is when the user says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "filesystems/TrDosCatalogue.h"
#include "filesystems/TrDosSectors.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

enum class FileSectorState : std::uint8_t {
    Good,
    Bad,      // read in error: its bytes are what the drive gave
    Missing,  // no data, or less than 256 bytes of it: never read whole
};

// A sector of the file that is not good.
struct DamagedSector {
    std::size_t index = 0;  // its place in the file, from 0
    SectorPosition at;      // logical track and sector number (1..16)
    FileSectorState state = FileSectorState::Missing;
};

struct TrDosFileSectors {
    Bytes data;                          // entry.sectors * 256 bytes
    std::vector<DamagedSector> damaged;  // in file order
    bool Whole() const { return damaged.empty(); }
    // One state per sector, for a copy that keeps them.
    std::vector<FileSectorState> States() const;
};

// The entry's sectors from its start. A bad sector gives its bytes as read; a missing one
// what its slot holds of it (nothing for a sector absent from the image), zeros after.
TrDosFileSectors ReadTrDosFileAsItIs(const DiskImage& disk, const TrDosEntry& entry);

// The listed files of the catalogue as a dump of a disk gives them, in catalogue order:
// those whose every sector holds data (read in error or not) with their sectors, and those
// with a missing sector, each with what it lacks. A file set (SCL, Hobeta) holds only the
// first kind.
struct ReadTrDosFiles {
    std::vector<TrDosEntry> whole;
    std::vector<Bytes> sectors;  // of each whole file
    std::vector<TrDosEntry> incomplete;
    std::vector<std::vector<DamagedSector>> missing;  // of each incomplete file
};
ReadTrDosFiles SplitByMissingSectors(const DiskImage& disk, const TrDosCatalogue& catalogue);

}  // namespace morvane
