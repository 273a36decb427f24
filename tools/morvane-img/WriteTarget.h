// What morvane-img write and format share: the drive they write to (the USB controller, or
// the emulated one with a blank, unformatted disk whose contents are then saved), the run
// and the exit status from its result.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "ReadOptions.h"
#include "operations/DiskWrite.h"

namespace morvane {

class DiskImage;

struct WriteTarget {
    bool driveB = false;
    std::string virtualOut;           // empty: the USB controller
    std::vector<FaultOption> faults;  // media faults of the emulated disk
    bool verbose = false;
};

// Takes --drive, --virtual-out, --fault and --verbose at args[i] (advancing i past a
// value). None when args[i] is none of them; false in ok, with the reason in problem,
// when one is given wrongly.
std::optional<bool> TakeTargetOption(const std::vector<std::string>& args, std::size_t& i,
                                     WriteTarget& target, std::string& problem);

using DiskWriteWork = std::function<DiskWriteResult(OperationContext&)>;

// Runs work on the target with image as the operations' image, prints the counts and
// each failed sector on out, saves the emulated disk into virtualOut. Exit 0 written (and
// verified), 3 sectors failed, 1 stopped or the output cannot be written.
int RunOnTarget(const WriteTarget& target, DiskImage& image, const DiskWriteWork& work,
                std::ostream& out, std::ostream& err);

}  // namespace morvane
