#include "ui/shell/ProgressWindow.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QShowEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace morvane {
namespace {

class ProgressWindowTest : public ::testing::Test {
  protected:
    // Runs the window with a worker that does `during` while the window is on screen.
    void RunWith(const std::function<void()>& during, int maximum = 5) {
        window.Run(QStringLiteral("Полное чтение диска"), maximum, [&] {
            ++workerRuns;
            visibleDuringRun = window.isVisible();
            timerIdleDuringRun = !window.StartTimer()->isActive();
            during();
        });
    }

    ProgressWindow window;
    int workerRuns = 0;
    bool visibleDuringRun = false;
    bool timerIdleDuringRun = false;
};

TEST_F(ProgressWindowTest, CarriesTheComponentNamesAndRestsWithTheTimerStopped) {
    EXPECT_EQ(window.objectName(), QStringLiteral("ProgressWindow"));
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(window.TrackValue()->objectName(), QStringLiteral("Vr1"));
    EXPECT_EQ(window.ProgressBar()->objectName(), QStringLiteral("VrPb"));
    EXPECT_EQ(window.CancelButton()->objectName(), QStringLiteral("bb1"));
    EXPECT_EQ(window.CancelButton()->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(window.StartTimer()->objectName(), QStringLiteral("t1"));
    EXPECT_EQ(window.StartTimer()->interval(), 100);
    EXPECT_FALSE(window.StartTimer()->isActive());
    bool hasTrackCaption = false;
    for (QLabel* label : window.findChildren<QLabel*>())
        hasTrackCaption |= label->text() == QStringLiteral("Дорожка -");
    EXPECT_TRUE(hasTrackCaption);
}

TEST_F(ProgressWindowTest, WorkerStartsOnScreenAndTheWindowClosesWhenItReturns) {
    int showings = 0;
    QObject::connect(&window, &ProgressWindow::runShowing, [&] { ++showings; });
    RunWith([&] {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Полное чтение диска"));
        EXPECT_EQ(window.ProgressBar()->maximum(), 5);
        EXPECT_EQ(window.ProgressBar()->value(), 0);
        EXPECT_TRUE(window.CancelButton()->isEnabled());
        EXPECT_TRUE(window.Running());
        window.SetTrack(QStringLiteral("4"));
        window.SetProgress(5);
    });
    EXPECT_EQ(workerRuns, 1);
    EXPECT_EQ(showings, 1);
    EXPECT_TRUE(visibleDuringRun);
    EXPECT_TRUE(timerIdleDuringRun);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Running());
    EXPECT_EQ(window.TrackValue()->text(), QStringLiteral("4"));
}

TEST_F(ProgressWindowTest, ShowingTheWindowAgainDoesNotStartASecondRun) {
    int showings = 0;
    QObject::connect(&window, &ProgressWindow::runShowing, [&] { ++showings; });
    bool cancelKept = false;
    RunWith([&] {
        window.CancelButton()->click();
        // A restore from minimised sends the window another show event.
        QShowEvent shown;
        QCoreApplication::sendEvent(&window, &shown);
        QEventLoop loop;
        QTimer::singleShot(3 * kProgressStartDelayMs, &loop, &QEventLoop::quit);
        loop.exec();
        cancelKept = window.CancelRequested() && window.isVisible();
    });
    EXPECT_EQ(workerRuns, 1);
    EXPECT_EQ(showings, 1);
    EXPECT_TRUE(cancelKept);
}

// Every way the user can ask to stop a run sets the cancel request and leaves the window
// on screen until the worker returns; the next run starts without the request.
TEST_F(ProgressWindowTest, EveryStopGestureAsksForTheCancelAndWaitsForTheWorker) {
    const std::pair<const char*, std::function<void(ProgressWindow&)>> gestures[] = {
        {"Отмена", [](ProgressWindow& w) { w.CancelButton()->click(); }},
        {"close", [](ProgressWindow& w) { w.close(); }},
        {"Escape", [](ProgressWindow& w) { w.reject(); }},
    };
    for (const auto& [name, gesture] : gestures) {
        SCOPED_TRACE(name);
        bool stillVisible = false;
        RunWith([&] {
            EXPECT_FALSE(window.CancelRequested());
            gesture(window);
            EXPECT_TRUE(window.CancelRequested());
            EXPECT_FALSE(window.CancelButton()->isEnabled());
            stillVisible = window.isVisible();
        });
        EXPECT_TRUE(stillVisible);
        EXPECT_FALSE(window.isVisible());
    }
    RunWith([&] { EXPECT_FALSE(window.CancelRequested()); });
    EXPECT_TRUE(window.CancelButton()->isEnabled());
}

}  // namespace
}  // namespace morvane
