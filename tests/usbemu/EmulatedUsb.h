// For tests that run with libusb_ftdi_emulator.so preloaded: whether it is there, a fresh
// bus with the variables a case names, a folder of the test's own, and the emulator's log.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace morvane::usbemu::test {

inline constexpr const char* kEmulatorVariables[] = {"MORVANE_EMU_IMAGE",
                                                     "MORVANE_EMU_SAVE",
                                                     "MORVANE_EMU_LOG",
                                                     "MORVANE_EMU_UNPLUG_AFTER",
                                                     "MORVANE_EMU_REPLUG_MS",
                                                     "MORVANE_EMU_TIMEOUT_AT",
                                                     "MORVANE_EMU_SHORT_AT",
                                                     "MORVANE_EMU_ABSENT",
                                                     "MORVANE_EMU_NO_ACCESS",
                                                     "MORVANE_EMU_OTHER_DEVICE",
                                                     "MORVANE_EMU_UNPLUG_AFTER_ANSWER"};

using Variables = std::map<std::string, std::string>;

// The emulator's hook, when the emulator is loaded into this process.
inline int (*ReconfigureHook())() {
    return reinterpret_cast<int (*)()>(dlsym(RTLD_DEFAULT, "morvane_usbemu_reconfigure"));
}

// Every emulator variable cleared but these; a new bus made from them.
inline void ConfigureBus(const Variables& variables) {
    for (const char* name : kEmulatorVariables)
        ::unsetenv(name);
    for (const auto& [name, value] : variables)
        ::setenv(name.c_str(), value.c_str(), 1);
    if (int (*hook)() = ReconfigureHook()) {
        EXPECT_EQ(hook(), 0) << "the emulator refused a variable";
    }
}

// A folder named after the running test, removed afterwards.
class EmulatedUsbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(ReconfigureHook(), nullptr)
            << "libusb_ftdi_emulator.so is not loaded: run this test through ctest, which "
               "preloads it (LD_PRELOAD=" MORVANE_USBEMU_PRELOAD ")";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = std::filesystem::temp_directory_path() /
               ("morvane-usb-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        ConfigureBus({});
        std::filesystem::remove_all(dir_);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // The emulator's log lines that start with prefix.
    std::vector<std::string> LogLines(const std::string& prefix) const {
        std::vector<std::string> lines;
        std::ifstream in(Path("usb.log"));
        for (std::string line; std::getline(in, line);)
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
        return lines;
    }
    // The variables of a case with the log added.
    Variables Logged(Variables variables) const {
        variables["MORVANE_EMU_LOG"] = Path("usb.log");
        return variables;
    }

  private:
    std::filesystem::path dir_;
};

}  // namespace morvane::usbemu::test
