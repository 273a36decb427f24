#include "QuitWhenShown.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace morvane {

namespace {

// An application-wide filter sees the expose event before the window paints; the zero
// timer runs after the paint and the flush to the screen that the event brings.
class FirstExposeWatcher : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Expose) {
            const auto* window = qobject_cast<QWindow*>(watched);
            if (window != nullptr && window->isExposed()) {
                seen_ = true;
                QTimer::singleShot(0, this, [] {
                    // The process's CPU time so far, which the machine's load does not
                    // stretch as it does the wall time.
                    const double cpuMs =
                        1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
                    std::printf("%s %.2f\n", kShownLine, cpuMs);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool seen_ = false;
};

}  // namespace

bool InstallQuitWhenShown(QApplication& app) {
    if (!QCoreApplication::arguments().contains(QLatin1String(kQuitWhenShownOption))) return false;
    app.installEventFilter(new FirstExposeWatcher(&app));
    return true;
}

}  // namespace morvane
