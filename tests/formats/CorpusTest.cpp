// Every TRD, UDI, FDI and TD0 image of the corpus of files written by other tools goes
// through the format table: it loads, or is refused with a message. Each one that loads is
// saved as a native image and loaded back, and must come back unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DiskCompare.h"
#include "imagefiles/ImageFiles.h"
#include "support/Corpus.h"
#include "support/TempFolder.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

struct CorpusImage {
    std::string file;  // relative to the corpus folder
    std::string format;
};

std::vector<CorpusImage> ReadManifest(const fs::path& corpus) {
    std::vector<CorpusImage> images;
    std::ifstream manifest(corpus / "MANIFEST.tsv");
    std::string line;
    std::getline(manifest, line);  // column names
    while (std::getline(manifest, line)) {
        std::istringstream row(line);
        CorpusImage image;
        if (!std::getline(row, image.file, '\t') || !std::getline(row, image.format, '\t'))
            continue;
        if (image.format == "trd" || image.format == "udi" || image.format == "fdi" ||
            image.format == "td0")
            images.push_back(image);
    }
    return images;
}

TEST(Corpus, EveryImageLoadsOrIsRefusedAndLoadedOnesSurviveTheNativeFormat) {
    const fs::path corpus = test::CorpusDir();
    if (!fs::exists(corpus / "MANIFEST.tsv"))
        GTEST_SKIP() << "corpus folder " << corpus << " is absent";
    const std::vector<CorpusImage> images = ReadManifest(corpus);
    ASSERT_FALSE(images.empty()) << "no TRD, UDI, FDI or TD0 rows in the manifest";

    const test::TempFolder temp("morvane-corpus");
    const std::string native = temp.Path("image.udf");
    auto disk = std::make_unique<DiskImage>();
    auto back = std::make_unique<DiskImage>();
    int loaded = 0;
    for (const CorpusImage& image : images) {
        SCOPED_TRACE(image.file);
        const std::string path = (corpus / image.file).string();
        disk->LastError.clear();
        if (!LoadImageFile(path, *disk)) {
            std::cout << "refused  " << image.file << ": " << disk->LastError << "\n";
            EXPECT_FALSE(disk->LastError.empty()) << "refused without a message";
            continue;
        }
        ++loaded;
        const std::uint8_t tracks = disk->CountTracks();
        std::cout << "loaded   " << image.file << ": " << int{tracks} << " tracks\n";
        ASSERT_TRUE(SaveImageFile(native, *disk)) << disk->LastError;
        ASSERT_TRUE(LoadImageFile(native, *back)) << back->LastError;
        EXPECT_TRUE(SameDisk(*disk, *back));
    }
    std::cout << loaded << " of " << images.size() << " images loaded\n";
    EXPECT_GT(loaded, 0);
}

// The TD0 comment blocks and FDI descriptions of the corpus come back as the disk comment:
// its first lines as other tools read them (libdsk's dskid for the TD0 files, the notes on
// the FDI headers, CP866 for the DOS ones), nothing for a file without one.
TEST(Corpus, Td0AndFdiFilesLoadWithTheirComment) {
    const struct {
        const char* file;
        std::vector<std::string> firstLines;
    } cases[] = {
        {"td0/85-SS80.TD0",
         {"HP-85 S/W, SS/80 EXERCISER, 5010-0310/2537. DOES NOT INCLUDE THE SERVC F", "ILE."}},
        {"td0/Transylvania.td0", {"Transylvania (C)1982-1986 Polarware / Penguin Software"}},
        {"td0/sector_test_360k.td0", {"sector test - 360k"}},
        {"td0/UFO1.TD0", {}},
        {"fdi/VORON1.FDI", {"черный ворон disk 1 of 2 fdi image by PGC/BDA 09.1998"}},
        {"fdi/LOCOMOT.FDI", {"The Locomotion video"}},
        {"fdi/MK_ORIG.FDI", {"", "'This file created by TDCVT by Sergey Erokhin'"}},
        {"fdi/GALLOWS.FDI", {}},
    };
    auto disk = std::make_unique<DiskImage>();
    for (const auto& c : cases) {
        const std::string path = test::CorpusPath(c.file);
        if (!fs::exists(path)) GTEST_SKIP() << path << " is absent";
        ASSERT_TRUE(LoadImageFile(path, *disk)) << c.file << ": " << disk->LastError;
        if (c.firstLines.empty()) {
            EXPECT_TRUE(disk->DiskLog.empty()) << c.file;
            continue;
        }
        ASSERT_GE(disk->DiskLog.size(), c.firstLines.size()) << c.file;
        EXPECT_TRUE(std::equal(c.firstLines.begin(), c.firstLines.end(), disk->DiskLog.begin()))
            << c.file << ": " << disk->DiskLog.front();
    }
}

}  // namespace
}  // namespace morvane
