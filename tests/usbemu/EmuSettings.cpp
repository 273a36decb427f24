#include "EmuSettings.h"

#include <charconv>
#include <string_view>

namespace morvane::usbemu {

namespace {

std::string Text(const std::function<const char*(const char*)>& lookup, const char* name) {
    const char* value = lookup(name);
    return value ? std::string(value) : std::string();
}

// A whole decimal number at least `least`; anything else is a problem and changes nothing.
void Number(const std::function<const char*(const char*)>& lookup, const char* name, long least,
            long& out, std::vector<std::string>& problems) {
    const std::string text = Text(lookup, name);
    if (text.empty()) return;
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end || value < least) {
        problems.push_back(std::string(name) + "=" + text + " is not a number of at least " +
                           std::to_string(least));
        return;
    }
    out = value;
}

// Set and not "0": "1", "yes", anything.
bool Flag(const std::function<const char*(const char*)>& lookup, const char* name) {
    const std::string text = Text(lookup, name);
    return !text.empty() && text != "0";
}

}  // namespace

EmuSettings ReadEmuSettings(const std::function<const char*(const char*)>& lookup,
                            std::vector<std::string>& problems) {
    EmuSettings s;
    s.image = Text(lookup, "MORVANE_EMU_IMAGE");
    s.saveTo = Text(lookup, "MORVANE_EMU_SAVE");
    s.logPath = Text(lookup, "MORVANE_EMU_LOG");
    Number(lookup, "MORVANE_EMU_UNPLUG_AFTER", 1, s.unplugAfter, problems);
    Number(lookup, "MORVANE_EMU_UNPLUG_AFTER_ANSWER", 1, s.unplugAfterAnswer, problems);
    Number(lookup, "MORVANE_EMU_REPLUG_MS", 0, s.replugAfterMs, problems);
    Number(lookup, "MORVANE_EMU_TIMEOUT_AT", 1, s.timeoutAt, problems);
    Number(lookup, "MORVANE_EMU_SHORT_AT", 1, s.shortAt, problems);
    s.absent = Flag(lookup, "MORVANE_EMU_ABSENT");
    s.noAccess = Flag(lookup, "MORVANE_EMU_NO_ACCESS");
    s.otherDevice = Text(lookup, "MORVANE_EMU_OTHER_DEVICE");
    if (s.otherDevice == "1") s.otherDevice = kDefaultOtherDescription;
    if (s.otherDevice == "0") s.otherDevice.clear();
    return s;
}

}  // namespace morvane::usbemu
