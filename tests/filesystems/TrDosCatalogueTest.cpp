#include "filesystems/TrDosCatalogue.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/TestDisks.h"

namespace morvane {
namespace {

using test::AddTrDosFile;
using test::NewTrDosDisk;
using test::TrDosSector;

class TrDosCatalogueTest : public ::testing::Test {
  protected:
    std::unique_ptr<DiskImage> disk = NewTrDosDisk();
    TrDosCatalogue catalogue;
};

struct InfoCase {
    std::uint8_t idByte;
    std::uint8_t diskType;
    bool accepted;
};

class TrDosInfoSectorTest : public TrDosCatalogueTest,
                            public ::testing::WithParamInterface<InfoCase> {};

TEST_P(TrDosInfoSectorTest, AcceptsTheTrDosIdWithAnyDiskType) {
    SectorSlot& info = TrDosSector(*disk, 0, kTrDosInfoSector);
    info.Data[kInfoIdByte] = GetParam().idByte;
    info.Data[kInfoDiskType] = GetParam().diskType;
    EXPECT_EQ(ReadTrDosCatalogue(*disk, catalogue), GetParam().accepted);
    EXPECT_EQ(catalogue.valid, GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Values, TrDosInfoSectorTest,
                         ::testing::Values(InfoCase{0x10, 0x16, true}, InfoCase{0x10, 0x17, true},
                                           InfoCase{0x10, 0x18, true}, InfoCase{0x10, 0x19, true},
                                           InfoCase{0x10, 0x00, true}, InfoCase{0x10, 0x1A, true},
                                           InfoCase{0x00, 0x16, false},
                                           InfoCase{0x11, 0x16, false}));

struct SlotCase {
    const char* what;
    std::uint8_t sector;
    std::uint8_t sizeCode;
    std::uint16_t dataLength;
    bool accepted;
};

class TrDosTrack0SlotTest : public TrDosCatalogueTest,
                            public ::testing::WithParamInterface<SlotCase> {};

TEST_P(TrDosTrack0SlotTest, ChecksTheSlotsOfSectorsOneToNineOnly) {
    SectorSlot& slot = TrDosSector(*disk, 0, GetParam().sector);
    slot.SizeCode = GetParam().sizeCode;
    slot.DataLength = GetParam().dataLength;
    EXPECT_EQ(ReadTrDosCatalogue(*disk, catalogue), GetParam().accepted) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Slots, TrDosTrack0SlotTest,
    ::testing::Values(SlotCase{"catalogue sector of 512 bytes", 3, 2, 256, false},
                      SlotCase{"information sector of 512 bytes", 9, 2, 256, false},
                      SlotCase{"short information sector", 9, 1, 255, false},
                      SlotCase{"short catalogue sector is read anyway", 2, 1, 0, true},
                      SlotCase{"sector 12 is not looked at", 12, 2, 0, true}));

TEST_F(TrDosCatalogueTest, AbsentTrackZeroIsNoCatalogue) {
    disk->GetTrack(0)->Present = 0;
    EXPECT_FALSE(ReadTrDosCatalogue(*disk, catalogue));
}

TEST_F(TrDosCatalogueTest, MissingCatalogueSectorReadsAsZeros) {
    AddTrDosFile(*disk, "first", 'C', 1, 1);
    disk->GetTrack(0)->ClearSlot(0);  // sector 1
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue));
    EXPECT_EQ(catalogue.count, 0);
}

TEST_F(TrDosCatalogueTest, CatalogueSlotIsTheSlotTheReaderTakes) {
    struct Case {
        const char* what;
        std::function<void(Track&)> layout;
        int slotOfSector1;  // -1: none
    };
    const Case cases[] = {
        {"ordinary track", [](Track&) {}, 0},
        {"second copy after the others", [](Track& t) { t.Slots[16] = t.Slots[0]; }, 16},
        {"moved beyond the count of occupied slots",
         [](Track& t) {
             t.Slots[16] = t.Slots[0];
             t.ClearSlot(0);
         },
         -1},
        {"short sector", [](Track& t) { t.Slots[0].DataLength = 255; }, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        disk = NewTrDosDisk();
        Track& track = *disk->GetTrack(0);
        c.layout(track);
        track.CountSectors();
        const SectorSlot* expected = c.slotOfSector1 < 0 ? nullptr : &track.Slots[c.slotOfSector1];
        EXPECT_EQ(CatalogueSlot(*disk, 1), expected);
        EXPECT_EQ(CatalogueSlot(*disk, kTrDosInfoSector), &track.Slots[8]);
    }
}

TEST_F(TrDosCatalogueTest, FullCatalogueWithoutTerminatorHas128Entries) {
    for (std::size_t i = 0; i < kTrDosMaxEntries; ++i) {
        TrDosEntry e;
        e.name.fill('A');
        e.sectors = 1;
        test::PutTrDosEntry(*disk, i, e);
    }
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue));
    EXPECT_EQ(catalogue.count, 128);
    EXPECT_EQ(ListedEntries(catalogue, false).size(), 128u);
}

