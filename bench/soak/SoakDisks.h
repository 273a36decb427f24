// The disks of the soak: a TR-DOS or a CP/M layout filled with seeded random bytes, and
// the two checks of what a run kept against what the emulated disk holds.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/DiskImage.h"
#include "operations/DiskWrite.h"

namespace morvane::soak {

enum class DiskKind : std::uint8_t { TrDos, Cpm };

const char* DiskName(DiskKind kind);

// An empty disk of the kind with every sector's bytes drawn from random.
void MakeRandomImage(DiskImage& image, DiskKind kind, std::mt19937& random);
// The sector IDs of the image without their data, as a scan would leave them.
void CopyIdsOnly(const DiskImage& image, DiskImage& ids);

struct SectorCheck {
    int checked = 0;
    int wrong = 0;
    std::string firstWrong;  // where, for the report
};

// Every sector the container holds as read good equals the same sector of the disk.
SectorCheck CheckGoodSectors(const DiskImage& read, const DiskImage& disk);

// Every sector of the first tracksDone present tracks of the image that the run wrote
// without a failure equals the same sector of the disk.
SectorCheck CheckWrittenSectors(const DiskImage& image, int tracksDone,
                                const std::vector<WrittenSector>& failed, const DiskImage& disk);

}  // namespace morvane::soak
