#include "MorvaneImg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "MorvaneImgFixture.h"
#include "VerbRead.h"
#include "formats/Trd.h"
#include "imagefiles/ImageFiles.h"
#include "support/BrokenFiles.h"
#include "support/Patterns.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class MorvaneImgTest : public test::MorvaneImgFixture {
  protected:
    // Two TR-DOS tracks with distinct sector contents, saved as a TRD file.
    std::string WriteTrd() {
        const std::string path = Path("two.trd");
        EXPECT_TRUE(WriteFileAtomically(path, test::PatternBytes(2 * kTrdTrackSize, 7, 1)));
        return path;
    }
};

TEST_F(MorvaneImgTest, NoArgumentsPrintsUsageWithStatus2) {
    EXPECT_EQ(Run({}), kExitUsage);
    EXPECT_NE(err.str().find("usage: morvane-img info [--json] FILE"), std::string::npos);
    EXPECT_EQ(out.str(), "");
}

TEST_F(MorvaneImgTest, HelpGoesToStandardOutput) {
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_EQ(out.str(), UsageText());
}

TEST_F(MorvaneImgTest, WrongUsageIsStatus2WithTheReason) {
    EXPECT_EQ(Run({"lsit", "a.trd"}), kExitUsage);
    EXPECT_NE(err.str().find("unknown command lsit"), std::string::npos);
    EXPECT_EQ(Run({"info"}), kExitUsage);
    EXPECT_EQ(Run({"info", "a.trd", "b.trd"}), kExitUsage);
    EXPECT_EQ(Run({"sectors"}), kExitUsage);
    EXPECT_EQ(Run({"info", Path("a.dsk")}), kExitUsage);
    EXPECT_NE(err.str().find("unknown image format"), std::string::npos);
    EXPECT_EQ(Run({"convert", "a.trd"}), kExitUsage);
    EXPECT_EQ(Run({"convert", "--fast", "a.trd", "b.udi"}), kExitUsage);
    EXPECT_NE(err.str().find("unknown option --fast"), std::string::npos);
}

