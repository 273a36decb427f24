// morvane-img export-bin: TR-DOS files as their plain bytes (a BASIC file's program and
// variables, any other file its length in bytes, never its whole sectors), named NAME.T
// after the file as export-hob names them. Everything is read before anything is written.
#include "FilesystemVerbs.h"
#include "FolderExport.h"
#include "filesystems/TrDosPlainFiles.h"

namespace morvane {

namespace {

bool BuildPlainFile(const TZX_Disk& disk, const TrDosEntry& entry, const HobetaName& name,
                    FolderExportFile& file, SectorPosition& failed) {
    Bytes sectors;
    if (!ReadTrDosFile(disk, entry, sectors, &failed)) return false;
    file.bytes = TrDosPlainBytes(entry, sectors);
    // NAME.$T without its '$'.
    file.name = name.base + "." + name.extension.substr(1);
    return true;
}

}  // namespace

int RunExportBin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return ExportToFolder(args, "export-bin", &BuildPlainFile, true, out, err);
}

}  // namespace morvane
