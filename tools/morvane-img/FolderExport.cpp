#include "FolderExport.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "DamagedFiles.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"

namespace morvane {

namespace {
constexpr std::string_view kFolderExportFlags[] = {"--force"};
}  // namespace

int ExportToFolder(const std::vector<std::string>& args, std::string_view verb,
                   FolderExportBuilder build, bool withSizes, std::ostream& out,
                   std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kFolderExportFlags, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2)
        return VerbUsage(err, std::string(verb) + " takes an image and a folder");
    const std::filesystem::path folder(a.positional[1]);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return VerbFailure(err, "no folder " + folder.string() + (ec ? ": " + ec.message() : ""));
    auto disk = std::make_unique<DiskImage>();
    std::vector<TrDosEntry> files;
    if (const int status = LoadTrDosFiles(a, *disk, files, err); status != kExitOk) return status;

    const bool force = a.Has("--force");
    std::vector<TrDosFileSectors> sectors;
    if (const int status = ReadFilesAsTheyAre(*disk, files, force, "exported", sectors, err);
        status != kExitOk)
        return status;
    std::vector<std::string> paths;
    std::vector<FolderExportFile> made(files.size());
    const std::vector<HobetaName> names = HobetaFileNames(files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        build(files[i], sectors[i].data, names[i], made[i]);
        paths.push_back((folder / made[i].name).string());
    }
    for (const std::string& path : paths)
        if (!CheckOutputIsNotInput({a.positional[0]}, path, err)) return kExitFailure;
    if (!CheckTargets(paths, force, err)) return kExitFailure;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!WriteVerbOutput(paths[i], made[i].bytes, err, a.Has("--force"))) return kExitFailure;
        out << paths[i];
        if (withSizes) out << " (" << made[i].bytes.size() << " bytes)";
        out << "\n";
    }
    return DamagedFilesStatus(sectors);
}

}  // namespace morvane
