// morvane-img export-scl: TR-DOS files of an image as one SCL archive, in catalogue order
// or in the order named.
#include <memory>
#include <ostream>

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
    auto disk = std::make_unique<TZX_Disk>();
    std::vector<TrDosEntry> files;
    if (const int status = LoadTrDosFiles(a, *disk, files, err); status != kExitOk) return status;
    if (files.empty()) return VerbFailure(err, std::string(kNoFilesToSaveText));
    if (!CheckOutputIsNotInput({a.positional[0]}, target, err) ||
        !CheckTargets({target}, a.Has("--force"), err))
        return kExitFailure;

    Bytes archive;
    SectorPosition failed;
    if (!BuildScl(*disk, files, archive, &failed))
        return VerbFailure(err, SectorErrorText(failed.track, failed.sector));
    if (!WriteVerbOutput(target, archive, err, a.Has("--force"))) return kExitFailure;
    out << target << " (" << files.size() << " files)\n";
    return kExitOk;
}

}  // namespace morvane
