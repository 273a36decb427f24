// Draws the BASIC listing viewer of one TR-DOS file of an image and saves it as a PNG, for
// the README:
//   basic_listing_screenshot <TRD image> <file> <out.png>
#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "filesystems/TrDosPlainFiles.h"
#include "formats/Trd.h"
#include "ui/catalogue/ListingViewer.h"
#include "ui/catalogue/TrDosWindowRules.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: basic_listing_screenshot <TRD image> <file> <out.png>\n");
        return 2;
    }
    morvane::Bytes file;
    morvane::DiskImage disk;
    morvane::TrDosCatalogue catalogue;
    if (!morvane::ReadWholeFile(argv[1], file) || !morvane::ReadTrd(file, disk) ||
        !morvane::ReadTrDosCatalogue(disk, catalogue)) {
        std::fprintf(stderr, "no TR-DOS disk in %s\n", argv[1]);
        return 1;
    }
    for (const morvane::TrDosEntry& e : catalogue.entries) {
        if (!e.IsListed() || e.type != morvane::kTrDosBasic ||
            !morvane::EntryMatchesArgument(e, argv[2]))
            continue;
        std::string error;
        const std::string listing = morvane::TrDosBasicListing(disk, e, error);
        morvane::ListingViewer viewer(
            QString::fromUtf8(morvane::kMenuViewBasic.data(),
                              static_cast<qsizetype>(morvane::kMenuViewBasic.size())) +
                QStringLiteral(" - ") + QString::fromUtf8(argv[2]),
            QString::fromStdString(listing), nullptr);
        viewer.resize(720, 420);
        viewer.show();
        bool saved = false;
        QTimer::singleShot(500, &viewer, [&] {
            saved = viewer.grab().save(QString::fromLocal8Bit(argv[3]), "PNG");
            QApplication::quit();
        });
        QApplication::exec();
        return saved ? 0 : 1;
    }
    std::fprintf(stderr, "no BASIC file %s in %s\n", argv[2], argv[1]);
    return 1;
}
