#include "DamagedFiles.h"

#include <algorithm>
#include <ostream>

namespace morvane {

namespace {

std::string FileText(const TrDosEntry& e) {
    return TrimmedZxName(e.name) + "." + static_cast<char>(e.type);
}

}  // namespace

std::string DamagedSectorsText(std::span<const DamagedSector> damaged) {
    std::string text;
    for (const DamagedSector& d : damaged) {
        if (!text.empty()) text += ", ";
        text += d.state == FileSectorState::Bad ? "failed" : "missing";
        text += " track " + std::to_string(d.at.track) + " sector " + std::to_string(d.at.sector);
    }
    return text;
}

int ReadFilesAsTheyAre(const DiskImage& disk, std::span<const TrDosEntry> files, bool force,
                       const std::string& done, std::vector<TrDosFileSectors>& out,
                       std::ostream& err) {
    out.clear();
    bool refused = false;
    for (const TrDosEntry& e : files) {
        out.push_back(ReadTrDosFileAsItIs(disk, e));
        if (out.back().Whole()) continue;
        err << "morvane-img: " << FileText(e) << (force ? " " + done : std::string())
            << (force ? " with" : " has") << " bad or missing sectors: "
            << DamagedSectorsText(out.back().damaged) << "\n";
        refused = !force;
    }
    if (!refused) return kExitOk;
    err << "morvane-img: nothing written; --force takes such files as they are\n";
    return kExitFailure;
}

int DamagedFilesStatus(std::span<const TrDosFileSectors> files) {
    return std::all_of(files.begin(), files.end(),
                       [](const TrDosFileSectors& f) { return f.Whole(); })
               ? kExitOk
               : kExitBadSectors;
}

}  // namespace morvane
