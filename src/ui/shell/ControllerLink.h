// The window's controller link: the USB port, the command protocol over it, and which
// driver stands under the port, the real hardware or the emulated controller. Switching
// keeps the other driver parked, so the emulated drives keep their disks.
#pragma once

#include <QString>

#include <functional>
#include <memory>

#include "controller/ControllerProtocol.h"
#include "controller/FtdiDriver.h"
#include "controller/UsbPort.h"

namespace morvane {

namespace virt {
class VirtualController;
}

class ProtocolHost;

class ControllerLink {
  public:
    using DriverFactory = std::function<std::unique_ptr<FtdiDriver>()>;

    // hardware makes the driver of the real device; it is called once, when first needed.
    ControllerLink(DriverFactory hardware, ProtocolHost* host);
    ~ControllerLink();
    ControllerLink(const ControllerLink&) = delete;
    ControllerLink& operator=(const ControllerLink&) = delete;

    UsbPort& Port() { return *port_; }
    ControllerProtocol& Protocol() { return *protocol_; }
    bool Active() const { return port_->DeviceActive(); }
    bool IsVirtual() const { return virtualInstalled_; }
    // Why the last start left the link closed.
    StartFailure LastStartFailure() const { return port_->LastStartFailure(); }

    // The start/stop command: sets the description and toggles the port. Returns the text
    // of status panel 0.
    QString StartStop();
    // Installs the emulated or the hardware driver; the port is left inactive.
    void UseVirtual(bool useVirtual);
    // The emulated controller (made on first use), whether installed or parked.
    virt::VirtualController& Virtual();

  private:
    std::unique_ptr<FtdiDriver> MakeHardware();

    DriverFactory hardware_;
    std::unique_ptr<UsbPort> port_;
    std::unique_ptr<ControllerProtocol> protocol_;
    std::unique_ptr<FtdiDriver> parked_;  // the driver not in use, if made
    virt::VirtualController* virtual_ = nullptr;
    bool virtualInstalled_ = false;
};

}  // namespace morvane
