// morvane-img read through the emulated controller: options, exit codes, faults, and the
// TR-DOS images of the corpus read back byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "MorvaneImgFixture.h"
#include "filesystems/TrDosCatalogue.h"
#include "formats/Trd.h"
#include "imagefiles/ImageFiles.h"
#include "model/Bytes.h"
#include "operations/OperationSession.h"
#include "support/CaseName.h"
#include "support/Corpus.h"
#include "support/Patterns.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

class ReadVerbTest : public test::MorvaneImgFixture {
  protected:
    // `morvane-img read args...`.
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "read");
        return MorvaneImgFixture::Run(args);
    }

    // Four TR-DOS tracks with distinct sector contents.
    std::string SourceTrd() {
        source = test::PatternBytes(4 * kTrdTrackSize, 13, 1);
        const std::string path = Path("source.trd");
        EXPECT_TRUE(WriteFileAtomically(path, source));
        return path;
    }

    Bytes source;
};

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
};

class ReadUsage : public ReadVerbTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(ReadUsage, WrongUsageExitsTwoWithoutTouchingADevice) {
    EXPECT_EQ(Run(GetParam().args), 2);
    EXPECT_NE(err.str().find("morvane-img read"), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadUsage,
    ::testing::Values(UsageCase{"NoOutput", {"--virtual", "a.trd"}},
                      UsageCase{"TwoOutputs", {"a.trd", "b.trd"}},
                      UsageCase{"UnknownFormat", {"a.xyz"}},
                      UsageCase{"BadMode", {"--mode", "slow", "a.trd"}},
                      UsageCase{"BadDrive", {"--drive", "C", "a.trd"}},
                      UsageCase{"TracksOutOfRange", {"--tracks", "167", "a.trd"}},
                      UsageCase{"FaultWithoutVirtual", {"--fault", "crc:1:1", "a.trd"}},
                      UsageCase{"RealTimeWithoutVirtual", {"--realtime", "a.trd"}},
                      UsageCase{"BadFault", {"--virtual", "x.trd", "--fault", "crc:1", "a.trd"}},
                      UsageCase{"UnknownOption", {"--fast", "a.trd"}},
                      UsageCase{"WeakWithoutProbability",
                                {"--virtual", "x.trd", "--fault", "weak:1:2:0", "a.trd"}},
                      UsageCase{"PassesOutOfRange", {"--passes", "0", "a.trd"}},
                      UsageCase{"SeedWithoutVirtual", {"--seed", "2", "a.trd"}},
                      UsageCase{"ResumeOfUnknownFormat", {"--resume", "a.xyz", "a.trd"}}),
    test::CaseName());

struct RunCase {
    const char* name;
    std::vector<std::string> options;
    int exit;
    const char* summary;
    const char* output = "out.trd";
    const char* listed = "";  // the sectors named after the summary
};

class ReadRuns : public ReadVerbTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(ReadRuns, ExitStatusAndSummaryFollowTheFaults) {
    std::vector<std::string> args = {"--virtual", SourceTrd(), "--tracks", "4"};
    args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
    const std::string output = Path(GetParam().output);
    args.push_back(output);
    EXPECT_EQ(Run(args), GetParam().exit) << err.str();
    EXPECT_EQ(out.str(),
              std::string(GetParam().summary) + " -> " + output + "\n" + GetParam().listed);
    if (GetParam().exit == 0) {
        EXPECT_EQ(Read(output), source);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadRuns,
    ::testing::Values(
        RunCase{"Clean", {}, 0, "read 4 tracks, 64 sectors, 0 failed"},
        RunCase{"CrcError",
                {"--fault", "crc:2:5"},
                3,
                "read 4 tracks, 64 sectors, 1 failed",
                "out.trd",
                "failed track 2 sector 5\n"},
        RunCase{"IdCrcAndMissing",
                {"--fault", "idcrc:1:3", "--fault", "missing:3:9", "--mode", "full"},
                3,
                "read 4 tracks, 63 sectors, 1 failed",
                "out.udf",
                "failed track 1 sector 3\n"},
        RunCase{"MissingSectorInTrd",
                {"--fault", "missing:3:9", "--fault", "crc:1:2"},
                3,
                "read 4 tracks, 63 sectors, 1 failed, 1 missing",
                "out.trd",
                "failed track 1 sector 2\nmissing track 3 sector 9\n"},
        RunCase{"WeakSectorReread",
                {"--fault", "crc:2:5:2", "--reread", "2"},
                0,
                "read 4 tracks, 64 sectors, 0 failed"},
        RunCase{"RawWithUnstableBytes",
                {"--mode", "raw", "--fault", "unstable:1:0:400"},
                0,
                "read 4 tracks, 64 sectors, 0 failed"},
        RunCase{"FastWithCrcError",
                {"--mode", "fast", "--fault", "crc:2:5"},
                3,
                "read 4 tracks, 64 sectors, 1 failed",
                "out.trd",
                "failed track 2 sector 5\n"},
        RunCase{"FastWeakSectorReread",
                {"--mode", "fast", "--fault", "crc:3:16:1", "--reread", "1"},
                0,
                "read 4 tracks, 64 sectors, 0 failed"},
        RunCase{"EmptyDrive", {"--drive", "B"}, 1, "read 0 tracks, 0 sectors, 0 failed"}),
    test::CaseName());

TEST_F(ReadVerbTest, StoppedRunStillWritesWhatWasRead) {
    const std::string output = Path("part.udf");
    // The run's status query and first seek, then three commands per track: the device
    // is gone after track 1's sector list was sent.
    EXPECT_EQ(Run({"--virtual", SourceTrd(), "--fault", "vanish-after:8", output}), 1);
    EXPECT_NE(err.str().find("the run stopped after 1 tracks"), std::string::npos) << err.str();
    auto disk = std::make_unique<DiskImage>();
    ASSERT_TRUE(LoadImageFile(output, *disk));
    EXPECT_EQ(disk->GetTrack(0)->Slots[15].DataGood, kDataGood);
    EXPECT_EQ(disk->GetTrack(0)->Slots[15].Data[0], source[15 * 256]);
}

// A run whose link is lost between a track's scan and its sector reads (track 2, the
// commands: status, seek, then seek, scan and sector list per track), or after track 3's
// scan. The sectors found but never read are missing, not failed: a UDI keeps them as IDs
// without data. An SCL takes the files read whole and names the others; the read is said
// to be saved only when nothing read was left out.
struct StoppedCase {
    const char* name;
    const char* output;
    int vanishAfter;
    const char* summary;
    int missingTrack;  // its 16 sectors are listed as missing
    const char* leftOut;
    bool saysSaved;
    std::vector<std::string> files = {};  // of an SCL output
};

class ReadStopped : public ReadVerbTest, public ::testing::WithParamInterface<StoppedCase> {};

TEST_P(ReadStopped, SavesWhatWasReadAndCallsTheUnreadMissing) {
    const StoppedCase& c = GetParam();
    auto disk = test::NewTrDosDisk();
    test::AddTrDosFile(*disk, "one", 'C', 2, 1);    // track 1
    test::AddTrDosFile(*disk, "two", 'C', 16, 2);   // tracks 1 and 2
    test::AddTrDosFile(*disk, "three", 'C', 3, 3);  // track 2
    const std::string input = Path("files.udf"), output = Path(c.output);
    ASSERT_TRUE(SaveImageFile(input, *disk));
    EXPECT_EQ(Run({"--virtual", input, "--tracks", "6", "--fault",
                   "vanish-after:" + std::to_string(c.vanishAfter), output}),
              1);
    std::string listed;
    for (int r = 1; r <= 16; ++r)
        listed += "missing track " + std::to_string(c.missingTrack) + " sector " +
                  std::to_string(r) + "\n";
    EXPECT_EQ(out.str(), std::string(c.summary) + " -> " + output + "\n" + listed + c.leftOut);
    EXPECT_EQ(err.str().find(kTextReadKept) != std::string::npos, c.saysSaved) << err.str();
    const auto back = std::make_unique<DiskImage>();
    ASSERT_TRUE(LoadImageFile(output, *back)) << back->LastError;
    TrDosCatalogue catalogue;
    ASSERT_TRUE(ReadTrDosCatalogue(*back, catalogue));
    if (!c.files.empty()) {
        std::vector<std::string> names;
        for (const TrDosEntry& e : catalogue.entries)
            names.push_back(TrimmedZxName(e.name));
        EXPECT_EQ(names, c.files);
        return;
    }
    const Track& stopped = *back->GetTrack(static_cast<std::uint8_t>(c.missingTrack));
    EXPECT_EQ(stopped.SectorCount, 16);
    EXPECT_EQ(stopped.Slots[0].Sector, 1);
    EXPECT_EQ(stopped.Slots[0].DataLength, 0) << "an ID without data, not 256 zero bytes";
    EXPECT_EQ(back->GetTrack(1)->Slots[0].DataGood, kDataGood);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadStopped,
    ::testing::Values(
        StoppedCase{"Udi", "out.udi", 11, "read 3 tracks, 48 sectors, 0 failed, 16 missing", 2,
                    "", true},
        StoppedCase{"SclLeavesOutFilesNotReadWhole", "out.scl", 11,
                    "read 3 tracks, 48 sectors, 0 failed, 16 missing", 2,
                    "left out two.C: 2 of 16 sectors not read\n"
                    "left out three.C: 3 of 3 sectors not read\n",
                    false, {"one"}},
        StoppedCase{"SclOfEveryFile", "out.scl", 14,
                    "read 4 tracks, 64 sectors, 0 failed, 16 missing", 3, "", true,
                    {"one", "two", "three"}}),
    test::CaseName());

TEST_F(ReadVerbTest, LinkLostDuringTheRereadIsAFailure) {
    // 14 commands read the four tracks; the device is gone during the re-read's first tries.
    const std::string output = Path("part.trd");
    EXPECT_EQ(Run({"--virtual", SourceTrd(), "--tracks", "4", "--fault", "crc:2:5", "--reread",
                   "9", "--fault", "vanish-after:17", output}),
              1);
    EXPECT_NE(err.str().find("the re-read stopped: "), std::string::npos) << err.str();
    EXPECT_EQ(Read(output).size(), source.size());
}

TEST_F(ReadVerbTest, MissingSectorLeavesZerosInTheTrd) {
    const std::string output = Path("gap.trd");
    EXPECT_EQ(Run({"--virtual", SourceTrd(), "--tracks", "4", "--fault", "missing:3:9", output}), 3);
    Bytes expected = source;
    const auto gap = expected.begin() + 3 * kTrdTrackSize + 8 * kTrdSectorSize;
    std::fill(gap, gap + kTrdSectorSize, std::uint8_t{0});
    EXPECT_TRUE(Read(output) == expected);
}

// A weak sector read bad, then the resumed read: only its track is read again, the passes
// recover it and the report says whether another pass would help.
TEST_F(ReadVerbTest, ResumeReadsOnlyTheBadTracksAndRecoversWeakSectors) {
    const std::string input = SourceTrd(), first = Path("first.udf"), second = Path("second.trd");
    EXPECT_EQ(Run({"--virtual", input, "--tracks", "4", "--fault", "weak:2:5:0.02", first}), 3);
    EXPECT_EQ(Run({"--virtual", input, "--fault", "weak:2:5:0.02", "--seed", "2", "--resume", first,
                   "--passes", "3", second}),
              0)
        << err.str();
    EXPECT_NE(out.str().find("pass 1: 1 tracks read"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find(" recovered since the last pass\n"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("track 2 read (1/1)"), std::string::npos) << err.str();
    EXPECT_TRUE(Read(second) == source);
}

// Ctrl+C or SIGTERM while a sector is re-read over and over: the program stops at the next
// sector, saves what it read and says why.
class ReadSignal : public ReadVerbTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReadSignal, StopsTheRereadAndStillSavesTheImage) {
    const std::string input = SourceTrd(), output = Path("signal.trd");
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(fds[1], STDERR_FILENO);
        ::close(fds[0]);
        ::execl(MORVANE_IMG_PATH, "morvane-img", "read", "--virtual", input.c_str(), "--tracks",
                "2", "--fault", "crc:1:3", "--reread", "1000", "--realtime", output.c_str(),
                nullptr);
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string text;
    bool signalled = false;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
        // The last track is read: the re-read is next, each try a turn of the disk.
        if (!signalled && text.find("(2/2)") != std::string::npos) {
            ::kill(pid, GetParam());
            signalled = true;
        }
    }
    ::close(fds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << text;
    EXPECT_EQ(WEXITSTATUS(status), 1) << text;
    EXPECT_NE(text.find("the re-read stopped: cancelled"), std::string::npos) << text;
    EXPECT_EQ(Read(output).size(), 2 * kTrdTrackSize);
}

INSTANTIATE_TEST_SUITE_P(Signals, ReadSignal, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& param) { return param.param == SIGINT ? "Int" : "Term"; });

// What would stop the save stops the read before it starts: an output that is its input,
// or one that may not be replaced.
TEST_F(ReadVerbTest, AnOutputThatCannotTakeTheReadIsRefusedFirst) {
    const std::string input = SourceTrd(), previous = Path("previous.trd");
    const std::string readOnly = Path("read-only.trd");
    ASSERT_TRUE(WriteFileAtomically(previous, source));
    ASSERT_TRUE(WriteFileAtomically(readOnly, Bytes{1}));
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string another = "; write the output to another file\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--virtual", input, input}, input + " is the input " + input + another},
        {{"--virtual", input, "--resume", previous, previous},
         previous + " is the input " + previous + another},
        {{"--virtual", input, readOnly}, "cannot write " + readOnly + ": the file is read-only\n"},
    };
    for (const auto& [args, reason] : cases) {
        EXPECT_EQ(Run(args), 1) << reason;
        EXPECT_EQ(err.str(), "morvane-img: " + reason);
    }
    for (const std::string& path : {input, previous})
        EXPECT_EQ(Read(path), source);
    EXPECT_EQ(Read(readOnly), Bytes{1});
}

