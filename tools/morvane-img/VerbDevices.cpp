#include "VerbDevices.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "CliApplication.h"
#include "MorvaneImg.h"
#include "controller/DeviceErrorText.h"
#include "controller/LibFtdiDriver.h"
#include "controller/UsbPort.h"

namespace morvane {

namespace {

constexpr const char* kController = "USB <-> Parallel";

// What the last column says of a device.
const char* Kind(const DeviceEntry& device) {
    if (device.description == kController) return "controller";
    if (device.description.starts_with("Error - ")) return "unknown";
    return "other";
}

}  // namespace

int RunDevices(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "morvane-img: devices takes no arguments\n" << DevicesUsageText();
        return kExitUsage;
    }
    const auto app = EnsureApplication();
    UsbPort port(std::make_unique<LibFtdiDriver>());
    std::string countFailure;
    QObject::connect(&port, &UsbPort::onDeviceError,
                     [&countFailure](quint32, const QString& text) {
                         if (text.startsWith(QLatin1String("GetFTDeviceCount")))
                             countFailure = text.toStdString();
                     });
    const std::vector<DeviceEntry> devices = port.ListDevices();
    for (const DeviceEntry& d : devices)
        out << d.index << '\t' << d.serialNumber << '\t' << d.description << '\t' << Kind(d)
            << '\n';

    if (!countFailure.empty()) {
        err << "morvane-img: the USB devices cannot be listed: " << countFailure << "\n";
        return kExitFailure;
    }
    if (devices.empty()) {
        err << "morvane-img: no FTDI device is attached; plug in the controller (\"" << kController
            << "\")\n";
        return kExitFailure;
    }
    const auto is = [](const char* kind) {
        return [kind](const DeviceEntry& d) { return std::string_view(Kind(d)) == kind; };
    };
    const bool controller = std::any_of(devices.begin(), devices.end(), is("controller"));
    const bool denied = std::any_of(devices.begin(), devices.end(),
                                    [](const DeviceEntry& d) { return d.accessDenied; });
    if (denied) {
        err << "morvane-img: no permission to open "
            << (controller ? "some FTDI devices" : "the FTDI devices") << ": install the udev rule "
            << kUdevRuleFile << " (" << kUdevRuleSource
            << " in the sources; the Debian package installs " << kUdevRuleInstalled
            << "), add the user to the group " << kUsbAccessGroup
            << ", then unplug the controller and plug it in again\n";
        if (!controller) return kExitFailure;
    } else if (!controller) {
        err << "morvane-img: none of them is the controller (\"" << kController << "\")\n";
    }
    return kExitOk;
}

}  // namespace morvane
