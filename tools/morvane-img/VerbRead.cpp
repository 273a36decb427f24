#include "VerbRead.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <iomanip>
#include <iostream>
#include <memory>
#include <ostream>
#include <span>

#include <unistd.h>

#include "CliOperationHost.h"
#include "ReadOptions.h"
#include "VerbSupport.h"
#include "controller/ControllerProtocol.h"
#include "controller/LibFtdiDriver.h"
#include "controller/UsbPort.h"
#include "controller/virtual/VirtualController.h"
#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosFileSectors.h"
#include "formats/Trd.h"
#include "imagefiles/ImageFiles.h"
#include "model/DiskImage.h"
#include "operations/BadSectorReread.h"
#include "operations/DiskRun.h"
#include "operations/OperationSession.h"
#include "operations/RecoveryPasses.h"
#include "model/RawSectorData.h"

#include "CliApplication.h"

namespace morvane {

namespace {

constexpr const char* kDeviceName = "USB <-> Parallel";

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

// Ctrl+C or SIGTERM cancels the run at the next phase boundary (the re-read at the next
// sector), so what was read is still saved.
class InterruptGuard {
  public:
    InterruptGuard() {
        previousInt_ = std::signal(SIGINT, OnInterrupt);
        previousTerm_ = std::signal(SIGTERM, OnInterrupt);
    }
    ~InterruptGuard() {
        std::signal(SIGINT, previousInt_);
        std::signal(SIGTERM, previousTerm_);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    void (*previousInt_)(int) = nullptr;
    void (*previousTerm_)(int) = nullptr;
};

// The operations say "Считанное сохранено." when the link is lost: in the window what was
// read stays in the image. Here it is saved into a file only afterwards, so the words are
// held back and said once the file holds everything read.
class InterruptibleHost : public CliOperationHost {
  public:
    using CliOperationHost::CliOperationHost;
    bool CancelRequested() override {
        if (interrupted) RequestCancel();
        return CliOperationHost::CancelRequested();
    }
    Answer Ask(const Question& question) override {
        Question shown = question;
        const std::string kept = std::string(" ") + kTextReadKept;
        if (const auto at = shown.text.find(kept); at != std::string::npos) {
            shown.text.erase(at, kept.size());
            readKeptHeld_ = true;
        }
        return CliOperationHost::Ask(shown);
    }
    bool ReadKeptHeld() const { return readKeptHeld_; }

  private:
    bool readKeptHeld_ = false;
};

int Usage(std::ostream& err, const std::string& problem) {
    err << "morvane-img: " << problem << "\n" << ReadUsageText();
    return 2;
}

virt::Drive VirtualDrive(const ReadOptions& o) {
    return o.driveB ? virt::Drive::B : virt::Drive::A;
}

void ApplyFaults(const ReadOptions& o, virt::VirtualController& device, bool vanish) {
    const virt::Drive drive = VirtualDrive(o);
    for (const FaultOption& f : o.faults) {
        const auto t = static_cast<std::uint8_t>(f.track);
        const auto r = static_cast<std::uint8_t>(f.sector);
        switch (f.kind) {
            case FaultKind::DataCrc:
                if (!vanish) device.Faults().AddDataCrcError(drive, t, r, f.reads);
                break;
            case FaultKind::IdCrc:
                if (!vanish) device.Faults().AddIdCrcError(drive, t, r);
                break;
            case FaultKind::Missing:
                if (!vanish) device.Faults().AddMissingSector(drive, t, r);
                break;
            case FaultKind::Unstable:
                if (!vanish) device.Faults().AddUnstableBytes(drive, t, f.first, f.count);
                break;
            case FaultKind::Weak:
                if (!vanish) device.Faults().AddWeakSector(drive, t, r, f.probability);
                break;
            case FaultKind::VanishAfter:
                if (vanish) device.VanishAfterCommands(f.commands);
                break;
        }
    }
}

std::unique_ptr<FtdiDriver> MakeDriver(const ReadOptions& o, virt::VirtualController*& device,
                                       std::ostream& err) {
    if (o.virtualImage.empty()) return std::make_unique<LibFtdiDriver>();
    auto owned = std::make_unique<virt::VirtualController>(
        virt::VirtualControllerOptions{false, o.realTime});
    std::string problem;
    if (!owned->LoadImageFile(virt::Drive::A, o.virtualImage, &problem)) {
        err << "morvane-img: cannot load " << o.virtualImage << ": " << problem << "\n";
        return nullptr;
    }
    if (o.seed) owned->Faults().SetRandomSeed(*o.seed);
    ApplyFaults(o, *owned, false);
    device = owned.get();
    return owned;
}

// A TRD holds sectors only: a track read without any sector (unformatted) is left out.
void DropTracksWithoutSectors(DiskImage& disk) {
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present != 0 && track.CountSectors() == 0) track.Present = 0;
    }
}

// Whether the run reads the sectors' bytes (from the sectors or from raw images).
bool ReadsData(int mode) {
    return mode == kRunFast || (mode & (kRunSectors | kRunRaw)) != 0;
}

bool IsUnread(std::span<const SlotPlace> unread, std::size_t track, std::size_t slot) {
    return std::find(unread.begin(), unread.end(),
                     SlotPlace{static_cast<std::uint8_t>(track),
                               static_cast<std::uint8_t>(slot)}) != unread.end();
}

// Failed: what the drive said was in error; the sectors a stopped run never read are
// missing instead.
struct Counts {
    std::size_t tracks = 0, sectors = 0, failed = 0;
};

Counts Count(const DiskImage& disk, bool dataRead, std::span<const SlotPlace> unread) {
    Counts c;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        ++c.tracks;
        for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
            const SectorSlot& slot = track.Slots[s];
            if (slot.Present == 0) continue;
            ++c.sectors;
            if (dataRead && slot.DataGood == 0 && !IsUnread(unread, t, s)) ++c.failed;
        }
    }
    return c;
}