TEST_F(ReadVerbTest, RealTimeReportsTheDeviceTime) {
    EXPECT_EQ(Run({"--virtual", SourceTrd(), "--realtime", "--tracks", "1", Path("rt.trd")}), 0);
    EXPECT_NE(err.str().find("emulated device time"), std::string::npos) << err.str();
}

// --- The corpus: every TR-DOS image comes back byte for byte.

class CorpusRead : public ReadVerbTest,
                   public ::testing::WithParamInterface<std::tuple<std::string, std::string>> {};

TEST_P(CorpusRead, ReadBackEqualsTheImage) {
    const auto& [file, mode] = GetParam();
    const std::string path = test::CorpusPath("trd/" + file);
    const std::string output = Path("copy.trd");
    ASSERT_EQ(Run({"--virtual", path, "--mode", mode, output}), 0) << err.str();
    Bytes original;
    ASSERT_TRUE(ReadWholeFile(path, original));
    EXPECT_TRUE(Read(output) == original) << file << " " << mode;
}

INSTANTIATE_TEST_SUITE_P(Trd, CorpusRead,
                         ::testing::Combine(::testing::ValuesIn(test::CorpusFileNames("trd")),
                                            ::testing::Values("scan-sectors", "raw", "fast")),
                         [](const auto& param) {
                             return test::CaseNameOf(std::get<0>(param.param) + "_" +
                                                     std::get<1>(param.param));
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CorpusRead);

TEST(CorpusPresence, CorpusFolder) {
    if (test::CorpusFileNames("trd").empty())
        GTEST_SKIP() << "no corpus at " << MORVANE_CORPUS_DIR;
    SUCCEED();
}

}  // namespace
}  // namespace morvane
