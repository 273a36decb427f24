#include "filesystems/TrDosEditing.h"

#include <gtest/gtest.h>

#include <functional>

#include "filesystems/TrDosAdding.h"
#include "filesystems/TrDosSectors.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

using test::AddTrDosFile;
using test::ExpectedFileBytes;
using test::NewTrDosDisk;
using test::TrDosSector;

class TrDosEditingTest : public ::testing::Test {
  protected:
    void Read() { ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue)); }
    std::uint8_t Info(std::size_t offset) {
        return TrDosSector(*disk, 0, kTrDosInfoSector).Data[offset];
    }
    Bytes FileOf(std::size_t entry) {
        Bytes data;
        EXPECT_TRUE(ReadTrDosFile(*disk, catalogue.entries.at(entry), data));
        return data;
    }
    Bytes Track0() {
        Bytes all;
        EXPECT_TRUE(ReadTrDosSectors(*disk, 0, 0, 16, all));
        return all;
    }

    std::unique_ptr<DiskImage> disk = NewTrDosDisk();
    TrDosCatalogue catalogue;
};

TEST_F(TrDosEditingTest, DeleteMarksEntriesAndCountsThemInTheInformationSector) {
    for (const char* name : {"a", "b", "c"})
        AddTrDosFile(*disk, name, 'C', 1, 1);
    Read();
    const std::size_t chosen[] = {0, 2};
    EXPECT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);
    EXPECT_EQ(TrDosSector(*disk, 0, 1).Data[0], kTrDosDeletedMark);
    EXPECT_EQ(TrDosSector(*disk, 0, 1).Data[32], kTrDosDeletedMark);
    EXPECT_EQ(Info(kInfoFileCount), 3);
    EXPECT_EQ(Info(kInfoDeletedCount), 2);
    EXPECT_EQ(catalogue.deletedCount, 2);  // the record was read again
    EXPECT_EQ(ListedEntries(catalogue, false), std::vector<std::size_t>{1});
}

TEST_F(TrDosEditingTest, DeleteCountsOnlyTheEntriesBeforeAnErasedLastFile) {
    for (const char* name : {"a", "b", "c"})
        AddTrDosFile(*disk, name, 'C', 1, 1);
    TrDosSector(*disk, 0, 1).Data[32] = 0;  // "c" erased as TR-DOS erases the last file
    TrDosSector(*disk, 0, kTrDosInfoSector).Data[kInfoFileCount] = 2;
    Read();
    const std::size_t chosen[] = {0};
    EXPECT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);
    EXPECT_EQ(Info(kInfoFileCount), 2);
    EXPECT_EQ(Info(kInfoDeletedCount), 1);
}

TEST_F(TrDosEditingTest, DeleteStopsAtAnUnreadableCatalogueSectorKeepingEarlierWork) {
    for (int i = 0; i < 20; ++i)
        AddTrDosFile(*disk, "f" + std::to_string(i), 'C', 1, 1);
    Read();
    TrDosSector(*disk, 0, 1).DataLength = 0;
    const std::size_t chosen[] = {3, 17};
    const TrDosEditResult r = DeleteEntries(*disk, catalogue, chosen);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Ошибка сектора - (track 0 sector 1)..!");
    EXPECT_EQ(TrDosSector(*disk, 0, 2).Data[16], kTrDosDeletedMark);  // entry 17
    EXPECT_EQ(Info(kInfoDeletedCount), 1);
}

TEST_F(TrDosEditingTest, RenameToTwoLettersLeavesSixZeroBytes) {
    Read();
    ASSERT_TRUE(RenameDisk(*disk, catalogue, "AB"));
    const SectorSlot& info = TrDosSector(*disk, 0, kTrDosInfoSector);
    const TrDosName expected{'A', 'B', 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), info.Data.begin() + kInfoDiskName));
    EXPECT_EQ(catalogue.diskName, expected);
}

