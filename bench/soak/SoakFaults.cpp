#include "SoakFaults.h"

#include <vector>

#include "SoakHost.h"

namespace morvane::soak {

namespace {

using virt::Drive;

constexpr std::array<const char*, kFaultKinds> kNames = {
    "data-crc",   "weak-sector", "id-crc",      "missing-sector", "unstable-bytes",
    "scan-break", "raw-break",   "raw-jitter",  "seek-fault",     "silence",
    "noise",      "torn-frames", "error-marks", "vanish",         "cancel"};

constexpr int kMostMediaFaults = 8;
constexpr double kSilenceChance = 0.3;
constexpr double kGarbageChance = 0.35;
constexpr double kVanishChance = 0.15;
constexpr double kCancelChance = 0.1;
constexpr std::size_t kMostGarbageBytes = 24;
constexpr std::size_t kTrackBytes = 6250;

class Draw {
  public:
    explicit Draw(std::mt19937& random) : random_(random) {}
    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    std::size_t Size(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    std::uint32_t Seed() { return static_cast<std::uint32_t>(random_()); }

  private:
    std::mt19937& random_;
};

struct SectorPlace {
    std::uint8_t track;
    std::uint8_t sector;
};

SectorPlace AnySector(Draw& draw, const DiskImage& image, int tracks) {
    for (;;) {
        const auto t = static_cast<std::uint8_t>(draw.Int(0, tracks - 1));
        std::vector<std::uint8_t> numbers;
        for (const SectorSlot& s : image.GetTrack(t)->Slots)
            if (s.Present != 0) numbers.push_back(s.Sector);
        if (!numbers.empty()) return {t, numbers[draw.Size(0, numbers.size() - 1)]};
    }
}

void ArmMediaFault(Draw& draw, FaultKind kind, const RunShape& shape,
                   virt::VirtualController& device) {
    virt::MediaFaults& faults = device.Faults();
    // Runs go over up to 166 tracks; the soak's disks hold sectors on the first 160.
    constexpr int kDataTracks = 160;
    const SectorPlace at = AnySector(draw, *shape.image, std::min(shape.tracks, kDataTracks));
    static constexpr std::uint8_t kBreakStatus[] = {0x04, 0x08, 0x10};
    const std::uint8_t status = kBreakStatus[draw.Int(0, 2)];
    switch (kind) {
        case FaultKind::DataCrc:
            faults.AddDataCrcError(Drive::A, at.track, at.sector);
            break;
        case FaultKind::WeakSector:
            faults.AddDataCrcError(Drive::A, at.track, at.sector, draw.Int(1, 3));
            break;
        case FaultKind::IdCrc:
            faults.AddIdCrcError(
                Drive::A, at.track, at.sector,
                draw.Chance(0.5) ? virt::IdCrcScan::InAnswer : virt::IdCrcScan::StopsScan);
            break;
        case FaultKind::MissingSector:
            faults.AddMissingSector(Drive::A, at.track, at.sector);
            break;
        case FaultKind::UnstableBytes:
            faults.AddUnstableBytes(Drive::A, at.track, draw.Size(0, kTrackBytes - 1),
                                    draw.Size(1, 64), draw.Int(5, 45) / 100.0);
            break;
        case FaultKind::ScanBreak:
            faults.AddScanBreak(Drive::A, at.track, draw.Size(0, 20), status);
            break;
        case FaultKind::RawReadBreak:
            faults.AddRawReadBreak(Drive::A, at.track, draw.Size(0, kTrackBytes), status,
                                   draw.Chance(0.5) ? virt::MediaFaults::kAlways : draw.Int(1, 3));
            break;
        case FaultKind::RawLengthJitter:
            faults.AddRawLengthJitter(Drive::A, at.track, draw.Size(1, 200));
            break;
        case FaultKind::SeekFault:
            faults.AddSeekFault(
                draw.Chance(0.5) ? virt::SeekFaultKind::WrongTrack : virt::SeekFaultKind::SeekError,
                draw.Int(1, 3), at.track);
            break;
        default:
            break;
    }
}

}  // namespace

const char* FaultName(FaultKind kind) {
    return kNames[static_cast<std::size_t>(kind)];
}

bool FaultPlan::EndsEarly() const {
    return Count(FaultKind::Silence) + Count(FaultKind::Vanish) + Count(FaultKind::Cancel) > 0;
}

std::string FaultPlan::Describe() const {
    std::string text;
    for (std::size_t k = 0; k < kFaultKinds; ++k) {
        if (counts[k] == 0) continue;
        if (!text.empty()) text += ' ';
        text += kNames[k] + (":" + std::to_string(counts[k]));
    }
    return text.empty() ? "none" : text;
}

FaultPlan ArmFaults(std::mt19937& random, const RunShape& shape, virt::VirtualController& device,
                    SoakHost& host) {
    Draw draw(random);
    FaultPlan plan;
    const auto note = [&plan](FaultKind kind) { ++plan.counts[static_cast<std::size_t>(kind)]; };
    device.Faults().SetRandomSeed(draw.Seed());

    // Raw reads and scans do not happen in a write run; its faults are the sector ones.
    static constexpr FaultKind kReadFaults[] = {
        FaultKind::DataCrc,       FaultKind::WeakSector,      FaultKind::IdCrc,
        FaultKind::MissingSector, FaultKind::UnstableBytes,   FaultKind::ScanBreak,
        FaultKind::RawReadBreak,  FaultKind::RawLengthJitter, FaultKind::SeekFault};
    static constexpr FaultKind kWriteFaults[] = {FaultKind::DataCrc, FaultKind::WeakSector,
                                                 FaultKind::IdCrc, FaultKind::MissingSector,
                                                 FaultKind::SeekFault};
    const int media = draw.Int(0, kMostMediaFaults);
    for (int i = 0; i < media; ++i) {
        const FaultKind kind =
            shape.writing ? kWriteFaults[draw.Int(0, 4)] : kReadFaults[draw.Int(0, 8)];
        ArmMediaFault(draw, kind, shape, device);
        note(kind);
    }

    const int commands = std::max(shape.commands, 1);
    if (draw.Chance(kSilenceChance)) {
        const int count = draw.Int(1, 2);
        device.SilenceCommandsAfter(draw.Int(0, commands), count);
        plan.counts[static_cast<std::size_t>(FaultKind::Silence)] += count;
        plan.silencedCommands += count;
    }
    if (draw.Chance(kGarbageChance)) {
        static constexpr virt::GarbageKind kKinds[] = {virt::GarbageKind::Noise,
                                                       virt::GarbageKind::TornFrame,
                                                       virt::GarbageKind::StrayErrorMark};
        static constexpr FaultKind kFaults[] = {FaultKind::Noise, FaultKind::TornFrames,
                                                FaultKind::ErrorMarkNoise};
        const int k = draw.Int(0, 2);
        device.SetGarbageSeed(draw.Seed());
        device.SetGarbageBetweenFrames(true, draw.Size(1, kMostGarbageBytes), kKinds[k]);
        note(kFaults[k]);
    }
    if (draw.Chance(kVanishChance)) {
        device.VanishAfterCommands(draw.Int(1, commands));
        note(FaultKind::Vanish);
    }
    if (draw.Chance(kCancelChance)) {
        host.CancelAtTrack(draw.Int(0, shape.tracks - 1));
        note(FaultKind::Cancel);
    }
    return plan;
}

}  // namespace morvane::soak
