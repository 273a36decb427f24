#include "QuitWhenShown.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>

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
                    std::printf("%s\n", kShownLine);
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
