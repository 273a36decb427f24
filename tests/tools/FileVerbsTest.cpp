// morvane-img's file verbs: plain and tape files in and out, copy between images, delete,
// rename, compact, patterns, the BASIC listing and the JSON forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MorvaneImg.h"
#include "MorvaneImgFixture.h"
#include "filesystems/CpmDirectory.h"
#include "filesystems/TrDosCatalogue.h"
#include "filesystems/TrDosSectors.h"
#include "support/CaseName.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class FileVerbsTest : public test::MorvaneImgFixture {
  protected:
    std::string NewImage(const std::string& name, const char* system = "trdos") {
        EXPECT_EQ(Run({"new", system, Path(name)}), kExitOk) << err.str();
        return Path(name);
    }
    std::string WriteBytes(const std::string& name, std::size_t size, std::uint8_t seed) {
        Bytes bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = test::FileByte(seed, i);
        Write(Path(name), bytes);
        return Path(name);
    }
    // Every file's sectors of a TR-DOS image, in catalogue order.
    static std::vector<Bytes> TrDosFiles(const std::string& image) {
        auto disk = Load(image);
        TrDosCatalogue c;
        EXPECT_TRUE(ReadTrDosCatalogue(*disk, c));
        std::vector<Bytes> files;
        for (std::size_t i : ListedEntries(c, false)) {
            files.emplace_back();
            EXPECT_TRUE(ReadTrDosFile(*disk, c.entries[i], files.back()));
        }
        return files;
    }
};

struct PlainCase {
    std::string name;
    std::string type;
    std::string start;
    std::size_t size;
};

class PlainFileRoundTrip : public FileVerbsTest, public ::testing::WithParamInterface<PlainCase> {};

