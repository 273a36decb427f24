#include "FilesystemVerbs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CpmSelection.h"
#include "MorvaneImg.h"
#include "MorvaneImgFixture.h"
#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "imagefiles/ImageFiles.h"
#include "support/CaseName.h"
#include "support/Corpus.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::AddTrDosFile;
using test::ExpectedFileBytes;

class FilesystemVerbsTest : public test::MorvaneImgFixture {
  protected:
    // A TR-DOS image with "boot" (B, 2 sectors), "game" (C, 3) and a deleted "old" (C, 1).
    std::string SaveTrDos() {
        auto disk = test::NewTrDosDisk();
        AddTrDosFile(*disk, "boot", 'B', 2, 1);
        AddTrDosFile(*disk, "game", 'C', 3, 2);
        AddTrDosFile(*disk, "old", 'C', 1, 3);
        test::TrDosSector(*disk, 0, 1).Data[32] = kTrDosDeletedMark;
        const std::string path = Path("disk.trd");
        EXPECT_TRUE(SaveImageFile(path, *disk));
        return path;
    }

    // A CP/M image with a file of two extents and one of user area 2.
    std::string SaveCpm() {
        auto disk = test::NewCpmDisk();
        test::PutCpmEntry(*disk, 0, 0, "LONG    TXT", 0, 128, {2, 3, 4, 5, 6, 7, 8, 9});
        test::PutCpmEntry(*disk, 1, 0, "LONG    TXT", 1, 3, {10});
        test::PutCpmEntry(*disk, 2, 2, "OTHER   COM", 0, 16, {11});
        for (std::uint16_t b = 2; b <= 10; ++b)
            test::FillCpmBlock(*disk, b, 5, b - 2u);
        test::FillCpmBlock(*disk, 11, 6, 0);
        const std::string path = Path("cpm.udf");
        EXPECT_TRUE(SaveImageFile(path, *disk));
        return path;
    }
};

TEST_F(FilesystemVerbsTest, CatOfATrDosDiskPrintsDescriptionThenTabSeparatedRows) {
    const std::string image = SaveTrDos();
    ASSERT_EQ(Run({"cat", image}), kExitOk) << err.str();
    EXPECT_EQ(out.str(),
              "Название дискеты: NEW DISK\n"
              "Тип дискеты: 80-дорожек\n"
              "Свободный сектор: 7\n"
              "Свободная дорожка: 1\n"
              "Свободных секторов: 2538\n"
              "Количество файлов: 3\n"
              "Удаленных файлов: 0\n"
              "Filename\tType\tStart\tLength\tSectors\tF.sec\tF.trk\tStart(dec)\tLength(dec)\n"
              "boot    \tB\t6000\t01F6\t02\t00\t01\t24576\t502\n"
              "game    \tC\t6000\t02F6\t03\t02\t01\t24576\t758\n");
    ASSERT_EQ(Run({"cat", "--deleted", image}), kExitOk);
    EXPECT_NE(out.str().find("?ld     \tC\t6000\t00F6\t01\t05\t01\t24576\t246\n"),
              std::string::npos);
}

TEST_F(FilesystemVerbsTest, CatOfACpmDiskListsFilesAndHiddenOnesOnRequest) {
    const std::string image = SaveCpm();
    ASSERT_EQ(Run({"cat", image}), kExitOk) << err.str();
    EXPECT_EQ(out.str(),
              "Количество файлов: 1\n"
              "Занято: 24 кБ\n"
              "Свободно: 776 кБ\n"
              "Filename\tExt\tLength\tAtrib\t№\tBytes\n"
              "LONG    \tTXT\t16.384\t00\t00\t16768\n");
    ASSERT_EQ(Run({"cat", image, "--hidden"}), kExitOk);
    EXPECT_NE(out.str().find("OTHER   \tCOM\t2\t02\t00\t2048\n"), std::string::npos);
}

TEST_F(FilesystemVerbsTest, CatOfAnotherDiskFailsWithTheWindowsMessages) {
    DiskImage disk;
    disk.GetTrack(0)->Present = kPresent;
    ASSERT_TRUE(SaveImageFile(Path("blank.udf"), disk));
    EXPECT_EQ(Run({"cat", Path("blank.udf")}), kExitFailure);
    EXPECT_NE(err.str().find("Образ не соответствует стандартному TR-DOS диску!"),
              std::string::npos);
    EXPECT_NE(err.str().find("Образ не соответствует CP/M диску!"), std::string::npos);
    EXPECT_EQ(out.str(), "");
}

