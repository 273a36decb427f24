// morvane-img export-bin: TR-DOS files as their plain bytes (a BASIC file's program and
// variables, any other file its length in bytes, never its whole sectors), named NAME.T
// after the file as export-hob names them. Everything is read before anything is written.
#include <filesystem>
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/Hobeta.h"
#include "filesystems/TrDosPlainFiles.h"

namespace morvane {

namespace {
constexpr std::string_view kExportBinFlags[] = {"--force"};
}  // namespace

int RunExportBin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kExportBinFlags, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2) return VerbUsage(err, "export-bin takes an image and a folder");
    const std::filesystem::path folder(a.positional[1]);
    if (!std::filesystem::is_directory(folder))
        return VerbFailure(err, "no folder " + folder.string());
    auto disk = std::make_unique<TZX_Disk>();
    std::vector<TrDosEntry> files;
    if (const int status = LoadTrDosFiles(a, *disk, files, err); status != kExitOk) return status;

    std::vector<std::string> paths;
    std::vector<Bytes> contents;
    const std::vector<HobetaName> names = HobetaFileNames(files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        Bytes sectors;
        SectorPosition failed;
        if (!ReadTrDosFile(*disk, files[i], sectors, &failed))
            return VerbFailure(err, SectorErrorText(failed.track, failed.sector));
        contents.push_back(TrDosPlainBytes(files[i], sectors));
        // NAME.$T without its '$'.
        paths.push_back((folder / (names[i].base + "." + names[i].extension.substr(1))).string());
    }
    if (!CheckTargets(paths, a.Has("--force"), err)) return kExitFailure;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!WriteVerbOutput(paths[i], contents[i], err)) return kExitFailure;
        out << paths[i] << " (" << contents[i].size() << " bytes)\n";
    }
    return kExitOk;
}

}  // namespace morvane
