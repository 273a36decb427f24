// morvane-img export-hob: TR-DOS files of an image as Hobeta files in a folder, named as
// the catalogue window names them, a number added where two files share a name. Every file is built before anything is written, so an
// unreadable sector or an existing file (without --force) leaves the folder as it was.
#include <filesystem>
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/Hobeta.h"
#include "filesystems/TrDosListing.h"

namespace morvane {

namespace {
constexpr std::string_view kHobetaFlags[] = {"--force"};
}  // namespace

int RunExportHobeta(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kHobetaFlags, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2) return VerbUsage(err, "export-hob takes an image and a folder");
    const std::filesystem::path folder(a.positional[1]);
    if (!std::filesystem::is_directory(folder))
        return VerbFailure(err, "no folder " + folder.string());
    auto disk = std::make_unique<TZX_Disk>();
    std::vector<TrDosEntry> files;
    if (const int status = LoadTrDosFiles(a, *disk, files, err); status != kExitOk) return status;

    std::vector<std::string> paths;
    std::vector<Bytes> contents(files.size());
    const std::vector<HobetaName> names = HobetaFileNames(files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        SectorPosition failed;
        if (!BuildHobeta(*disk, files[i], contents[i], &failed))
            return VerbFailure(err, SectorErrorText(failed.track, failed.sector));
        paths.push_back((folder / names[i].FileName()).string());
    }
    if (!CheckTargets(paths, a.Has("--force"), err)) return kExitFailure;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!WriteVerbOutput(paths[i], contents[i], err)) return kExitFailure;
        out << paths[i] << "\n";
    }
    return kExitOk;
}

}  // namespace morvane
