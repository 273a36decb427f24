// SCL archives and Hobeta files read as images: the corpus's files load and save back byte
// for byte, the disk they give is laid out as TR-DOS lays files out, and broken or oversized
// files are refused without touching the image.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosFileImages.h"
#include "imagefiles/ImageFiles.h"
#include "support/Corpus.h"
#include "support/TempFolder.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

Bytes SclOf(const std::vector<std::pair<std::uint8_t, std::uint8_t>>& files) {  // seed, sectors
    Bytes scl(kSclSignature.begin(), kSclSignature.end());
    scl.push_back(static_cast<std::uint8_t>(files.size()));
    for (const auto& [seed, sectors] : files) {
        const std::string name = "FILE" + std::to_string(seed) + "    ";
        scl.insert(scl.end(), name.begin(), name.begin() + 8);
        scl.push_back('C');
        PutLe16(scl, 0x8000);
        PutLe16(scl, static_cast<std::uint16_t>(sectors * 256));
        scl.push_back(sectors);
    }
    for (const auto& [seed, sectors] : files)
        for (std::size_t i = 0; i < sectors * 256u; ++i)
            scl.push_back(test::FileByte(seed, i));
    PutLe32(scl, SclChecksum(scl));
    return scl;
}

class TrDosFileImages : public ::testing::Test {
  protected:
    std::unique_ptr<DiskImage> disk_ = std::make_unique<DiskImage>();
    test::TempFolder temp_{"trdos_file_images"};
};

TEST_F(TrDosFileImages, EveryCorpusArchiveAndHobetaFileSavesBackByteForByte) {
    std::vector<fs::path> files = test::CorpusFiles("scl");
    const std::vector<fs::path> hobeta = test::CorpusFiles("hobeta");
    files.insert(files.end(), hobeta.begin(), hobeta.end());
    if (files.empty()) GTEST_SKIP() << "corpus folder " << MORVANE_CORPUS_DIR << " is absent";
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        Bytes original;
        ASSERT_TRUE(ReadWholeFile(path.string(), original));
        ASSERT_TRUE(LoadImageFile(path.string(), *disk_)) << disk_->LastError;
        const fs::path copy = temp_.Dir() / path.filename();
        ASSERT_TRUE(SaveImageFile(copy.string(), *disk_)) << disk_->LastError;
        Bytes saved;
        ASSERT_TRUE(ReadWholeFile(copy.string(), saved));
        // A Hobeta file ends with its sectors; bytes some tool left after them are not kept.
        if (FormatFromPath(path.string()) == ImageFormat::Hobeta)
            original.resize(kHobetaHeaderSize + original[14] * kTrDosSectorSize);
        EXPECT_EQ(saved, original);
    }
}

TEST_F(TrDosFileImages, FilesLieInConsecutiveSectorsFromTrackOne) {
    ASSERT_TRUE(ReadSclImage(SclOf({{1, 3}, {2, 20}, {3, 1}}), *disk_)) << disk_->LastError;
    TrDosCatalogue c;
    ASSERT_TRUE(ReadTrDosCatalogue(*disk_, c));
    ASSERT_EQ(c.count, 3);
    const unsigned expectedStart[] = {16, 19, 39};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(c.entries[i].StartPosition(), expectedStart[i]) << i;
    EXPECT_EQ(c.firstFreeTrack, 2);
    EXPECT_EQ(c.firstFreeSector, 8);
    EXPECT_EQ(c.fileCount, 3);
    EXPECT_EQ(c.freeSectors, 2544 - 24);
    EXPECT_EQ(c.diskType, kDiskType80x2);
    Bytes second;
    ASSERT_TRUE(ReadTrDosFile(*disk_, c.entries[1], second));
    EXPECT_EQ(second, test::ExpectedFileBytes(2, 20));
}

Bytes Cut(Bytes b, std::size_t drop) {
    b.resize(b.size() - drop);
    return b;
}

Bytes WithByte(Bytes b, std::size_t at, std::uint8_t value) {
    b[at] = value;
    return b;
}

