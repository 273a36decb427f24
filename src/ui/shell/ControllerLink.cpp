#include "ui/shell/ControllerLink.h"

#include "controller/LibFtdiDriver.h"
#include "ui/shell/MenuRules.h"
#include "ui/shell/Texts.h"
#include "ui/shell/VirtualDrive.h"

namespace morvane {

ControllerLink::ControllerLink(DriverFactory hardware, ProtocolHost* host)
    : hardware_(std::move(hardware)) {
    port_ = std::make_unique<UsbPort>(MakeHardware());
    port_->SetEnableMessage(true);
    protocol_ = std::make_unique<ControllerProtocol>(*port_, host);
}

ControllerLink::~ControllerLink() {
    protocol_.reset();
    port_.reset();
}

std::unique_ptr<FtdiDriver> ControllerLink::MakeHardware() {
    if (hardware_) return hardware_();
    return std::make_unique<LibFtdiDriver>();
}

QString ControllerLink::StartStop() {
    port_->SetDeviceName(QString::fromUtf8(kDeviceDescription));
    const bool wasActive = port_->DeviceActive();
    port_->SetDeviceActive(!wasActive);
    return LinkStatusText(wasActive, port_->DeviceActive(),
                          wasActive ? StartFailure::None : port_->LastStartFailure());
}

void ControllerLink::UseVirtual(bool useVirtual) {
    if (useVirtual == virtualInstalled_) return;
    if (port_->DeviceActive()) port_->SetDeviceActive(false);
    std::unique_ptr<FtdiDriver> next = std::move(parked_);
    if (!next) next = useVirtual ? MakeVirtualDriver(virtual_) : MakeHardware();
    parked_ = port_->SetDriver(std::move(next));
    virtualInstalled_ = useVirtual;
}

virt::VirtualController& ControllerLink::Virtual() {
    if (!virtual_) parked_ = MakeVirtualDriver(virtual_);
    return *virtual_;
}

}  // namespace morvane