TEST_F(MorvaneImgTest, InfoCountsTracksSectorsBadSectorsAndRawTracks) {
    auto disk = std::make_unique<DiskImage>();
    Bytes trd;
    ASSERT_TRUE(ReadWholeFile(WriteTrd(), trd));
    ASSERT_TRUE(ReadTrd(trd, *disk));
    disk->GetTrack(0)->Slots[3].DataGood = 0;
    disk->GetTrack(1)->Slots[15].DataGood = 0;
    disk->GetTrack(1)->RawLength = 100;
    disk->GetTrack(7)->Slots[0].Present = kPresent;  // absent track: not counted
    disk->GetTrack(7)->RawLength = 50;
    ASSERT_TRUE(SaveImageFile(Path("d.udf"), *disk));
    EXPECT_EQ(Run({"info", Path("d.udf")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "format: UDF\ntracks: 2\nsectors: 32\nbad sectors: 2\nraw tracks: 1\n");
}

TEST_F(MorvaneImgTest, InfoOfAMissingFileFailsWithTheReason) {
    EXPECT_EQ(Run({"info", Path("none.udi")}), kExitFailure);
    EXPECT_NE(err.str().find("cannot read " + Path("none.udi")), std::string::npos);
    EXPECT_EQ(out.str(), "");
}

TEST_F(MorvaneImgTest, InfoOfACorruptFileGivesTheReadersMessage) {
    auto disk = std::make_unique<DiskImage>();
    Bytes file;
    ASSERT_TRUE(SaveImageFile(Path("c.udf"), *disk));
    ASSERT_TRUE(ReadWholeFile(Path("c.udf"), file));
    file[300] ^= 1;
    ASSERT_TRUE(WriteFileAtomically(Path("c.udf"), file));
    EXPECT_EQ(Run({"info", Path("c.udf")}), kExitFailure);
    EXPECT_NE(err.str().find("checksum mismatch"), std::string::npos) << err.str();
}

// What a reader noted about a file goes to stderr with the file's name; a file that lacks
// sectors leaves the verbs that read the whole image done with status 3.
TEST_F(MorvaneImgTest, ReaderNotesGoToStandardErrorAndMissingSectorsGiveStatus3) {
    const std::string cut = Path("cut.trd");
    Write(cut, test::PatternBytes(kTrdTrackSize + 1000, 7, 1));
    ASSERT_EQ(Run({"convert", WriteTrd(), Path("r.udi")}), kExitOk) << err.str();
    Bytes udi = Read(Path("r.udi"));
    udi[11] = 1;  // the reserved header byte
    test::Reseal(udi);
    Write(Path("r.udi"), udi);
    ASSERT_EQ(Run({"new", "trdos", Path("new.trd")}), kExitOk) << err.str();
    Bytes trdos = Read(Path("new.trd"));
    trdos.resize(3 * kTrdTrackSize + 1000);
    Write(Path("short.trd"), trdos);

    const std::string cutNote = "morvane-img: " + cut +
                                ": The TRD file ends 1000 bytes into track 1: the last 3096 "
                                "bytes of the track are missing, and its sectors 4..16 are "
                                "loaded without data (sector 4 has only 232 of its 256 bytes).\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string note;
    } cases[] = {
        {{"info", cut}, kExitBadSectors, cutNote},
        {{"info", "--json", cut}, kExitBadSectors, cutNote},
        {{"sectors", cut}, kExitBadSectors, cutNote},
        {{"convert", cut, Path("cut.udi")}, kExitBadSectors, cutNote},
        {{"info", Path("r.udi")},
         kExitOk,
         "morvane-img: " + Path("r.udi") +
             ": The reserved byte of the UDI header (offset 11) is 1, not 0; the file was read "
             "as usual.\n"},
        {{"cat", Path("short.trd")},
         kExitOk,
         "morvane-img: " + Path("short.trd") + ": The TRD file ends 1000 bytes into track 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        EXPECT_EQ(Run(c.args), c.status) << err.str();
        EXPECT_NE(err.str().find(c.note), std::string::npos) << err.str();
    }
    EXPECT_EQ(Load(Path("cut.udi"))->CountTracks(), 2);
}

TEST_F(MorvaneImgTest, SectorsListsOccupiedSlotsOfPresentTracksInOrder) {
    auto disk = std::make_unique<DiskImage>();
    Track& t3 = *disk->GetTrack(3);
    t3.Present = kPresent;
    SectorSlot& a = t3.Slots[5];
    a.Present = kPresent;
    a.Cylinder = 1;
    a.Head = 1;
    a.Sector = 9;
    a.SizeCode = 2;
    a.DataGood = kDataGood;
    a.DataLength = 3;
    a.Data[0] = 'a';
    a.Data[1] = 'b';
    a.Data[2] = 'c';
    a.Data[3] = 'z';  // past DataLength: not in the checksum
    SectorSlot& b = t3.Slots[0];
    b.Present = kPresent;
    b.Sector = 200;
    disk->GetTrack(1)->Present = kPresent;
    disk->GetTrack(1)->Slots[31].Present = kPresent;
    disk->GetTrack(1)->Slots[31].DataLength = 1;
    disk->GetTrack(2)->Slots[0].Present = kPresent;  // absent track: not listed
    ASSERT_TRUE(SaveImageFile(Path("s.udf"), *disk));
    EXPECT_EQ(Run({"sectors", Path("s.udf")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(),
              "1\t31\t0\t0\t0\t0\t0\t1\tffffffff\n"
              "3\t0\t0\t0\t200\t0\t0\t0\tffffffff\n"
              "3\t5\t1\t1\t9\t2\t255\t3\teb52592f\n");
}

TEST_F(MorvaneImgTest, ConvertTrdToNativeAndBackKeepsEverySector) {
    const std::string trd = WriteTrd();
    ASSERT_EQ(Run({"sectors", trd}), kExitOk);
    const std::string before = out.str();
    EXPECT_EQ(std::count(before.begin(), before.end(), '\n'), 32);

    ASSERT_EQ(Run({"convert", trd, Path("x.udf")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), trd + " (TRD, 2 tracks) -> " + Path("x.udf") + " (UDF)\n");
    ASSERT_EQ(Run({"convert", Path("x.udf"), Path("y.trd")}), kExitOk) << err.str();
    ASSERT_EQ(Run({"sectors", Path("y.trd")}), kExitOk);
    EXPECT_EQ(out.str(), before);
    Bytes original;
    Bytes again;
    ASSERT_TRUE(ReadWholeFile(trd, original));
    ASSERT_TRUE(ReadWholeFile(Path("y.trd"), again));
    EXPECT_EQ(original, again);
}

TEST_F(MorvaneImgTest, ConvertToUdiKeepsSectorData) {
    const std::string trd = WriteTrd();
    ASSERT_EQ(Run({"sectors", trd}), kExitOk);
    const std::string before = out.str();
    ASSERT_EQ(Run({"convert", trd, Path("x.udi")}), kExitOk) << err.str();
    ASSERT_EQ(Run({"sectors", Path("x.udi")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), before);
}

TEST_F(MorvaneImgTest, ConvertToTd0AndFdiKeepsEverySector) {
    const std::string trd = WriteTrd();
    ASSERT_EQ(Run({"sectors", trd}), kExitOk);
    const std::string before = out.str();
    for (const char* name : {"x.td0", "x.fdi"}) {
        ASSERT_EQ(Run({"convert", trd, Path(name)}), kExitOk) << err.str();
        ASSERT_EQ(Run({"sectors", Path(name)}), kExitOk) << err.str();
        EXPECT_EQ(out.str(), before) << name;
    }
}

TEST_F(MorvaneImgTest, CompressOptionWritesAnLzhTd0) {
    const std::string trd = WriteTrd();
    ASSERT_EQ(Run({"sectors", trd}), kExitOk);
    const std::string before = out.str();
    ASSERT_EQ(Run({"convert", "--compress", trd, Path("c.td0")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), trd + " (TRD, 2 tracks) -> " + Path("c.td0") + " (TD0, LZH)\n");
    Bytes file;
    ASSERT_TRUE(ReadWholeFile(Path("c.td0"), file));
    ASSERT_GE(file.size(), 2u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 2), "td");
    ASSERT_EQ(Run({"sectors", Path("c.td0")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), before);
}

TEST_F(MorvaneImgTest, CompressOptionForAnotherFormatIsWrongUsageAndWritesNothing) {
    const std::string trd = WriteTrd();
    EXPECT_EQ(Run({"convert", "--compress", trd, Path("x.fdi")}), kExitUsage);
    EXPECT_NE(err.str().find("--compress applies to a td0 output only"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("x.fdi")));
}

TEST_F(MorvaneImgTest, ConvertOfAMissingInputFails) {
    EXPECT_EQ(Run({"convert", Path("none.trd"), Path("x.udf")}), kExitFailure);
    EXPECT_NE(err.str().find("cannot load"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("x.udf")));
}

TEST_F(MorvaneImgTest, FailedUdiWriteNamesTrackAndSlot) {
    // A sector whose size code has no size cannot be laid out on a UDI track.
    auto disk = std::make_unique<DiskImage>();
    Track& t = *disk->GetTrack(1);
    t.Present = kPresent;
    for (std::uint8_t s = 0; s < 3; ++s) {
        SectorSlot& slot = t.Slots[s];
        slot.Present = kPresent;
        slot.Sector = static_cast<std::uint8_t>(s + 1);
        slot.SizeCode = s == 2 ? 7 : 1;
        slot.DataGood = kDataGood;
        slot.DataLength = 256;
    }
    t.CountSectors();
    ASSERT_TRUE(SaveImageFile(Path("bad.udf"), *disk));
    EXPECT_EQ(Run({"convert", Path("bad.udf"), Path("bad.udi")}), kExitFailure);
    EXPECT_EQ(err.str(), "morvane-img: cannot save " + Path("bad.udi") +
                             ": UDI image cannot be built: track 1, slot 2\n");
    EXPECT_FALSE(fs::exists(Path("bad.udi")));
}

TEST_F(MorvaneImgTest, ConvertKeepsPresentTracksPastThePresentCount) {
    const std::string trd = WriteTrd();
    auto disk = std::make_unique<DiskImage>();
    ASSERT_TRUE(LoadImageFile(trd, *disk));
    // Tracks 0, 1 and 9: three present tracks, the last one far past the third.
    Track& far = *disk->GetTrack(9);
    far = *disk->GetTrack(1);
    far.Number = 9;
    ASSERT_TRUE(SaveImageFile(Path("gap.udf"), *disk));
    ASSERT_EQ(Run({"convert", Path("gap.udf"), Path("gap.udi")}), kExitOk) << err.str();
    EXPECT_EQ(err.str(), "");
    auto back = std::make_unique<DiskImage>();
    ASSERT_TRUE(LoadImageFile(Path("gap.udi"), *back));
    EXPECT_EQ(back->GetTrack(9)->SectorCount, far.SectorCount);
    EXPECT_EQ(back->GetTrack(9)->Slots[0].Data, far.Slots[0].Data);
}

TEST_F(MorvaneImgTest, NoRestoreTrackKeepsTheGapBytesOfARawTrack) {
    // A track read raw, with a gap byte no standard layout would have.
    ASSERT_EQ(Run({"convert", WriteTrd(), Path("raw.udi")}), kExitOk) << err.str();
    auto disk = std::make_unique<DiskImage>();
    ASSERT_TRUE(LoadImageFile(Path("raw.udi"), *disk)) << disk->LastError;
    Track& t = *disk->GetTrack(0);
    ASSERT_GT(t.RawLength, 20);
    t.RawValid = 1;
    t.Raw[10] = 0x55;
    ASSERT_TRUE(SaveImageFile(Path("raw.udf"), *disk));

    ASSERT_EQ(Run({"convert", Path("raw.udf"), Path("restored.udi")}), kExitOk) << err.str();
    ASSERT_EQ(Run({"convert", "--no-restore-track", Path("raw.udf"), Path("kept.udi")}), kExitOk)
        << err.str();
    ASSERT_TRUE(LoadImageFile(Path("restored.udi"), *disk));
    EXPECT_NE(disk->GetTrack(0)->Raw[10], 0x55);
    ASSERT_TRUE(LoadImageFile(Path("kept.udi"), *disk));
    EXPECT_EQ(disk->GetTrack(0)->Raw[10], 0x55);
}

}  // namespace
}  // namespace morvane
