// Recovering weak sectors on the emulated controller: 40 weak sectors spread over the demo
// TR-DOS disk (160 tracks of 16 x 256 bytes), each read turning every byte with probability
// P. After one whole-disk read (scan with sector read), two ways to go on:
//
//   reread/N   "Перечитать сбойные сектора" unattended (morvane-img read --reread N): each
//              bad sector read up to N times, a good read kept, a failed one thrown away;
//   recover/N  N recovery passes (morvane-img read --passes N): each bad track read raw once
//              and its bad sectors once per pass, every copy kept and weighed by vote,
//              the vote checked against the data CRC of the raw reads.
//
// The figures are the emulated drive's time spent on the strategy's commands (instant mode:
// each command starts when the previous one ended) and the share of the weak sectors that
// end good with the bytes the disk holds, summed over several seeds. Every strategy starts
// from the same first read of a seed and draws its own reads from the same second seed.
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"
#include "controller/virtual/SectorAccess.h"
#include "controller/virtual/VirtualController.h"
#include "model/DiskImage.h"
#include "operations/BadSectorReread.h"
#include "operations/DiskRun.h"
#include "operations/OperationHost.h"
#include "operations/RecoveryPasses.h"

namespace morvane {
namespace {

using virt::Nanos;

constexpr int kWeakSectors = 40;
constexpr int kSeeds = 5;
constexpr std::uint8_t kReadSector = 0x21, kReadTrack = 0x23, kReadSectors = 0x24;

struct SilentHost : OperationHost {
    void ClearLog() override {}
    void AppendLog(const QString&) override {}
    void ShowLogPage() override {}
    void SetTrackLabel(const QString&) override {}
    void SetSectorLabel(const QString&) override {}
    void ShowBytes(std::span<const std::uint8_t>) override {}
    Answer Ask(const Question& q) override {
        return q.buttons == Buttons::AbortRetryIgnore ? Answer::Ignore : Answer::No;
    }
    void BeginRun(const QString&, int) override {}
    void SetRunTrack(const QString&) override {}
    void SetRunProgress(int) override {}
    bool CancelRequested() override { return false; }
    void EndRun() override {}
    void ScrollMapToTop() override {}
};

struct WeakSector {
    std::uint8_t track, r;
};

// Spread over the disk, away from the demo disk's two sectors whose CRC is bad on the disk.
std::vector<WeakSector> WeakSectors() {
    std::vector<WeakSector> weak;
    for (int k = 0; k < kWeakSectors; ++k)
        weak.push_back({static_cast<std::uint8_t>(4 + k * 155 / kWeakSectors),
                        static_cast<std::uint8_t>(1 + k * 7 % 16)});
    return weak;
}

// The emulated controller with the demo disk and the weak sectors.
struct Rig {
    Rig(double probability, std::uint32_t seed) {
        auto owned = std::make_unique<virt::VirtualController>();
        device = owned.get();
        port = std::make_unique<UsbPort>(std::move(owned));
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);
        protocol = std::make_unique<ControllerProtocol>(*port);
        device->Faults().SetRandomSeed(seed);
        for (const WeakSector& w : WeakSectors())
            device->Faults().AddWeakSector(virt::Drive::A, w.track, w.r, probability);
    }
    OperationContext Ctx(DiskImage& disk) { return {*protocol, disk, host}; }
    // Commands that read the disk since the last call.
    int Reads() {
        int n = 0;
        for (const virt::CommandFrame& f : device->ReceivedFrames())
            n += f.Code == kReadSector || f.Code == kReadTrack || f.Code == kReadSectors;
        device->ClearReceivedFrames();
        return n;
    }
    virt::VirtualController* device = nullptr;
    std::unique_ptr<UsbPort> port;
    std::unique_ptr<ControllerProtocol> protocol;
    SilentHost host;
};

void CopyImage(const DiskImage& from, DiskImage& to) {
    for (std::size_t t = 0; t < kTrackCount; ++t)
        *to.GetTrack(static_cast<std::uint8_t>(t)) = *from.GetTrack(static_cast<std::uint8_t>(t));
}

// Weak sectors that are good and hold what the disk holds.
int Recovered(const DiskImage& disk, Rig& rig) {
    int good = 0;
    for (const WeakSector& w : WeakSectors()) {
        const int index = disk.FindSectorIndex(w.track, w.r);
        if (index < 0) continue;
        const SectorSlot* slot = &disk.GetTrack(w.track)->Slots[static_cast<std::size_t>(index)];
        if (slot->DataGood == 0) continue;
        const Bytes written =
            virt::ReadSector(*rig.device->Fdc().Disk(virt::Drive::A)->Track(w.track), w.r).Data;
        const auto held = slot->Data.first(slot->DataLength);
        good += written == Bytes(held.begin(), held.end());
    }
    return good;
}

// The first read of each seed, made once and copied into each strategy's image.
const DiskImage& FirstRead(double probability, int seed) {
    static std::map<std::pair<double, int>, std::unique_ptr<DiskImage>> reads;
    auto& disk = reads[{probability, seed}];
    if (!disk) {
        disk = std::make_unique<DiskImage>();
        Rig rig(probability, static_cast<std::uint32_t>(seed));
        auto ctx = rig.Ctx(*disk);
        RunDisk(ctx, *LaunchParams(DiskRunKind::ScanAndSectors, *disk));
    }
    return *disk;
}

enum class Strategy { Reread, Recover };

void BM_Weak(benchmark::State& state, Strategy strategy, double probability) {
    const int n = static_cast<int>(state.range(0));
    Nanos device{};
    int recovered = 0, afterFirstRead = 0, reads = 0;
    for (auto _ : state) {
        device = {};
        recovered = afterFirstRead = reads = 0;
        for (int seed = 1; seed <= kSeeds; ++seed) {
            auto disk = std::make_unique<DiskImage>();
            CopyImage(FirstRead(probability, seed), *disk);
            Rig rig(probability, static_cast<std::uint32_t>(1000 + seed));
            afterFirstRead += Recovered(*disk, rig);
            rig.device->ResetDeviceTime();
            rig.Reads();
            auto ctx = rig.Ctx(*disk);
            if (strategy == Strategy::Reread)
                RereadFailedSectors(ctx, {n});
            else
                RecoverBadSectors(ctx, {n});
            device += rig.device->DeviceTime();
            reads += rig.Reads();
            recovered += Recovered(*disk, rig);
        }
        state.SetIterationTime(std::chrono::duration<double>(device).count() / kSeeds);
    }
    const double weak = kWeakSectors * kSeeds;
    state.counters["P"] = probability;
    state.counters["n"] = n;
    state.counters["good_after_first_read"] = afterFirstRead / weak;
    state.counters["good"] = recovered / weak;
    state.counters["device_s"] = std::chrono::duration<double>(device).count() / kSeeds;
    state.counters["reads"] = static_cast<double>(reads) / kSeeds;
}

void RegisterAll() {
    for (const double p : {0.01, 0.03}) {
        const std::string suffix = p == 0.01 ? "/P0.01" : "/P0.03";
        benchmark::RegisterBenchmark(("BM_Reread" + suffix).c_str(), BM_Weak, Strategy::Reread, p)
            ->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(16)->Arg(32)
            ->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark(("BM_Recover" + suffix).c_str(), BM_Weak, Strategy::Recover,
                                     p)
            ->Arg(1)->Arg(2)->Arg(3)->Arg(5)
            ->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
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