TEST_F(TrDosCatalogueTest, EightZeroNameBytesEndTheCatalogue) {
    AddTrDosFile(*disk, "one", 'C', 1, 1);
    AddTrDosFile(*disk, "two", 'C', 1, 2);
    AddTrDosFile(*disk, "three", 'C', 1, 3);
    TrDosEntry end;  // zero name, other fields not zero
    end.type = 'B';
    end.sectors = 5;
    test::PutTrDosEntry(*disk, 1, end);
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue));
    EXPECT_EQ(catalogue.count, 1);
}

TEST_F(TrDosCatalogueTest, ReadsEntryFieldsAndInformation) {
    AddTrDosFile(*disk, "game", 'B', 3, 1, 700);
    const TrDosEntry written = AddTrDosFile(*disk, "code", 'C', 20, 2);
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue));
    ASSERT_EQ(catalogue.count, 2);
    const TrDosEntry& e = catalogue.entries[1];
    EXPECT_EQ(e.name, written.name);
    EXPECT_EQ(e.type, 'C');
    EXPECT_EQ(e.start, 0x6000);
    EXPECT_EQ(e.sectors, 20);
    EXPECT_EQ(e.firstSector, 3);
    EXPECT_EQ(e.firstTrack, 1);
    EXPECT_EQ(catalogue.firstFreeSector, 7);
    EXPECT_EQ(catalogue.firstFreeTrack, 2);
    EXPECT_EQ(catalogue.freeSectors, 2544 - 23);
    EXPECT_EQ(catalogue.fileCount, 2);
    EXPECT_EQ(catalogue.entries[0].length, 700);
}

struct RowCase {
    bool showDeleted;
    std::size_t row;
    std::optional<std::size_t> entry;
};

class TrDosRowMappingTest : public TrDosCatalogueTest,
                            public ::testing::WithParamInterface<RowCase> {};

TEST_P(TrDosRowMappingTest, MapsListRowsToEntries) {
    for (const char* name : {"a", "b", "c", "d"})
        AddTrDosFile(*disk, name, 'C', 1, 1);
    TrDosSector(*disk, 0, 1).Data[0] = kTrDosDeletedMark;  // entry 0
    TrDosSector(*disk, 0, 1).Data[2 * 16] = 0x1F;          // entry 2, a control byte: a file
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue));
    EXPECT_EQ(EntryOfRow(catalogue, GetParam().showDeleted, GetParam().row), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(Rows, TrDosRowMappingTest,
                         ::testing::Values(RowCase{false, 0, 1}, RowCase{false, 1, 2},
                                           RowCase{false, 2, 3}, RowCase{false, 3, std::nullopt},
                                           RowCase{true, 0, 0}, RowCase{true, 2, 2},
                                           RowCase{true, 4, std::nullopt}));

TEST_F(TrDosCatalogueTest, OwnerLookupNamesTheFileHoldingTheSector) {
    AddTrDosFile(*disk, "boot", 'B', 2, 1);   // track 1, sectors 0..1
    AddTrDosFile(*disk, "data", 'C', 16, 2);  // track 1 sector 2 .. track 2 sector 1
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue));
    EXPECT_EQ(SectorOwnerText(catalogue, 1, 0), "boot     _B");
    EXPECT_EQ(SectorOwnerText(catalogue, 1, 1), "boot     _B");
    EXPECT_EQ(SectorOwnerText(catalogue, 1, 2), "data     _C");
    EXPECT_EQ(SectorOwnerText(catalogue, 2, 1), "data     _C");
    EXPECT_EQ(SectorOwnerText(catalogue, 2, 2), kFreeSectorText);
    EXPECT_EQ(SectorOwnerText(catalogue, 0, 3), "");
    EXPECT_EQ(SectorOwnerText(TrDosCatalogue{}, 1, 0), "");
}

