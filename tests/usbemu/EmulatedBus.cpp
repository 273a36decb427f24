#include "EmulatedBus.h"

#include <cstdio>
#include <utility>

#include "controller/virtual/VirtualController.h"
#include "imagefiles/ImageFiles.h"
#include "model/DiskImage.h"

namespace morvane::usbemu {

namespace {

ChipIdentity Identity(const std::string& description, const char* serial) {
    ChipIdentity id;
    id.description = description;
    id.serial = serial;
    return id;
}

}  // namespace

EmulatedBus::EmulatedBus(EmuSettings settings)
    : settings_(std::move(settings)),
      faults_(std::make_shared<FaultPlan>(settings_.unplugAfter, settings_.timeoutAt,
                                          settings_.shortAt, settings_.unplugAfterAnswer)) {
    if (!settings_.logPath.empty()) log_.open(settings_.logPath, std::ios::app);
    controller_ = std::make_shared<virt::VirtualController>(
        virt::VirtualControllerOptions{settings_.image.empty(), false});
    if (!settings_.image.empty()) {
        std::string problem;
        if (!controller_->LoadImageFile(virt::Drive::A, settings_.image, &problem))
            std::fprintf(stderr, "usbemu: cannot load %s: %s\n", settings_.image.c_str(),
                         problem.c_str());
    }
    if (!settings_.otherDevice.empty())
        otherChip_ = std::make_shared<FtdiChip>(Identity(settings_.otherDevice, kOtherSerial),
                                                nullptr, faults_);
    std::lock_guard lock(mutex_);
    if (settings_.absent)
        unpluggedAt_ = Clock::now();
    else
        controllerChip_ = PlugController();
}

EmulatedBus::~EmulatedBus() {
    UnplugAll();
    SaveDisk();
}

std::shared_ptr<FtdiChip> EmulatedBus::PlugController() {
    // A controller plugged in again starts afresh: nothing half-received, nothing queued.
    controller_->Close();
    controller_->OpenByDescription(virt::kVirtualDescription);
    unpluggedAt_.reset();
    return std::make_shared<FtdiChip>(Identity(kControllerDescription, kControllerSerial),
                                      controller_, faults_);
}

std::vector<std::shared_ptr<FtdiChip>> EmulatedBus::PluggedChips() {
    std::vector<std::shared_ptr<FtdiChip>> chips;
    bool replugged = false;
    {
        std::lock_guard lock(mutex_);
        if (!controllerChip_ && unpluggedAt_ && settings_.replugAfterMs >= 0 &&
            Clock::now() >= *unpluggedAt_ + std::chrono::milliseconds(settings_.replugAfterMs)) {
            controllerChip_ = PlugController();
            replugged = true;
        }
        if (otherChip_) chips.push_back(otherChip_);
        if (controllerChip_) chips.push_back(controllerChip_);
    }
    if (replugged) Log("plug " + std::string(kControllerSerial));
    return chips;
}

bool EmulatedBus::IsController(const FtdiChip& chip) const {
    return chip.Identity().serial == kControllerSerial;
}

void EmulatedBus::AfterTransfer() {
    if (!faults_->TakeUnplug()) return;
    {
        // Under the lock, so that a controller plugged in again at once cannot have its
        // backend's call taken away by the chip that goes.
        std::lock_guard lock(mutex_);
        if (!controllerChip_) return;
        std::exchange(controllerChip_, nullptr)->Unplug();
        unpluggedAt_ = Clock::now();
    }
    Log("unplug " + std::string(kControllerSerial) + " after " +
        std::to_string(faults_->Counted()) + " transfers");
}

void EmulatedBus::UnplugAll() {
    std::lock_guard lock(mutex_);
    if (controllerChip_) std::exchange(controllerChip_, nullptr)->Unplug();
    if (otherChip_) otherChip_->Unplug();
}

void EmulatedBus::ControllerClosed() {
    SaveDisk();
}

void EmulatedBus::SaveDisk() {
    if (settings_.saveTo.empty()) return;
    auto image = std::make_unique<DiskImage>();
    if (!controller_->SaveImage(virt::Drive::A, *image)) {
        std::fprintf(stderr, "usbemu: no disk in drive A to save\n");
        return;
    }
    if (!SaveImageFile(settings_.saveTo, *image))
        std::fprintf(stderr, "usbemu: cannot save %s: %s\n", settings_.saveTo.c_str(),
                     image->LastError.c_str());
}

void EmulatedBus::Log(const std::string& line) {
    std::lock_guard lock(logMutex_);
    if (!log_.is_open()) return;
    log_ << line << '\n';
    log_.flush();
}

}  // namespace morvane::usbemu