TEST_F(FilesystemVerbsTest, ExportHobetaWritesEveryListedFile) {
    const std::string image = SaveTrDos();
    const std::string folder = Path("hob");
    fs::create_directory(folder);
    ASSERT_EQ(Run({"export-hob", image, folder}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), folder + "/boot.$B\n" + folder + "/game.$C\n");
    HobetaFile file;
    std::string error;
    ASSERT_TRUE(ParseHobeta(Read(folder + "/game.$C"), file, error)) << error;
    EXPECT_EQ(file.data, ExpectedFileBytes(2, 3));
}

TEST_F(FilesystemVerbsTest, ExportHobetaNeverOverwritesWithoutForce) {
    const std::string image = SaveTrDos();
    const std::string folder = Path("hob");
    fs::create_directory(folder);
    ASSERT_TRUE(WriteFileAtomically(folder + "/game.$C", Bytes{1, 2, 3}));
    EXPECT_EQ(Run({"export-hob", image, folder}), kExitFailure);
    EXPECT_NE(err.str().find("game.$C exists; --force overwrites it"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder + "/boot.$B"));  // nothing written
    EXPECT_EQ(Read(folder + "/game.$C"), (Bytes{1, 2, 3}));
    EXPECT_EQ(Run({"export-hob", "--force", image, folder}), kExitOk) << err.str();
    EXPECT_EQ(Read(folder + "/game.$C").size(), 17u + 3u * 256u);
}

struct SelectCase {
    std::vector<std::string> files;
    int status;
    std::vector<std::string> written;
    std::string verb = "export-hob";  // cpm-get takes the CP/M image
};

class ExportSelectionTest : public FilesystemVerbsTest,
                            public ::testing::WithParamInterface<SelectCase> {};

