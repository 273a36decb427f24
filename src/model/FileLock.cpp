#include "model/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <thread>

namespace morvane {

namespace {

constexpr std::chrono::milliseconds kRetryPause{20};

// Whether fd still holds the file that path names: a save may have put another in its place.
bool StillNamed(int fd, const std::string& path) {
    struct stat held {
    }, named{};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

FileLockResult FileLock::Acquire(const std::string& path, std::chrono::milliseconds wait) {
    Release();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    FileDescriptor file;
    for (;;) {
        if (!file.Valid()) {
            // Read-only and non-blocking: the lock needs no more, and a FIFO is not waited on.
            file.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
            if (!file.Valid()) return FileLockResult::NoLock;
        }
        if (::flock(file.Get(), LOCK_EX | LOCK_NB) == 0) {
            if (StillNamed(file.Get(), path)) {
                file_.Reset(file.Release());
                return FileLockResult::Locked;
            }
            file.Close();  // the file was replaced while this one waited: lock the new one
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return FileLockResult::NoLock;
        if (std::chrono::steady_clock::now() >= deadline) return FileLockResult::Busy;
        std::this_thread::sleep_for(kRetryPause);
    }
}

std::string FileInUseText(const std::string& path) {
    return path + ": the image is in use by another program; try again when it is done";
}

}  // namespace morvane
