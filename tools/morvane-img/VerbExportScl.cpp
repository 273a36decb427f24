// morvane-img export-scl: TR-DOS files of an image as one SCL archive, in catalogue order
// or in the order named; files with bad or missing sectors only with --force.
#include <memory>
#include <ostream>

#include "DamagedFiles.h"
#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosListing.h"

namespace morvane {

namespace {
constexpr std::string_view kSclFlags[] = {"--force"};
}  // namespace

int RunExportScl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kSclFlags, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2)
        return VerbUsage(err, "export-scl takes an image and an output file");
    const std::string& target = a.positional[1];
    auto disk = std::make_unique<DiskImage>();
    std::vector<TrDosEntry> files;
    if (const int status = LoadTrDosFiles(a, *disk, files, err); status != kExitOk) return status;
    if (files.empty()) return VerbFailure(err, std::string(kNoFilesToSaveText));
    const bool force = a.Has("--force");
    if (!CheckOutputIsNotInput({a.positional[0]}, target, err) || !CheckTargets({target}, force, err))
        return kExitFailure;

    std::vector<TrDosFileSectors> read;
    if (const int status = ReadFilesAsTheyAre(*disk, files, force, "exported", read, err);
        status != kExitOk)
        return status;
    std::vector<Bytes> sectors;
    for (TrDosFileSectors& f : read)
        sectors.push_back(f.data);
    if (!WriteVerbOutput(target, SclArchive(files, sectors), err, force)) return kExitFailure;
    out << target << " (" << files.size() << " files)\n";
    return DamagedFilesStatus(read);
}

}  // namespace morvane
