#include "ui/views/MapMenuRules.h"

#include <gtest/gtest.h>

#include "ViewsTestData.h"

namespace morvane {
namespace {

using testdata::MakeDisk;
using testdata::PresentTrack;
using testdata::PutSector;

constexpr MapMenuEntry kTrackEntries[] = {
    MapMenuEntry::ReadRawTrack,       MapMenuEntry::ReadTrackSectors,
    MapMenuEntry::ScanTrack,          MapMenuEntry::WriteTrack,
    MapMenuEntry::FormatTrack,        MapMenuEntry::RawToSectorHeaders,
    MapMenuEntry::RemoveTrack,        MapMenuEntry::SectorDataToRaw,
    MapMenuEntry::ClearTrack,         MapMenuEntry::ClearSectorsData,
    MapMenuEntry::ClearSectorHeaders,
};
constexpr MapMenuEntry kSectorEntries[] = {
    MapMenuEntry::ReadSector,        MapMenuEntry::WriteSector,     MapMenuEntry::RemoveSector,
    MapMenuEntry::AddSector,         MapMenuEntry::ClearSectorData, MapMenuEntry::ClearSectorHeader,
    MapMenuEntry::EditSectorAddress,
};

void ExpectAll(const MapMenuEnabling& e, std::initializer_list<MapMenuEntry> entries,
               EntryState state) {
    for (MapMenuEntry entry : entries)
        EXPECT_EQ(StateOf(e, entry), state) << MapMenuCaption(entry);
}

template <std::size_t N>
void ExpectAll(const MapMenuEnabling& e, const MapMenuEntry (&entries)[N], EntryState state) {
    for (MapMenuEntry entry : entries)
        EXPECT_EQ(StateOf(e, entry), state) << MapMenuCaption(entry);
}

class MapMenuRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PresentTrack(*disk, 4, 6250);  // present with raw image
        disk->GetTrack(4)->Log = {"line"};
        PresentTrack(*disk, 5);  // present, no raw, empty log
        PutSector(*disk, 4, 0, 1, 256, true);
        disk->GetTrack(9)->Log = {"kept"};  // absent with a log
    }
    MapMenuEnabling For(int column, int row) {
        return MapMenuEnablingFor(DescribeMenuCell(*disk, column, row));
    }
    std::unique_ptr<DiskImage> disk = MakeDisk();
};

TEST_F(MapMenuRulesTest, NoCellDisablesAllButLeavesClearLog) {
    const MapMenuEnabling e = For(-1, -1);
    ExpectAll(e, kTrackEntries, EntryState::Disabled);
    ExpectAll(e, kSectorEntries, EntryState::Disabled);
    ExpectAll(e, {MapMenuEntry::AddTrack, MapMenuEntry::SetBaseTrack}, EntryState::Disabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::ClearTrackLog), EntryState::Unchanged);
}

TEST_F(MapMenuRulesTest, PresentTrackLabelEnablesTrackEntries) {
    const MapMenuEnabling e = For(0, 4);
    ExpectAll(e, kTrackEntries, EntryState::Enabled);
    ExpectAll(e, kSectorEntries, EntryState::Disabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::AddTrack), EntryState::Disabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::SetBaseTrack), EntryState::Enabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::ClearTrackLog), EntryState::Enabled);
}

TEST_F(MapMenuRulesTest, BaseTrackNeedsRawImageAndClearLogNeedsLines) {
    const MapMenuEnabling e = For(0, 5);
    ExpectAll(e, kTrackEntries, EntryState::Enabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::SetBaseTrack), EntryState::Disabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::ClearTrackLog), EntryState::Disabled);
}

TEST_F(MapMenuRulesTest, AbsentTrackLabelOffersOnlyAddTrack) {
    const MapMenuEnabling e = For(0, 9);
    ExpectAll(e, kTrackEntries, EntryState::Disabled);
    ExpectAll(e, kSectorEntries, EntryState::Disabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::AddTrack), EntryState::Enabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::SetBaseTrack), EntryState::Disabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::ClearTrackLog), EntryState::Enabled);
    EXPECT_EQ(StateOf(For(0, 11), MapMenuEntry::ClearTrackLog), EntryState::Disabled);
}

TEST_F(MapMenuRulesTest, PresentSlotEnablesFourSectorEntriesLeavesThree) {
    const MapMenuEnabling e = For(1, 4);
    ExpectAll(e, kTrackEntries, EntryState::Disabled);
    ExpectAll(e, {MapMenuEntry::AddTrack, MapMenuEntry::SetBaseTrack, MapMenuEntry::ClearTrackLog},
              EntryState::Disabled);
    ExpectAll(e,
              {MapMenuEntry::ReadSector, MapMenuEntry::WriteSector, MapMenuEntry::RemoveSector,
               MapMenuEntry::EditSectorAddress},
              EntryState::Enabled);
    ExpectAll(
        e,
        {MapMenuEntry::AddSector, MapMenuEntry::ClearSectorData, MapMenuEntry::ClearSectorHeader},
        EntryState::Unchanged);
}

TEST_F(MapMenuRulesTest, EmptySlotOfPresentTrackOffersOnlyAddSector) {
    const MapMenuEnabling e = For(2, 4);
    ExpectAll(e, kTrackEntries, EntryState::Disabled);
    EXPECT_EQ(StateOf(e, MapMenuEntry::AddSector), EntryState::Enabled);
    ExpectAll(e,
              {MapMenuEntry::ReadSector, MapMenuEntry::WriteSector, MapMenuEntry::RemoveSector,
               MapMenuEntry::ClearSectorData, MapMenuEntry::ClearSectorHeader,
               MapMenuEntry::EditSectorAddress, MapMenuEntry::ClearTrackLog},
              EntryState::Disabled);
}

TEST_F(MapMenuRulesTest, SectorCellOfAbsentTrackDisablesEverything) {
    PutSector(*disk, 9, 0, 1, 256, true);  // slot kept in a track that is not present
    for (const MapMenuEnabling& e : {For(1, 9), For(3, 9)}) {
        ExpectAll(e, kTrackEntries, EntryState::Disabled);
        ExpectAll(e, kSectorEntries, EntryState::Disabled);
        ExpectAll(e,
                  {MapMenuEntry::AddTrack, MapMenuEntry::SetBaseTrack, MapMenuEntry::ClearTrackLog},
                  EntryState::Disabled);
    }
}

TEST_F(MapMenuRulesTest, CellsOutsideTheGridCountAsNoCell) {
    EXPECT_EQ(DescribeMenuCell(*disk, 26, 4).kind, MapMenuCell::Kind::None);
    EXPECT_EQ(DescribeMenuCell(*disk, 0, 166).kind, MapMenuCell::Kind::None);
}

TEST(MapMenuCaptions, EntriesCarryTheProgramsCaptions) {
    EXPECT_EQ(MapMenuCaption(MapMenuEntry::ReadRawTrack), "Считать RAW дорожки");
    EXPECT_EQ(MapMenuCaption(MapMenuEntry::SectorDataToRaw), "Данные скторов -> RAW");
    EXPECT_EQ(MapMenuCaption(MapMenuEntry::SetBaseTrack), "Установить базовым трэком");
    EXPECT_EQ(MapMenuCaption(MapMenuEntry::EditSectorAddress), "Редактировать адрес сектора");
    for (std::size_t i = 0; i < kMapMenuEntryCount; ++i)
        EXPECT_FALSE(MapMenuCaption(static_cast<MapMenuEntry>(i)).empty()) << i;
}

}  // namespace
}  // namespace morvane
