#include "imagefiles/ImageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "DiskCompare.h"
#include "filesystems/NewImages.h"
#include "filesystems/TrDosAdding.h"
#include "formats/Trd.h"
#include "imagefiles/DialogFilters.h"
#include "imagefiles/ImageContent.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class ImageFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("morvane-imagefiles-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // A two-track TR-DOS disk with distinct bytes in every sector.
    std::unique_ptr<DiskImage> TrdDisk() const {
        Bytes trd(2 * kTrdTrackSize);
        for (std::size_t i = 0; i < trd.size(); ++i)
            trd[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
        auto made = std::make_unique<DiskImage>();
        EXPECT_TRUE(ReadTrd(trd, *made));
        return made;
    }

    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();

  private:
    fs::path dir_;
};

Bytes FileBytes(const std::string& path) {
    Bytes out;
    EXPECT_TRUE(ReadWholeFile(path, out)) << path;
    return out;
}

// SCL and Hobeta readers come from the filesystems layer; their rows hold them from the
// start, with nothing to install.
TEST(ImageFormatTable, HoldsEveryFormatOnceWithItsReader) {
    std::set<ImageFormat> seen;
    for (const ImageFormatEntry& entry : ImageFormats()) {
        EXPECT_TRUE(seen.insert(entry.format).second);
        EXPECT_NE(entry.read, nullptr) << entry.name;
        EXPECT_EQ(FindImageFormat(entry.format), &entry);
    }
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(FindImageFormat(ImageFormat::Unknown), nullptr);
}

TEST(ImageFormatTable, EveryFormatIsWrittenAndOnlyTd0Compressed) {
    for (ImageFormat f : {ImageFormat::Udf, ImageFormat::Udi, ImageFormat::Trd, ImageFormat::Td0,
                          ImageFormat::Fdi}) {
        EXPECT_TRUE(CanWriteFormat(f)) << FormatExtension(f);
        EXPECT_EQ(CanCompressFormat(f), f == ImageFormat::Td0) << FormatExtension(f);
    }
    EXPECT_FALSE(CanWriteFormat(ImageFormat::Unknown));
    EXPECT_FALSE(CanCompressFormat(ImageFormat::Unknown));
    EXPECT_TRUE(CanReadFormat(ImageFormat::Td0));
    EXPECT_FALSE(CanReadFormat(ImageFormat::Unknown));
}

TEST(ImageFormatTable, DialogNamesCompareThreeCharactersAfterTheDot) {
    EXPECT_EQ(FormatFromDialogName("/d/game.udif"), ImageFormat::Udi);
    EXPECT_EQ(FormatFromDialogName("C:\\d\\GAME.Td0x"), ImageFormat::Td0);
    EXPECT_EQ(FormatFromDialogName("a.trd"), ImageFormat::Trd);
    EXPECT_EQ(FormatFromDialogName("a.fdi"), ImageFormat::Fdi);
    EXPECT_EQ(FormatFromDialogName("a.ud"), ImageFormat::Unknown);
    EXPECT_EQ(FormatFromDialogName("a.dsk"), ImageFormat::Unknown);
    EXPECT_EQ(FormatFromDialogName("a.udf"), ImageFormat::Unknown);  // not in those dialogs
    EXPECT_EQ(FormatFromDialogName("dir.udi/a"), ImageFormat::Unknown);
    EXPECT_EQ(FormatFromDialogName("a.Scl"), ImageFormat::Scl);
    EXPECT_EQ(FormatFromDialogName("a.$c"), ImageFormat::Hobeta);
}

// Nothing has to be installed before an SCL file is read: the load goes as far as the file.
TEST(ImageFormatTable, TrDosFileSetsAreReadWithoutInstalling) {
    auto d = std::make_unique<DiskImage>();
    EXPECT_FALSE(LoadImageFileAs("/nonexistent/a.scl", ImageFormat::Scl, *d));
    EXPECT_EQ(d->LastError, "cannot read /nonexistent/a.scl");
}

