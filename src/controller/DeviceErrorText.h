// The texts of the USB link's failure reports: the failing call's name and a fixed suffix
// per status code.
#pragma once

#include <string>
#include <string_view>

#include "FtdiDriver.h"

namespace morvane {

// The suffix for a status code 1..17; empty for any other code.
std::string_view DeviceErrorSuffix(FtStatus status);

// The report text: operation name + suffix, or empty for a code without a suffix.
std::string DeviceErrorText(std::string_view operation, FtStatus status);

}  // namespace morvane
