// The TR-DOS exports that write one file per catalogue entry into a folder (export-hob,
// export-bin): the arguments, the image, the files' names and the writing are the same;
// each verb says how one file's bytes and name are made.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "filesystems/Hobeta.h"
#include "filesystems/TrDosCatalogue.h"
#include "filesystems/TrDosSectors.h"
#include "model/Bytes.h"
#include "model/ZxDisk.h"

namespace morvane {

// One exported file: its bytes and its name within the folder.
struct FolderExportFile {
    Bytes bytes;
    std::string name;
};

// Makes the file of `entry` (named `name`, a number added where two files share one);
// false with `failed` set when a sector of it cannot be read.
using FolderExportBuilder = bool (*)(const TZX_Disk& disk, const TrDosEntry& entry,
                                     const HobetaName& name, FolderExportFile& file,
                                     SectorPosition& failed);

// `VERB IMAGE DIR [FILE...] [--force]`: every file is made before anything is written, so an
// unreadable sector or an existing file (without --force) leaves the folder as it was. Each
// written path goes to `out`, with its size in bytes when `withSizes`.
int ExportToFolder(const std::vector<std::string>& args, std::string_view verb,
                   FolderExportBuilder build, bool withSizes, std::ostream& out, std::ostream& err);

}  // namespace morvane
