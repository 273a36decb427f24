// A full repaint of the disk map: the view sized to show all 166 rows and every column,
// over an image in which every track is present with raw data and every slot the map
// shows holds a sector (good, bad or header only in turn), rendered offscreen into an
// image as the window system would ask for it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <memory>

#include "model/DiskImage.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/MapCells.h"

namespace morvane {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_map_paint";
    static char* argv[] = {name, nullptr};
    static const bool platformSet = qputenv("QT_QPA_PLATFORM", "offscreen");
    (void)platformSet;
    static QApplication app(argc, argv);
    return app;
}

std::unique_ptr<DiskImage> FullDisk() {
    auto disk = std::make_unique<DiskImage>();
    for (int t = 0; t < kMapRows; ++t) {
        Track& track = *disk->GetTrack(static_cast<std::uint8_t>(t));
        track.Present = kPresent;
        track.RawLength = 6250;
        track.RawValid = 1;
        for (int s = 0; s < kMapColumns - 1; ++s) {
            SectorSlot& slot = *track.GetSlot(static_cast<std::uint8_t>(s));
            slot.Present = kPresent;
            slot.Cylinder = static_cast<std::uint8_t>(t / 2);
            slot.Head = static_cast<std::uint8_t>(t % 2);
            slot.Sector = static_cast<std::uint8_t>(s + 1);
            slot.SizeCode = 1;
            slot.DataLength = s % 3 == 2 ? 0 : 256;
            slot.DataGood = s % 3 == 0 ? kDataGood : 0;
        }
        track.CountSectors();
    }
    return disk;
}

void BM_DiskMapFullRepaint(benchmark::State& state) {
    App();
    const std::unique_ptr<DiskImage> disk = FullDisk();
    DiskMapView view(*disk);
    const int frame = 2 * view.frameWidth();
    view.resize(frame + ColumnLeft(kMapColumns) + view.verticalScrollBar()->sizeHint().width(),
                frame + kMapRows * kMapRowHeight);
    view.show();
    QApplication::processEvents();
    QWidget* viewport = view.viewport();
    if (viewport->height() < kMapRows * kMapRowHeight) {
        state.SkipWithError("the viewport does not hold every row");
        return;
    }
    QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        viewport->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cells"] = kMapRows * kMapColumns;
}
BENCHMARK(BM_DiskMapFullRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
