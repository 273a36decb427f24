// The yardstick of the start-up benchmark: an empty Qt main window of the same size as
// Morvane's, shown and timed the same way.
#include <QApplication>
#include <QMainWindow>

#include "QuitWhenShown.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    morvane::InstallQuitWhenShown(app);
    QMainWindow window;
    window.resize(1270, 860);
    window.show();
    return QApplication::exec();
}
