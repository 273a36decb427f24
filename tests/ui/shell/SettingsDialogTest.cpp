#include "ui/shell/SettingsDialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace morvane {
namespace {

// Runs `act` once the modal dialog is on screen.
void WhenShown(SettingsDialog& dialog, std::function<void()> act) {
    QTimer::singleShot(0, &dialog, [&dialog, act = std::move(act)] {
        ASSERT_TRUE(dialog.isVisible());
        act();
    });
}

Settings Sample() {
    Settings s;
    s.RetryCount = 12;
    s.CycleRead = 7;
    s.RestoreTrack = true;
    s.CompressTd0 = false;
    return s;
}

TEST(SettingsDialog, AcceptButtonHiddenUntilSomethingChanges) {
    SettingsDialog dialog;
    dialog.Load(Sample());
    dialog.show();
    EXPECT_FALSE(dialog.AcceptButton()->isVisible());
    dialog.findChild<QSpinBox*>(QStringLiteral("TimeOut"))->setValue(20);
    EXPECT_TRUE(dialog.AcceptButton()->isVisible());
    dialog.hide();
    dialog.show();  // a new showing hides it again
    EXPECT_FALSE(dialog.AcceptButton()->isVisible());
    dialog.findChild<QCheckBox*>(QStringLiteral("TD0arch"))->click();
    EXPECT_TRUE(dialog.AcceptButton()->isVisible());
    dialog.hide();
}

TEST(SettingsDialog, AcceptTakesTheFieldsIntoTheRecord) {
    SettingsDialog dialog;
    Settings s = Sample();
    WhenShown(dialog, [&] {
        dialog.findChild<QSpinBox*>(QStringLiteral("RetryCount"))->setValue(200);
        dialog.findChild<QSpinBox*>(QStringLiteral("FirstCylinder"))->setValue(166);
        dialog.findChild<QCheckBox*>(QStringLiteral("TD0arch"))->click();
        dialog.AcceptButton()->click();
    });
    EXPECT_TRUE(dialog.Edit(s));
    EXPECT_EQ(s.RetryCount, 200);
    EXPECT_EQ(s.FirstCylinder, 166);  // no check that first <= last
    EXPECT_EQ(s.CycleRead, 7);
    EXPECT_TRUE(s.CompressTd0);
}

TEST(SettingsDialog, CancelLeavesTheRecordUnchanged) {
    SettingsDialog dialog;
    Settings s = Sample();
    WhenShown(dialog, [&] {
        dialog.findChild<QSpinBox*>(QStringLiteral("RetryCount"))->setValue(99);
        dialog.CancelButton()->click();
    });
    EXPECT_FALSE(dialog.Edit(s));
    EXPECT_EQ(s.RetryCount, 12);
}

TEST(SettingsDialog, CloseBoxLeavesTheRecordUnchanged) {
    SettingsDialog dialog;
    Settings s = Sample();
    WhenShown(dialog, [&] {
        dialog.findChild<QSpinBox*>(QStringLiteral("CycleRead"))->setValue(3);
        dialog.close();
    });
    EXPECT_FALSE(dialog.Edit(s));
    EXPECT_EQ(s.CycleRead, 7);
}

TEST(SettingsDialog, FieldsHaveTheirRanges) {
    SettingsDialog dialog;
    auto range = [&](const char* name) {
        auto* box = dialog.findChild<QSpinBox*>(QLatin1String(name));
        return std::make_pair(box->minimum(), box->maximum());
    };
    EXPECT_EQ(range("RetryCount"), std::make_pair(0, 255));
    EXPECT_EQ(range("RetryCountWithReset"), std::make_pair(0, 255));
    EXPECT_EQ(range("FirstCylinder"), std::make_pair(0, 166));
    EXPECT_EQ(range("LastCylinder"), std::make_pair(0, 166));
    EXPECT_EQ(range("CycleRead"), std::make_pair(1, 30));
    EXPECT_EQ(range("TimeOut"), std::make_pair(1, 30));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Настройки"));
}

}  // namespace
}  // namespace morvane
