// Starts "Сканирование и чтение секторов диска" on the virtual controller in real-time
// mode, grabs the screen while the run is in progress (the main window with the progress
// window on top) and saves it as a PNG, for the README:
//   progress_screenshot <out.png> [seconds into the run, default 12]
// Run it on a virtual X server with a window manager, so the windows carry their captions.
#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "controller/virtual/VirtualController.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ProgressWindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: progress_screenshot <out.png> [seconds]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int delayMs = argc == 3 ? std::atoi(argv[2]) * 1000 : 12000;
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Morvane.ini"));
    {
        QSettings settings(ini, QSettings::IniFormat);
        settings.setValue(QStringLiteral("VirtualController/Enabled"), true);
    }
    morvane::MainWindowOptions options;
    options.iniPath = ini;
    options.programFolder = dir.path();
    options.raisePriority = false;
    morvane::MainWindow window(options);
    window.show();
    window.Link().Virtual().SetRealTime(true);

    bool saved = false;
    QTimer::singleShot(500, &window, [&] {
        QTimer::singleShot(delayMs, &window, [&] {
            const QRect frame = window.frameGeometry();
            const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
                0, frame.x(), frame.y(), frame.width(), frame.height());
            saved = shot.save(out, "PNG");
            window.Progress()->CancelButton()->click();
        });
        window.Actions().toolScanAndRead->trigger();
        QApplication::quit();
    });
    QApplication::exec();
    return saved ? 0 : 1;
}
