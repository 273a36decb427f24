// morvane-img export-tap: TR-DOS files as one .tap tape file, a header and a data block
// each, that emulators load: a BASIC file as a program with its autostart line and program
// length, an array as an array, every other file as code at its start address. Files with
// bad or missing sectors only with --force.
#include <memory>
#include <ostream>

#include "DamagedFiles.h"
#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/TrDosPlainFiles.h"
#include "filesystems/ZxTape.h"

namespace morvane {

namespace {
constexpr std::string_view kExportTapFlags[] = {"--force"};
}  // namespace

int RunExportTap(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kExportTapFlags, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2)
        return VerbUsage(err, "export-tap takes an image and an output file");
    const std::string& target = a.positional[1];
    auto disk = std::make_unique<DiskImage>();
    std::vector<TrDosEntry> files;
    if (const int status = LoadTrDosFiles(a, *disk, files, err); status != kExitOk) return status;
    const bool force = a.Has("--force");
    std::vector<TrDosFileSectors> read;
    if (const int status = ReadFilesAsTheyAre(*disk, files, force, "exported", read, err);
        status != kExitOk)
        return status;
    Bytes tap;
    for (std::size_t i = 0; i < files.size(); ++i)
        AppendTapeFile(tap, TapeFileOfTrDos(files[i], read[i].data));
    if (!CheckOutputIsNotInput({a.positional[0]}, target, err) ||
        !CheckTargets({target}, force, err) || !WriteVerbOutput(target, tap, err, force))
        return kExitFailure;
    out << target << " (" << files.size() << " files, " << tap.size() << " bytes)\n";
    return DamagedFilesStatus(read);
}

}  // namespace morvane
