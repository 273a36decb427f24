#include "ui/catalogue/CpmWindowRules.h"

namespace morvane {

CpmMenuState CpmMenuEnabling(std::size_t selectedRows) {
    CpmMenuState m;
    const bool any = selectedRows > 0;
    m.viewPicture = any;
    m.viewHex = any;
    m.viewText = any;
    m.rename = any;
    m.deleteFiles = any;
    m.saveAs = any;
    return m;
}

}  // namespace morvane
