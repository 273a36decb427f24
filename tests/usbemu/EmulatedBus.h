// The emulated USB bus: the controller's FTDI chip with the emulated floppy controller
// behind it, optionally a second FTDI chip with nothing behind it, the faults of the
// settings, and a log of what the host did.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "EmuSettings.h"
#include "FaultPlan.h"
#include "FtdiChip.h"

namespace morvane::virt {
class VirtualController;
}

namespace morvane::usbemu {

inline constexpr const char* kControllerDescription = "USB <-> Parallel";
inline constexpr const char* kControllerSerial = "MRVEMU01";
inline constexpr const char* kOtherSerial = "MRVEMU02";

class EmulatedBus {
  public:
    explicit EmulatedBus(EmuSettings settings);
    // Saves the controller's disk when MORVANE_EMU_SAVE asks for it.
    ~EmulatedBus();
    EmulatedBus(const EmulatedBus&) = delete;
    EmulatedBus& operator=(const EmulatedBus&) = delete;

    const EmuSettings& Settings() const { return settings_; }
    // The chips plugged in now, in the order the host finds them (the other chip first,
    // so that a host taking the first FTDI chip takes the wrong one). A controller whose
    // time to come back has come is plugged in again first.
    std::vector<std::shared_ptr<FtdiChip>> PluggedChips();
    bool IsController(const FtdiChip& chip) const;
    // After every bulk transfer: unplugs the controller once its count is reached.
    void AfterTransfer();
    // Pulls out every chip (the bus is being replaced).
    void UnplugAll();
    // A handle that used the controller was closed: its disk is saved if asked for.
    void ControllerClosed();
    void Log(const std::string& line);
    const FaultPlan& Faults() const { return *faults_; }

  private:
    using Clock = std::chrono::steady_clock;

    std::shared_ptr<FtdiChip> PlugController();  // with mutex_ held
    void SaveDisk();

    const EmuSettings settings_;
    const std::shared_ptr<FaultPlan> faults_;
    std::shared_ptr<virt::VirtualController> controller_;
    std::mutex mutex_;
    std::shared_ptr<FtdiChip> controllerChip_;  // null while unplugged
    std::shared_ptr<FtdiChip> otherChip_;
    std::optional<Clock::time_point> unpluggedAt_;
    std::mutex logMutex_;
    std::ofstream log_;
};

}  // namespace morvane::usbemu
