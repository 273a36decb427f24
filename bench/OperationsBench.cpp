// Whole-disk runs through the real port, protocol and operations against the emulated
// controller's demo disk: a scan with sector read in real time, measured against the
// time the emulated drive itself needed, and a full read (raw, scan, sectors) in instant
// mode.
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"
#include "controller/virtual/DemoDisk.h"
#include "controller/virtual/VirtualController.h"
#include "model/ZxDisk.h"
#include "operations/DiskRun.h"
#include "operations/OperationHost.h"

namespace morvane {
namespace {

using Clock = std::chrono::steady_clock;

struct SilentHost : OperationHost {
    void ClearLog() override {}
    void AppendLog(const QString&) override {}
    void ShowLogPage() override {}
    void SetTrackLabel(const QString&) override {}
    void SetSectorLabel(const QString&) override {}
    void ShowBytes(std::span<const std::uint8_t>) override {}
    // A message fails the run; a question is answered no, or ignore.
    Answer Ask(const Question& question) override {
        switch (question.buttons) {
            case Buttons::Ok:
                failed = true;
                return Answer::Ok;
            case Buttons::AbortRetryIgnore:
                return Answer::Ignore;
            default:
                return Answer::No;
        }
    }
    void BeginRun(const QString&, int) override {}
    void SetRunTrack(const QString&) override {}
    void SetRunProgress(int) override {}
    bool CancelRequested() override { return false; }
    void EndRun() override {}
    void ScrollMapToTop() override {}
    bool failed = false;
};

struct Bench {
    explicit Bench(bool realTime) {
        auto owned = std::make_unique<virt::VirtualController>(
            virt::VirtualControllerOptions{true, realTime});
        device = owned.get();
        port = std::make_unique<TUSB_Port>(std::move(owned));
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);
        protocol = std::make_unique<ControllerProtocol>(*port);
    }
    // Runs; returns the time the drive spent on the run's commands. Idle moments between
    // commands are left out: in real time the emulated clock catches up with the wall
    // clock across them, so it cannot tell what the program added.
    std::chrono::nanoseconds Run(int mode, int count) {
        auto disk = std::make_unique<TZX_Disk>();
        OperationContext ctx{*protocol, *disk, host};
        device->ResetDeviceTime();
        const DiskRunResult r = RunDisk(ctx, {QStringLiteral("bench"), mode, 0, count});
        ok = r.outcome == OperationOutcome::Done && !host.failed;
        return device->DeviceTime();
    }
    virt::VirtualController* device = nullptr;
    std::unique_ptr<TUSB_Port> port;
    std::unique_ptr<ControllerProtocol> protocol;
    SilentHost host;
    bool ok = false;
};

constexpr int kScanSectors = kRunScan | kRunSectors;
constexpr int kDemoTracks = static_cast<int>(virt::kDemoTracks);

double Seconds(std::chrono::nanoseconds n) {
    return std::chrono::duration<double>(n).count();
}

// Real time: wall time of the run divided by the time the drive spent on its commands
// (wall_per_device; 1.0 means the program added nothing between commands), and divided
// by the drive time of the same run in instant mode, where every command starts the
// moment the previous one ended (wall_per_instant_drive; it also counts the turns of the
// disk a late command lost). One iteration is a whole run; ask for repetitions.
void BM_ScanSectorsRealTime(benchmark::State& state) {
    Bench instant(false);
    const double instantDrive = Seconds(instant.Run(kScanSectors, kDemoTracks));
    Bench bench(true);
    double wall = 0, device = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const double drive = Seconds(bench.Run(kScanSectors, kDemoTracks));
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
        bench.Run(kRunRaw | kRunScan | kRunSectors, 162);
        if (!bench.ok) state.SkipWithError("the run failed");
    }
}
BENCHMARK(BM_FullReadInstant)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
