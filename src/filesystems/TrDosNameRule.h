// What TR-DOS reads as a file's name: any eight bytes but those that begin with 0x01,
// which marks a deleted file, or with 0x00, where TR-DOS ends the catalogue. A file given
// such a name vanishes from the listing, and the next compaction frees its sectors, so
// every command that sets a file's name (rename, add, the catalogue window's header
// editor) asks this first.
#pragma once

#include <optional>
#include <string>

#include "filesystems/TrDosCatalogue.h"

namespace morvane {

// Why TR-DOS would not read `name` as a file's name; nothing when it would.
std::optional<std::string> TrDosNameRefusal(const TrDosName& name);

}  // namespace morvane
