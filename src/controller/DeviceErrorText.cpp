#include "DeviceErrorText.h"

#include <array>

namespace morvane {

namespace {

constexpr std::array<std::string_view, 18> kSuffixes = {
    "",
    " - Invalid Handle...",
    " - Device Not Found....",
    " - Device Not Opened...",
    " - General IO Error...",
    " - Insufficient Resources...",
    " - Invalid Parameter ...",
    " - Invalid baud rate ...",
    " Device not opened for erase  ...",
    " Device not opened for write ...",
    " - Failed to write ...",
    " - EEPROM read Failed ...",
    " - EEPROM write failed ...",
    " - EEPROM erase failed ...",
    " - EEPROM not present ...",
    " - EEPROM not programmed ...",
    " - invalid Arguments ...",
    " - other error  ...",
};

}  // namespace

std::string NoPermissionHint() {
    return std::string("Нужны правило udev ") + kUdevRuleFile + " (" + kUdevRuleSource +
           ") и группа " + kUsbAccessGroup +
           ": установите правило, добавьте пользователя в группу и переподключите контроллер.";
}

std::string_view DeviceErrorSuffix(FtStatus status) {
    return status < kSuffixes.size() ? kSuffixes[status] : std::string_view{};
}

std::string DeviceErrorText(std::string_view operation, FtStatus status) {
    const std::string_view suffix = DeviceErrorSuffix(status);
    if (suffix.empty()) return {};
    std::string text(operation);
    text += suffix;
    return text;
}

}  // namespace morvane