// A failed device's reason is on a line of its own in the message; one line here.
std::string StopReason(OperationOutcome outcome, const CliOperationHost& host) {
    if (outcome == OperationOutcome::Cancelled) return "cancelled";
    std::string reason = host.LastMessage();
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    return reason;
}

void ListFailedSectors(const DiskImage& disk, std::span<const SlotPlace> unread,
                       std::ostream& out) {
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
            const SectorSlot& slot = track.Slots[s];
            if (slot.Present != 0 && slot.DataGood == 0 && !IsUnread(unread, t, s))
                out << "failed track " << t << " sector " << int(slot.Sector) << "\n";
        }
    }
}

// The sectors with nothing of their data in the file: those a stopped run never read
// (their IDs kept), then those a TRD lacks (zero bytes in the file).
std::vector<TrdGap> MissingSectors(const DiskImage& disk, std::span<const SlotPlace> unread,
                                   std::span<const TrdGap> gaps) {
    std::vector<TrdGap> missing;
    for (const SlotPlace& p : unread)
        missing.push_back({p.track, disk.GetTrack(p.track)->Slots[p.slot].Sector});
    missing.insert(missing.end(), gaps.begin(), gaps.end());
    return missing;
}

// What each recovery pass did, and the line that says whether another would help.
void ReportPasses(const RecoveryResult& recovery, std::ostream& out) {
    for (std::size_t i = 0; i < recovery.passes.size(); ++i) {
        const RecoveryPassCounts& pass = recovery.passes[i];
        out << "pass " << i + 1 << ": " << pass.tracks << " tracks read, " << pass.recovered
            << " recovered, " << pass.badLeft << " still bad\n";
    }
    if (recovery.outcome != OperationOutcome::Done) return;
    if (recovery.passes.empty()) {
        if (recovery.badAtStart == 0) out << "nothing to recover: no bad or missing sector\n";
        return;
    }
    if (recovery.noChange)
        out << "no change: a further pass at these settings is unlikely to help\n";
    else
        out << recovery.passes.back().recovered << " recovered since the last pass\n";
}

