// What the emulated USB bus holds and which faults it plays, read from the environment
// of the process it is loaded into (see docs/hardware.md for the list).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace morvane::usbemu {

// Counts of bulk transfers start at 1; 0 leaves the fault out.
struct EmuSettings {
    std::string image;        // MORVANE_EMU_IMAGE: the disk in drive A (demo disk if empty)
    std::string saveTo;       // MORVANE_EMU_SAVE: drive A's disk is saved here on close/exit
    std::string logPath;      // MORVANE_EMU_LOG: one line per USB event, appended
    long unplugAfter = 0;     // MORVANE_EMU_UNPLUG_AFTER: unplugged after N transfers
    long replugAfterMs = -1;  // MORVANE_EMU_REPLUG_MS: back after an unplug (-1: never)
    long timeoutAt = 0;       // MORVANE_EMU_TIMEOUT_AT: the N-th transfer times out
    long shortAt = 0;         // MORVANE_EMU_SHORT_AT: the N-th transfer moves fewer bytes
    bool absent = false;      // MORVANE_EMU_ABSENT: the controller is not plugged in
    bool noAccess = false;    // MORVANE_EMU_NO_ACCESS: opening any device is refused
    std::string otherDevice;  // MORVANE_EMU_OTHER_DEVICE: a second FTDI chip's description

    // MORVANE_EMU_UNPLUG_AFTER_ANSWER: unplugged right after the first answer of at least
    // N bytes went up in full
    long unplugAfterAnswer = 0;
};

inline constexpr const char* kDefaultOtherDescription = "FT232R USB UART";

// Reads the settings through lookup (a getenv). A value that does not parse is left at
// its default and named in problems.
EmuSettings ReadEmuSettings(const std::function<const char*(const char*)>& lookup,
                            std::vector<std::string>& problems);

}  // namespace morvane::usbemu