TEST_F(TrDosEditingTest, RenameTakesAtMostEightBytesAndNeedsSectorNine) {
    Read();
    ASSERT_TRUE(RenameDisk(*disk, catalogue, "LONGERNAME"));
    EXPECT_EQ(TrimmedZxName(catalogue.diskName), "LONGERNA");
    EXPECT_EQ(Info(kInfoDiskName + 8), 0);  // the byte after the field is untouched
    disk->GetTrack(0)->ClearSlot(8);
    EXPECT_FALSE(RenameDisk(*disk, catalogue, "X"));
}

TEST(RenameNeeded, ComparesWithTheNameWithoutTrailingSpacesAndControlBytes) {
    const TrDosName name{'D', 'I', 'S', 'K', ' ', ' ', 0, 0};
    EXPECT_FALSE(RenameNeeded(name, "DISK"));
    EXPECT_TRUE(RenameNeeded(name, "DISK "));
    EXPECT_TRUE(RenameNeeded(name, "DISC"));
}

TEST_F(TrDosEditingTest, CompactMovesFilesOverDeletedOnesAndSetsFreeSpace) {
    AddTrDosFile(*disk, "gone1", 'C', 2, 1);
    AddTrDosFile(*disk, "keep1", 'B', 3, 2);
    AddTrDosFile(*disk, "gone2", 'C', 14, 3);
    AddTrDosFile(*disk, "keep2", 'C', 5, 4);
    Read();
    const std::size_t chosen[] = {0, 2};
    ASSERT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);

    ASSERT_TRUE(CompactDisk(*disk, catalogue).ok);
    ASSERT_EQ(catalogue.count, 2);
    EXPECT_EQ(TrimmedZxName(catalogue.entries[0].name), "keep1");
    EXPECT_EQ(catalogue.entries[0].StartPosition(), 16u);
    EXPECT_EQ(catalogue.entries[1].StartPosition(), 19u);
    EXPECT_EQ(FileOf(0), ExpectedFileBytes(2, 3));
    EXPECT_EQ(FileOf(1), ExpectedFileBytes(4, 5));
    EXPECT_EQ(catalogue.fileCount, 2);
    EXPECT_EQ(catalogue.deletedCount, 0);
    EXPECT_EQ(catalogue.firstFreeTrack, 1);
    EXPECT_EQ(catalogue.firstFreeSector, 8);
    EXPECT_EQ(catalogue.freeSectors, 2560 - 24);
    EXPECT_EQ(TrDosSector(*disk, 0, 1).Data[32], 0);  // the third entry place is emptied
}

TEST_F(TrDosEditingTest, CompactOfADiskOfUnknownTypeAddsTheGainedSectorsToTheFreeOnes) {
    AddTrDosFile(*disk, "gone", 'C', 4, 1);
    AddTrDosFile(*disk, "keep", 'C', 3, 2);
    TrDosSector(*disk, 0, kTrDosInfoSector).Data[kInfoDiskType] = 0;
    SetLe16(TrDosSector(*disk, 0, kTrDosInfoSector).Data, kInfoFreeSectors, 100);
    Read();
    const std::size_t chosen[] = {0};
    ASSERT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);
    ASSERT_TRUE(CompactDisk(*disk, catalogue).ok);
    EXPECT_EQ(catalogue.freeSectors, 104);
    EXPECT_EQ(catalogue.firstFreeSector, 3);
}

class CompactFirstByteTest : public TrDosEditingTest,
                             public ::testing::WithParamInterface<std::uint8_t> {};

// A space, or a colour control code before the name, is part of a file's name.
TEST_P(CompactFirstByteTest, CompactKeepsAFileWhoseNameBeginsWithASpaceOrAControlCode) {
    AddTrDosFile(*disk, "gone", 'C', 4, 1);
    AddTrDosFile(*disk, std::string(1, static_cast<char>(GetParam())) + "space", 'C', 3, 2);
    AddTrDosFile(*disk, "last", 'C', 2, 3);
    Read();
    const std::size_t chosen[] = {0};
    ASSERT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);
    ASSERT_TRUE(CompactDisk(*disk, catalogue).ok);
    ASSERT_EQ(catalogue.count, 2);
    EXPECT_EQ(catalogue.entries[0].name[0], GetParam());
    EXPECT_EQ(ZxNameText(catalogue.entries[0].name).substr(1), "space  ");
    EXPECT_EQ(FileOf(0), ExpectedFileBytes(2, 3));
    EXPECT_EQ(FileOf(1), ExpectedFileBytes(3, 2));
    EXPECT_EQ(catalogue.entries[1].StartPosition(), 19u);
}

