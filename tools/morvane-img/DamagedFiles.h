// The TR-DOS files an export or a copy takes, read as the image holds them. A file with a
// sector read in error or not read at all is refused, each such file named with those
// sectors, unless --force: then it goes out as it is, named on stderr, and the verb ends
// with exit 3 (done with bad sectors left).
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "MorvaneImg.h"
#include "filesystems/TrDosFileSectors.h"

namespace morvane {

// "failed track 2 sector 5, missing track 2 sector 6", as read lists its sectors.
std::string DamagedSectorsText(std::span<const DamagedSector> damaged);

// The files' sectors, in their order, into `out`. Without force a damaged file is refused:
// one line for each ("NAME.T has bad or missing sectors: ...") and kExitFailure. With
// force each is named ("NAME.T <done> with bad or missing sectors: ...", done being
// "exported" or "copied") and kExitOk.
int ReadFilesAsTheyAre(const DiskImage& disk, std::span<const TrDosEntry> files, bool force,
                       const std::string& done, std::vector<TrDosFileSectors>& out,
                       std::ostream& err);

// The verb's status once the files are written: kExitBadSectors when one was damaged.
int DamagedFilesStatus(std::span<const TrDosFileSectors> files);

}  // namespace morvane
