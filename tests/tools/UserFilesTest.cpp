// What morvane-img does to the files on the user's disk beyond its own outputs: paths the
// file system refuses, outputs that are inputs, images it may not replace, two edits at
// once, a file made while another is created, and saves cut short by a signal or a limit.
#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MorvaneImg.h"
#include "MorvaneImgFixture.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

class UserFilesTest : public test::MorvaneImgFixture {
  protected:
    void SetUp() override {
        Write(Path("f.bin"), Bytes(300, 0x11));
        Write(Path("g.bin"), Bytes(200, 0x22));
        ASSERT_EQ(Run({"new", "trdos", Path("a.trd")}), kExitOk) << err.str();
        ASSERT_EQ(Run({"add", Path("a.trd"), Path("f.bin")}), kExitOk) << err.str();
        ASSERT_EQ(Run({"new", "trdos", Path("b.trd")}), kExitOk) << err.str();
        ASSERT_EQ(Run({"add", Path("b.trd"), Path("g.bin")}), kExitOk) << err.str();
        ASSERT_EQ(Run({"new", "cpm", Path("c.udi")}), kExitOk) << err.str();
        ASSERT_EQ(Run({"cpm-put", Path("c.udi"), Path("f.bin")}), kExitOk) << err.str();
    }
    // Runs args and expects a failure that names reason, with a.trd and c.udi left alone.
    void ExpectRefused(const Args& args, const std::string& reason) {
        const Bytes trd = Read(Path("a.trd")), cpm = Read(Path("c.udi"));
        EXPECT_EQ(Run(args), kExitFailure) << args[0] << " " << args.back() << ": " << err.str();
        EXPECT_NE(err.str().find(reason), std::string::npos) << args[0] << ": " << err.str();
        EXPECT_EQ(Read(Path("a.trd")), trd) << args[0];
        EXPECT_EQ(Read(Path("c.udi")), cpm) << args[0];
        EXPECT_TRUE(TemporaryFiles().empty()) << args[0];
    }
};

// Outputs the file system refuses, and outputs that are the input (by name, symbolic or
// hard link), are failures that name the reason.
TEST_F(UserFilesTest, RefusedOutputsAreFailuresWithTheirReason) {
    fs::create_symlink("loop", Path("loop"));
    fs::create_symlink("loop.trd", Path("loop.trd"));
    fs::create_symlink("a.trd", Path("same.trd"));
    const std::string a = Path("a.trd"), c = Path("c.udi"), loop = Path("loop");
    fs::create_hard_link(a, Path("hard.trd"));
    const std::string longName = Path(std::string(300, 'n') + ".trd");
    const std::string tooMany = "Too many levels of symbolic links", tooLong = "File name too long";
    const std::string input = " is the input ";
    const std::pair<Args, std::string> cases[] = {
        {{"new", "trdos", Path("loop.trd")}, tooMany},
        {{"new", "trdos", longName}, tooLong},
        {{"new", "trdos", Path("no/x.trd")}, "No such file or directory"},
        {{"export-scl", a, loop}, tooMany},
        {{"export-tap", "--force", a, longName}, tooLong},
        {{"export-hob", a, loop}, tooMany},
        {{"export-bin", a, longName}, tooLong},
        {{"cpm-get", c, "F.BIN", loop}, tooMany},
        {{"cpm-get", c, "--all", loop}, tooMany},
        {{"convert", a, Path("loop.trd")}, tooMany},
        {{"add", Path("loop.trd"), Path("f.bin")}, tooMany},
        {{"convert", a, a}, input},
        {{"convert", a, Path("same.trd")}, input},
        {{"convert", a, Path("hard.trd")}, input},
        {{"export-tap", "--force", a, a}, input},
        {{"export-scl", "--force", a, Path("same.trd")}, input},
        {{"merge", "-o", a, Path("b.trd"), a}, input},
        {{"cpm-get", "--force", c, "F.BIN", c}, input},
        {{"copy", a, Path("same.trd")}, input},
        {{"write", a, "--virtual-out", a}, input},
    };
    for (const auto& [args, reason] : cases)
        ExpectRefused(args, reason);
}

// Every verb that writes an image back keeps its mode and owner, and refuses a read-only
// image (root included) and one with another name.
TEST_F(UserFilesTest, EditsKeepModeAndOwnerAndRefuseWhatTheyMayNotReplace) {
    const Args edits[] = {
        {"add", "IMAGE", Path("g.bin")},  {"delete", "IMAGE", "f"},
        {"rename", "IMAGE", "f", "h"},    {"compact", "IMAGE"},
        {"copy", Path("b.trd"), "IMAGE"}, {"cpm-put", "IMAGE", Path("g.bin")},
    };
    for (Args args : edits) {
        const bool cpm = args[0] == "cpm-put";
        const std::string image = Path(args[0] + (cpm ? ".udi" : ".trd"));
        std::replace(args.begin(), args.end(), std::string("IMAGE"), image);
        fs::copy_file(Path(cpm ? "c.udi" : "a.trd"), image);

        ::chmod(image.c_str(), 0444);
        const Bytes before = Read(image);
        EXPECT_EQ(Run(args), kExitFailure) << args[0];
        EXPECT_NE(err.str().find("cannot change " + image + ": the file is read-only"),
                  std::string::npos)
            << err.str();
        ::chmod(image.c_str(), 0640);
        fs::create_hard_link(image, image + ".link");
        EXPECT_EQ(Run(args), kExitFailure) << args[0];
        EXPECT_NE(err.str().find("the file has 2 hard links"), std::string::npos) << err.str();
        EXPECT_EQ(Read(image), before) << args[0];
        fs::remove(image + ".link");

        const bool chowned = ::chown(image.c_str(), 4321, 4321) == 0;
        struct stat was {
        }, now{};
        ::stat(image.c_str(), &was);
        EXPECT_EQ(Run(args), kExitOk) << args[0] << ": " << err.str();
        ::stat(image.c_str(), &now);
        EXPECT_NE(now.st_ino, was.st_ino) << args[0] << ": a new file in the image's place";
        EXPECT_EQ(now.st_mode & 07777, 0640u) << args[0];
        EXPECT_EQ(now.st_uid, was.st_uid) << args[0] << ", chowned: " << chowned;
        EXPECT_EQ(now.st_gid, was.st_gid) << args[0];
    }
}

