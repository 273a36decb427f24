// Draws the TR-DOS catalogue window of an image and saves it as a PNG, for the README:
//   catalogue_screenshot <TRD image> <out.png>
#include <QApplication>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

#include "ScriptedCatalogueDialogs.h"
#include "formats/Trd.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: catalogue_screenshot <TRD image> <out.png>\n");
        return 2;
    }
    morvane::Bytes file;
    morvane::DiskImage disk;
    if (!morvane::ReadWholeFile(argv[1], file) || !morvane::ReadTrd(file, disk)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    morvane::test::ScriptedCatalogueDialogs dialogs;
    morvane::TrDosWindowContext context;
    context.disk = &disk;
    context.dialogs = &dialogs;
    morvane::TrDosCatalogueWindow window(context);
    if (!window.LoadFromImage()) {
        std::fprintf(stderr, "no TR-DOS catalogue in %s\n", argv[1]);
        return 1;
    }
    window.SelectRows({0});
    window.show();
    bool saved = false;
    QTimer::singleShot(500, &window, [&] {
        saved = window.grab().save(QString::fromLocal8Bit(argv[2]), "PNG");
        QApplication::quit();
    });
    QApplication::exec();
    return saved ? 0 : 1;
}
