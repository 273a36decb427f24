// Writing a whole file so that the user's disk never holds half of it: the bytes go to a
// temporary file beside the target, reach the disk, and only then take the target's name.
// A failure or a signal removes the temporary file and leaves any old file as it was; a
// failure says why. Replacing an existing file keeps its mode and owner, and is refused for
// a file the user may not write and for one with more than one name (hard links).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace morvane {

// The outcome of a file write or of a check before one. Converts to bool, so a caller that
// only asks whether it worked reads as before.
struct FileWriteResult {
    bool ok = true;
    int error = 0;       // the errno of the failure
    std::string reason;  // why, in words ("No space left on device")

    operator bool() const { return ok; }  // NOLINT: the result is tested as a bool
    static FileWriteResult Failure(int error, std::string reason = {});
};

struct FileWriteOptions {
    // False: a file of that name is never replaced, not even one made while this one was
    // written; the write then fails with EEXIST.
    bool replace = true;
};

// Writes bytes to a new temporary file in the target's folder, flushes it to the disk and
// gives it the target's name. A target that is a symbolic link keeps the link: the file it
// points to is replaced. Refuses a target that is not a regular file and, when replacing,
// a file CheckReplaceable refuses.
FileWriteResult WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                    FileWriteOptions options = {});

// Whether a write may replace the file at path (links followed): a regular file that the
// user may write (access() says so and a write bit is set, which also holds for root) and
// that has no other name, which a new file put in its place would part from it. A failure
// with ENOENT when there is no file.
FileWriteResult CheckReplaceable(const std::string& path);

// Whether two paths name one file: the same text, or (links followed) the same device and
// inode. A path that names no file is no other path's file.
bool SameFile(const std::string& a, const std::string& b);

// The temporary file's name for a file named fileName: fileName, cut short (at a character
// boundary) where the whole would pass maxLength bytes, and then suffix.
std::string TemporaryFileName(std::string_view fileName, std::string_view suffix,
                              std::size_t maxLength);

}  // namespace morvane
