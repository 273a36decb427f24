// A build without Qt has no controller link: read says so.
#include <ostream>

#include "VerbRead.h"

namespace morvane {

std::string ReadUsageText() {
    return "";
}

int RunRead(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
    err << "morvane-img: read needs the build with the controller link (MORVANE_BUILD_GUI)\n";
    return 1;
}

}  // namespace morvane
