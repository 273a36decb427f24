// morvane-img export-tap: TR-DOS files as one .tap tape file, a header and a data block
// each, that emulators load: a BASIC file as a program with its autostart line and program
// length, an array as an array, every other file as code at its start address.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/TrDosPlainFiles.h"
#include "filesystems/TrDosSectors.h"
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
    auto disk = std::make_unique<TZX_Disk>();
    std::vector<TrDosEntry> files;
    if (const int status = LoadTrDosFiles(a, *disk, files, err); status != kExitOk) return status;
    Bytes tap;
    for (const TrDosEntry& e : files) {
        Bytes sectors;
        SectorPosition failed;
        if (!ReadTrDosFile(*disk, e, sectors, &failed))
            return VerbFailure(err, SectorErrorText(failed.track, failed.sector));
        AppendTapeFile(tap, TapeFileOfTrDos(e, sectors));
    }
    if (!CheckOutputIsNotInput({a.positional[0]}, target, err) ||
        !CheckTargets({target}, a.Has("--force"), err) ||
        !WriteVerbOutput(target, tap, err, a.Has("--force")))
        return kExitFailure;
    out << target << " (" << files.size() << " files, " << tap.size() << " bytes)\n";
    return kExitOk;
}

}  // namespace morvane
