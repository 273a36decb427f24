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

// A start that failed for want of permission says so, and names the rule and the group;
// every other failure keeps the usual text.
struct StartTextCase {
    bool wasActive, nowActive;
    StartFailure failure;
    const char* panel0;
    bool hint;
};

class LinkStartTexts : public ::testing::TestWithParam<StartTextCase> {};

TEST_P(LinkStartTexts, PanelAndHint) {
    const StartTextCase& c = GetParam();
    EXPECT_EQ(LinkStatusText(c.wasActive, c.nowActive, c.failure), QString::fromUtf8(c.panel0));
    const QString hint = LinkStartHint(c.wasActive, c.nowActive, c.failure);
    EXPECT_EQ(hint.isEmpty(), !c.hint);
    if (c.hint) {
        EXPECT_TRUE(hint.contains(QStringLiteral("99-morvane-ftdi.rules"))) << hint.toStdString();
        EXPECT_TRUE(hint.contains(QStringLiteral("plugdev"))) << hint.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkStartTexts,
    ::testing::Values(
        StartTextCase{false, false, StartFailure::NoPermission, "Нет доступа к USB устройству!",
                      true},
        StartTextCase{false, false, StartFailure::NoDevice, "USB устройство не найдено!", false},
        StartTextCase{false, false, StartFailure::NotListed, "USB устройство не найдено!", false},
        StartTextCase{false, false, StartFailure::OpenFailed, "USB устройство не найдено!", false},
        StartTextCase{false, true, StartFailure::None, "USB <-> Parallel", false},
        StartTextCase{true, false, StartFailure::NoPermission, "USB устройство остановлено!",
                      false}));

}  // namespace
}  // namespace morvane