TEST(ImageFormatTable, LoadErrorLinesFollowTheWindowsWording) {
    EXPECT_EQ(LoadErrorLine(ImageFormat::Udi, "bad"), "Error load UDI - \"bad\"");
    EXPECT_EQ(LoadErrorLine(ImageFormat::Fdi, "bad"), "Error load FDI -\"bad\"");
    EXPECT_EQ(LoadErrorLine(ImageFormat::Td0, "Size Error."), "Error load TD0 -\"Size Error.\"");
    EXPECT_EQ(LoadErrorLine(ImageFormat::Trd, "x"), "Error load TRD -\"x\"");
    EXPECT_EQ(LoadErrorLine(ImageFormat::Udf, "x"), "Error load UDF -\"x\"");
    EXPECT_EQ(LoadErrorLine(ImageFormat::Unknown, "x"), "");
}

TEST(ImageFormatTable, UdiSaveFailureLineNamesTrackAndSlot) {
    auto d = std::make_unique<DiskImage>();
    d->FailTrack = 17;
    d->FailSlot = 3;
    EXPECT_EQ(UdiSaveFailedLine(*d), "Ошибка в дорожке - 17 / Сектор - 3");
}

TEST(ImageFormatTable, DialogFiltersAndDefaultExtensions) {
    EXPECT_EQ(SaveAsDefaultExtension(1), "udi");
    EXPECT_EQ(SaveAsDefaultExtension(2), "trd");
    EXPECT_EQ(SaveAsDefaultExtension(3), "td0");
    EXPECT_EQ(SaveAsDefaultExtension(4), "fdi");
    // Every format with a writer, the program's own last.
    EXPECT_EQ(SaveAsDefaultExtension(5), "scl");
    EXPECT_EQ(SaveAsDefaultExtension(6), "$?");
    EXPECT_EQ(SaveAsDefaultExtension(7), "udf");
    EXPECT_EQ(SaveAsDefaultExtension(0), "");
    EXPECT_EQ(SaveAsDefaultExtension(8), "");
    EXPECT_TRUE(kSaveAsFilter.starts_with(kLoadAsFilter.substr(0, kLoadAsFilter.find("|Поддерж"))));
    EXPECT_TRUE(kSaveAsFilter.ends_with("|Universal Disk Format (*.udf)|*.udf"));
    EXPECT_TRUE(kLoadAsFilter.ends_with("|*.fdi;*.trd;*.udi;*.td0;*.scl;*.$?"));
    EXPECT_EQ(SingleSaveFilter(ImageFormat::Udi), "Ultra Disk Image (*.udi)|*.udi");
    EXPECT_EQ(SingleLoadFilter(ImageFormat::Udi), "Universal Disk Image (*.udi)|*.udi");
    EXPECT_EQ(SingleSaveFilter(ImageFormat::Td0), "");
    EXPECT_EQ(SingleLoadFilter(ImageFormat::Udf), "Universal Disk Format (*.udf)|*.udf");
}

TEST(ImageFormatTable, NameFiltersPairDescriptionsWithTheirPatterns) {
    EXPECT_EQ(NameFilters(kNativeFilter),
              std::vector<std::string>{"Universal Disk Format (*.udf)"});
    const std::vector<std::string> load = NameFilters(kLoadAsFilter);
    ASSERT_EQ(load.size(), 7u);
    EXPECT_EQ(load[0], "Универсальный образ диска (*.udi)");
    EXPECT_EQ(load[3], "Полный образ диска (*.fdi)");
    EXPECT_EQ(load[5], "Файл Hobeta (*.$?)");
    EXPECT_EQ(load[6],
              "Поддерживаемые форматы (*.udi,*.trd,*.td0,*.fdi,*.scl,*.$?) "
              "(*.fdi *.trd *.udi *.td0 *.scl *.$?)");
    EXPECT_EQ(kLoadAsDefaultFilterIndex, 7);
    EXPECT_EQ(NameFilters(kSaveAsFilter).size(), 7u);
    EXPECT_EQ(NameFilters("Text|*.txt"), std::vector<std::string>{"Text (*.txt)"});
    EXPECT_TRUE(NameFilters("").empty());
    EXPECT_TRUE(NameFilters("dangling description").empty());
}

