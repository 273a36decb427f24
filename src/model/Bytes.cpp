#include "model/Bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
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

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

// The file a path names once symbolic links in its last part are followed, so that a
// write replaces the file the link points to and keeps the link.
std::filesystem::path FollowLinks(std::filesystem::path path) {
    namespace fs = std::filesystem;
    constexpr int kMaxLinks = 40;  // as the kernel's own limit
    for (int i = 0; i < kMaxLinks; ++i) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) return path;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// Creates a new file beside target under a name no other file has; -1 on failure.
int CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temp) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix = ".";
        for (int i = 0; i < 8; ++i)
            suffix += kLetters[letter(random)];
        temp = target;
        temp += suffix + ".tmp~";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Makes a rename in folder survive a crash; a failure here loses nothing already written.
void SyncFolder(const std::filesystem::path& folder) {
    const FileDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) ::fsync(dir.Get());
}

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
    if (fs::path(path).filename().empty()) return false;
    const fs::path target = FollowLinks(path);
    fs::path temp;
    FileDescriptor out(CreateTemporaryBeside(target, temp));
    if (!out.Valid()) return false;
    // The data reach the disk before the rename, so a crash leaves the old file or the new
    // one, never an empty one.
    const bool written = WriteAll(out.Get(), bytes) && ::fsync(out.Get()) == 0;
    std::error_code ec;
    if (!out.Close() || !written) {
        fs::remove(temp, ec);
        return false;
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    SyncFolder(target.parent_path());
    return true;
}

}  // namespace morvane
