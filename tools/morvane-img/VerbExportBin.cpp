// morvane-img export-bin: TR-DOS files as their plain bytes (a BASIC file's program and
// variables, any other file its length in bytes, never its whole sectors), named NAME.T
// after the file as export-hob names them. Everything is read before anything is written.
#include "FilesystemVerbs.h"
#include "FolderExport.h"
#include "filesystems/TrDosPlainFiles.h"

namespace morvane {

namespace {

void BuildPlainFile(const TrDosEntry& entry, std::span<const std::uint8_t> sectors,
                    const HobetaName& name, FolderExportFile& file) {
    file.bytes = TrDosPlainBytes(entry, sectors);
    // NAME.$T without its '$'.
    file.name = name.base + "." + name.extension.substr(1);
}

}  // namespace

int RunExportBin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return ExportToFolder(args, "export-bin", &BuildPlainFile, true, out, err);
}

}  // namespace morvane
