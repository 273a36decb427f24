// A build without Qt has no controller link: devices says so.
#include <ostream>

#include "VerbDevices.h"

namespace morvane {

std::string DevicesUsageText() {
    return "";
}

int RunDevices(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
    err << "morvane-img: devices needs the build with the controller link (MORVANE_BUILD_GUI)\n";
    return 1;
}

}  // namespace morvane