INSTANTIATE_TEST_SUITE_P(FirstBytes, CompactFirstByteTest,
                         ::testing::Values(std::uint8_t{' '}, std::uint8_t{0x02},
                                           std::uint8_t{0x10}, std::uint8_t{0x1F}));

TEST_F(TrDosEditingTest, CompactMovesFilesInDiskOrderWhateverTheCatalogueOrder) {
    const TrDosEntry gap = AddTrDosFile(*disk, "gap", 'C', 4, 1);
    const TrDosEntry low = AddTrDosFile(*disk, "low", 'C', 6, 2);
    const TrDosEntry high = AddTrDosFile(*disk, "high", 'C', 3, 3);
    // The catalogue lists the later file first.
    test::PutTrDosEntry(*disk, 0, high);
    test::PutTrDosEntry(*disk, 1, low);
    TrDosEntry deleted = gap;
    deleted.name[0] = kTrDosDeletedMark;
    test::PutTrDosEntry(*disk, 2, deleted);
    Read();
    ASSERT_TRUE(CompactDisk(*disk, catalogue).ok);
    ASSERT_EQ(catalogue.count, 2);
    EXPECT_EQ(TrimmedZxName(catalogue.entries[0].name), "high");
    EXPECT_EQ(FileOf(0), ExpectedFileBytes(3, 3));
    EXPECT_EQ(FileOf(1), ExpectedFileBytes(2, 6));
    EXPECT_EQ(catalogue.entries[1].StartPosition(), 16u);
    EXPECT_EQ(catalogue.entries[0].StartPosition(), 22u);
}

TEST_F(TrDosEditingTest, CompactNeverMovesTheDestinationBackOverAnOverlappingFile) {
    AddTrDosFile(*disk, "long", 'C', 10, 1);
    TrDosEntry inside = AddTrDosFile(*disk, "inside", 'C', 2, 2);
    inside.firstSector = 2;  // shares sectors of "long"
    test::PutTrDosEntry(*disk, 1, inside);
    AddTrDosFile(*disk, "gone", 'C', 3, 3);
    const TrDosEntry last = AddTrDosFile(*disk, "last", 'C', 2, 4);
    Read();
    const std::size_t chosen[] = {2};
    ASSERT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);
    ASSERT_TRUE(CompactDisk(*disk, catalogue).ok);
    EXPECT_EQ(FileOf(0), ExpectedFileBytes(1, 10));
    EXPECT_EQ(catalogue.entries[2].StartPosition(), 16u + 10u);
    EXPECT_EQ(FileOf(2), ExpectedFileBytes(4, 2));
    EXPECT_NE(last.StartPosition(), catalogue.entries[2].StartPosition());
}

TEST_F(TrDosEditingTest, CompactMovesAFileSharingSectorsOfAMovedFileWithIt) {
    struct Case {
        const char* what;
        std::uint8_t sharedStart;  // sector index on track 1 of "shared"
        unsigned lastStart;        // after compaction
    };
    const Case cases[] = {{"inside", 5, 26}, {"sticking out at the end", 12, 27}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        disk = NewTrDosDisk();
        AddTrDosFile(*disk, "gone", 'C', 3, 1);
        AddTrDosFile(*disk, "long", 'C', 10, 2);  // positions 19..28
        TrDosEntry shared = AddTrDosFile(*disk, "shared", 'C', 2, 3);
        shared.firstSector = c.sharedStart;
        test::PutTrDosEntry(*disk, 2, shared);
        AddTrDosFile(*disk, "last", 'C', 2, 4);
        Read();
        const Bytes sharedBytes = FileOf(2);
        const std::size_t chosen[] = {0};
        ASSERT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);
        ASSERT_TRUE(CompactDisk(*disk, catalogue).ok);
        ASSERT_EQ(catalogue.count, 3);
        EXPECT_EQ(FileOf(0), ExpectedFileBytes(2, 10));
        EXPECT_EQ(catalogue.entries[1].StartPosition(), 16u + c.sharedStart - 3u);
        EXPECT_EQ(FileOf(1), sharedBytes);
        EXPECT_EQ(catalogue.entries[2].StartPosition(), c.lastStart);
        EXPECT_EQ(FileOf(2), ExpectedFileBytes(4, 2));
    }
}

