// morvane-img read: reads the disk in the controller's drive into an image file, through
// the same whole-disk run as the window's "Диск" menu.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "MorvaneImg.h"

namespace morvane {

// args[0] is "read". Exit 0 complete, 3 complete with failed sectors, 1 stopped (reason on
// err), 2 wrong usage.
int RunRead(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
std::string ReadUsageText();

}  // namespace morvane
