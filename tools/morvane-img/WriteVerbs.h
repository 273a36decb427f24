// morvane-img write and format: an image file, or an empty TR-DOS or CP/M disk, put onto
// the disk in the controller's drive, through the same operations as the window's
// "Записать диск" and "Форматировать диск".
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace morvane {

// args[0] is "write" / "format". Exit 0 written and verified, 3 sectors failed to write or
// verify, 1 stopped (reason on err), 2 wrong usage.
int RunWrite(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunFormat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
std::string WriteUsageText();

}  // namespace morvane