// Every row of the table: a reader, an entry for its extension in the dialogs, names that
// the path and dialog rules take to it, and a file of its writer that reads back the
// sectors written. The disk holds one TR-DOS file, which every format can carry.
TEST_F(ImageFilesTest, EveryFormatOfTheTableReadsBackWhatItWrote) {
    auto source = std::make_unique<DiskImage>();
    CreateTrDosImage(*source, kNewTrDosDiskName);
    TrDosFileData file;
    std::ranges::copy(std::string_view("ROWS    "), file.entry.name.begin());
    file.entry.type = 'C';
    file.entry.sectors = 3;
    file.entry.length = static_cast<std::uint16_t>(3 * kTrDosSectorSize);
    for (std::size_t i = 0; i < file.entry.length; ++i)
        file.data.push_back(static_cast<std::uint8_t>(i * 7 + i / 256));
    std::string error;
    ASSERT_TRUE(AddTrDosFiles(*source, {&file, 1}, error)) << error;

    for (const ImageFormatEntry& row : ImageFormats()) {
        std::string extension(row.extension);
        std::ranges::replace(extension, '?', 'C');
        const std::string path = Path("rows." + extension);
        SCOPED_TRACE(path);
        EXPECT_NE(row.read, nullptr);
        EXPECT_EQ(FormatFromPath(path), row.format);
        EXPECT_EQ(FormatFromDialogName(path), row.loadAs ? row.format : ImageFormat::Unknown);
        const std::string pattern = "*." + std::string(row.extension);
        EXPECT_TRUE(row.filter.ends_with(" (" + pattern + ")|" + pattern)) << row.filter;
        EXPECT_NE(kAllFormatsFilter.find(row.filter), std::string_view::npos);
        EXPECT_EQ(kLoadAsFilter.find(row.filter) != std::string_view::npos, row.loadAs);
        EXPECT_EQ(kSaveAsFilter.find(row.filter) != std::string_view::npos, row.saveAs);
        EXPECT_EQ(row.saveAs, row.write != nullptr);
        if (row.write == nullptr) continue;
        ASSERT_TRUE(SaveImageFile(path, *source)) << source->LastError;
        // Known by its content under another format's name, or none: only a TRD carries no
        // mark of its own, and is known by its TR-DOS information sector.
        const Bytes written = FileBytes(path);
        EXPECT_EQ(FormatFromContent(written),
                  row.format == ImageFormat::Trd ? ImageFormat::Unknown : row.format);
        for (const char* name : {"rows", "rows.udf", "rows.trd", "rows.$C"})
            EXPECT_EQ(RecogniseImage(name, written), row.format) << name;
        auto back = std::make_unique<DiskImage>();
        ASSERT_TRUE(LoadImageFile(path, *back)) << back->LastError;
        for (std::uint8_t t = 0; t < kNewImageTracks; ++t) {
            for (std::uint8_t r = 1; r <= kTrDosSectorsPerTrack; ++r) {
                const SectorSlot* want = source->FindSector(t, r);
                const SectorSlot* got = back->FindSector(t, r);
                ASSERT_NE(got, nullptr) << int{t} << "/" << int{r};
                EXPECT_TRUE(std::equal(want->Data.begin(), want->Data.begin() + kTrDosSectorSize,
                                       got->Data.begin()))
                    << int{t} << "/" << int{r};
            }
        }
    }
}

// The name decides where the bytes carry no other format's mark: a file that is not what
// its name says is left to that format's reader, which says why; a file with neither a
// known name nor a mark is no format.
TEST(ImageContent, NameDecidesWhereTheBytesSayNothingElse) {
    const Bytes plain(4096, 0xE5);
    EXPECT_EQ(RecogniseImage("a.udi", plain), ImageFormat::Udi);
    EXPECT_EQ(RecogniseImage("a.trd", plain), ImageFormat::Trd);
    EXPECT_EQ(RecogniseImage("a.dsk", plain), ImageFormat::Unknown);
    EXPECT_EQ(RecogniseImage("a", Bytes{}), ImageFormat::Unknown);
    Bytes trd(2 * kTrdTrackSize, 0);
    trd[8 * kTrdSectorSize + 0xE7] = 0x10;
    EXPECT_TRUE(LooksLikeTrd(trd));
    trd.pop_back();
    EXPECT_FALSE(LooksLikeTrd(trd));
}

TEST_F(ImageFilesTest, NativeFileRoundTripsByExtension) {
    auto source = TrdDisk();
    source->DiskLog = {"Комментарий"};
    source->GetTrack(1)->Log = {"строка журнала"};
    ASSERT_TRUE(SaveImageFile(Path("a.UDF"), *source)) << source->LastError;
    ASSERT_TRUE(LoadImageFile(Path("a.UDF"), *disk)) << disk->LastError;
    EXPECT_TRUE(SameDisk(*source, *disk));
}