TEST_F(TrDosEditingTest, CompactWithAnUnreadableSourceChangesNothing) {
    AddTrDosFile(*disk, "gone", 'C', 2, 1);
    AddTrDosFile(*disk, "keep", 'C', 3, 2);
    Read();
    const std::size_t chosen[] = {0};
    ASSERT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);
    TrDosSector(*disk, 1, 4).DataLength = 100;  // the second sector of "keep"
    const Bytes before = Track0();
    const Bytes movedOver = ExpectedFileBytes(1, 2);
    const TrDosEditResult r = CompactDisk(*disk, catalogue);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Ошибка сектора - (track 1 sector 3)..!");
    EXPECT_EQ(Track0(), before);
    Bytes gone;
    ASSERT_TRUE(ReadTrDosSectors(*disk, 1, 0, 2, gone));
    EXPECT_EQ(gone, movedOver);
}

TEST_F(TrDosEditingTest, CompactMakesAnAbsentDestinationSectorPresent) {
    AddTrDosFile(*disk, "gone", 'C', 1, 1);
    AddTrDosFile(*disk, "keep", 'C', 1, 2);
    Read();
    const std::size_t chosen[] = {0};
    ASSERT_TRUE(DeleteEntries(*disk, catalogue, chosen).ok);
    Track& track = *disk->GetTrack(1);
    track.Slots[0].Present = 0;
    track.CountSectors();
    ASSERT_TRUE(CompactDisk(*disk, catalogue).ok);
    EXPECT_EQ(track.Slots[0].Present, kPresent);
    EXPECT_EQ(track.SectorCount, 16);
    EXPECT_EQ(FileOf(0), ExpectedFileBytes(2, 1));
}

TEST_F(TrDosEditingTest, EditEntryWritesTheFieldsIntoTheImage) {
    AddTrDosFile(*disk, "old", 'C', 2, 1);
    Read();
    TrDosEntryEdit edit;
    edit.name = TrDosNameFromText("new");
    edit.type = 'B';
    edit.start = 0x1234;
    edit.length = 0x0150;
    ASSERT_TRUE(EditEntry(*disk, catalogue, 0, edit).ok);
    const SectorSlot& s = TrDosSector(*disk, 0, 1);
    const Bytes expected{'n', 'e',  'w',  ' ',  ' ',  ' ', ' ', ' ',
                         'B', 0x34, 0x12, 0x50, 0x01, 2,   0,   1};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), s.Data.begin()));
    EXPECT_EQ(catalogue.entries[0].start, 0x1234);
}

// A name TR-DOS reads as a deleted file or as the catalogue's end would hide the file and
// let the next compaction take its sectors: refused, the image unchanged. A deleted entry
// whose name stays as it was may still have its other fields edited.
TEST_F(TrDosEditingTest, EditEntryRefusesANameTrDosWouldNotRead) {
    const struct {
        std::uint8_t first;
        const char* reason;
    } cases[] = {{0x01, "which TR-DOS takes for a deleted file"},
                 {0x00, "where TR-DOS ends the catalogue"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int{c.first});
        disk = NewTrDosDisk();
        AddTrDosFile(*disk, "old", 'C', 2, 1);
        Read();
        const Bytes before = Track0();
        TrDosEntryEdit edit{TrDosNameFromText("xold"), 'B', 0, 0};
        edit.name[0] = c.first;
        const TrDosEditResult r = EditEntry(*disk, catalogue, 0, edit);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
        EXPECT_EQ(Track0(), before);
        EXPECT_TRUE(catalogue.entries[0].IsListed());
    }
    const std::size_t first[] = {0};
    ASSERT_TRUE(DeleteEntries(*disk, catalogue, first).ok);
    const TrDosEntryEdit retyped{catalogue.entries[0].name, 'B', 1, 2};
    ASSERT_TRUE(EditEntry(*disk, catalogue, 0, retyped).ok);
    EXPECT_EQ(catalogue.entries[0].type, 'B');
    EXPECT_EQ(Info(kInfoDeletedCount), 1);
}

