// The fault soak: whole-disk reads in every mode and whole-disk writes against the
// emulated controller, each with its own seeded faults. Every run must end within a
// bound computed from its faults, and what it kept must be what the disk holds: each
// sector recorded good equals the emulated disk's sector, each sector reported written is
// on the disk afterwards. Prints a report; exits 1 on any violation, 2 on wrong usage,
// and 3 when a run hangs past twice its bound.
//
//   fault_soak [--reads N] [--writes N] [--fast-reads N] [--seed S] [--timeout-ms T]
//              [--verbose] [--only RUN] [--fault weak:T:R:P]...
//
// --fault weak:T:R:P makes sector R of track T weak in every read run besides its own
// faults: each read turns each byte with probability P.
#include <QCoreApplication>
#include <QString>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"
#include "controller/virtual/VirtualController.h"
#include "controller/virtual/VirtualDisk.h"
#include "filesystems/NewImages.h"
#include "model/DiskImage.h"
#include "operations/DiskRun.h"
#include "operations/DiskWrite.h"
#include "soak/SoakDisks.h"
#include "soak/SoakFaults.h"
#include "soak/SoakHost.h"
#include "soak/SoakReport.h"

namespace morvane::soak {
namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int reads = 200;
    int writes = 50;
    int fastReads = 40;
    std::uint32_t seed = 1;
    int timeoutMs = 200;
    bool verbose = false;
    int only = -1;  // run just this one (its index in the report), to repeat a finding
    struct Weak {
        unsigned track = 0, r = 0;
        double probability = 0;
    };
    std::vector<Weak> weak;
};

// A bound's room for the load of a shared machine (it changes between the clean run and a
// later one), and the cost of one time-out beyond its wait. Unexplained time-outs are
// counted exactly, so the bound only has to catch a run that drags on.
constexpr double kCleanRunFactor = 8.0;
constexpr double kSlackMs = 5000;
constexpr double kPerTimeoutMs = 500;
constexpr int kHangFactor = 2;
constexpr int kProtocolTimeoutMs = 2000;

struct ReadMode {
    DiskRunKind kind;
    const char* name;
    int commandsPerTrack;  // seek and reads, without faults
};
constexpr ReadMode kReadModes[] = {{DiskRunKind::FullRead, "full-read", 11},
                                   {DiskRunKind::RawRead, "raw-read", 9},
                                   {DiskRunKind::TrackScan, "track-scan", 2},
                                   {DiskRunKind::SectorsByMarks, "sectors-by-marks", 2},
                                   {DiskRunKind::ScanAndSectors, "scan-and-sectors", 3}};
// The fast read's runs come after the writes, so the runs above keep their numbers.
constexpr ReadMode kFastRead{DiskRunKind::FastRead, "fast-read", 3};

enum class WriteMode { WriteDisk, FormatDisk };

const char* WriteModeName(WriteMode mode) {
    return mode == WriteMode::WriteDisk ? "write-disk" : "format-disk";
}

// Ends the process when a run goes on far past its bound: a hang is a finding, and
// nothing inside the run can be trusted to end it.
class Watchdog {
  public:
    Watchdog() : thread_([this](std::stop_token stop) { Watch(stop); }) {}
    void Arm(double ms, std::string what) {
        std::lock_guard lock(mutex_);
        deadline_ = Clock::now() + std::chrono::milliseconds(static_cast<long long>(ms));
        what_ = std::move(what);
        armed_ = true;
        wake_.notify_all();
    }
    void Disarm() {
        std::lock_guard lock(mutex_);
        armed_ = false;
    }

