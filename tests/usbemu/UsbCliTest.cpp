// morvane-img as it is shipped, run as a program with the emulated chip preloaded: read and
// write through the real libftdi1 (no --virtual), what an unplug or a timed-out transfer
// does to a run, and the devices verb.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "EmulatedUsb.h"
#include "formats/Trd.h"
#include "model/Bytes.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using usbemu::test::Variables;

struct ToolRun {
    int status = -1;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class UsbCli : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = fs::temp_directory_path() /
               ("morvane-usbcli-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // morvane-img with the emulator preloaded and these of its variables set (and a log).
    ToolRun Tool(const std::vector<std::string>& args, Variables variables) {
        variables["MORVANE_EMU_LOG"] = Path("usb.log");
        const std::string outPath = Path("stdout"), errPath = Path("stderr");
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (const char* name : usbemu::test::kEmulatorVariables)
                ::unsetenv(name);
            for (const auto& [name, value] : variables)
                ::setenv(name.c_str(), value.c_str(), 1);
            ::setenv("LD_PRELOAD", MORVANE_USBEMU_PRELOAD, 1);
            if (!std::freopen(outPath.c_str(), "w", stdout) ||
                !std::freopen(errPath.c_str(), "w", stderr))
                ::_exit(126);
            std::vector<char*> argv;
            std::vector<std::string> copies(args);
            copies.insert(copies.begin(), "morvane-img");
            for (std::string& a : copies)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(MORVANE_IMG_PATH, argv.data());
            ::_exit(127);
        }
        ToolRun r;
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = Slurp(outPath);
        r.err = Slurp(errPath);
        return r;
    }

    std::vector<std::string> LogLines(const std::string& prefix) const {
        std::vector<std::string> lines;
        std::ifstream in(Path("usb.log"));
        for (std::string line; std::getline(in, line);)
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
        return lines;
    }

    // A TR-DOS image of `tracks` tracks with distinct sector contents.
    std::string MakeTrd(std::size_t tracks) {
        source_.resize(tracks * kTrdTrackSize);
        for (std::size_t i = 0; i < source_.size(); ++i)
            source_[i] = static_cast<std::uint8_t>(i * 13 + i / 256 + 1);
        const std::string path = Path("source.trd");
        EXPECT_TRUE(WriteFileAtomically(path, source_));
        return path;
    }
    Bytes ReadBack(const std::string& path) {
        Bytes bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
        return bytes;
    }

    Bytes source_;

  private:
    fs::path dir_;
};

// --- The corpus: every TR-DOS image read back byte for byte through libftdi1.

std::vector<std::string> CorpusTrds() {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(MORVANE_CORPUS_DIR) / "trd", ec))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

class UsbCorpusRead : public UsbCli, public ::testing::WithParamInterface<std::string> {};

TEST_P(UsbCorpusRead, WholeDiskComesBackByteForByte) {
    const std::string image = (fs::path(MORVANE_CORPUS_DIR) / "trd" / GetParam()).string();
    const std::string output = Path("copy.trd");
    const ToolRun r =
        Tool({"read", "--mode", "scan-sectors", output}, {{"MORVANE_EMU_IMAGE", image}});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadBack(output) == ReadBack(image)) << GetParam();
    EXPECT_EQ(r.err.find("usbemu:"), std::string::npos) << r.err;  // nothing left open
}

INSTANTIATE_TEST_SUITE_P(Trd, UsbCorpusRead, ::testing::ValuesIn(CorpusTrds()),
                         [](const auto& param) {
                             std::string name = param.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(UsbCorpusRead);

// --- Writing: the disk in the emulated drive afterwards holds the image.

TEST_F(UsbCli, WriteAndVerifyPutsTheImageOnTheDisk) {
    const std::string image = MakeTrd(20);
    const std::string saved = Path("saved.trd");
    // Drive A starts with the demonstration disk; the write formats over it.
    const ToolRun r = Tool({"write", image}, {{"MORVANE_EMU_SAVE", saved}});
    ASSERT_EQ(r.status, 0) << r.err;
    const Bytes disk = ReadBack(saved);
    ASSERT_GE(disk.size(), source_.size());
    EXPECT_TRUE(std::equal(source_.begin(), source_.end(), disk.begin()));

    // And read back through the chip again, from what was saved.
    const std::string copy = Path("copy.trd");
    const ToolRun read = Tool({"read", "--mode", "scan-sectors", "--tracks", "20", copy},
                              {{"MORVANE_EMU_IMAGE", saved}});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_TRUE(ReadBack(copy) == source_);
}

// --- Faults in the middle of a read: the run stops, says why, and keeps what it read.

struct StopCase {
    const char* name;
    Variables variables;
    const char* timedOut;  // the transfer that timed out, as the emulator's log names it
};

class UsbReadStops : public UsbCli, public ::testing::WithParamInterface<StopCase> {};

TEST_P(UsbReadStops, ExitOneWithTheTracksReadBefore) {
    Variables variables = GetParam().variables;
    variables["MORVANE_EMU_IMAGE"] = MakeTrd(40);
    const std::string output = Path("part.trd");
    const ToolRun r = Tool({"read", "--mode", "scan-sectors", "--tracks", "40", output}, variables);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("the run stopped after"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Связь с контроллером потеряна."), std::string::npos) << r.err;
    const Bytes part = ReadBack(output);
    EXPECT_GT(part.size(), 0u) << "the tracks read before are kept";
    EXPECT_LT(part.size(), source_.size());
    EXPECT_EQ(part.size() % kTrdTrackSize, 0u);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), source_.begin()));
    EXPECT_EQ(r.err.find("usbemu:"), std::string::npos) << r.err;
    if (const char* timedOut = GetParam().timedOut) {
        const std::vector<std::string> lines = LogLines(timedOut);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("-> -7 0") != std::string::npos;  // LIBUSB_ERROR_TIMEOUT
        })) << timedOut;
    } else {
        EXPECT_EQ(LogLines("unplug MRVEMU01").size(), 1u);
    }
}