// While another program holds the image's lock, an edit waits; it goes on when the lock
// is let go, and gives up with the reason when it is not.
TEST_F(UserFilesTest, AnEditWaitsForTheImageLock) {
    const std::string image = Path("a.trd");
    const int holder = ::open(image.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const Bytes before = Read(image);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"add", image, Path("g.bin")}), kExitFailure);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(err.str(), "morvane-img: " + image +
                             ": the image is in use by another program; try again "
                             "when it is done\n");
    EXPECT_EQ(Read(image), before);

    std::thread release([holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::close(holder);
    });
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"add", image, Path("g.bin")}), kExitOk) << err.str();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    release.join();
}

// Edits of one image by programs started at once: none is lost.
TEST_F(UserFilesTest, EditsAtOnceAreAllKept) {
    constexpr int kEdits = 4;
    std::vector<std::unique_ptr<test::ChildProcess>> children;
    for (int i = 0; i < kEdits; ++i) {
        const std::string file = Path("p" + std::to_string(i) + ".bin");
        Write(file, Bytes(100, static_cast<std::uint8_t>(i)));
        children.push_back(RunInChild({"add", Path("b.trd"), file}));
    }
    for (auto& child : children) {
        const int status = child->Wait();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitOk) << child->Said();
    }
    ASSERT_EQ(Run({"cat", Path("b.trd")}), kExitOk);
    for (int i = 0; i < kEdits; ++i)
        EXPECT_NE(out.str().find("\np" + std::to_string(i) + " "), std::string::npos) << out.str();
}

// Two programs that create one file at the same moment: one of them makes it, the other
// says it exists.
TEST_F(UserFilesTest, NewNeverReplacesAFileMadeAtTheSameMoment) {
    for (int round = 0; round < 8; ++round) {
        const std::string target = Path("race" + std::to_string(round) + ".trd");
        const auto first = RunInChild({"new", "trdos", target});
        const auto second = RunInChild({"new", "trdos", target});
        const int one = first->Wait(), two = second->Wait();
        ASSERT_TRUE(WIFEXITED(one) && WIFEXITED(two));
        EXPECT_EQ(WEXITSTATUS(one) + WEXITSTATUS(two), kExitFailure)
            << round << ": " << first->Said() << second->Said();
        EXPECT_NE((first->Said() + second->Said()).find("exists"), std::string::npos);
    }
    EXPECT_TRUE(TemporaryFiles().empty());
}

// A save stopped by a signal in the middle of its write (where a file size limit raises
// it) leaves no temporary file and the image as it was; the size limit alone is a failure
// with its reason.
TEST_F(UserFilesTest, InterruptedSavesLeaveNoTemporaryFile) {
    const std::string a = Path("a.trd");
    const Args saves[] = {
        {"convert", a, Path("out.udi")},
        {"merge", "-o", Path("out.trd"), a, Path("b.trd")},
        {"add", a, Path("g.bin")},
        {"delete", a, "f"},
    };
    const Bytes before = Read(a);
    for (const Args& args : saves) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
            const auto child =
                RunInChild(args, [signal] { test::LimitFileSize(64 * 1024, signal); });
            const int status = child->Wait();
            if (signal == SIGXFSZ) {
                ASSERT_TRUE(WIFEXITED(status)) << args[0] << " " << status;
                EXPECT_EQ(WEXITSTATUS(status), kExitFailure) << args[0];
                EXPECT_NE(child->Said().find(": File too large\n"), std::string::npos)
                    << args[0] << ": " << child->Said();
            } else {
                ASSERT_TRUE(WIFSIGNALED(status)) << args[0] << " " << status;
                EXPECT_EQ(WTERMSIG(status), signal) << args[0];
            }
            EXPECT_EQ(TemporaryFiles(), std::vector<std::string>{}) << args[0] << " " << signal;
            EXPECT_EQ(Read(a), before) << args[0];
            EXPECT_FALSE(fs::exists(Path("out.udi")) || fs::exists(Path("out.trd")));
        }
    }
}

// The longest names the folder takes are written, and edited in place.
TEST_F(UserFilesTest, ImagesWithTheLongestNamesAreSaved) {
    const std::string image = Path(std::string(251, 'i') + ".trd");
    ASSERT_EQ(Run({"new", "trdos", image}), kExitOk) << err.str();
    ASSERT_EQ(Run({"add", image, Path("f.bin")}), kExitOk) << err.str();
    ASSERT_EQ(Run({"convert", image, Path(std::string(251, 'u') + ".udi")}), kExitOk) << err.str();
    EXPECT_TRUE(TemporaryFiles().empty());
}

}  // namespace
}  // namespace morvane
