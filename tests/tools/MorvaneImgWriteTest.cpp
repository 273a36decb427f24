// morvane-img write and format through the emulated controller with a blank disk: options,
// exit codes, a verify failure, and corpus images that come back unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "MorvaneImgFixture.h"
#include "filesystems/CpmDirectory.h"
#include "filesystems/TrDosCatalogue.h"
#include "formats/Trd.h"
#include "imagefiles/ImageFiles.h"
#include "model/Bytes.h"
#include "support/CaseName.h"
#include "support/Corpus.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class WriteVerbTest : public test::MorvaneImgFixture {
  protected:
    static std::string Corpus(const std::string& relative) { return test::CorpusPath(relative); }
    static bool HaveCorpus(const std::string& relative) { return fs::exists(Corpus(relative)); }
};

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
};

class WriteUsage : public WriteVerbTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(WriteUsage, WrongUsageExitsTwoWithoutTouchingADevice) {
    EXPECT_EQ(Run(GetParam().args), 2);
    EXPECT_NE(err.str().find("morvane-img write"), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteUsage,
    ::testing::Values(UsageCase{"NoImage", {"write", "--no-verify"}},
                      UsageCase{"TwoImages", {"write", "a.trd", "b.trd"}},
                      UsageCase{"BadDrive", {"write", "a.trd", "--drive", "C"}},
                      UsageCase{"DriveWithoutValue", {"write", "a.trd", "--drive"}},
                      UsageCase{"UnknownOutFormat", {"write", "a.trd", "--virtual-out", "x.xyz"}},
                      UsageCase{"FaultKind", {"write", "a.trd", "--fault", "idcrc:1:1"}},
                      UsageCase{"UnknownOption", {"write", "a.trd", "--fast"}},
                      UsageCase{"FormatWithoutKind", {"format", "--name", "A"}},
                      UsageCase{"FormatUnknownKind", {"format", "dos"}},
                      UsageCase{"FormatNameWithoutValue", {"format", "trdos", "--name"}}),
    test::CaseName());

// Every corpus TR-DOS image written to a blank disk and saved as TRD is the same file.
class CorpusWrite : public WriteVerbTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(CorpusWrite, SavedDiskEqualsTheImage) {
    const std::string source = Corpus("trd/" + GetParam());
    const std::string copy = Path("copy.trd");
    ASSERT_EQ(Run({"write", source, "--virtual-out", copy}), 0) << err.str();
    Bytes original, written;
    ASSERT_TRUE(ReadWholeFile(source, original));
    ASSERT_TRUE(ReadWholeFile(copy, written));
    EXPECT_TRUE(written == original) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Trd, CorpusWrite, ::testing::ValuesIn(test::CorpusFileNames("trd")),
                         [](const auto& p) { return test::CaseNameOf(p.param); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CorpusWrite);

// A PC disk of 9 x 512-byte sectors reads back with the same sectors.
class PcDiskWrite : public WriteVerbTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(PcDiskWrite, SectorsComeBackTheSame) {
    if (!HaveCorpus(GetParam())) GTEST_SKIP() << "no corpus file " << GetParam();
    const std::string copy = Path("copy.udi");
    ASSERT_EQ(Run({"write", Corpus(GetParam()), "--virtual-out", copy}), 0) << err.str();
    const auto image = Load(Corpus(GetParam()));
    const auto saved = Load(copy);
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& a = *image->GetTrack(static_cast<std::uint8_t>(t));
        const Track& b = *saved->GetTrack(static_cast<std::uint8_t>(t));
        if (a.Present == 0) continue;
        for (std::size_t i = 0; i < a.Slots.size(); ++i) {
            const SectorSlot& x = a.Slots[i];
            const SectorSlot& y = b.Slots[i];
            if (x.Present == 0) continue;
            ASSERT_EQ(std::tie(x.Cylinder, x.Head, x.Sector, x.SizeCode, x.DataLength),
                      std::tie(y.Cylinder, y.Head, y.Sector, y.SizeCode, y.DataLength))
                << "track " << t << " slot " << i;
            EXPECT_TRUE(std::equal(x.Data.begin(), x.Data.begin() + x.DataLength, y.Data.begin()))
                << "track " << t << " slot " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Td0, PcDiskWrite,
                         ::testing::Values("td0/sector_test_360k.td0", "td0/Transylvania.td0"),
                         [](const auto& p) {
                             return p.index == 0 ? std::string("SectorTest360k")
                                                 : std::string("Transylvania");
                         });

TEST_F(WriteVerbTest, VerifyMismatchExitsThreeAndNamesTheSector) {
    if (!HaveCorpus("trd/EyeAche.trd")) GTEST_SKIP() << "no corpus";
    EXPECT_EQ(Run({"write", Corpus("trd/EyeAche.trd"), "--virtual-out", Path("x.trd"), "--fault",
                   "crc:3:5", "--verbose"}),
              3);
    EXPECT_NE(out.str().find("failed track 3 sector 5\n"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("Сектор не прошел проверку - дорожка 3 / сектор 5\n"),
              std::string::npos);
}

TEST_F(WriteVerbTest, SectorsWithoutGoodDataAreListedAndTheRunEndsWithFailures) {
    // Two tracks: track 1 sector 3 read with a bad CRC (its bytes held), sector 4 without
    // any data.
    Bytes trd(2 * kTrdTrackSize);
    for (std::size_t i = 0; i < trd.size(); ++i)
        trd[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    auto image = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadTrd(trd, *image));
    image->GetSlot(1, 2)->DataGood = 0;
    image->GetSlot(1, 3)->DataGood = 0;
    image->GetSlot(1, 3)->DataLength = 0;
    const std::string bad = Path("bad.udf"), written = Path("w.trd");
    ASSERT_TRUE(SaveImageFile(bad, *image));

    EXPECT_EQ(Run({"write", bad, "--virtual-out", written, "--verbose"}), 3) << err.str();
    // The window's log says the same.
    for (const char* line : {"Записан сбойный сектор - дорожка 1 / сектор 3\n",
                             "Сектор не записан (нет данных) - дорожка 1 / сектор 4\n",
                             "Запись завершена со сбоями - секторов 2\n"})
        EXPECT_NE(err.str().find(line), std::string::npos) << line;
    EXPECT_EQ(out.str(),
              "wrote 2 tracks, 31 sectors, 0 failed, 1 from bad reads, 1 without data\n"
              "bad read track 1 sector 3\nnot written track 1 sector 4\n");
    Bytes back;
    ASSERT_TRUE(ReadWholeFile(written, back));
    const std::size_t at = kTrdTrackSize + 2 * kTrdSectorSize;
    ASSERT_GE(back.size(), at + kTrdSectorSize);
    EXPECT_TRUE(std::equal(back.begin() + at, back.begin() + at + kTrdSectorSize, trd.begin() + at));
}

TEST_F(WriteVerbTest, FormatTrDosGivesAnEmptyCatalogue) {
    const std::string disk = Path("new.trd");
    ASSERT_EQ(Run({"format", "trdos", "--name", "BLANK", "--virtual-out", disk}), 0) << err.str();
    EXPECT_NE(out.str().find("wrote 160 tracks, 2560 sectors, 0 failed"), std::string::npos);
    TrDosCatalogue catalogue;
    ASSERT_TRUE(ReadTrDosCatalogue(*Load(disk), catalogue));
    EXPECT_EQ(ZxDiskNameText(catalogue.diskName), "BLANK   ");
    EXPECT_EQ(catalogue.count, 0);
    EXPECT_EQ(catalogue.diskType, kDiskType80x2);
    EXPECT_EQ(catalogue.freeSectors, 2544);
}

TEST_F(WriteVerbTest, FormatCpmGivesAnEmptyDirectoryOnDriveB) {
    const std::string disk = Path("new.udi");
    ASSERT_EQ(Run({"format", "cpm", "--drive", "B", "--virtual-out", disk}), 0) << err.str();
    EXPECT_NE(out.str().find("wrote 160 tracks, 800 sectors, 0 failed"), std::string::npos);
    const auto image = Load(disk);
    EXPECT_TRUE(IsCpmImage(*image));
    EXPECT_TRUE(ReadCpmCatalogue(*image, true, true).entries.empty());
}

}  // namespace
}  // namespace morvane
