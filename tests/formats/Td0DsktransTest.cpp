// Our TD0 files as another tool of the field reads them: libdsk's dsktrans and dskid
// (Debian package libdsk-utils). Skipped when the tools are not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "formats/td0/Td0.h"
#include "formats/td0/Td0Writer.h"
#include "support/Corpus.h"
#include "support/ExternalTools.h"
#include "support/SectorDisks.h"
#include "support/TempFolder.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

using test::HaveTool;
using test::Output;
using test::Quoted;

class Td0Libdsk : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveTool("dsktrans") || !HaveTool("dskid"))
            GTEST_SKIP() << "dsktrans/dskid absent: install the Debian package libdsk-utils";
        folder_.emplace("morvane-libdsk");
    }
    fs::path Path(const std::string& name) const { return folder_->Dir() / name; }

    std::optional<test::TempFolder> folder_;
};

struct PcDisk {
    const char* td0;
    const char* raw;
};

// Both are 40-cylinder, two-sided, 9 x 512 disks. libdsk guesses a wrong geometry for
// sector_test_360k from its boot sector, from TeleDisk's own file too, so the format is
// named rather than guessed.
constexpr std::array<PcDisk, 2> kPcDisks{
    {{"Transylvania.td0", "Transylvania.img"}, {"sector_test_360k.td0", "sector_test_360k.img"}}};

TEST_F(Td0Libdsk, DsktransReadsOurTd0OfThePcDisksToTheirRawImages) {
    for (const PcDisk& pc : kPcDisks) {
        const fs::path corpus = test::CorpusDir();
        if (!fs::exists(corpus / "td0" / pc.td0) || !fs::exists(corpus / "raw" / pc.raw))
            GTEST_SKIP() << "corpus files absent: " << pc.td0 << ", " << pc.raw;
        auto disk = std::make_unique<DiskImage>();
        ASSERT_TRUE(ReadTd0(test::LoadFile(corpus / "td0" / pc.td0), *disk));
        const Bytes raw = test::LoadFile(corpus / "raw" / pc.raw);
        for (bool compress : {false, true}) {
            SCOPED_TRACE(std::string(pc.td0) + (compress ? " compressed" : " plain"));
            Bytes file;
            ASSERT_TRUE(compress ? WriteTd0Compressed(*disk, file) : WriteTd0(*disk, file));
            ASSERT_TRUE(WriteFileAtomically(Path("our.td0").string(), file));
            fs::remove(Path("out.img"));
            const std::string command = "dsktrans -itype tele -format ibm360 " +
                                        Quoted(Path("our.td0")) + " -otype raw " +
                                        Quoted(Path("out.img")) + " > /dev/null 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            EXPECT_EQ(test::LoadFile(Path("out.img")), raw);
        }
    }
}

TEST_F(Td0Libdsk, DskidShowsOurCommentAndCompression) {
    auto disk = std::make_unique<DiskImage>();
    for (std::uint8_t t = 0; t < 80; ++t)
        for (std::uint8_t r = 1; r <= 9; ++r)
            test::PutSector(*disk, t, static_cast<std::uint8_t>(r - 1), r, 2,
                               Bytes(512, static_cast<std::uint8_t>(t + r)));
    disk->DiskLog = {"Morvane comment line"};
    for (bool compress : {false, true}) {
        Bytes file;
        ASSERT_TRUE(compress ? WriteTd0Compressed(*disk, file) : WriteTd0(*disk, file));
        ASSERT_TRUE(WriteFileAtomically(Path("c.td0").string(), file));
        const std::string report = Output("dskid -type tele " + Quoted(Path("c.td0")) + " 2>&1");
        EXPECT_NE(report.find("] Morvane comment line"), std::string::npos) << report;
        EXPECT_EQ(report.find("Compression: TeleDisk advanced") != std::string::npos, compress)
            << report;
    }
}

}  // namespace
}  // namespace morvane
