// Two programs that change one image file at once must not both read it, change it and
// write it back: the second write would drop the first one's change. Whoever reads an image
// to write it back, and whoever saves over one, holds a FileLock on it for the time: an
// advisory lock (flock) on the file, which the other programs of this package honour. The
// lock follows the file's name: a save puts a new file in the image's place, and a waiting
// program then locks that one.
#pragma once

#include <chrono>
#include <string>

#include "model/FileDescriptor.h"

namespace morvane {

// How long an edit waits for another one to finish before it gives up.
inline constexpr std::chrono::milliseconds kImageLockWait{3000};

enum class FileLockResult {
    Locked,
    Busy,    // another program held the lock for the whole wait
    NoLock,  // no file of that name to lock, or a file system without locks: nothing held
};

class FileLock {
  public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() = default;  // the descriptor's close lets the lock go

    // Locks the file path names (links followed) for writing, waiting up to wait for
    // another holder to let it go. A lock held before is let go first.
    FileLockResult Acquire(const std::string& path, std::chrono::milliseconds wait);
    void Release() { file_.Close(); }
    bool Held() const { return file_.Valid(); }

  private:
    FileDescriptor file_;
};

// "PATH: the image is in use by another program; try again when it is done".
std::string FileInUseText(const std::string& path);

}  // namespace morvane