TEST_P(PlainFileRoundTrip, AddThenExportBinGivesTheBytesBack) {
    const PlainCase& c = GetParam();
    const std::string image = NewImage("d.trd");
    const std::string file = WriteBytes("in.bin", c.size, 7);
    ASSERT_EQ(Run({"add", image, file, "--name", "data", "--type", c.type, "--start", c.start}),
              kExitOk)
        << err.str();
    EXPECT_EQ(out.str(), "data." + c.type + "\n");
    fs::create_directories(Path("out"));
    ASSERT_EQ(Run({"export-bin", image, Path("out")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("out/data." + c.type)), Read(file));
    // The tape of it reads back as the same file.
    ASSERT_EQ(Run({"export-tap", image, Path("d.tap")}), kExitOk) << err.str();
    const std::string again = NewImage("e.trd");
    ASSERT_EQ(Run({"add", again, Path("d.tap")}), kExitOk) << err.str();
    EXPECT_EQ(TrDosFiles(again), TrDosFiles(image));
}

INSTANTIATE_TEST_SUITE_P(Types, PlainFileRoundTrip,
                         ::testing::Values(PlainCase{"Code", "C", "0x8000", 6912},
                                           PlainCase{"Basic", "B", "10", 1000},
                                           PlainCase{"Data", "D", "49408", 300},
                                           PlainCase{"EmptyCode", "C", "0", 0}),
                         test::CaseName{});

TEST_F(FileVerbsTest, CopyKeepsEveryByteAndRefusesWhatDoesNotFit) {
    const std::string source = NewImage("s.trd");
    ASSERT_EQ(Run({"add", source, WriteBytes("a.bin", 5000, 1), WriteBytes("b.bin", 60000, 2)}),
              kExitOk)
        << err.str();
    const std::string dest = NewImage("d.trd");
    ASSERT_EQ(Run({"copy", source, dest, "a", "b.C"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "a.C\nb.C\n");
    EXPECT_EQ(TrDosFiles(dest), TrDosFiles(source));
    // The 2289 sectors left hold eight more copies of both (255 sectors), not nine.
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(Run({"copy", source, dest}), kExitOk) << err.str();
    const Bytes before = Read(dest);
    EXPECT_EQ(Run({"copy", source, dest}), kExitFailure);
    EXPECT_NE(err.str().find("249 free sectors, 255 needed"), std::string::npos) << err.str();
    EXPECT_EQ(Read(dest), before);
    EXPECT_EQ(Run({"copy", source, NewImage("c.udi", "cpm")}), kExitFailure);
}

TEST_F(FileVerbsTest, CopyBetweenCpmImagesKeepsUserAreasAndBytes) {
    const std::string source = NewImage("s.udi", "cpm");
    ASSERT_EQ(Run({"cpm-put", source, WriteBytes("BIG.TXT", 40000, 3),
                   "3:" + WriteBytes("SMALL.COM", 128, 4)}),
              kExitOk)
        << err.str();
    const std::string dest = NewImage("d.udi", "cpm");
    ASSERT_EQ(Run({"copy", source, dest, "*.TXT", "3:*"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "BIG.TXT\n3:SMALL.COM\n");
    ASSERT_EQ(Run({"cpm-get", dest, "BIG.TXT", Path("big")}), kExitOk) << err.str();
    Bytes big = Read(Path("BIG.TXT"));
    big.resize((big.size() + 127) / 128 * 128, 0x1A);
    EXPECT_EQ(Read(Path("big")), big);
    ASSERT_EQ(Run({"cpm-get", dest, "3:SMALL.COM", Path("small")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("small")), Read(Path("SMALL.COM")));
    EXPECT_EQ(Run({"copy", source, dest, "NONE.TXT"}), kExitFailure);
}

TEST_F(FileVerbsTest, DeleteRenameAndCompactEditTheImage) {
    const std::string image = NewImage("d.trd");
    ASSERT_EQ(Run({"add", image, WriteBytes("one.bin", 600, 1), WriteBytes("two.bin", 300, 2),
                   WriteBytes("three.bin", 200, 3)}),
              kExitOk);
    const std::vector<Bytes> files = TrDosFiles(image);
    ASSERT_EQ(Run({"delete", image, "#1"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "one.C\n");
    ASSERT_EQ(Run({"rename", image, "t*e*", "last", "--type", "X"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "three.C -> last.X\n");
    EXPECT_EQ(Run({"rename", image, "two", "last", "--type", "X"}), kExitFailure);
    EXPECT_EQ(Run({"rename", image, "*", "x"}), kExitFailure);
    EXPECT_NE(err.str().find("names 2 files"), std::string::npos) << err.str();
    ASSERT_EQ(Run({"compact", image}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), image + ": 2541 free sectors (2538 before)\n");
    EXPECT_EQ(TrDosFiles(image), (std::vector<Bytes>{files[1], files[2]}));
    EXPECT_EQ(Run({"delete", image, "*.B"}), kExitFailure);
}

// A name beginning with 0x01 would make TR-DOS list the file as deleted, and the next
// compaction free its sectors: refused with the reason, the image unchanged.
TEST_F(FileVerbsTest, RenameRefusesANameTrDosWouldTakeForADeletedFile) {
    const std::string image = NewImage("d.trd");
    ASSERT_EQ(Run({"add", image, WriteBytes("one.bin", 600, 1)}), kExitOk) << err.str();
    const Bytes before = Read(image);
    EXPECT_EQ(Run({"rename", image, "one", "\x01one"}), kExitFailure);
    EXPECT_NE(err.str().find("cannot rename one.C to a name beginning with byte 0x01"),
              std::string::npos)
        << err.str();
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(Read(image), before);
}

TEST_F(FileVerbsTest, ListPrintsTheProgramOfABasicFile) {
    const std::string image = NewImage("d.trd");
    // 10 PRINT "HI" then a variable, which the listing leaves out.
    Write(Path("prog.bin"), {0, 10, 6, 0, 0xF5, '"', 'H', 'I', '"', 0x0D, 0x61, 1, 0, 0, 0, 0});
    ASSERT_EQ(Run({"add", image, Path("prog.bin"), "--type", "B", "--start", "10"}), kExitOk);
    ASSERT_EQ(Run({"list", image, "prog"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "  10 PRINT \"HI\"\n");
    ASSERT_EQ(Run({"add", image, WriteBytes("code.bin", 10, 1)}), kExitOk);
    EXPECT_EQ(Run({"list", image, "code"}), kExitFailure);
    EXPECT_NE(err.str().find("no BASIC program"), std::string::npos);
}

TEST_F(FileVerbsTest, JsonFormsCarryTheCatalogueAndTheSectors) {
    const std::string image = NewImage("d.trd");
    ASSERT_EQ(Run({"add", image, WriteBytes("q\"x.bin", 10, 1), "--start", "0x6000"}), kExitOk);
    ASSERT_EQ(Run({"cat", "--json", image}), kExitOk);
    EXPECT_NE(out.str().find("\"files\":[{\"entry\":1,\"name\":\"q\\\"x     \",\"type\":\"C\","
                             "\"start\":24576,\"length\":10,\"sectors\":1,\"firstSector\":0,"
                             "\"firstTrack\":1,\"deleted\":false}]"),
              std::string::npos)
        << out.str();
    ASSERT_EQ(Run({"info", "--json", image}), kExitOk);
    EXPECT_EQ(out.str().rfind("{\"format\":\"TRD\",\"presentTracks\":160,\"sectors\":2560,", 0),
              0u);
    EXPECT_NE(out.str().find("{\"slot\":0,\"c\":0,\"h\":0,\"r\":1,\"n\":1,\"length\":256,"
                             "\"state\":\"good\"}"),
              std::string::npos);
    EXPECT_NE(out.str().find("\"catalogue\":{\"filesystem\":\"trdos\""), std::string::npos);
}

}  // namespace
}  // namespace morvane