// Track 0 holding sectors 1 and 9 twice, the copies in slots 16 and 17: the catalogue is
// read from the copies, so every change must land there.
TEST_F(TrDosEditingTest, ChangesLandInTheSlotsTheCatalogueIsReadFrom) {
    struct Case {
        const char* what;
        std::function<bool(DiskImage&, TrDosCatalogue&)> change;
        std::function<bool(const TrDosCatalogue&)> seen;
    };
    const std::size_t first[] = {0};
    TrDosFileData added;
    added.entry.name = TrDosNameFromText("added");
    added.entry.type = 'C';
    added.entry.sectors = 1;
    added.data = ExpectedFileBytes(9, 1);
    const Case cases[] = {
        {"delete", [&](DiskImage& d, TrDosCatalogue& c) { return DeleteEntries(d, c, first).ok; },
         [](const TrDosCatalogue& c) { return c.deletedCount == 2 && !c.entries[0].IsListed(); }},
        {"rename the disk", [](DiskImage& d, TrDosCatalogue& c) { return RenameDisk(d, c, "XY"); },
         [](const TrDosCatalogue& c) { return TrimmedZxName(c.diskName) == "XY"; }},
        {"edit an entry",
         [](DiskImage& d, TrDosCatalogue& c) {
             return EditEntry(d, c, 0, TrDosEntryEdit{TrDosNameFromText("new"), 'B', 1, 2}).ok;
         },
         [](const TrDosCatalogue& c) { return TrimmedZxName(c.entries[0].name) == "new"; }},
        {"compact", [](DiskImage& d, TrDosCatalogue& c) { return CompactDisk(d, c).ok; },
         [](const TrDosCatalogue& c) {
             return c.count == 2 && c.entries[1].StartPosition() == 18;
         }},
        {"add",
         [&](DiskImage& d, TrDosCatalogue&) {
             std::string error;
             return AddTrDosFiles(d, std::span(&added, 1), error);
         },
         [](const TrDosCatalogue& c) { return c.count == 4 && c.fileCount == 4; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        disk = NewTrDosDisk();
        AddTrDosFile(*disk, "keep", 'C', 2, 1);
        TrDosEntry gone = AddTrDosFile(*disk, "gone", 'C', 3, 2);
        AddTrDosFile(*disk, "last", 'C', 1, 3);
        gone.name[0] = kTrDosDeletedMark;
        test::PutTrDosEntry(*disk, 1, gone);
        TrDosSector(*disk, 0, kTrDosInfoSector).Data[kInfoDeletedCount] = 1;
        Track& track0 = *disk->GetTrack(0);
        track0.Slots[16] = track0.Slots[0];
        track0.Slots[17] = track0.Slots[8];
        track0.CountSectors();
        Read();
        ASSERT_TRUE(k.change(*disk, catalogue));
        Read();
        EXPECT_TRUE(k.seen(catalogue));
        const auto last =
            std::find_if(catalogue.entries.begin(), catalogue.entries.end(),
                         [](const TrDosEntry& e) { return TrimmedZxName(e.name) == "last"; });
        ASSERT_NE(last, catalogue.entries.end());
        EXPECT_EQ(FileOf(static_cast<std::size_t>(last - catalogue.entries.begin())),
                  ExpectedFileBytes(3, 1));
    }
}

}  // namespace
}  // namespace morvane