// Each exchange is one write and one read: the 150th transfer is a read, the 151st a write.
INSTANTIATE_TEST_SUITE_P(
    Faults, UsbReadStops,
    ::testing::Values(StopCase{"Unplugged", {{"MORVANE_EMU_UNPLUG_AFTER", "150"}}, nullptr},
                      StopCase{"WriteTimesOut", {{"MORVANE_EMU_TIMEOUT_AT", "151"}}, "bulk-out"},
                      StopCase{"ReadTimesOut", {{"MORVANE_EMU_TIMEOUT_AT", "150"}}, "bulk-in"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(UsbCli, ReadTakesTheControllerNotTheOtherChip) {
    const std::string image = MakeTrd(2);
    const ToolRun r = Tool({"read", "--mode", "scan-sectors", "--tracks", "2", Path("two.trd")},
                           {{"MORVANE_EMU_IMAGE", image}, {"MORVANE_EMU_OTHER_DEVICE", "1"}});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadBack(Path("two.trd")) == source_);
    EXPECT_TRUE(LogLines("claim MRVEMU02").empty());
    EXPECT_EQ(LogLines("claim MRVEMU01").size(), 1u);
}

TEST_F(UsbCli, ReadWithoutTheControllerFails) {
    const ToolRun r = Tool({"read", Path("none.trd")}, {{"MORVANE_EMU_ABSENT", "1"}});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot be opened"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("none.trd")));
}

// --- morvane-img devices.

struct DevicesCase {
    const char* name;
    std::vector<std::string> args;
    Variables variables;
    int status;
    const char* out;
    std::vector<const char*> errHas;
};

class UsbDevices : public UsbCli, public ::testing::WithParamInterface<DevicesCase> {};

TEST_P(UsbDevices, ListsOrSaysWhyNot) {
    const DevicesCase& c = GetParam();
    std::vector<std::string> args{"devices"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun r = Tool(args, c.variables);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, c.out);
    for (const char* part : c.errHas)
        EXPECT_NE(r.err.find(part), std::string::npos) << part << " in: " << r.err;
    if (c.errHas.empty()) {
        EXPECT_EQ(r.err, "");
    }
    EXPECT_TRUE(LogLines("claim").empty()) << "listing opens no device for use";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsbDevices,
    ::testing::Values(
        DevicesCase{"Controller", {}, {}, 0, "1\tMRVEMU01\tUSB <-> Parallel\tcontroller\n", {}},
        DevicesCase{"TwoChips",
                    {},
                    {{"MORVANE_EMU_OTHER_DEVICE", "1"}},
                    0,
                    "1\tMRVEMU02\tFT232R USB UART\tother\n"
                    "2\tMRVEMU01\tUSB <-> Parallel\tcontroller\n",
                    {}},
        DevicesCase{"OnlyAnotherChip",
                    {},
                    {{"MORVANE_EMU_ABSENT", "1"}, {"MORVANE_EMU_OTHER_DEVICE", "Dual RS232"}},
                    0,
                    "1\tMRVEMU02\tDual RS232\tother\n",
                    {"none of them is the controller"}},
        DevicesCase{
            "NoDevice", {}, {{"MORVANE_EMU_ABSENT", "1"}}, 1, "", {"no FTDI device is attached"}},
        DevicesCase{"NoPermission",
                    {},
                    {{"MORVANE_EMU_NO_ACCESS", "1"}},
                    1,
                    "1\tError - 3\tError - 3\tunknown\n",
                    {"no permission", "99-morvane-ftdi.rules", "plugdev"}},
        DevicesCase{"WrongUsage", {"extra"}, {}, 2, "", {"devices takes no arguments"}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace morvane
