#include "ui/catalogue/CpmWindowRules.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(CpmWindowRules, FileItemsNeedASelectedRow) {
    const CpmMenuState none = CpmMenuEnabling(0);
    EXPECT_FALSE(none.viewHex || none.viewText || none.viewPicture || none.saveAs || none.rename ||
                 none.deleteFiles);
    EXPECT_TRUE(none.showErased && none.showHidden && none.addFiles);
    const CpmMenuState one = CpmMenuEnabling(1);
    EXPECT_TRUE(one.viewHex && one.viewText && one.viewPicture && one.saveAs && one.rename &&
                one.deleteFiles);
}

}  // namespace
}  // namespace morvane
