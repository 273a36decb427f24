#include "WriteTarget.h"

#include <QCoreApplication>

#include <memory>
#include <ostream>

#include <unistd.h>

#include <iostream>

#include "CliOperationHost.h"
#include "MorvaneImg.h"
#include "VerbRead.h"
#include "controller/ControllerProtocol.h"
#include "controller/LibFtdiDriver.h"
#include "controller/UsbPort.h"
#include "controller/virtual/VirtualController.h"
#include "controller/virtual/VirtualDisk.h"
#include "imagefiles/ImageFiles.h"
#include "model/DiskImage.h"

#include "CliApplication.h"

namespace morvane {

namespace {

constexpr const char* kDeviceName = "USB <-> Parallel";

virt::Drive VirtualDrive(const WriteTarget& t) {
    return t.driveB ? virt::Drive::B : virt::Drive::A;
}

void ApplyFaults(const WriteTarget& t, virt::VirtualController& device) {
    for (const FaultOption& f : t.faults) {
        const auto track = static_cast<std::uint8_t>(f.track);
        const auto r = static_cast<std::uint8_t>(f.sector);
        if (f.kind == FaultKind::DataCrc)
            device.Faults().AddDataCrcError(VirtualDrive(t), track, r, f.reads);
        else if (f.kind == FaultKind::Missing)
            device.Faults().AddMissingSector(VirtualDrive(t), track, r);
    }
}

// A TRD holds sectors only: a track the write left unformatted is left out.
void DropTracksWithoutSectors(DiskImage& disk) {
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present != 0 && track.CountSectors() == 0) track.Present = 0;
    }
}

bool SaveVirtualDisk(const WriteTarget& t, const virt::VirtualController& device,
                     std::ostream& err) {
    auto saved = std::make_unique<DiskImage>();
    if (!device.SaveImage(VirtualDrive(t), *saved)) {
        err << "morvane-img: the emulated drive holds no disk\n";
        return false;
    }
    if (FormatFromPath(t.virtualOut) == ImageFormat::Trd) DropTracksWithoutSectors(*saved);
    if (!SaveImageFile(t.virtualOut, *saved)) {
        err << "morvane-img: cannot save " << t.virtualOut << ": " << saved->LastError << "\n";
        return false;
    }
    return true;
}

}  // namespace

std::optional<bool> TakeTargetOption(const std::vector<std::string>& args, std::size_t& i,
                                     WriteTarget& target, std::string& problem) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--verbose") {
        target.verbose = true;
        return true;
    }
    if (a != "--drive" && a != "--virtual-out" && a != "--fault") return std::nullopt;
    if (!hasValue) {
        problem = a + " needs a value";
        return false;
    }
    const std::string& v = args[++i];
    if (a == "--drive") {
        if (v != "A" && v != "B" && v != "a" && v != "b") {
            problem = "--drive takes A or B";
            return false;
        }
        target.driveB = v == "B" || v == "b";
    } else if (a == "--virtual-out") {
        if (!CanWriteFormat(FormatFromPath(v))) {
            problem = "cannot write this format: " + v;
            return false;
        }
        target.virtualOut = v;
    } else {
        const std::optional<FaultOption> fault = ParseFault(v);
        if (!fault || (fault->kind != FaultKind::DataCrc && fault->kind != FaultKind::Missing)) {
            problem = "--fault takes crc:T:R[:READS] or missing:T:R";
            return false;
        }
        target.faults.push_back(*fault);
    }
    return true;
}

int RunOnTarget(const WriteTarget& target, DiskImage& image, const DiskWriteWork& work,
                std::ostream& out, std::ostream& err) {
    const auto app = EnsureApplication();
    virt::VirtualController* device = nullptr;
    std::unique_ptr<FtdiDriver> driver;
    if (target.virtualOut.empty()) {
        driver = std::make_unique<LibFtdiDriver>();
    } else {
        auto owned =
            std::make_unique<virt::VirtualController>(virt::VirtualControllerOptions{false, false});
        owned->InsertDisk(VirtualDrive(target), std::make_unique<virt::VirtualDisk>());
        ApplyFaults(target, *owned);
        device = owned.get();
        driver = std::move(owned);
    }
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) != 0;
    CliOperationHost host(err, terminal, target.verbose);
    UsbPort port(std::move(driver));
    port.SetDeviceName(QString::fromLatin1(kDeviceName));
    port.SetDeviceActive(true);
    port.SetEnableMessage(true);
    if (!port.DeviceActive()) {
        err << "morvane-img: the controller \"" << kDeviceName << "\" cannot be opened\n";
        return kExitFailure;
    }
    ControllerProtocol protocol(port, &host);
    if (protocol.FirstContact(target.driveB ? Drive::B : Drive::A) != ContactResult::Done) {
        err << "morvane-img: the controller does not answer\n";
        return kExitFailure;
    }
    OperationContext ctx{protocol, image, host};
    const DiskWriteResult result = work(ctx);

    out << "wrote " << result.tracksWritten << " tracks, " << result.sectorsWritten << " sectors, "
        << result.failed.size() << " failed";
    if (!result.fromBadRead.empty()) out << ", " << result.fromBadRead.size() << " from bad reads";
    if (!result.notWritten.empty()) out << ", " << result.notWritten.size() << " without data";
    out << "\n";
    const std::pair<const char*, const std::vector<WrittenSector>*> lists[] = {
        {"failed", &result.failed},
        {"bad read", &result.fromBadRead},
        {"not written", &result.notWritten}};
    for (const auto& [label, sectors] : lists)
        for (const WrittenSector& s : *sectors)
            out << label << " track " << int(s.track) << " sector " << int(s.sector) << "\n";
    if (device && !SaveVirtualDisk(target, *device, err)) return kExitFailure;
    if (result.outcome != OperationOutcome::Done) {
        const std::string reason = result.outcome == OperationOutcome::Cancelled
                                       ? std::string("cancelled")
                                       : host.LastMessage();
        err << "morvane-img: the write stopped after " << result.tracksWritten
            << " tracks: " << reason << "\n";
        return kExitFailure;
    }
    return result.Clean() ? kExitOk : kExitBadSectors;
}

}  // namespace morvane