TEST_P(ExportSelectionTest, NamesFilesByTrimmedNameAndOptionalType) {
    const std::string image = GetParam().verb == "cpm-get" ? SaveCpm() : SaveTrDos();
    const std::string folder = Path("hob");
    fs::create_directory(folder);
    std::vector<std::string> args{GetParam().verb, image, folder};
    args.insert(args.end(), GetParam().files.begin(), GetParam().files.end());
    EXPECT_EQ(Run(args), GetParam().status) << err.str();
    std::vector<std::string> written;
    for (const auto& item : fs::recursive_directory_iterator(folder))
        if (item.is_regular_file()) written.push_back(fs::relative(item.path(), folder).string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ExportSelectionTest,
    ::testing::Values(SelectCase{{"game"}, kExitOk, {"game.$C"}},
                      SelectCase{{"boot.B", "game.C"}, kExitOk, {"boot.$B", "game.$C"}},
                      SelectCase{{"boot.C"}, kExitFailure, {}},
                      SelectCase{{"game", "nothing"}, kExitFailure, {}},
                      SelectCase{{"old"}, kExitFailure, {}},
                      SelectCase{{"#2", "#1"}, kExitOk, {"boot.$B", "game.$C"}},
                      SelectCase{{"#3"}, kExitFailure, {}},  // "old", deleted
                      SelectCase{{"#9"}, kExitFailure, {}},
                      SelectCase{{"*.TXT"}, kExitOk, {"LONG.TXT"}, "cpm-get"},
                      SelectCase{
                          {"2:*", "long.txt"}, kExitOk, {"2/OTHER.COM", "LONG.TXT"}, "cpm-get"},
                      SelectCase{{"#3"}, kExitOk, {"2/OTHER.COM"}, "cpm-get"},
                      SelectCase{{"#2"}, kExitFailure, {}, "cpm-get"},  // LONG.TXT's 2nd extent
                      SelectCase{{"*.COM"}, kExitFailure, {}, "cpm-get"}));  // user area 0

struct CpmEditCase {
    std::vector<std::string> args;  // the verb, then what follows the image
    int status;
    std::string printed;
    std::vector<std::string> after;  // U:NAME.EXT/records of every file, then the kB used
};

const std::vector<std::string> kCpmUnchanged{"LONG.TXT/131", "2:OTHER.COM/16", "24"};

class CpmEditTest : public FilesystemVerbsTest,
                    public ::testing::WithParamInterface<CpmEditCase> {};

TEST_P(CpmEditTest, EditsEveryExtentOfTheFilesNamedOrNothing) {
    const CpmEditCase& c = GetParam();
    std::vector<std::string> args{c.args[0], SaveCpm()};
    args.insert(args.end(), c.args.begin() + 1, c.args.end());
    EXPECT_EQ(Run(args), c.status) << err.str();
    EXPECT_EQ(out.str(), c.printed);
    const CpmCatalogue catalogue = ReadCpmCatalogue(*Load(args[1]), false, true);
    std::vector<std::string> after;
    for (const CpmListRow& row : catalogue.rows)
        after.push_back(
            CpmFileText(catalogue.entries[row.entry].user, catalogue.entries[row.entry].name) +
            "/" + std::to_string(row.records));
    after.push_back(std::to_string(catalogue.UsedBytes() / 1024));
    EXPECT_EQ(after, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Verbs, CpmEditTest,
    ::testing::Values(
        CpmEditCase{{"delete", "long.txt"}, kExitOk, "LONG.TXT\n", {"2:OTHER.COM/16", "6"}},
        CpmEditCase{{"delete", "2:o*", "#1"}, kExitOk, "2:OTHER.COM\nLONG.TXT\n", {"4"}},
        CpmEditCase{{"delete", "#2"}, kExitFailure, "", kCpmUnchanged},
        CpmEditCase{{"delete", "LONG.TXT", "NONE.TXT"}, kExitFailure, "", kCpmUnchanged},
        CpmEditCase{{"rename", "2:other.com", "new.com"},
                    kExitOk,
                    "2:OTHER.COM -> 2:NEW.COM\n",
                    {"LONG.TXT/131", "2:NEW.COM/16", "24"}},
        CpmEditCase{{"rename", "#1", "0:short.txt"},
                    kExitOk,
                    "LONG.TXT -> SHORT.TXT\n",
                    {"SHORT.TXT/131", "2:OTHER.COM/16", "24"}},
        CpmEditCase{{"rename", "LONG.TXT", "2:X.TXT"}, kExitFailure, "", kCpmUnchanged},
        CpmEditCase{{"rename", "*.TXT", "OTHER.COM"}, kExitFailure, "", kCpmUnchanged},
        CpmEditCase{{"rename", "LONG.TXT", "A B"}, kExitUsage, "", kCpmUnchanged},
        CpmEditCase{{"rename", "LONG.TXT", "X", "--type", "C"}, kExitUsage, "", kCpmUnchanged},
        CpmEditCase{{"compact"}, kExitFailure, "", kCpmUnchanged}));

TEST_F(FilesystemVerbsTest, ExportHobetaGivesFilesOfOneNameNamesOfTheirOwn) {
    auto disk = test::NewTrDosDisk();
    AddTrDosFile(*disk, "boot", 'B', 1, 1);
    AddTrDosFile(*disk, "boot", 'B', 1, 2);
    AddTrDosFile(*disk, "boot_2", 'B', 1, 3);
    AddTrDosFile(*disk, "BOOT", 'B', 1, 4);
    ASSERT_TRUE(SaveImageFile(Path("dup.trd"), *disk));
    fs::create_directory(Path("hob"));
    ASSERT_EQ(Run({"export-hob", Path("dup.trd"), Path("hob")}), kExitOk) << err.str();
    const char* names[] = {"boot.$B", "boot_3.$B", "boot_2.$B", "BOOT_4.$B"};
    for (std::uint8_t seed = 1; seed <= 4; ++seed) {
        HobetaFile file;
        std::string error;
        ASSERT_TRUE(ParseHobeta(Read(Path("hob/") + names[seed - 1]), file, error)) << error;
        EXPECT_EQ(file.data, ExpectedFileBytes(seed, 1)) << names[seed - 1];
    }
}

TEST_F(FilesystemVerbsTest, ExportHobetaOfTheCorpusDiskWritesEveryEntry) {
    const std::string image = test::CorpusPath("trd/test_disk.trd");
    if (!fs::exists(image)) GTEST_SKIP() << image << " is absent";
    fs::create_directory(Path("hob"));
    ASSERT_EQ(Run({"export-hob", image, Path("hob")}), kExitOk) << err.str();
    const auto written =
        std::distance(fs::directory_iterator(Path("hob")), fs::directory_iterator{});
    EXPECT_EQ(written, 19);  // two boot.B and two "voxel an.C" among them
    ASSERT_EQ(Run({"export-hob", image, Path("hob"), "#12", "--force"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), Path("hob") + "/voxel an.$m\n");
}

TEST_F(FilesystemVerbsTest, ExportSclMatchesTheArchiveOfTheLayer) {
    const std::string image = SaveTrDos();
    ASSERT_EQ(Run({"export-scl", image, Path("all.scl")}), kExitOk) << err.str();
    std::vector<SclFile> files;
    std::string error;
    ASSERT_TRUE(ParseScl(Read(Path("all.scl")), files, error)) << error;
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1].data, ExpectedFileBytes(2, 3));
    ASSERT_EQ(Run({"export-scl", image, Path("one.scl"), "boot"}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("one.scl")).size(), 9u + 14u + 512u + 4u);
}

TEST_F(FilesystemVerbsTest, ExportSclRefusesAnExistingFileAnEmptyDiskAndABadSector) {
    const std::string image = SaveTrDos();
    ASSERT_TRUE(WriteFileAtomically(Path("x.scl"), Bytes{9}));
    EXPECT_EQ(Run({"export-scl", image, Path("x.scl")}), kExitFailure);
    EXPECT_EQ(Read(Path("x.scl")), Bytes{9});

    ASSERT_EQ(Run({"new", "trdos", Path("empty.trd")}), kExitOk);
    EXPECT_EQ(Run({"export-scl", Path("empty.trd"), Path("e.scl")}), kExitFailure);
    EXPECT_NE(err.str().find("Файлы для сохранения не выбраны..!"), std::string::npos);

    auto disk = test::NewTrDosDisk();
    AddTrDosFile(*disk, "cut", 'C', 2, 1);
    disk->GetTrack(1)->Slots[1].Present = 0;
    ASSERT_TRUE(SaveImageFile(Path("cut.udf"), *disk));
    EXPECT_EQ(Run({"export-scl", Path("cut.udf"), Path("c.scl")}), kExitFailure);
    EXPECT_NE(err.str().find("cut.C has bad or missing sectors: missing track 1 sector 2"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(Path("c.scl")));
}

// Each verb that takes a TR-DOS file's sectors out: the file with a bad and a missing
// sector is refused with them named and nothing written; with --force it goes out as it
// is (exit 3), the copy keeping each sector's state.
struct DamagedCase {
    const char* name;
    std::vector<std::string> verb;  // before the image
    const char* output;             // after the image; "" for the copy's destination
    const char* written;            // what --force writes there; "" for the destination
    const char* done;
};

class DamagedFileTest : public FilesystemVerbsTest,
                        public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedFileTest, IsRefusedOrWithForceTakenAsItIs) {
    const DamagedCase& c = GetParam();
    const std::string image = Path("damaged.udf");
    ASSERT_TRUE(SaveImageFile(image, *test::DamagedTrDosDisk().disk));
    fs::create_directory(Path("dir"));
    const std::string dest = Path("dest.udf");
    ASSERT_TRUE(SaveImageFile(dest, *test::NewTrDosDisk()));
    const std::string output = *c.output != '\0' ? Path(c.output) : dest;
    std::vector<std::string> args = c.verb;
    args.insert(args.end(), {image, output, "game", "data"});
    const Bytes destBefore = Read(dest);

    EXPECT_EQ(Run(args), kExitFailure);
    EXPECT_NE(err.str().find("data.C has bad or missing sectors: failed track 1 sector 7, "
                             "missing track 1 sector 8"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(err.str().find("game.C"), std::string::npos) << err.str();
    EXPECT_TRUE(fs::is_empty(Path("dir")));
    EXPECT_FALSE(fs::exists(Path("out.scl")) || fs::exists(Path("out.tap")));
    EXPECT_EQ(Read(dest), destBefore);

    args.insert(args.begin() + 1, "--force");
    EXPECT_EQ(Run(args), kExitBadSectors) << err.str();
    EXPECT_NE(err.str().find(std::string("data.C ") + c.done +
                             " with bad or missing sectors: failed track 1 sector 7, "
                             "missing track 1 sector 8"),
              std::string::npos)
        << err.str();
    if (*c.written != '\0') {
        EXPECT_TRUE(fs::exists(Path(c.written)));
        return;
    }
    const auto copied = Load(dest);
    EXPECT_EQ(test::TrDosSector(*copied, 1, 4).DataGood, kDataGood);
    EXPECT_EQ(test::TrDosSector(*copied, 1, 5).DataGood, 0);
    EXPECT_EQ(test::TrDosSector(*copied, 1, 5).DataLength, 256);
    EXPECT_EQ(test::TrDosSector(*copied, 1, 5).Data[0], test::FileByte(4, 256));
    EXPECT_EQ(test::TrDosSector(*copied, 1, 6).DataLength, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Verbs, DamagedFileTest,
    ::testing::Values(DamagedCase{"ExportHob", {"export-hob"}, "dir", "dir/data.$C", "exported"},
                      DamagedCase{"ExportBin", {"export-bin"}, "dir", "dir/data.C", "exported"},
                      DamagedCase{"ExportScl", {"export-scl"}, "out.scl", "out.scl", "exported"},
                      DamagedCase{"ExportTap", {"export-tap"}, "out.tap", "out.tap", "exported"},
                      DamagedCase{"Copy", {"copy"}, "", "", "copied"}),
    test::CaseName());

TEST_F(FilesystemVerbsTest, CpmGetWritesTheRecordsOfAllExtents) {
    const std::string image = SaveCpm();
    ASSERT_EQ(Run({"cpm-get", image, "LONG.TXT", Path("long.txt")}), kExitOk) << err.str();
    const Bytes data = Read(Path("long.txt"));
    ASSERT_EQ(data.size(), 131u * 128u);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(data[i], test::FileByte(5, i)) << i;
    EXPECT_EQ(Run({"cpm-get", image, "LONG.TXT", Path("long.txt")}), kExitFailure);
    EXPECT_EQ(Run({"cpm-get", image, "NONE.TXT", Path("none.txt")}), kExitFailure);
    EXPECT_NE(err.str().find("no file NONE.TXT"), std::string::npos);
}

TEST_F(FilesystemVerbsTest, CpmGetAllWritesEveryFileThatIsNotErased) {
    const std::string image = SaveCpm();
    fs::create_directory(Path("out"));
    ASSERT_EQ(Run({"cpm-get", image, "--all", Path("out")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("out/LONG.TXT")).size(), 131u * 128u);
    EXPECT_EQ(Read(Path("out/2/OTHER.COM")).size(), 2048u);  // user area 2 in its folder
}

struct CpmUserCase {
    const char* name;
    int status;
    std::uint8_t seed;  // of the file written
};

class CpmSameNamesTest : public FilesystemVerbsTest {
  protected:
    // SAME.TXT in user area 3, then in user area 0, each one record of its own bytes.
    std::string SaveSameNames() {
        auto disk = test::NewCpmDisk();
        test::PutCpmEntry(*disk, 0, 3, "SAME    TXT", 0, 1, {2});
        test::PutCpmEntry(*disk, 1, 0, "SAME    TXT", 0, 1, {3});
        test::FillCpmBlock(*disk, 2, 3, 0);
        test::FillCpmBlock(*disk, 3, 10, 0);
        const std::string path = Path("same.udf");
        EXPECT_TRUE(SaveImageFile(path, *disk));
        return path;
    }
};

class CpmUserAreaTest : public CpmSameNamesTest,
                        public ::testing::WithParamInterface<CpmUserCase> {};

TEST_P(CpmUserAreaTest, CpmGetTakesTheUserAreaNamedAndZeroWithout) {
    const CpmUserCase& c = GetParam();
    ASSERT_EQ(Run({"cpm-get", SaveSameNames(), c.name, Path("got")}), c.status) << err.str();
    Bytes expected = ExpectedFileBytes(c.seed, 1);
    expected.resize(128);
    if (c.status == kExitOk) {
        EXPECT_EQ(Read(Path("got")), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, CpmUserAreaTest,
                         ::testing::Values(CpmUserCase{"SAME.TXT", kExitOk, 10},
                                           CpmUserCase{"same.txt", kExitOk, 10},
                                           CpmUserCase{"0:Same.Txt", kExitOk, 10},
                                           CpmUserCase{"3:SAME.TXT", kExitOk, 3},
                                           CpmUserCase{"2:SAME.TXT", kExitFailure, 0},
                                           CpmUserCase{"16:SAME.TXT", kExitUsage, 0}));

TEST_F(CpmSameNamesTest, CpmGetAllPutsEachUserAreaInItsFolder) {
    const std::string image = SaveSameNames();
    fs::create_directory(Path("out"));
    ASSERT_EQ(Run({"cpm-get", image, "--all", Path("out")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("out/SAME.TXT"))[0], test::FileByte(10, 0));
    EXPECT_EQ(Read(Path("out/3/SAME.TXT"))[0], test::FileByte(3, 0));
}

TEST_F(FilesystemVerbsTest, CpmGetRefusesATrDosDisk) {
    const std::string image = SaveTrDos();
    EXPECT_EQ(Run({"cpm-get", image, "A.TXT", Path("a")}), kExitFailure);
    EXPECT_NE(err.str().find("Образ не соответствует CP/M диску!"), std::string::npos);
}

TEST_F(FilesystemVerbsTest, NewImagesCarryTheirNameAndFormat) {
    ASSERT_EQ(Run({"new", "trdos", "--name", "WORK", Path("w.trd")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("w.trd")).size(), 160u * 4096u);
    ASSERT_EQ(Run({"cat", Path("w.trd")}), kExitOk);
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "Название дискеты: WORK    ");
    ASSERT_EQ(Run({"new", "cpm", Path("c.udi")}), kExitOk) << err.str();
    ASSERT_EQ(Run({"cat", Path("c.udi")}), kExitOk);
    EXPECT_EQ(out.str(),
              "Количество файлов: 0\nЗанято: 4 кБ\nСвободно: 796 кБ\n"
              "Filename\tExt\tLength\tAtrib\t№\tBytes\n");
}

TEST_F(FilesystemVerbsTest, NewCpmImageCannotBeATrdFile) {
    EXPECT_EQ(Run({"new", "cpm", Path("c.trd")}), kExitFailure);
    EXPECT_FALSE(fs::exists(Path("c.trd")));
}

struct UsageCase {
    std::vector<std::string> args;
    const char* reason;
};

class FilesystemVerbUsageTest : public FilesystemVerbsTest,
                                public ::testing::WithParamInterface<UsageCase> {};

TEST_P(FilesystemVerbUsageTest, WrongUsageIsStatus2WithTheReason) {
    EXPECT_EQ(Run(GetParam().args), kExitUsage);
    EXPECT_NE(err.str().find(GetParam().reason), std::string::npos) << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Args, FilesystemVerbUsageTest,
    ::testing::Values(UsageCase{{"cat"}, "cat takes one image"},
                      UsageCase{{"cat", "a.trd", "--all"}, "unknown option --all"},
                      UsageCase{{"cat", "a.dsk"}, "unknown image format"},
                      UsageCase{{"add", "a.trd", "b.tap", "--type", "C"}, "are for plain files"},
                      UsageCase{{"add", "a.trd", "b.bin", "--type", "CC"}, "--type takes one"},
                      UsageCase{{"add", "a.trd", "b.bin", "--start", "65536"}, "--start takes"},
                      UsageCase{{"rename", "a.trd", "b"}, "rename takes an image"},
                      UsageCase{{"export-tap", "a.trd"}, "export-tap takes an image"},
                      UsageCase{{"export-hob", "a.trd"}, "export-hob takes an image"},
                      UsageCase{{"export-scl", "a.trd"}, "export-scl takes an image"},
                      UsageCase{{"cpm-get", "a.udi", "A.TXT"}, "cpm-get takes an image"},
                      UsageCase{{"cpm-get", "a.udi", "--all"}, "--all needs a value"},
                      UsageCase{{"cpm-get", "a.udi", "LONGNAME1.TXT", "x"}, "not a CP/M file"},
                      UsageCase{{"cpm-get", "a.udi", "*.COM", "x"}, "takes a folder first"},
                      UsageCase{{"new", "dos", "a.trd"}, "new makes trdos or cpm"},
                      UsageCase{{"new", "cpm", "--name", "X", "a.trd"}, "no name"},
                      UsageCase{{"new", "trdos", "a.xyz"}, "cannot write this format"}));

}  // namespace
}  // namespace morvane