// Every format that holds a disk comment (TD0 plain and compressed, FDI, the native
// format) gives it back after a save, also through the other formats: TD0 -> FDI -> TD0.
TEST_F(ImageFilesTest, CommentSurvivesEveryFormatThatHoldsOne) {
    const std::vector<std::string> comment{"Комментарий к диску", "", "second line"};
    const std::pair<const char*, ImageCompression> files[] = {{"c.td0", ImageCompression::None},
                                                              {"z.td0", ImageCompression::Lzh},
                                                              {"c.fdi", ImageCompression::None},
                                                              {"c.udf", ImageCompression::None}};
    for (const auto& [name, compression] : files) {
        auto source = TrdDisk();
        source->DiskLog = comment;
        ASSERT_TRUE(SaveImageFile(Path(name), *source, kDefaultRestoreTrack, compression))
            << name << ": " << source->LastError;
        ASSERT_TRUE(LoadImageFile(Path(name), *disk)) << name << ": " << disk->LastError;
        EXPECT_EQ(disk->DiskLog, comment) << name;
    }
    auto chain = TrdDisk();
    chain->DiskLog = comment;
    for (const char* name : {"1.td0", "2.fdi", "3.td0"}) {
        ASSERT_TRUE(SaveImageFile(Path(name), *chain)) << name << ": " << chain->LastError;
        chain = std::make_unique<DiskImage>();
        ASSERT_TRUE(LoadImageFile(Path(name), *chain)) << name << ": " << chain->LastError;
        EXPECT_EQ(chain->DiskLog, comment) << name;
    }
}

TEST_F(ImageFilesTest, TrdFileRoundTripsItsSectors) {
    auto source = TrdDisk();
    ASSERT_TRUE(SaveImageFile(Path("a.trd"), *source));
    EXPECT_EQ(FileBytes(Path("a.trd")).size(), 2 * kTrdTrackSize);
    ASSERT_TRUE(LoadImageFile(Path("a.trd"), *disk));
    disk->CountTracks();  // the TRD reader leaves the count to its caller
    EXPECT_TRUE(SameDisk(*source, *disk));
}

TEST_F(ImageFilesTest, UdiSaveSetsNoTrackRestoreFromTheSetting) {
    auto source = TrdDisk();
    ASSERT_TRUE(SaveImageFile(Path("r.udi"), *source, false)) << source->LastError;
    EXPECT_TRUE(source->NoTrackRestore);
    ASSERT_TRUE(SaveImageFile(Path("r.udi"), *source)) << source->LastError;
    EXPECT_FALSE(source->NoTrackRestore);
    ASSERT_TRUE(LoadImageFile(Path("r.udi"), *disk)) << disk->LastError;
    for (std::uint8_t t = 0; t < 2; ++t) {
        for (std::uint8_t r = 1; r <= 16; ++r) {
            const SectorSlot* got = disk->FindSector(t, r);
            const SectorSlot* want = source->FindSector(t, r);
            ASSERT_NE(got, nullptr);
            ASSERT_EQ(got->DataLength, 256);
            EXPECT_TRUE(std::equal(want->Data.begin(), want->Data.begin() + 256, got->Data.begin()))
                << int{t} << "/" << int{r};
        }
    }
}

TEST_F(ImageFilesTest, NativeSaveKeepsNoTrackRestoreAsHeld) {
    disk->NoTrackRestore = true;
    ASSERT_TRUE(SaveImageFile(Path("n.udf"), *disk, true));
    EXPECT_TRUE(disk->NoTrackRestore);
}

TEST_F(ImageFilesTest, Td0AndFdiFilesRoundTripTheirSectors) {
    auto source = TrdDisk();
    for (const char* name : {"a.td0", "a.fdi"}) {
        ASSERT_TRUE(SaveImageFile(Path(name), *source)) << name << ": " << source->LastError;
        ASSERT_TRUE(LoadImageFile(Path(name), *disk)) << name << ": " << disk->LastError;
        for (std::uint8_t t = 0; t < 2; ++t)
            EXPECT_TRUE(SameTrack(*source->GetTrack(t), *disk->GetTrack(t), name));
    }
}

