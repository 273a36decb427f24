// The texts of the USB link's failure reports: the failing call's name and a fixed suffix
// per status code; and why a start of the link left it closed, with what the user can do
// when it was for want of permission.
#pragma once

#include <string>
#include <string_view>

#include "FtdiDriver.h"

namespace morvane {

// Why the last start of the link left it closed.
enum class StartFailure {
    None,          // it opened, or no start was tried
    NoDevice,      // no device is attached at all
    NoPermission,  // devices are there, but this user may not open them
    NotListed,     // no device has the description
    OpenFailed,    // the device was found but would not open
};

// What gives a user access to the controller: the udev rule the program ships (in
// packaging/ of the sources; the Debian package installs it in /usr/lib/udev/rules.d/)
// and the group it opens the FTDI chips to.
inline constexpr const char* kUdevRuleFile = "99-morvane-ftdi.rules";
inline constexpr const char* kUdevRuleSource = "packaging/99-morvane-ftdi.rules";
inline constexpr const char* kUdevRuleInstalled = "/usr/lib/udev/rules.d/99-morvane-ftdi.rules";
inline constexpr const char* kUsbAccessGroup = "plugdev";

// Status panel 0 after a start that failed for want of permission.
inline constexpr const char* kUsbNoPermissionText = "Нет доступа к USB устройству!";
// The status bar's explanation of it: the rule and the group.
std::string NoPermissionHint();

// The suffix for a status code 1..17; empty for any other code.
std::string_view DeviceErrorSuffix(FtStatus status);

// The report text: operation name + suffix, or empty for a code without a suffix.
std::string DeviceErrorText(std::string_view operation, FtStatus status);

}  // namespace morvane
