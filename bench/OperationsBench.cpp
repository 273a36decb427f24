// Whole-disk runs through the real port, protocol and operations against the emulated
// controller's demo disk (a TR-DOS disk of 160 tracks, 16 sectors of 256 bytes each).
//
// The figures that count are the emulated drive's own time, not the wall time: every run
// kind of the "Диск" menu once in instant mode, where each command starts the moment the
// previous one ended, with the drive's time by what it went on (steps, settling, waiting
// for the index or a sector, reading) and its ratio to the floor, the least time the
// drive needs for what the run reads (the revolutions below plus the head's travel).
// Then a few runs in real time, where the program's own delays between commands cost
// what they cost on a real drive: a command that comes late waits for the disk to come
// round again.
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"
#include "controller/virtual/DemoDisk.h"
#include "controller/virtual/VirtualController.h"
#include "model/Geometry.h"
#include "model/DiskImage.h"
#include "operations/DiskRun.h"
#include "operations/OperationHost.h"

namespace morvane {
namespace {

using Clock = std::chrono::steady_clock;
using virt::Nanos;

struct SilentHost : OperationHost {
    void ClearLog() override {}
    void AppendLog(const QString&) override {}
    void ShowLogPage() override {}
    void SetTrackLabel(const QString&) override {}
    void SetSectorLabel(const QString&) override {}
    void ShowBytes(std::span<const std::uint8_t>) override {}
    Answer Ask(const Question& q) override {
        if (q.buttons == Buttons::Ok) failed = true;
        return q.buttons == Buttons::AbortRetryIgnore ? Answer::Ignore : Answer::No;
    }
    void BeginRun(const QString&, int) override {}
    void SetRunTrack(const QString&) override {}
    void SetRunProgress(int) override {}
    bool CancelRequested() override { return false; }
    void EndRun() override {}
    void ScrollMapToTop() override {}
    bool failed = false;
};

// A fresh controller with the demo disk for every run, so every run starts alike: the
// head on track 0, the disk at its index.
struct Bench {
    explicit Bench(bool realTime) {
        auto owned = std::make_unique<virt::VirtualController>(
            virt::VirtualControllerOptions{true, realTime});
        device = owned.get();
        port = std::make_unique<UsbPort>(std::move(owned));
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);
        protocol = std::make_unique<ControllerProtocol>(*port);
    }
    // Runs; returns the time the drive spent on the run's commands. Idle moments between
    // commands are left out: in real time the emulated clock catches up with the wall
    // clock across them, so it cannot tell what the program added.
    Nanos Run(const DiskRunParams& params, DiskImage& disk) {
        OperationContext ctx{*protocol, disk, host};
        device->ResetDeviceTime();
        const DiskRunResult r = RunDisk(ctx, params);
        ok = r.outcome == OperationOutcome::Done && !host.failed;
        return device->DeviceTime();
    }
    virt::VirtualController* device = nullptr;
    std::unique_ptr<UsbPort> port;
    std::unique_ptr<ControllerProtocol> protocol;
    SilentHost host;
    bool ok = false;
};

double Seconds(Nanos n) {
    return std::chrono::duration<double>(n).count();
}

struct KindCase {
    const char* name;
    DiskRunKind kind;
    // Revolutions the drive needs on a formatted track and on an unformatted one.
    int turnsFormatted;
    int turnsEmpty;
};

// Raw: eight READ TRACKs, each one revolution from the index. Scan: one revolution of ID
// fields. Sectors: all of a track's sectors in one revolution. An unformatted track: a
// scan (or the raw reads) sees that it is empty; nothing more to read.
constexpr KindCase kKinds[] = {
    {"full_read", DiskRunKind::FullRead, 8 + 1 + 1, 8 + 1},
    {"raw_read", DiskRunKind::RawRead, 8, 8},
    {"track_scan", DiskRunKind::TrackScan, 1, 1},
    {"sectors_by_marks", DiskRunKind::SectorsByMarks, 1, 0},
    {"scan_and_sectors", DiskRunKind::ScanAndSectors, 2, 1},
    {"fast_read", DiskRunKind::FastRead, 1, 1},
};

// The least time the drive needs for a run over tracks first..first+count-1 of the demo
// disk, starting with the head on track 0: the seek to track index 160 and back, a step
// and its settling at every change of cylinder, and the revolutions.
Nanos Floor(const virt::Mechanics& m, const KindCase& c, int first, int count) {
    const auto travel = [&m](int from, int to) {
        const int steps = std::abs(static_cast<int>(CylinderOf(static_cast<std::size_t>(to))) -
                                   static_cast<int>(CylinderOf(static_cast<std::size_t>(from))));
        return steps == 0 ? Nanos{} : m.StepTime * steps + m.SettleTime;
    };
    Nanos floor = travel(0, 160) + travel(160, first);
    for (int t = first; t < first + count; ++t) {
        if (t > first) floor += travel(t - 1, t);
        const bool formatted = t < static_cast<int>(virt::kDemoTracks);
        floor += m.Revolution * (formatted ? c.turnsFormatted : c.turnsEmpty);
    }
    return floor;
}

// The run's parameters as its launcher sets them; the sector read by marks reads the IDs
// a scan of the whole disk found.
DiskRunParams ParamsFor(DiskRunKind kind, DiskImage& disk) {
    if (kind == DiskRunKind::SectorsByMarks) {
        Bench scan(false);
        scan.Run(*LaunchParams(DiskRunKind::TrackScan, disk), disk);
    }
    return *LaunchParams(kind, disk);
}

void ReportTimes(benchmark::State& state, const KindCase& c, const DiskRunParams& params,
                 Nanos device, const virt::DriveTimes& spent) {
    const Nanos floor = Floor(virt::Mechanics{}, c, params.first, params.count);
    state.counters["device_s"] = Seconds(device);
    state.counters["floor_s"] = Seconds(floor);
    state.counters["per_floor"] = Seconds(device) / Seconds(floor);
    state.counters["tracks"] = params.count;
    for (std::size_t k = 0; k < virt::kDriveTimeKinds; ++k) {
        if (spent[k] == Nanos{}) continue;
        state.counters[virt::DriveTimeName(static_cast<virt::DriveTime>(k))] = Seconds(spent[k]);
    }
}

// Instant mode: the drive's time is the same in every iteration; the wall time is what
// the program and the emulation cost.
void BM_RunInstant(benchmark::State& state, const KindCase& c) {
    Nanos device{};
    virt::DriveTimes spent{};
    DiskRunParams params;
    for (auto _ : state) {
        state.PauseTiming();
        auto disk = std::make_unique<DiskImage>();
        params = ParamsFor(c.kind, *disk);
        Bench bench(false);
        state.ResumeTiming();
        device = bench.Run(params, *disk);
        if (!bench.ok) state.SkipWithError("the run failed");
        spent = bench.device->DeviceTimeSpent();
    }
    ReportTimes(state, c, params, device, spent);
}

// Real time, one iteration a run: the drive's time (device_s) now includes the turns a
// late command lost; wall_s also holds the program's idle moments between commands.
void BM_RunRealTime(benchmark::State& state, const KindCase& c) {
    Nanos device{};
    virt::DriveTimes spent{};
    DiskRunParams params;
    double wall = 0;
    for (auto _ : state) {
        auto disk = std::make_unique<DiskImage>();
        params = ParamsFor(c.kind, *disk);
        if (state.range(0) > 0) params.count = static_cast<int>(state.range(0));
        Bench bench(true);
        const auto start = Clock::now();
        device = bench.Run(params, *disk);
        wall = std::chrono::duration<double>(Clock::now() - start).count();
        if (!bench.ok) state.SkipWithError("the run failed");
        spent = bench.device->DeviceTimeSpent();
        state.SetIterationTime(wall);
    }
    ReportTimes(state, c, params, device, spent);
    state.counters["wall_s"] = wall;
    state.counters["wall_per_device"] = wall / Seconds(device);
}

// The earlier measurements of docs/performance.md, kept comparable: a scan with sector
// read of the demo disk's 160 tracks in real time against the drive's own time, and the
// full read's wall time in instant mode.
constexpr int kScanSectors = kRunScan | kRunSectors;
constexpr int kDemoTracks = static_cast<int>(virt::kDemoTracks);

void BM_ScanSectorsRealTime(benchmark::State& state) {
    Bench instant(false);
    auto instantDisk = std::make_unique<DiskImage>();
    const double instantDrive =
        Seconds(instant.Run({QStringLiteral("bench"), kScanSectors, 0, kDemoTracks}, *instantDisk));
    Bench bench(true);
    double wall = 0, device = 0;
    for (auto _ : state) {
        auto disk = std::make_unique<DiskImage>();
        const auto start = Clock::now();
        const double drive =
            Seconds(bench.Run({QStringLiteral("bench"), kScanSectors, 0, kDemoTracks}, *disk));
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!bench.ok) state.SkipWithError("the run failed");
        state.SetIterationTime(seconds);
        wall += seconds;
        device += drive;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["wall_per_device"] = wall / device;
    state.counters["wall_per_instant_drive"] = wall / (instantDrive * n);
    state.counters["device_s"] = device / n;
    state.counters["instant_drive_s"] = instantDrive;
}
BENCHMARK(BM_ScanSectorsRealTime)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_FullReadInstant(benchmark::State& state) {
    Bench bench(false);
    for (auto _ : state) {
        auto disk = std::make_unique<DiskImage>();
        bench.Run({QStringLiteral("bench"), kRunRaw | kRunScan | kRunSectors, 0, 162}, *disk);
        if (!bench.ok) state.SkipWithError("the run failed");
    }
}
BENCHMARK(BM_FullReadInstant)->Unit(benchmark::kMillisecond);

void RegisterAll() {
    for (const KindCase& c : kKinds) {
        benchmark::RegisterBenchmark((std::string("BM_RunInstant/") + c.name).c_str(),
                                     BM_RunInstant, c)
            ->Unit(benchmark::kMillisecond);
    }
    // Whole disks in real time take minutes each (the full read about half an hour):
    // ask for them by name. /10 is the first ten tracks.
    for (const KindCase& c : kKinds) {
        benchmark::RegisterBenchmark((std::string("BM_RunRealTime/") + c.name).c_str(),
                                     BM_RunRealTime, c)
            ->Arg(10)
            ->Arg(0)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kSecond);
    }
}

}  // namespace
}  // namespace morvane

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    morvane::RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