TEST_F(TrDosCatalogueTest, SlotOwnerUsesTheSectorNumberOfAnInterleavedTrack) {
    AddTrDosFile(*disk, "boot", 'B', 1, 1);  // track 1, sector number 1
    Track& track = *disk->GetTrack(1);
    std::swap(track.Slots[0], track.Slots[8]);  // slot 0 now holds sector 9
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue));
    EXPECT_EQ(SlotOwnerText(*disk, catalogue, 1, 8), "boot     _B");
    EXPECT_EQ(SlotOwnerText(*disk, catalogue, 1, 0), kFreeSectorText);
    EXPECT_EQ(SlotOwnerText(*disk, catalogue, 1, 20), "");  // an empty slot
}

TEST(ZxNameText, ShowsControlBytesAsQuestionMarksAndEndsAtAZero) {
    const TrDosName deleted{0x01, 'A', 'M', 'E', ' ', ' ', ' ', ' '};
    const TrDosName renamed{'A', 'B', 0, 0, 0, 0, 0, 0};
    const TrDosName cyrillic{0xC4, 0xE8, 0xF1, 0xEA, ' ', ' ', ' ', ' '};
    EXPECT_EQ(ZxNameText(deleted), "?AME    ");
    EXPECT_EQ(ZxNameText(renamed), "AB");
    EXPECT_EQ(ZxNameText(cyrillic), "Диск    ");
    EXPECT_EQ(ZxDiskNameText(renamed), "AB");
    EXPECT_EQ(ZxDiskNameText(TrDosName{}), "");
    EXPECT_EQ(ZxDiskNameText(deleted), "?AME    ");
}

struct ArgumentCase {
    const char* argument;
    bool matches;
};

class EntryArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(EntryArgumentTest, TakesTheTrimmedNameWithAnOptionalTypeLetter) {
    TrDosEntry e;
    e.name = TrDosName{'b', 'o', 'o', 't', ' ', ' ', ' ', ' '};
    e.type = 'B';
    EXPECT_EQ(EntryMatchesArgument(e, GetParam().argument), GetParam().matches);
}

TEST(EntryArgument, TakesAWindows1251NameAsUtf8) {
    TrDosEntry e;
    e.name = TrDosName{0xC8, 0xC3, 0xD0, 0xC0, ' ', ' ', ' ', ' '};
    e.type = 'B';
    EXPECT_TRUE(EntryMatchesArgument(e, "ИГРА"));
    EXPECT_TRUE(EntryMatchesArgument(e, "ИГРА.B"));
    EXPECT_FALSE(EntryMatchesArgument(e, "ИГР"));
}

INSTANTIATE_TEST_SUITE_P(Arguments, EntryArgumentTest,
                         ::testing::Values(ArgumentCase{"boot", true}, ArgumentCase{"boot.B", true},
                                           ArgumentCase{"boot.C", false},
                                           ArgumentCase{"boot ", false},
                                           ArgumentCase{"BOOT", false},
                                           ArgumentCase{"boot.B.", false},
                                           ArgumentCase{"boo", false}));

}  // namespace
}  // namespace morvane
