#include "ui/shell/MenuRules.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(MenuRules, ImageItemsNeedAPresentTrack) {
    const ImageMenuEnabling none = ImageMenuRule(0);
    EXPECT_FALSE(none.save);
    EXPECT_FALSE(none.saveAs);
    EXPECT_FALSE(none.viewZxCatalogue);
    EXPECT_FALSE(none.viewCpmCatalogue);
    EXPECT_FALSE(none.clearImage);
    const ImageMenuEnabling one = ImageMenuRule(1);
    EXPECT_TRUE(one.save && one.saveAs && one.viewZxCatalogue && one.viewCpmCatalogue &&
                one.clearImage);
}

TEST(MenuRules, DiskItemsNeedTheLink) {
    EXPECT_TRUE(DiskMenuRule(true));
    EXPECT_FALSE(DiskMenuRule(false));
}

TEST(MenuRules, ControllerItemsFollowTheLink) {
    const ControllerMenuState on = ControllerMenuRule(true);
    EXPECT_TRUE(on.drivesAndResetEnabled);
    EXPECT_EQ(on.startStopCaption, QStringLiteral("Стоп USB устройства"));
    const ControllerMenuState off = ControllerMenuRule(false);
    EXPECT_FALSE(off.drivesAndResetEnabled);
    EXPECT_EQ(off.startStopCaption, QStringLiteral("Старт USB устройства"));
}

TEST(MenuRules, NothingThatTalksToTheControllerWhileItIsBusy) {
    EXPECT_FALSE(DiskMenuRule(true, true));
    for (bool link : {true, false}) {
        const ControllerMenuState busy = ControllerMenuRule(link, true);
        EXPECT_FALSE(busy.drivesAndResetEnabled);
        EXPECT_FALSE(busy.startStopEnabled);
        EXPECT_FALSE(busy.virtualItemsEnabled);
        const ControllerMenuState idle = ControllerMenuRule(link, false);
        EXPECT_TRUE(idle.startStopEnabled && idle.virtualItemsEnabled);
    }
}

TEST(MenuRules, LinkStatusTexts) {
    EXPECT_EQ(LinkStatusText(true, false), QStringLiteral("USB устройство остановлено!"));
    EXPECT_EQ(LinkStatusText(false, true), QStringLiteral("USB <-> Parallel"));
    EXPECT_EQ(LinkStatusText(false, false), QStringLiteral("USB устройство не найдено!"));
}

}  // namespace
}  // namespace morvane
