// Creates the application and its main window.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "model/ZxDisk.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Morvane"));
    auto* label = new QLabel(QStringLiteral("Morvane: образ диска пуст"), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(800, 600);
    window.show();
    return app.exec();
}
