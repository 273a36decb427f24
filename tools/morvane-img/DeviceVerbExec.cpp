// read, write, format and devices in morvane-img: the controller link needs QtCore, which
// costs every start-up several milliseconds of loading. These verbs therefore run in the
// companion program morvane-img-device, started in this process's place with the same
// arguments, standard streams and exit status; the image verbs never load Qt.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "MorvaneImg.h"
#include "VerbDevices.h"
#include "VerbRead.h"
#include "WriteVerbs.h"

namespace morvane {

namespace {

// The companion lies at a fixed place relative to this program, in the build tree as in
// the install tree (MORVANE_IMG_DEVICE_PATH is relative to the folder of morvane-img).
std::filesystem::path DeviceProgramPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return (self.parent_path() / MORVANE_IMG_DEVICE_PATH).lexically_normal();
}

int RunInDeviceProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::filesystem::path program = DeviceProgramPath();
    if (program.empty()) {
        err << "morvane-img: cannot find its own folder to start morvane-img-device\n";
        return kExitFailure;
    }
    std::vector<char*> argv;
    std::string name = program.string();
    std::vector<std::string> copies(args);
    argv.push_back(name.data());
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // What this process has written so far must come out before the other program's output.
    out.flush();
    err.flush();
    std::fflush(nullptr);
    ::execv(name.c_str(), argv.data());
    err << "morvane-img: cannot start " << name << ": " << std::strerror(errno) << "\n";
    return kExitFailure;
}

}  // namespace

int RunRead(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunInDeviceProgram(args, out, err);
}

int RunWrite(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunInDeviceProgram(args, out, err);
}

int RunFormat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunInDeviceProgram(args, out, err);
}

int RunDevices(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunInDeviceProgram(args, out, err);
}

}  // namespace morvane