// An SCL archive or a Hobeta file holds whole files: those whose every sector was read (in
// error or not) go in, the others are left out and named. Nothing is written when the
// catalogue was not read, or no file of the disk could go in.
bool SaveFileSet(const std::string& path, DiskImage& disk, std::vector<std::string>& leftOut,
                 std::ostream& err) {
    const std::string cannot = "morvane-img: cannot save " + path + ": ";
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(disk, catalogue)) {
        err << cannot << "the image holds no TR-DOS catalogue\n";
        return false;
    }
    const ReadTrDosFiles files = SplitByMissingSectors(disk, catalogue);
    for (std::size_t i = 0; i < files.incomplete.size(); ++i) {
        const TrDosEntry& e = files.incomplete[i];
        leftOut.push_back(TrimmedZxName(e.name) + "." + static_cast<char>(e.type) + ": " +
                          std::to_string(files.missing[i].size()) + " of " +
                          std::to_string(e.sectors) + " sectors not read");
    }
    const bool hobeta = FormatFromPath(path) == ImageFormat::Hobeta;
    const std::size_t listed = files.whole.size() + files.incomplete.size();
    if (hobeta && listed != 1) {
        err << cannot << "a Hobeta file holds one TR-DOS file, the image has " << listed << "\n";
        return false;
    }
    if (files.whole.empty() && listed > 0) {
        err << cannot << "no file was read whole\n";
        return false;
    }
    if (files.whole.size() > kSclMaxFiles) {
        err << cannot << "an SCL archive holds 255 files at most\n";
        return false;
    }
    const Bytes bytes = hobeta ? HobetaBytes(files.whole[0], files.sectors[0])
                               : SclArchive(files.whole, files.sectors);
    if (WriteFileAtomically(path, bytes)) return true;
    err << cannot << "the file cannot be written\n";
    return false;
}

// Whatever was read is saved. A TRD cannot say that a sector is missing: it gets zero
// bytes there, and gaps names them.
bool SaveDump(const std::string& path, DiskImage& disk, std::vector<TrdGap>& gaps,
              std::vector<std::string>& leftOut, std::ostream& err) {
    const ImageFormat format = FormatFromPath(path);
    if (format == ImageFormat::Scl || format == ImageFormat::Hobeta)
        return SaveFileSet(path, disk, leftOut, err);
    if (format != ImageFormat::Trd) {
        if (SaveImageFile(path, disk)) return true;
        err << "morvane-img: cannot save " << path << ": " << disk.LastError << "\n";
        return false;
    }
    Bytes bytes;
    WriteTrdKeepingGaps(disk, bytes, gaps);
    const FileWriteResult written = WriteFileAtomically(path, bytes);
    if (written) return true;
    err << "morvane-img: cannot save " << path << ": " << written.reason << "\n";
    return false;
}

}  // namespace

