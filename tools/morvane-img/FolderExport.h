// The TR-DOS exports that write one file per catalogue entry into a folder (export-hob,
// export-bin): the arguments, the image, the files' names and the writing are the same;
// each verb says how one file's bytes and name are made.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filesystems/Hobeta.h"
#include "filesystems/TrDosCatalogue.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

// One exported file: its bytes and its name within the folder.
struct FolderExportFile {
    Bytes bytes;
    std::string name;
};

// Makes the file of `entry` from its sectors (named `name`, a number added where two files
// share one).
using FolderExportBuilder = void (*)(const TrDosEntry& entry,
                                     std::span<const std::uint8_t> sectors,
                                     const HobetaName& name, FolderExportFile& file);

// `VERB IMAGE DIR [FILE...] [--force]`: every file is made before anything is written, so a
// file with bad or missing sectors or an existing file (without --force) leaves the folder
// as it was; with --force both go ahead, and the damaged files make the exit status 3. Each
// written path goes to `out`, with its size in bytes when `withSizes`.
int ExportToFolder(const std::vector<std::string>& args, std::string_view verb,
                   FolderExportBuilder build, bool withSizes, std::ostream& out, std::ostream& err);

}  // namespace morvane