// A raw-only read leaves the sectors without data: the sector formats take it from the
// raw images.
TEST_F(ImageFilesTest, SectorFormatsTakeSectorsOnlyARawImageHolds) {
    auto source = TrdDisk();
    ASSERT_TRUE(SaveImageFile(Path("raw.udi"), *source));
    for (const char* name : {"a.trd", "a.td0", "a.fdi"}) {
        ASSERT_TRUE(LoadImageFile(Path("raw.udi"), *disk));
        for (std::uint8_t t = 0; t < 2; ++t) {
            ASSERT_NE(disk->GetTrack(t)->RawValid, 0);
            for (SectorSlot& slot : disk->GetTrack(t)->Slots) {
                slot.DataLength = 0;
                slot.DataGood = 0;
            }
        }
        ASSERT_TRUE(SaveImageFile(Path(name), *disk)) << name << ": " << disk->LastError;
        ASSERT_TRUE(LoadImageFile(Path(name), *disk)) << name;
        for (std::uint8_t t = 0; t < 2; ++t)
            EXPECT_TRUE(SameTrack(*source->GetTrack(t), *disk->GetTrack(t), name));
    }
}

TEST_F(ImageFilesTest, CompressionPicksTheTd0CompressedWriter) {
    auto source = TrdDisk();
    ASSERT_TRUE(SaveImageFile(Path("c.td0"), *source, true, ImageCompression::Lzh));
    const Bytes file = FileBytes(Path("c.td0"));
    ASSERT_GE(file.size(), 2u);
    EXPECT_EQ(file[0], 't');
    EXPECT_EQ(file[1], 'd');
    ASSERT_TRUE(LoadImageFile(Path("c.td0"), *disk)) << disk->LastError;
    EXPECT_TRUE(SameTrack(*source->GetTrack(1), *disk->GetTrack(1), "c.td0"));
}

TEST_F(ImageFilesTest, CompressionOfAFormatWithoutItIsRefusedAndNothingWritten) {
    for (const char* name : {"a.fdi", "a.trd", "a.udi", "a.udf"}) {
        disk->LastError.clear();
        EXPECT_FALSE(SaveImageFile(Path(name), *disk, true, ImageCompression::Lzh)) << name;
        EXPECT_NE(disk->LastError.find("no compressed form"), std::string::npos) << name;
        EXPECT_FALSE(fs::exists(Path(name))) << name;
    }
}

TEST_F(ImageFilesTest, UnknownExtensionIsRefused) {
    EXPECT_FALSE(SaveImageFile(Path("a.dsk"), *disk));
    EXPECT_EQ(disk->LastError, "unknown image format: " + Path("a.dsk"));
    EXPECT_FALSE(fs::exists(Path("a.dsk")));
    EXPECT_FALSE(LoadImageFile(Path("a.dsk"), *disk));
    EXPECT_EQ(disk->LastError, "unknown image format: " + Path("a.dsk"));
}

TEST_F(ImageFilesTest, MissingFileIsRefusedWithoutTouchingTheImage) {
    disk->GetTrack(3)->Present = kPresent;
    EXPECT_FALSE(LoadImageFile(Path("none.udi"), *disk));
    EXPECT_EQ(disk->LastError, "cannot read " + Path("none.udi"));
    EXPECT_EQ(disk->GetTrack(3)->Present, kPresent);
    EXPECT_FALSE(LoadImageFileAs("", ImageFormat::Udf, *disk));
}

TEST_F(ImageFilesTest, ReaderRefusalKeepsTheReadersMessage) {
    ASSERT_TRUE(WriteFileAtomically(Path("bad.udf"), Bytes(10, 0)));
    EXPECT_FALSE(LoadImageFile(Path("bad.udf"), *disk));
    EXPECT_NE(disk->LastError.find("too short for a native image"), std::string::npos);
}

TEST_F(ImageFilesTest, FailedSaveLeavesTheOldFileAsItWas) {
    const Bytes old{1, 2, 3, 4};
    ASSERT_TRUE(WriteFileAtomically(Path("keep.trd"), old));
    disk->GetTrack(0)->Present = kPresent;  // a track without sectors 1..16
    EXPECT_FALSE(SaveImageFile(Path("keep.trd"), *disk));
    EXPECT_NE(disk->LastError.find("TRD image cannot be built"), std::string::npos);
    EXPECT_EQ(FileBytes(Path("keep.trd")), old);
}

TEST_F(ImageFilesTest, UnwritableTargetIsReported) {
    EXPECT_FALSE(SaveImageFile(Path("no/such/dir/a.udf"), *disk));
    EXPECT_EQ(disk->LastError,
              "cannot write " + Path("no/such/dir/a.udf") + ": No such file or directory");
}

}  // namespace
}  // namespace morvane
