// Every TRD, UDI, FDI and TD0 image of the corpus of files written by other tools goes
// through the format table: it loads, or is refused with a message. Each one that loads is
// saved as a native image and loaded back, and must come back unchanged.
#include <gtest/gtest.h>

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
    auto disk = std::make_unique<TZX_Disk>();
    auto back = std::make_unique<TZX_Disk>();
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

}  // namespace
}  // namespace morvane
