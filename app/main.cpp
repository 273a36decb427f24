// Creates the application, installs the window's language and makes the main window; the
// main window's first showing starts the rest (link, settings, first contact with the
// controller). The dialogs are made on
// first use, which keeps them out of the time to the first frame.
#include <QApplication>

#include "QuitWhenShown.h"
#include "ui/shell/Language.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ToolBarStyle.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    morvane::InstallInterfaceLanguage(app);
    morvane::InstallQuitWhenShown(app);
    morvane::InstallToolBarStyle();
    morvane::MainWindow window;
    window.show();
    return QApplication::exec();
}
