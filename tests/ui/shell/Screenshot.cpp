// Draws the main window with an image loaded and saves it as a PNG, for the README:
//   shell_screenshot <image file> <out.png>
// It starts on the virtual controller, so the status bar shows a live link. The window is
// Russian unless MORVANE_LANGUAGE says en.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "ui/shell/ImageChangeTracker.h"
#include "ui/shell/ImageFileCommands.h"
#include "ui/shell/Language.h"
#include "ui/shell/MainWindow.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/SectorView.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    morvane::InstallTranslations(
        app, morvane::InterfaceLanguage(morvane::LanguageChoice::Russian, {},
                                        qEnvironmentVariable("MORVANE_LANGUAGE")));
    if (argc != 3) {
        std::fprintf(stderr, "usage: shell_screenshot <image file> <out.png>\n");
        return 2;
    }
    const QString image = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
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
    options.chooser = [image](const morvane::FileDialogRequest&) { return image; };
    morvane::MainWindow window(options);
    // The size of a common laptop screen: the map shows a whole TR-DOS track there.
    window.resize(1366, 768);
    window.show();
    window.ImageCommands().LoadAs();
    window.Map()->setCurrentCell(1, 0);
    window.Sectors()->showCell(1, 0);
    window.Views().AppendLog(QStringLiteral("Disk image loaded"));
    bool saved = false;
    QTimer::singleShot(500, &window, [&] {
        saved = window.grab().save(out, "PNG");
        // Nobody is there to answer the question about unsaved work on closing.
        window.Changes().MarkClean();
        QApplication::quit();
    });
    QApplication::exec();
    return saved ? 0 : 1;
}
