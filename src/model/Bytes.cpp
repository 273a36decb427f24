#include "model/Bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace morvane {

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    bool Close() {
        if (fd_ < 0) return true;
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

  private:
    int fd_;
};

}  // namespace

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

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    if (target.filename().empty()) return false;
    fs::path temp = target;
    temp += ".tmp~";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    return true;
}

}  // namespace morvane
