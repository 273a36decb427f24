// morvane-img export-hob: TR-DOS files of an image as Hobeta files in a folder, named as
// the catalogue window names them. Every file is built before anything is written, so an
// unreadable sector or an existing file (without --force) leaves the folder as it was.
#include <filesystem>
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/Hobeta.h"
#include "filesystems/TrDosWindowRules.h"

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
    if (const int status = LoadVerbImage(a.positional[0], *disk, err); status != kExitOk)
        return status;
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(*disk, catalogue))
        return VerbFailure(err, std::string(kNotTrDosImageText));
    std::vector<TrDosEntry> files;
    const std::vector<std::string> names(a.positional.begin() + 2, a.positional.end());
    if (!SelectTrDosFiles(catalogue, names, files, err)) return kExitFailure;

    std::vector<std::string> paths;
    std::vector<Bytes> contents(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        SectorPosition failed;
        if (!BuildHobeta(*disk, files[i], contents[i], &failed))
            return VerbFailure(err, SectorErrorText(failed.track, failed.sector));
        paths.push_back((folder / HobetaFileName(files[i]).FileName()).string());
    }
    if (!CheckTargets(paths, a.Has("--force"), err)) return kExitFailure;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!WriteVerbOutput(paths[i], contents[i], err)) return kExitFailure;
        out << paths[i] << "\n";
    }
    return kExitOk;
}

}  // namespace morvane