int RunRead(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string problem;
    const std::optional<ReadOptions> parsed = ParseReadOptions(args, problem);
    if (!parsed) return Usage(err, problem);
    const ReadOptions& o = *parsed;
    // A disk read can take long: what would stop its save is said before it starts.
    if (!CheckOutputIsNotInput({o.virtualImage, o.resume}, o.output, err)) return 1;
    if (const FileWriteResult replaceable = CheckReplaceable(o.output);
        !replaceable && replaceable.error != ENOENT) {
        err << "morvane-img: cannot write " << o.output << ": " << replaceable.reason << "\n";
        return 1;
    }
    const auto app = EnsureApplication();

    virt::VirtualController* device = nullptr;
    std::unique_ptr<FtdiDriver> driver = MakeDriver(o, device, err);
    if (!driver) return 1;
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) != 0;
    InterruptibleHost host(err, terminal, o.verbose);
    UsbPort port(std::move(driver));
    port.SetDeviceName(QString::fromLatin1(kDeviceName));
    port.SetDeviceActive(true);
    port.SetEnableMessage(true);
    if (!port.DeviceActive()) {
        err << "morvane-img: the controller \"" << kDeviceName << "\" cannot be opened\n";
        return 1;
    }
    ControllerProtocol protocol(port, &host);
    if (protocol.FirstContact(o.driveB ? Drive::B : Drive::A) != ContactResult::Done) {
        err << "morvane-img: the controller does not answer\n";
        return 1;
    }
    if (device) ApplyFaults(o, *device, true);

    auto disk = std::make_unique<DiskImage>();
    OperationContext ctx{protocol, *disk, host};
    const DiskRunKind kinds[] = {DiskRunKind::RawRead, DiskRunKind::TrackScan,
                                 DiskRunKind::ScanAndSectors, DiskRunKind::FullRead,
                                 DiskRunKind::FastRead};
    const int modes[] = {kRunRaw, kRunScan, kRunScan | kRunSectors,
                         kRunRaw | kRunScan | kRunSectors, kRunFast};
    DiskRunParams params;
    for (std::size_t i = 0; i < std::size(modes); ++i)
        if (modes[i] == o.mode) params = *LaunchParams(kinds[i], *disk);
    if (o.tracks) params.count = *o.tracks;

    DiskRunResult result;
    RereadResult reread;
    RecoveryResult recovery;
    bool recoveryRan = false;
    if (!o.resume.empty() && !LoadImageFile(o.resume, *disk)) {
        err << "morvane-img: cannot load " << o.resume << ": " << disk->LastError << "\n";
        return 1;
    }
    {
        const InterruptGuard guard;
        if (o.resume.empty()) {
            result = RunDisk(ctx, params);
            const bool rawOnly = (o.mode & kRunSectors) == 0 && (o.mode & kRunRaw) != 0;
            // A raw read decodes only where each sector's data lies; the file wants the bytes.
            if (rawOnly) TakeSectorDataFromRawTracks(*disk);
            if (result.outcome == OperationOutcome::Done && o.reread > 0 && ReadsData(o.mode) &&
                Count(*disk, true, {}).failed > 0)
                reread = RereadFailedSectors(ctx, {o.reread});
        }
        // A resumed read goes over the previous image's bad tracks alone.
        recoveryRan = result.outcome == OperationOutcome::Done &&
                      reread.outcome == OperationOutcome::Done &&
                      (!o.resume.empty() || o.passes) && ReadsData(o.mode);
        if (recoveryRan) recovery = RecoverBadSectors(ctx, {o.passes.value_or(1)});
    }
    interrupted = 0;

    if (FormatFromPath(o.output) == ImageFormat::Trd) DropTracksWithoutSectors(*disk);
    const bool dataRead = ReadsData(o.mode);
    const Counts counts = Count(*disk, dataRead, result.unread);
    std::vector<TrdGap> gaps;
    std::vector<std::string> leftOut;
    if (!SaveDump(o.output, *disk, gaps, leftOut, err)) {
        for (const std::string& file : leftOut)
            err << "morvane-img: left out " << file << "\n";
        return 1;
    }
    if (host.ReadKeptHeld() && leftOut.empty()) err << "morvane-img: " << kTextReadKept << "\n";
    const std::vector<TrdGap> missing =
        MissingSectors(*disk, dataRead ? result.unread : std::vector<SlotPlace>{}, gaps);
    out << "read " << counts.tracks << " tracks, " << counts.sectors << " sectors, "
        << counts.failed << " failed";
    if (!missing.empty()) out << ", " << missing.size() << " missing";
    out << " -> " << o.output << "\n";
    if (dataRead) ListFailedSectors(*disk, result.unread, out);
    for (const TrdGap& gap : missing)
        out << "missing track " << int(gap.track) << " sector " << int(gap.sector) << "\n";
    for (const std::string& file : leftOut)
        out << "left out " << file << "\n";
    if (recoveryRan) ReportPasses(recovery, out);
    if (device && o.realTime) {
        // The drive's own time on the commands; the emulated clock also ran on while the
        // drive waited for the program.
        const double seconds = static_cast<double>(device->DeviceTime().count()) / 1e9;
        err << "morvane-img: emulated device time " << std::fixed << std::setprecision(3) << seconds
            << " s\n";
    }
    if (result.outcome != OperationOutcome::Done) {
        err << "morvane-img: the run stopped after " << result.tracksDone
            << " tracks: " << StopReason(result.outcome, host) << "\n";
        return 1;
    }
    if (reread.outcome != OperationOutcome::Done) {
        err << "morvane-img: the re-read stopped: " << StopReason(reread.outcome, host) << "\n";
        return 1;
    }
    if (recovery.outcome != OperationOutcome::Done) {
        err << "morvane-img: the recovery passes stopped: " << StopReason(recovery.outcome, host)
            << "\n";
        return 1;
    }
    return counts.failed > 0 || !missing.empty() || !leftOut.empty() ? kExitBadSectors : 0;
}

}  // namespace morvane
