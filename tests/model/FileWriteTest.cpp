#include "model/FileWrite.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>

#include "model/Bytes.h"
#include "model/FileLock.h"
#include "support/TempFolder.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class FileWriteTest : public ::testing::Test {
  protected:
    std::string At(const std::string& name) const { return folder.Path(name); }
    Bytes Contents(const std::string& name) const {
        Bytes bytes;
        EXPECT_TRUE(ReadWholeFile(At(name), bytes)) << name;
        return bytes;
    }
    const test::TempFolder folder{"morvane-file-write"};
};

// A refused write says why, leaves no temporary file and leaves the old file as it was.
// (What the verbs meet, read-only and linked files, loops of links, long names, are in the
// tests of morvane-img.)
TEST_F(FileWriteTest, RefusedWritesSayWhyAndChangeNothing) {
    ASSERT_TRUE(WriteFileAtomically(At("old.trd"), Bytes{1}));
    fs::create_directory(At("folder.trd"));
    ASSERT_EQ(::mkfifo(At("fifo.trd").c_str(), 0600), 0);
    const struct {
        std::string path;
        FileWriteOptions options;
        int error;
        std::string reason;
    } cases[] = {
        {At("old.trd"), {.replace = false}, EEXIST, "File exists"},
        {At("folder.trd"), {}, EISDIR, "Is a directory"},
        {At("fifo.trd"), {}, EINVAL, "not a regular file"},
        {folder.Dir().string() + "/", {}, EISDIR, "Is a directory"},
    };
    for (const auto& c : cases) {
        const FileWriteResult r = WriteFileAtomically(c.path, Bytes{2, 2}, c.options);
        EXPECT_FALSE(r) << c.path;
        EXPECT_EQ(r.error, c.error) << c.path;
        EXPECT_EQ(r.reason, c.reason) << c.path;
    }
    EXPECT_TRUE(folder.TemporaryFiles().empty());
    EXPECT_EQ(Contents("old.trd"), Bytes{1});
}

// The temporary name fits the folder's longest name: the file's own name is cut short.
TEST(TemporaryFileName, CutsTheNameAtACharacter) {
    const struct {
        std::string name;
        std::size_t max;
        std::string temporary;
    } names[] = {
        {"disk.trd", 255, "disk.trd.x.tmp~"},
        {"abcdef", 10, "abc.x.tmp~"},
        // Not inside a two-byte character: "\xd0\x96" stays whole or goes.
        {"ab\xd0\x96z", 10, "ab.x.tmp~"},
        {"ab\xd0\x96z", 11, "ab\xd0\x96.x.tmp~"},
    };
    for (const auto& n : names)
        EXPECT_EQ(TemporaryFileName(n.name, ".x.tmp~", n.max), n.temporary) << n.name;
}

// A second lock waits, gives up when the first is held for the whole wait, and follows the
// name to the file a save put in the old one's place.
TEST_F(FileWriteTest, LockWaitsForTheHolderAndFollowsTheName) {
    const std::string path = At("image.trd");
    FileLock first, second;
    EXPECT_EQ(first.Acquire(path, std::chrono::milliseconds(0)), FileLockResult::NoLock);
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{1}));
    ASSERT_EQ(first.Acquire(path, std::chrono::milliseconds(0)), FileLockResult::Locked);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(second.Acquire(path, std::chrono::milliseconds(100)), FileLockResult::Busy);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{2}));  // a new file under the locked name
    EXPECT_EQ(second.Acquire(path, std::chrono::milliseconds(0)), FileLockResult::Locked);
    second.Release();
    first.Release();
    EXPECT_EQ(second.Acquire(path, std::chrono::milliseconds(0)), FileLockResult::Locked);
}

}  // namespace
}  // namespace morvane
