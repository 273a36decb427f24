// morvane-img export-hob: TR-DOS files of an image as Hobeta files in a folder, named as
// the catalogue window names them, a number added where two files share a name. Every file
// is built before anything is written, so an unreadable sector or an existing file (without
// --force) leaves the folder as it was.
#include "FilesystemVerbs.h"
#include "FolderExport.h"

namespace morvane {

namespace {

bool BuildHobetaFile(const TZX_Disk& disk, const TrDosEntry& entry, const HobetaName& name,
                     FolderExportFile& file, SectorPosition& failed) {
    file.name = name.FileName();
    return BuildHobeta(disk, entry, file.bytes, &failed);
}

}  // namespace

int RunExportHobeta(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return ExportToFolder(args, "export-hob", &BuildHobetaFile, false, out, err);
}

}  // namespace morvane
