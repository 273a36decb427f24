// Creates the application and its windows; the main window's first showing starts the
// rest (link, settings, first contact with the controller).
#include <QApplication>

#include "QuitWhenShown.h"
#include "filesystems/TrDosFileImages.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/SettingsDialog.h"
#include "ui/views/ScreenViewer.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    morvane::InstallQuitWhenShown(app);
    morvane::InstallTrDosFileFormats();
    morvane::TFMain window;
    window.SetSettingsDialog(new morvane::Tfmset(&window));
    window.SetScreenViewer(new morvane::TFmScr(&window));
    window.show();
    return QApplication::exec();
}
