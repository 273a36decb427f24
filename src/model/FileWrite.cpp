#include "model/FileWrite.h"

#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include "model/FileDescriptor.h"
#include "model/TemporaryFileGuard.h"

namespace morvane {

FileWriteResult FileWriteResult::Failure(int error, std::string reason) {
    if (reason.empty()) reason = std::generic_category().message(error);
    return {false, error, std::move(reason)};
}

namespace {

namespace fs = std::filesystem;

// The longest file name of the usual file systems, when the folder does not say.
constexpr long kNameMax = 255;

FileWriteResult ErrnoFailure() {
    return FileWriteResult::Failure(errno);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

// Follows symbolic links in the last part of path, so that a write replaces the file a
// link points to and keeps the link. A path that names nothing yet is a new file.
FileWriteResult FollowLinks(fs::path& path) {
    constexpr int kMaxLinks = 40;  // as the kernel's own limit
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0)
            return errno == ENOENT ? FileWriteResult{} : ErrnoFailure();
        if (!S_ISLNK(info.st_mode)) return {};
        std::error_code ec;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) return FileWriteResult::Failure(ec.value());
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return FileWriteResult::Failure(ELOOP);
}

FileWriteResult CheckReplaceableFile(const char* path, const struct stat& info) {
    if (S_ISDIR(info.st_mode)) return FileWriteResult::Failure(EISDIR);
    if (!S_ISREG(info.st_mode)) return FileWriteResult::Failure(EINVAL, "not a regular file");
    // Root may write any file, so the mode bits decide for it what access() cannot.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return FileWriteResult::Failure(EACCES, "the file is read-only");
    if (::access(path, W_OK) != 0) return ErrnoFailure();
    // A new file put in its place would take this name alone: the other names would keep
    // the old contents.
    if (info.st_nlink > 1)
        return FileWriteResult::Failure(
            EMLINK, "the file has " + std::to_string(info.st_nlink) +
                        " hard links, which a new file in its place would part; work on a copy");
    return {};
}

// Creates a new file beside target under a name no other file has and watches it; -1 (and
// errno) on failure.
int CreateTemporaryBeside(const fs::path& target, fs::path& temp, TemporaryFileGuard& guard) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
    const fs::path folder = target.parent_path();
    const long folderMax = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    const auto maxLength = static_cast<std::size_t>(folderMax > 0 ? folderMax : kNameMax);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix = ".";
        for (int i = 0; i < 8; ++i)
            suffix += kLetters[letter(random)];
        suffix += ".tmp~";
        temp = folder / TemporaryFileName(target.filename().native(), suffix, maxLength);
        const TemporaryFileGuard::SignalHold hold;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            guard.Watch(temp.native());
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// The new file takes the old one's owner (as far as this user may give it) and mode.
void TakeOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // The file stays this user's own.
    }
    ::fchmod(fd, old.st_mode & 07777);
}

bool RenameCannotRefuse(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool HasNoLinks(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

// Gives temp the target's name; without replace, never over an existing file (EEXIST).
// 0 or the errno of the failure.
int Place(const fs::path& temp, const fs::path& target, bool replace) {
    if (replace) return ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (!RenameCannotRefuse(errno)) return errno;
    // A second name for the file, which link() never gives over an existing one.
    if (::link(temp.c_str(), target.c_str()) == 0) {
        ::unlink(temp.c_str());
        return 0;
    }
    if (!HasNoLinks(errno)) return errno;
    // A file system without links (FAT): the name is taken by an exclusive create, and the
    // file renamed over the place holder it made.
    FileDescriptor holder(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!holder.Valid()) return errno;
    holder.Close();
    if (::rename(temp.c_str(), target.c_str()) == 0) return 0;
    const int error = errno;
    ::unlink(target.c_str());
    return error;
}

// Makes a rename in folder survive a crash; a failure here loses nothing already written.
void SyncFolder(const fs::path& folder) {
    const FileDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) ::fsync(dir.Get());
}

}  // namespace

FileWriteResult WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                    FileWriteOptions options) {
    if (fs::path(path).filename().empty()) return FileWriteResult::Failure(EISDIR);
    fs::path target = path;
    if (FileWriteResult followed = FollowLinks(target); !followed) return followed;
    struct stat old {};
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return ErrnoFailure();
    if (exists && !options.replace) return FileWriteResult::Failure(EEXIST);
    if (exists) {
        if (FileWriteResult replaceable = CheckReplaceableFile(target.c_str(), old); !replaceable)
            return replaceable;
    }

    TemporaryFileGuard guard;
    fs::path temp;
    FileDescriptor out(CreateTemporaryBeside(target, temp, guard));
    if (!out.Valid()) return ErrnoFailure();
    if (exists) TakeOwnerAndMode(out.Get(), old);
    // The data reach the disk before the rename, so a crash leaves the old file or the new
    // one, never an empty one.
    int error = 0;
    if (!WriteAll(out.Get(), bytes) || ::fsync(out.Get()) != 0) error = errno;
    if (!out.Close() && error == 0) error = errno;
    {
        const TemporaryFileGuard::SignalHold hold;
        if (error == 0) error = Place(temp, target, options.replace);
        if (error != 0) ::unlink(temp.c_str());
        guard.Forget();
    }
    if (error != 0) return FileWriteResult::Failure(error);
    SyncFolder(target.parent_path());
    return {};
}

FileWriteResult CheckReplaceable(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return ErrnoFailure();
    return CheckReplaceableFile(path.c_str(), info);
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string TemporaryFileName(std::string_view fileName, std::string_view suffix,
                              std::size_t maxLength) {
    std::size_t keep = fileName.size();
    if (keep + suffix.size() > maxLength)
        keep = maxLength > suffix.size() ? maxLength - suffix.size() : 0;
    // Not inside a UTF-8 character: its continuation bytes are 10xxxxxx.
    while (keep > 0 && keep < fileName.size() &&
           (static_cast<unsigned char>(fileName[keep]) & 0xC0) == 0x80)
        --keep;
    std::string name(fileName.substr(0, keep));
    name += suffix;
    return name;
}

}  // namespace morvane
