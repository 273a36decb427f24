// The emulator's settings as the environment gives them: numbers that do not parse are
// named and change nothing, flags are anything but "0", the second chip's shorthand.
#include "EmuSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace morvane::usbemu {
namespace {

struct SettingsCase {
    const char* name;
    std::map<std::string, std::string> env;
    EmuSettings expected;
    std::size_t problems = 0;
};

EmuSettings With(void (*change)(EmuSettings&)) {
    EmuSettings s;
    change(s);
    return s;
}

class Settings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(Settings, ReadFromTheEnvironment) {
    const SettingsCase& c = GetParam();
    std::vector<std::string> problems;
    const EmuSettings s = ReadEmuSettings(
        [&c](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        },
        problems);
    EXPECT_EQ(s.image, c.expected.image);
    EXPECT_EQ(s.saveTo, c.expected.saveTo);
    EXPECT_EQ(s.logPath, c.expected.logPath);
    EXPECT_EQ(s.unplugAfter, c.expected.unplugAfter);
    EXPECT_EQ(s.unplugAfterAnswer, c.expected.unplugAfterAnswer);
    EXPECT_EQ(s.replugAfterMs, c.expected.replugAfterMs);
    EXPECT_EQ(s.timeoutAt, c.expected.timeoutAt);
    EXPECT_EQ(s.shortAt, c.expected.shortAt);
    EXPECT_EQ(s.absent, c.expected.absent);
    EXPECT_EQ(s.noAccess, c.expected.noAccess);
    EXPECT_EQ(s.otherDevice, c.expected.otherDevice);
    EXPECT_EQ(problems.size(), c.problems);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Settings,
    ::testing::Values(
        SettingsCase{"Nothing", {}, EmuSettings{}},
        SettingsCase{"Files",
                     {{"MORVANE_EMU_IMAGE", "/d/a.trd"},
                      {"MORVANE_EMU_SAVE", "/d/out.trd"},
                      {"MORVANE_EMU_LOG", "/d/usb.log"}},
                     With([](EmuSettings& s) {
                         s.image = "/d/a.trd";
                         s.saveTo = "/d/out.trd";
                         s.logPath = "/d/usb.log";
                     })},
        SettingsCase{"Counts",
                     {{"MORVANE_EMU_UNPLUG_AFTER", "40"},
                      {"MORVANE_EMU_REPLUG_MS", "0"},
                      {"MORVANE_EMU_TIMEOUT_AT", "7"},
                      {"MORVANE_EMU_SHORT_AT", "3"},
                      {"MORVANE_EMU_UNPLUG_AFTER_ANSWER", "4000"}},
                     With([](EmuSettings& s) {
                         s.unplugAfter = 40;
                         s.unplugAfterAnswer = 4000;
                         s.replugAfterMs = 0;
                         s.timeoutAt = 7;
                         s.shortAt = 3;
                     })},
        SettingsCase{"BadNumbersChangeNothing",
                     {{"MORVANE_EMU_UNPLUG_AFTER", "0"},
                      {"MORVANE_EMU_REPLUG_MS", "-5"},
                      {"MORVANE_EMU_TIMEOUT_AT", "7x"},
                      {"MORVANE_EMU_SHORT_AT", "many"}},
                     EmuSettings{},
                     4},
        SettingsCase{"Flags",
                     {{"MORVANE_EMU_ABSENT", "1"}, {"MORVANE_EMU_NO_ACCESS", "yes"}},
                     With([](EmuSettings& s) {
                         s.absent = true;
                         s.noAccess = true;
                     })},
        SettingsCase{"FlagsOff",
                     {{"MORVANE_EMU_ABSENT", "0"}, {"MORVANE_EMU_NO_ACCESS", ""}},
                     EmuSettings{}},
        SettingsCase{"OtherDeviceShorthand",
                     {{"MORVANE_EMU_OTHER_DEVICE", "1"}},
                     With([](EmuSettings& s) { s.otherDevice = kDefaultOtherDescription; })},
        SettingsCase{"OtherDeviceNamed",
                     {{"MORVANE_EMU_OTHER_DEVICE", "Dual RS232"}},
                     With([](EmuSettings& s) { s.otherDevice = "Dual RS232"; })},
        SettingsCase{"OtherDeviceOff", {{"MORVANE_EMU_OTHER_DEVICE", "0"}}, EmuSettings{}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace morvane::usbemu
