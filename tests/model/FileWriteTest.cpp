#include "model/FileWrite.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

#include "model/Bytes.h"
#include "model/FileLock.h"
#include "support/ChildProcess.h"
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

// Every refused write says why, leaves no temporary file and leaves the old file as it was.
TEST_F(FileWriteTest, RefusedWritesSayWhyAndChangeNothing) {
    ASSERT_TRUE(WriteFileAtomically(At("old.trd"), Bytes{1}));
    ASSERT_TRUE(WriteFileAtomically(At("read-only.trd"), Bytes{1}));
    ::chmod(At("read-only.trd").c_str(), 0444);
    ASSERT_TRUE(WriteFileAtomically(At("linked.trd"), Bytes{1}));
    fs::create_hard_link(At("linked.trd"), At("second-name.trd"));
    fs::create_symlink("loop.trd", At("loop.trd"));
    fs::create_directory(At("folder.trd"));
    const struct {
        std::string path;
        FileWriteOptions options;
        int error;
        std::string reason;
    } cases[] = {
        {At("old.trd"), {.replace = false}, EEXIST, "File exists"},
        {At("read-only.trd"), {}, EACCES, "the file is read-only"},
        {At("linked.trd"), {}, EMLINK, "the file has 2 hard links"},
        {At("folder.trd"), {}, EISDIR, "Is a directory"},
        {At("loop.trd"), {}, ELOOP, "Too many levels of symbolic links"},
        {At(std::string(256, 'n')), {}, ENAMETOOLONG, "File name too long"},
        {At("missing/x.trd"), {}, ENOENT, "No such file or directory"},
    };
    for (const auto& c : cases) {
        const FileWriteResult r = WriteFileAtomically(c.path, Bytes{2, 2}, c.options);
        EXPECT_FALSE(r) << c.path;
        EXPECT_EQ(r.error, c.error) << c.path;
        EXPECT_TRUE(r.reason.starts_with(c.reason)) << c.path << ": " << r.reason;
    }
    EXPECT_TRUE(folder.TemporaryFiles().empty());
    for (const char* name : {"old.trd", "read-only.trd", "linked.trd", "second-name.trd"})
        EXPECT_EQ(Contents(name), Bytes{1}) << name;
}

TEST_F(FileWriteTest, ReplacingKeepsModeAndOwner) {
    const std::string path = At("private.trd");
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{1}));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    // Another owner where this user may give one (root); the same owner otherwise.
    const bool chowned = ::chown(path.c_str(), 1234, 1234) == 0;
    struct stat before {
    }, after{};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{2}));
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(after.st_uid, before.st_uid) << "chowned: " << chowned;
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(Contents("private.trd"), Bytes{2});
}

// The longest name a folder takes can still be written: the temporary name is cut short.
TEST_F(FileWriteTest, NamesUpToTheLongestAreWritten) {
    for (const std::size_t length : {100u, 240u, 255u}) {
        const std::string name = std::string(length - 4, 'l') + ".trd";
        EXPECT_TRUE(WriteFileAtomically(At(name), Bytes{3})) << length;
        EXPECT_TRUE(WriteFileAtomically(At(name), Bytes{4})) << length;
        EXPECT_EQ(Contents(name), Bytes{4}) << length;
    }
    EXPECT_TRUE(folder.TemporaryFiles().empty());
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

// A signal in the middle of a write ends the program, as it would have, but takes the
// temporary file with it; a file size limit makes the write fail with its reason. The
// limit stops the write at a known point, and raises the signal there.
class FileWriteSignal : public FileWriteTest, public ::testing::WithParamInterface<int> {};

TEST_P(FileWriteSignal, LeavesNoTemporaryFile) {
    const std::string path = At("big.udi");
    const int signal = GetParam();
    test::ChildProcess child([&](std::string& said) {
        test::LimitFileSize(4096, signal);
        const FileWriteResult r = WriteFileAtomically(path, Bytes(65536, 0xE5));
        said = r.reason;
        return r.error == EFBIG ? 0 : 1;
    });
    const int status = child.Wait();
    if (signal == SIGXFSZ) {
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0) << child.Said();
        EXPECT_EQ(child.Said(), "File too large");
    } else {
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), signal);
    }
    EXPECT_EQ(folder.TemporaryFiles(), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Signals, FileWriteSignal,
                         ::testing::Values(SIGXFSZ, SIGINT, SIGTERM, SIGHUP, SIGQUIT),
                         [](const auto& param) { return "Signal" + std::to_string(param.param); });

TEST_F(FileWriteTest, SameFileFollowsLinks) {
    ASSERT_TRUE(WriteFileAtomically(At("a.trd"), Bytes{1}));
    ASSERT_TRUE(WriteFileAtomically(At("b.trd"), Bytes{1}));
    fs::create_symlink("a.trd", At("soft.trd"));
    fs::create_hard_link(At("a.trd"), At("hard.trd"));
    const struct {
        std::string other;
        bool same;
    } cases[] = {{At("a.trd"), true},    {At("soft.trd"), true},
                 {At("hard.trd"), true}, {folder.Dir().string() + "/./a.trd", true},
                 {At("b.trd"), false},   {At("none.trd"), false}};
    for (const auto& c : cases)
        EXPECT_EQ(SameFile(At("a.trd"), c.other), c.same) << c.other;
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
