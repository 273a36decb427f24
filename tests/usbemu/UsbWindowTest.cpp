// The main window over the real USB path: its own LibFtdiDriver and libftdi1, with the
// emulated chip preloaded under them. "Старт USB устройства" at start-up and from the menu,
// what the status bar says when the start fails, and a link lost and started again.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

#include "EmulatedUsb.h"
#include "controller/ControllerProtocol.h"
#include "controller/DeviceErrorText.h"
#include "support/ScriptedAsker.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/MainWindow.h"

namespace morvane {
namespace {

using usbemu::test::Variables;

class UsbWindow : public usbemu::test::EmulatedUsbTest {
  protected:
    void TearDown() override {
        window_.reset();
        EmulatedUsbTest::TearDown();
    }

    // The window as the program makes it: the hardware driver is libftdi's.
    void Start(const Variables& variables) {
        usbemu::test::ConfigureBus(Logged(variables));
        MainWindowOptions o;
        o.iniPath = QString::fromStdString(Path("Morvane.ini"));
        o.programFolder = QString::fromStdString(Path(""));
        o.dialogs = dialogs_;
        o.chooser = [](const FileDialogRequest&) { return QString(); };
        o.raisePriority = false;
        window_ = std::make_unique<MainWindow>(std::move(o));
        window_->StartUp();
    }

    QString Panel(int i) const { return window_->StatusText(i); }

    std::shared_ptr<test::ScriptedAsker> dialogs_ = std::make_shared<test::ScriptedAsker>();
    std::unique_ptr<MainWindow> window_;
};

TEST_F(UsbWindow, StartUpOpensTheControllerAndTheMenuStopsAndStartsIt) {
    Start({});
    EXPECT_FALSE(window_->Link().IsVirtual());
    EXPECT_TRUE(window_->Link().Active());
    EXPECT_EQ(Panel(0), QStringLiteral("USB <-> Parallel"));
    EXPECT_EQ(Panel(1), QStringLiteral("Morvane virtual WD1793 controller 1.0"))
        << "the first contact went through the chip";
    EXPECT_EQ(Panel(2), QStringLiteral("Контроллер: USB"));
    EXPECT_TRUE(dialogs_->messages.isEmpty()) << dialogs_->messages.join(';').toStdString();

    window_->Actions().startStopUsb->trigger();
    EXPECT_EQ(Panel(0), QStringLiteral("USB устройство остановлено!"));
    EXPECT_FALSE(window_->Link().Active());
    window_->Actions().startStopUsb->trigger();  // "Старт USB устройства"
    EXPECT_EQ(Panel(0), QStringLiteral("USB <-> Parallel"));
    EXPECT_TRUE(window_->Link().Active());
    EXPECT_EQ(LogLines("claim MRVEMU01").size(), 2u);
}

struct FailedStart {
    const char* name;
    Variables variables;
    const char* panel0;
    bool hint;  // the rule and the group in panel 1 and the tooltip
};

class UsbWindowStart : public UsbWindow, public ::testing::WithParamInterface<FailedStart> {};

TEST_P(UsbWindowStart, StatusBarSaysWhy) {
    const FailedStart& c = GetParam();
    Start(c.variables);
    EXPECT_FALSE(window_->Link().Active());
    EXPECT_EQ(Panel(0), QString::fromUtf8(c.panel0));
    const QString hint = QString::fromStdString(NoPermissionHint());
    EXPECT_EQ(Panel(1), c.hint ? hint : QString());
    const auto* panel0 = window_->findChild<QLabel*>(QStringLiteral("sbPanel0"));
    ASSERT_NE(panel0, nullptr);
    EXPECT_EQ(panel0->toolTip(), c.hint ? hint : QString());
    EXPECT_TRUE(dialogs_->messages.isEmpty()) << "a failed start is quiet";
    if (c.hint) {
        EXPECT_TRUE(hint.contains(QStringLiteral("99-morvane-ftdi.rules")));
        EXPECT_TRUE(hint.contains(QStringLiteral("plugdev")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsbWindowStart,
    ::testing::Values(
        FailedStart{"Absent", {{"MORVANE_EMU_ABSENT", "1"}}, "USB устройство не найдено!", false},
        FailedStart{"OnlyAnotherChip",
                    {{"MORVANE_EMU_ABSENT", "1"}, {"MORVANE_EMU_OTHER_DEVICE", "1"}},
                    "USB устройство не найдено!",
                    false},
        FailedStart{"NoPermission",
                    {{"MORVANE_EMU_NO_ACCESS", "1"}},
                    "Нет доступа к USB устройству!",
                    true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(UsbWindow, TheHintGoesOnceTheStartSucceeds) {
    Start({{"MORVANE_EMU_NO_ACCESS", "1"}});
    ASSERT_FALSE(Panel(1).isEmpty());
    usbemu::test::ConfigureBus(Logged({}));  // the rule is in place, the chip replugged
    window_->Actions().startStopUsb->trigger();
    EXPECT_EQ(Panel(0), QStringLiteral("USB <-> Parallel"));
    EXPECT_TRUE(Panel(1).isEmpty());
    EXPECT_TRUE(window_->findChild<QLabel*>(QStringLiteral("sbPanel0"))->toolTip().isEmpty());
}

TEST_F(UsbWindow, LinkLostIsShownAndTheStartWorksAfterAReplug) {
    Start({{"MORVANE_EMU_UNPLUG_AFTER", "16"}, {"MORVANE_EMU_REPLUG_MS", "0"}});
    ASSERT_TRUE(window_->Link().Active());
    // "Сбросить ZX контроллер" talks to the controller until the chip is pulled out.
    for (int i = 0; i < 20 && window_->Link().Active(); ++i)
        window_->Actions().resetController->trigger();
    EXPECT_FALSE(window_->Link().Active());
    EXPECT_EQ(Panel(0), QStringLiteral("USB устройство остановлено!"));
    ASSERT_EQ(dialogs_->messages.size(), 1) << dialogs_->messages.join(';').toStdString();
    EXPECT_TRUE(dialogs_->messages.front().contains(QString::fromUtf8(kLinkLostText)))
        << dialogs_->messages.front().toStdString();
    emit window_->Actions().controllerMenu->aboutToShow();
    EXPECT_FALSE(window_->Actions().resetController->isEnabled());

    window_->Actions().startStopUsb->trigger();  // "Старт USB устройства", plugged in again
    EXPECT_EQ(Panel(0), QStringLiteral("USB <-> Parallel"));
    EXPECT_LT(window_->Link().Protocol().QueryStatus(), kStatusErrorRecord);
}

TEST_F(UsbWindow, TheOtherFtdiChipIsLeftAlone) {
    Start({{"MORVANE_EMU_OTHER_DEVICE", "1"}});
    EXPECT_EQ(Panel(0), QStringLiteral("USB <-> Parallel"));
    EXPECT_TRUE(LogLines("claim MRVEMU02").empty());
    EXPECT_TRUE(LogLines("control MRVEMU02").empty());
}

}  // namespace
}  // namespace morvane

// One application for every test, on the offscreen platform.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
