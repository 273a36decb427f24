// The Profi CP/M files named on morvane-img's command line: [U:]NAME.EXT (user area 0 without
// U:, letter case aside), [U:]pattern, or "#N", the file whose first extent is directory
// entry N counted from 1 (the "entry" of cat --json).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "filesystems/CpmDirectory.h"

namespace morvane {

// NAME.EXT upper-cased, the attribute bits and the padding dropped.
std::string CpmArgumentText(const CpmName& name);
// "U:NAME.EXT", NAME.EXT alone for user area 0: how the verbs print a file.
std::string CpmFileText(std::uint8_t user, const CpmName& name);
// Whether an argument picks files by pattern or by position rather than by name.
bool IsCpmSelection(std::string_view argument);

// The first extents (directory entries) of the files that are not erased named by the
// arguments, in argument order, each file once; every such file of every user area when
// there are none. A name picks the first file of that name, "#N" one file, a pattern
// every file of its user area it matches. False with the reason on err for an argument
// that names no file.
bool SelectCpmEntries(const CpmCatalogue& catalogue, const std::vector<std::string>& names,
                      std::vector<std::size_t>& out, std::ostream& err);
bool SelectCpmFiles(const CpmCatalogue& catalogue, const std::vector<std::string>& names,
                    std::vector<CpmFile>& out, std::ostream& err);

}  // namespace morvane
