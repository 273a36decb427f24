// morvane-img export-hob: TR-DOS files of an image as Hobeta files in a folder, named as
// the catalogue window names them, a number added where two files share a name. Every file
// is built before anything is written, so a file with bad or missing sectors or an existing
// file (without --force) leaves the folder as it was.
#include "FilesystemVerbs.h"
#include "FolderExport.h"

namespace morvane {

namespace {

void BuildHobetaFile(const TrDosEntry& entry, std::span<const std::uint8_t> sectors,
                     const HobetaName& name, FolderExportFile& file) {
    file.name = name.FileName();
    file.bytes = HobetaBytes(entry, sectors);
}

}  // namespace

int RunExportHobeta(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return ExportToFolder(args, "export-hob", &BuildHobetaFile, false, out, err);
}

}  // namespace morvane
