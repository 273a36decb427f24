// morvane-img devices: the FTDI devices the USB port sees, as the window's start of the link
// would find them, and why none can be opened when that is so.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace morvane {

// args[0] is "devices". One line per device on out: index, serial number, description and
// "controller", "other" or "unknown" (its texts could not be read), tab-separated. Exit 0
// when the devices could be listed and read, 1 when there is none or none may be opened
// (reason on err), 2 wrong usage.
int RunDevices(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
std::string DevicesUsageText();

}  // namespace morvane
