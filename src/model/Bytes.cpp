#include "model/Bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "model/FileDescriptor.h"

namespace morvane {

bool ReadWholeFile(const std::string& path, Bytes& out) {
    // Non-blocking, so that a FIFO is refused rather than waited on.
    FileDescriptor in(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!in.Valid()) return false;
    struct stat info {};
    if (::fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > kMaxWholeFileSize)
        return false;
    out.assign(static_cast<std::size_t>(info.st_size), 0);
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(in.Get(), out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;  // the file shrank since it was measured
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
}

}  // namespace morvane