// The archive with the name of file `index` replaced and its checksum made good again.
Bytes WithName(Bytes scl, std::size_t index, std::string_view name) {
    std::copy_n(name.begin(), 8, scl.begin() + 9 + 14 * static_cast<std::ptrdiff_t>(index));
    scl.resize(scl.size() - 4);
    PutLe32(scl, SclChecksum(scl));
    return scl;
}

Bytes ManyFiles(std::size_t count, std::uint8_t sectors) {
    std::vector<std::pair<std::uint8_t, std::uint8_t>> files;
    for (std::size_t i = 0; i < count; ++i)
        files.push_back({static_cast<std::uint8_t>(i), sectors});
    return SclOf(files);
}

TEST_F(TrDosFileImages, BrokenOrOversizedFilesAreRefusedAndTheImageKept) {
    const Bytes scl = SclOf({{1, 2}});
    Bytes hobeta = HobetaHeader(TrDosEntry{{'A', ' ', ' ', ' ', ' ', ' ', ' ', ' '}, 'B', 1, 2, 1});
    hobeta.resize(hobeta.size() + 256, 0x55);
    Bytes deleted = HobetaHeader(TrDosEntry{{1, 'D', ' ', ' ', ' ', ' ', ' ', ' '}, 'B', 1, 2, 1});
    deleted.resize(deleted.size() + 256, 0x55);
    const Bytes three = SclOf({{1, 1}, {2, 1}, {3, 1}});
    struct Case {
        const char* what;
        ImageFormat format;
        Bytes file;
        const char* message;
    };
    const Case cases[] = {
        {"archive cut short", ImageFormat::Scl, Cut(scl, 5), "shorter"},
        {"archive without its checksum", ImageFormat::Scl, Cut(scl, 4), "checksum"},
        {"wrong signature", ImageFormat::Scl, WithByte(scl, 0, 'X'), "SINCLAIR"},
        {"wrong checksum", ImageFormat::Scl, WithByte(scl, 30, 0xEE), "checksum"},
        {"129 files", ImageFormat::Scl, ManyFiles(129, 1), "at most 128"},
        {"2550 sectors", ImageFormat::Scl, ManyFiles(10, 255), "2544"},
        {"Hobeta cut short", ImageFormat::Hobeta, Cut(hobeta, 1), "shorter"},
        {"Hobeta header checksum", ImageFormat::Hobeta, WithByte(hobeta, 9, 7), "checksum"},
        {"name ending the catalogue", ImageFormat::Scl,
         WithName(three, 1, std::string_view("\0\0\0\0\0\0\0\0", 8)),
         "file 2 of 3, ?.C, has a name beginning with byte 0x00"},
        {"name of a deleted file", ImageFormat::Scl, WithName(three, 2, "\x01       "),
         "file 3 of 3, ?.C, has a name beginning with byte 0x01"},
        {"Hobeta of a deleted file", ImageFormat::Hobeta, deleted, "?D.B, has a name beginning"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto kept = test::NewTrDosDisk();
        test::AddTrDosFile(*kept, "keep", 'C', 4, 9);
        const bool read = c.format == ImageFormat::Scl ? ReadSclImage(c.file, *kept)
                                                       : ReadHobetaImage(c.file, *kept);
        EXPECT_FALSE(read);
        EXPECT_NE(kept->LastError.find(c.message), std::string::npos) << kept->LastError;
        TrDosCatalogue catalogue;
        ASSERT_TRUE(ReadTrDosCatalogue(*kept, catalogue));
        ASSERT_EQ(catalogue.count, 1);
        EXPECT_EQ(TrimmedZxName(catalogue.entries[0].name), "keep");
    }
}

TEST_F(TrDosFileImages, HobetaOfADiskWithSeveralFilesIsRefused) {
    auto disk = test::NewTrDosDisk();
    test::AddTrDosFile(*disk, "one", 'C', 1, 1);
    test::AddTrDosFile(*disk, "two", 'C', 1, 2);
    Bytes out;
    EXPECT_FALSE(WriteHobetaImage(*disk, out));
    EXPECT_NE(disk->LastError.find("the image has 2"), std::string::npos) << disk->LastError;
}

}  // namespace
}  // namespace morvane
