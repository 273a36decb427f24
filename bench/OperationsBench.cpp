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
    void ShowMessage(const QString&, const QString&) override { failed = true; }
    MessageAnswer AskYesNo(const QString&, const QString&) override { return MessageAnswer::No; }
    MessageAnswer AskAbortRetryIgnore(const QString&, const QString&) override {
        return MessageAnswer::Ignore;
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
    // Runs and returns the emulated device time the run took.
    std::chrono::nanoseconds Run(int mode, int count) {
        auto disk = std::make_unique<TZX_Disk>();
        OperationContext ctx{*protocol, *disk, host};
        const auto before = device->Fdc().Now();
        const DiskRunResult r = RunDisk(ctx, {QStringLiteral("bench"), mode, 0, count});
        ok = r.outcome == OperationOutcome::Done && !host.failed;
        return device->Fdc().Now() - before;
    }
    virt::VirtualController* device = nullptr;
    std::unique_ptr<TUSB_Port> port;
    std::unique_ptr<ControllerProtocol> protocol;
    SilentHost host;
    bool ok = false;
};

constexpr int kScanSectors = kRunScan | kRunSectors;
constexpr int kDemoTracks = static_cast<int>(virt::kDemoTracks);

// Real time: wall time of the run divided by the device time the emulated drive counted
// (which includes every moment the drive waited for the program), and divided by the
// device time of the same run in instant mode, where the program takes no time at all.
void BM_ScanSectorsRealTime(benchmark::State& state) {
    Bench instant(false);
    const double driveOnly =
        std::chrono::duration<double>(instant.Run(kScanSectors, kDemoTracks)).count();
    Bench bench(true);
    double wall = 0, emulated = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto device = bench.Run(kScanSectors, kDemoTracks);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!bench.ok) state.SkipWithError("the run failed");
        state.SetIterationTime(seconds);
        wall += seconds;
        emulated += std::chrono::duration<double>(device).count();
    }
    state.counters["wall_per_device"] = wall / emulated;
    state.counters["wall_per_drive_only"] =
        wall / (driveOnly * static_cast<double>(state.iterations()));
    state.counters["device_s"] = emulated / static_cast<double>(state.iterations());
    state.counters["drive_only_s"] = driveOnly;
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