  private:
    void Watch(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        while (!stop.stop_requested()) {
            if (!armed_) {
                wake_.wait(lock, stop, [this] { return armed_; });
                continue;
            }
            const auto deadline = deadline_;
            wake_.wait_until(lock, stop, deadline,
                             [this, deadline] { return !armed_ || deadline_ != deadline; });
            if (armed_ && deadline_ == deadline && Clock::now() >= deadline) {
                std::fprintf(stderr, "HANG: %s did not end within twice its bound\n",
                             what_.c_str());
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable_any wake_;
    Clock::time_point deadline_{};
    std::string what_;
    bool armed_ = false;
    std::jthread thread_;  // last: stops before the members it uses go
};

// A fresh emulated controller with the real port and protocol for every run, so no
// fault of one run outlives it.
struct Rig {
    Rig() {
        auto owned = std::make_unique<virt::VirtualController>(
            virt::VirtualControllerOptions{.DemoDiskInDriveA = false, .RealTime = false});
        device = owned.get();
        port = std::make_unique<UsbPort>(std::move(owned));
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);  // the port reads the device's bytes only when on
        protocol = std::make_unique<ControllerProtocol>(*port);
        protocol->SetTimeoutInterval(kProtocolTimeoutMs);
        QObject::connect(&protocol->AnswerTimer(), &QTimer::timeout, [this] { ++timeouts; });
    }
    int timeouts = 0;                           // waits that ran into the time-out
    virt::VirtualController* device = nullptr;  // owned by the port
    std::unique_ptr<UsbPort> port;
    std::unique_ptr<ControllerProtocol> protocol;
};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::uint32_t RunSeed(std::uint32_t seed, int index) {
    std::seed_seq mix{seed, static_cast<std::uint32_t>(index)};
    std::uint32_t out = 0;
    mix.generate(&out, &out + 1);
    return out;
}

class Soak {
  public:
    explicit Soak(const Options& options) : options_(options) {}

    int Run() {
        std::printf(
            "Fault soak: seed %u, answer time-out %d ms, %d reads, %d writes, %d fast reads\n",
            options_.seed, options_.timeoutMs, options_.reads, options_.writes, options_.fastReads);
        if (!CheckTheCheck()) return 1;
        Calibrate();
        for (int i = 0; i < options_.reads; ++i)
            if (Wanted(i)) Record(ReadRun(i, kReadModes[i % std::size(kReadModes)], true));
        for (int i = 0; i < options_.writes; ++i) {
            const WriteMode mode = i % 2 == 0 ? WriteMode::WriteDisk : WriteMode::FormatDisk;
            const DiskKind kind = (i / 2) % 2 == 0 ? DiskKind::TrDos : DiskKind::Cpm;
            if (Wanted(options_.reads + i)) Record(WriteRun(options_.reads + i, mode, kind, true));
        }
        for (int i = 0; i < options_.fastReads; ++i) {
            const int index = options_.reads + options_.writes + i;
            if (Wanted(index)) Record(ReadRun(index, kFastRead, true));
        }
        report_.Print(stdout);
        return report_.Violations() == 0 ? 0 : 1;
    }

  private:
    bool Wanted(int index) const { return options_.only < 0 || options_.only == index; }

    // The sector check must be able to fail: a planted wrong byte is found.
    bool CheckTheCheck() {
        std::mt19937 random(options_.seed), again(options_.seed);
        auto image = std::make_unique<DiskImage>();
        MakeRandomImage(*image, DiskKind::TrDos, random);
        auto copy = std::make_unique<DiskImage>();
        MakeRandomImage(*copy, DiskKind::TrDos, again);
        const bool same = CheckGoodSectors(*image, *copy).wrong == 0;
        copy->GetTrack(77)->Slots[5].Data[100] ^= 0x40;
        const bool found = CheckGoodSectors(*image, *copy).wrong == 1;
        if (!same || !found) std::printf("The sector check does not work; nothing soaked.\n");
        return same && found;
    }

    // One clean run of each mode sets the time a run takes on this build and machine.
    void Calibrate() {
        for (const ReadMode& mode : kReadModes)
            clean_[mode.name] = ReadRun(-1, mode, false).wallMs;
        if (options_.fastReads > 0) clean_[kFastRead.name] = ReadRun(-1, kFastRead, false).wallMs;
        for (WriteMode mode : {WriteMode::WriteDisk, WriteMode::FormatDisk})
            clean_[WriteModeName(mode)] = WriteRun(-1, mode, DiskKind::TrDos, false).wallMs;
        std::printf("Clean runs (ms):");
        for (const auto& [name, ms] : clean_)
            std::printf(" %s %.0f", name.c_str(), ms);
        std::printf("\n");
    }

    double Bound(const std::string& mode, const FaultPlan& plan) const {
        const auto it = clean_.find(mode);
        const double clean = it == clean_.end() ? 0 : it->second;
        return kCleanRunFactor * clean + kSlackMs +
               plan.silencedCommands * (options_.timeoutMs + kPerTimeoutMs);
    }

    void Record(const RunRecord& run) {
        report_.Add(run);
        if (options_.verbose || !run.violations.empty()) SoakReport::PrintRun(stdout, run);
        for (const std::string& v : run.violations)
            std::printf("     VIOLATION: %s\n", v.c_str());
        std::fflush(stdout);
    }

    // The checks every run shares: its time, the guard of its time-out, and an early end
    // that no armed fault explains.
    void CheckRun(RunRecord& run, const Rig& rig) const {
        if (run.boundMs > 0 && run.wallMs > run.boundMs)
            run.violations.push_back("took " + std::to_string(static_cast<int>(run.wallMs)) +
                                     " ms, over its bound");
        if (rig.protocol->TimeoutInterval() != kProtocolTimeoutMs)
            run.violations.push_back("the run's answer time-out was not given back");
        if (run.timeouts > run.plan.silencedCommands)
            run.violations.push_back(std::to_string(run.timeouts) + " time-outs for " +
                                     std::to_string(run.plan.silencedCommands) +
                                     " silenced commands");
        if (run.outcome != OperationOutcome::Done && !run.plan.EndsEarly())
            run.violations.push_back(std::string("ended ") + OutcomeName(run.outcome) +
                                     " with no fault that ends a run");
        if (run.wrongSectors > 0)
            run.violations.push_back(std::to_string(run.wrongSectors) +
                                     " sectors differ from the disk");
    }

    RunRecord ReadRun(int index, const ReadMode& mode, bool faults) {
        RunRecord run;
        run.index = index;
        run.mode = mode.name;
        run.seed = RunSeed(options_.seed, index);
        std::mt19937 random(run.seed);
        const DiskKind kind = faults && random() % 2 == 1 ? DiskKind::Cpm : DiskKind::TrDos;
        run.disk = DiskName(kind);

        Rig rig;
        auto image = std::make_unique<DiskImage>();
        MakeRandomImage(*image, kind, random);
        rig.device->LoadImage(virt::Drive::A, *image);
        auto truth = std::make_unique<DiskImage>();
        rig.device->SaveImage(virt::Drive::A, *truth);
        auto read = std::make_unique<DiskImage>();
        // The read by marks reads the sectors a scan found before.
        if (mode.kind == DiskRunKind::SectorsByMarks) CopyIdsOnly(*truth, *read);

        std::optional<DiskRunParams> params = LaunchParams(mode.kind, *read);
        if (!params) {
            run.violations.push_back("the launcher gave no run");
            return run;
        }
        params->timeoutMs = options_.timeoutMs;
        SoakHost host(run.seed);
        if (faults) {
            const RunShape shape{image.get(), params->count, params->count * mode.commandsPerTrack,
                                 false};
            run.plan = ArmFaults(random, shape, *rig.device, host);
            for (const Options::Weak& w : options_.weak)
                rig.device->Faults().AddWeakSector(virt::Drive::A,
                                                   static_cast<std::uint8_t>(w.track),
                                                   static_cast<std::uint8_t>(w.r), w.probability);
        }
        run.boundMs = faults ? Bound(mode.name, run.plan) : 0;
        OperationContext ctx{*rig.protocol, *read, host};
        watchdog_.Arm(faults ? kHangFactor * run.boundMs : 600000.0,
                      "run " + std::to_string(index) + " (" + mode.name + ")");
        const auto start = Clock::now();
        const DiskRunResult result = RunDisk(ctx, *params);
        run.wallMs = MsSince(start);
        watchdog_.Disarm();
        run.outcome = result.outcome;
        run.tracksDone = result.tracksDone;
        run.timeouts = rig.timeouts;

        const SectorCheck check = CheckGoodSectors(*read, *truth);
        run.checked = check.checked;
        run.wrongSectors = check.wrong;
        if (check.wrong > 0) run.violations.push_back("first wrong: " + check.firstWrong);
        CheckRun(run, rig);
        return run;
    }

    RunRecord WriteRun(int index, WriteMode mode, DiskKind kind, bool faults) {
        RunRecord run;
        run.index = index;
        run.mode = WriteModeName(mode);
        run.disk = DiskName(kind);
        run.seed = RunSeed(options_.seed, index);
        std::mt19937 random(run.seed);

        Rig rig;
        // The disk in the drive: blank, or full of another disk's bytes.
        if (faults && random() % 2 == 1) {
            auto old = std::make_unique<DiskImage>();
            MakeRandomImage(*old, kind == DiskKind::TrDos ? DiskKind::Cpm : DiskKind::TrDos,
                            random);
            rig.device->LoadImage(virt::Drive::A, *old);
        } else {
            rig.device->InsertDisk(virt::Drive::A, std::make_unique<virt::VirtualDisk>());
        }
        // What goes onto the disk; a format puts the same new image there.
        auto image = std::make_unique<DiskImage>();
        const std::string name = "SOAK" + std::to_string(index < 0 ? 0 : index % 1000);
        if (mode == WriteMode::WriteDisk)
            MakeRandomImage(*image, kind, random);
        else if (kind == DiskKind::TrDos)
            CreateTrDosImage(*image, name);
        else
            CreateCpmImage(*image);

        DiskWriteOptions options;
        options.timeoutMs = options_.timeoutMs;
        options.verify = !(faults && mode == WriteMode::WriteDisk && random() % 3 == 0);
        SoakHost host(run.seed);
        if (faults) {
            const int perTrack = kind == DiskKind::TrDos ? 20 : 9;
            const RunShape shape{image.get(), static_cast<int>(kNewImageTracks),
                                 static_cast<int>(kNewImageTracks) * perTrack, true};
            run.plan = ArmFaults(random, shape, *rig.device, host);
        }
        run.boundMs = faults ? Bound(run.mode, run.plan) : 0;
        // A write puts the container's image onto the disk; a format makes its own.
        auto scratch = std::make_unique<DiskImage>();
        OperationContext ctx{*rig.protocol, mode == WriteMode::WriteDisk ? *image : *scratch, host};
        watchdog_.Arm(faults ? kHangFactor * run.boundMs : 600000.0,
                      "run " + std::to_string(index) + " (" + run.mode + ")");
        const auto start = Clock::now();
        const DiskWriteResult result =
            mode == WriteMode::WriteDisk
                ? WriteWholeDisk(ctx, options)
                : FormatWholeDisk(ctx,
                                  kind == DiskKind::TrDos ? NewDiskKind::TrDos : NewDiskKind::Cpm,
                                  QString::fromStdString(name), options);
        run.wallMs = MsSince(start);
        watchdog_.Disarm();
        run.outcome = result.outcome;
        run.tracksDone = host.progress;
        run.timeouts = rig.timeouts;

        auto after = std::make_unique<DiskImage>();
        rig.device->SaveImage(virt::Drive::A, *after);
        const SectorCheck check = CheckWrittenSectors(*image, host.progress, result.failed, *after);
        run.checked = check.checked;
        run.wrongSectors = check.wrong;
        if (check.wrong > 0) run.violations.push_back("first wrong: " + check.firstWrong);
        if (!faults && (result.outcome != OperationOutcome::Done || !result.failed.empty()))
            report_.AddViolation(run.mode + ": a run without faults did not write every sector");
        CheckRun(run, rig);
        return run;
    }

    Options options_;
    std::map<std::string, double> clean_;
    SoakReport report_;
    Watchdog watchdog_;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        if (a == "--only") {
            options.only = std::atoi(argv[++i]);
            continue;
        }
        if (a == "--fault") {
            Options::Weak w;
            char end = 0;
            if (std::sscanf(argv[++i], "weak:%u:%u:%lf%c", &w.track, &w.r, &w.probability,
                            &end) != 3 ||
                w.track > 165 || w.r > 255 || !(w.probability > 0 && w.probability <= 1))
                return false;
            options.weak.push_back(w);
            continue;
        }
        const long v = std::strtol(argv[++i], nullptr, 10);
        if (v < 0) return false;
        if (a == "--reads")
            options.reads = static_cast<int>(v);
        else if (a == "--writes")
            options.writes = static_cast<int>(v);
        else if (a == "--fast-reads")
            options.fastReads = static_cast<int>(v);
        else if (a == "--seed")
            options.seed = static_cast<std::uint32_t>(v);
        else if (a == "--timeout-ms" && v > 0)
            options.timeoutMs = static_cast<int>(v);
        else
            return false;
    }
    return true;
}

}  // namespace
}  // namespace morvane::soak

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    morvane::soak::Options options;
    if (!morvane::soak::ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: fault_soak [--reads N] [--writes N] [--fast-reads N] [--seed S] "
                     "[--timeout-ms T] [--verbose] [--only RUN] [--fault weak:T:R:P]...\n");
        return 2;
    }
    return morvane::soak::Soak(options).Run();
}
