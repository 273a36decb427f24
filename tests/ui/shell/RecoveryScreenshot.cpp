// Reads the demo disk with weak sectors on the virtual controller, runs the recovery passes
// and saves the main window as a PNG, the map showing recovered sectors, for the README:
//   recovery_screenshot <out.png>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "controller/virtual/VirtualController.h"
#include "model/SectorVote.h"
#include "operations/DiskRun.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/DiskCommands.h"
#include "ui/shell/ImageChangeTracker.h"
#include "ui/shell/MainWindow.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/SectorView.h"

namespace {

struct Weak {
    std::uint8_t track, r;
    double probability;
};

// Mostly lightly weak sectors, which the vote recovers, and two worn through.
constexpr Weak kWeak[] = {{1, 4, 0.02},  {2, 9, 0.02},  {4, 1, 0.02},  {5, 12, 0.03},
                          {6, 6, 0.02},  {8, 15, 0.03}, {9, 3, 0.02},  {11, 8, 0.02},
                          {12, 16, 0.3}, {13, 5, 0.02}, {15, 10, 0.3}, {16, 2, 0.02}};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: recovery_screenshot <out.png>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
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
    window.resize(1366, 768);
    window.show();
    morvane::virt::MediaFaults& faults = window.Link().Virtual().Faults();
    faults.SetRandomSeed(5);
    for (const Weak& w : kWeak)
        faults.AddWeakSector(morvane::virt::Drive::A, w.track, w.r, w.probability);
    window.DiskOps().SetPassesAsker([] { return morvane::kDefaultRecoveryPasses; });

    bool saved = false;
    QTimer::singleShot(500, &window, [&] {
        window.DiskOps().Launch(morvane::DiskRunKind::ScanAndSectors);
        window.DiskOps().RecoverFailed();
        // Show the first sector the vote recovered.
        for (const Weak& w : kWeak) {
            const int slot = window.Disk().FindSectorIndex(w.track, w.r);
            if (slot < 0 || morvane::CurrentOrigin(window.Disk().GetTrack(w.track)->Slots[slot]) !=
                                morvane::SectorOrigin::Voted)
                continue;
            window.Map()->setCurrentCell(slot + 1, w.track);
            window.Sectors()->showCell(slot + 1, w.track);
            break;
        }
        QTimer::singleShot(300, &window, [&] {
            saved = window.grab().save(out, "PNG");
            // Nobody is there to answer the question about unsaved work on closing.
            window.Changes().MarkClean();
            QApplication::quit();
        });
    });
    QApplication::exec();
    return saved ? 0 : 1;
}
