// A build without Qt has no controller link: write and format say so.
#include <ostream>

#include "WriteVerbs.h"

namespace morvane {

std::string WriteUsageText() {
    return "";
}

int RunWrite(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
    err << "morvane-img: write needs the build with the controller link (MORVANE_BUILD_GUI)\n";
    return 1;
}

int RunFormat(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
    err << "morvane-img: format needs the build with the controller link (MORVANE_BUILD_GUI)\n";
    return 1;
}

}  // namespace morvane
