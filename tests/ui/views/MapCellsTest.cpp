#include "ui/views/MapCells.h"

#include <gtest/gtest.h>

#include "ViewsTestData.h"

namespace morvane {
namespace {

using testdata::MakeDisk;
using testdata::PresentTrack;
using testdata::PutSector;

TEST(MapCellTexts, TrackLabelHasThreeDigits) {
    EXPECT_EQ(TrackLabelText(0), "T000");
    EXPECT_EQ(TrackLabelText(7), "T007");
    EXPECT_EQ(TrackLabelText(165), "T165");
}

TEST(MapCellTexts, SectorLabelKeepsLastTwoDigits) {
    EXPECT_EQ(SectorLabelText(1), "s01");
    EXPECT_EQ(SectorLabelText(16), "s16");
    EXPECT_EQ(SectorLabelText(100), "s00");
    EXPECT_EQ(SectorLabelText(255), "s55");
}

TEST(MapCellTexts, CentringRoundsHalvesToEven) {
    EXPECT_EQ(CentredOffset(30, 20), 5);
    EXPECT_EQ(CentredOffset(30, 25), 2);   // 2.5 -> 2
    EXPECT_EQ(CentredOffset(30, 23), 4);   // 3.5 -> 4
    EXPECT_EQ(CentredOffset(14, 13), 0);   // 0.5 -> 0
    EXPECT_EQ(CentredOffset(14, 11), 2);   // 1.5 -> 2
    EXPECT_EQ(CentredOffset(10, 13), -2);  // -1.5 -> -2
}

TEST(MapCellLooks, TrackWithRawIsWhiteOnBlue) {
    auto disk = MakeDisk();
    PresentTrack(*disk, 7, 6250);
    const MapCellLook look = LookOfCell(*disk, 0, 7, false);
    EXPECT_EQ(look.tile, MapTile::LabelRaw);
    EXPECT_EQ(look.text, "T007");
    EXPECT_TRUE(look.whiteText);
}

TEST(MapCellLooks, TrackWithoutRawIsBlackOnYellow) {
    auto disk = MakeDisk();
    PresentTrack(*disk, 7);
    const MapCellLook look = LookOfCell(*disk, 0, 7, false);
    EXPECT_EQ(look.tile, MapTile::LabelNoRaw);
    EXPECT_EQ(look.text, "T007");
    EXPECT_FALSE(look.whiteText);
}

TEST(MapCellLooks, LabelTextComesFromTheRowNotTheTracksNumberField) {
    auto disk = MakeDisk();
    PresentTrack(*disk, 7).Number = 99;
    EXPECT_EQ(LookOfCell(*disk, 0, 7, false).text, "T007");
}

TEST(MapCellLooks, SectorColourFollowsDataLengthThenDataGood) {
    auto disk = MakeDisk();
    PresentTrack(*disk, 3);
    PutSector(*disk, 3, 0, 1, 256, false);
    PutSector(*disk, 3, 1, 2, 256, true);
    PutSector(*disk, 3, 2, 3, 0, true);
    PutSector(*disk, 3, 3, 4, 0, false);
    EXPECT_EQ(LookOfCell(*disk, 1, 3, false).tile, MapTile::SectorBad);
    EXPECT_EQ(LookOfCell(*disk, 1, 3, false).text, "s01");
    EXPECT_EQ(LookOfCell(*disk, 2, 3, false).tile, MapTile::SectorGood);
    EXPECT_EQ(LookOfCell(*disk, 3, 3, false).tile, MapTile::SectorHeaderOnly);
    EXPECT_EQ(LookOfCell(*disk, 4, 3, false).tile, MapTile::SectorHeaderOnly);
}

TEST(MapCellLooks, EmptyCellsShowDisabledTilesOnlyWhenAsked) {
    auto disk = MakeDisk();
    EXPECT_EQ(LookOfCell(*disk, 0, 10, false).tile, MapTile::None);
    EXPECT_EQ(LookOfCell(*disk, 5, 10, false).tile, MapTile::None);
    const MapCellLook label = LookOfCell(*disk, 0, 10, true);
    const MapCellLook sector = LookOfCell(*disk, 5, 10, true);
    EXPECT_EQ(label.tile, MapTile::LabelDisabled);
    EXPECT_EQ(sector.tile, MapTile::SectorDisabled);
    EXPECT_TRUE(label.text.empty());
    EXPECT_TRUE(sector.text.empty());
}

TEST(MapCellLooks, RemovedTrackShowsNothingThoughSlotsRemain) {
    auto disk = MakeDisk();
    PresentTrack(*disk, 20);
    PutSector(*disk, 20, 0, 1, 256, true);
    disk->GetTrack(20)->Present = 0;
    EXPECT_EQ(LookOfCell(*disk, 0, 20, false).tile, MapTile::None);
    EXPECT_EQ(LookOfCell(*disk, 1, 20, false).tile, MapTile::None);
    EXPECT_EQ(LookOfCell(*disk, 1, 20, true).tile, MapTile::None);
}

TEST(MapCellLooks, OutsideTheGridShowsNothing) {
    auto disk = MakeDisk();
    PresentTrack(*disk, 0);
    EXPECT_EQ(LookOfCell(*disk, 26, 0, true).tile, MapTile::None);
    EXPECT_EQ(LookOfCell(*disk, -1, 0, true).tile, MapTile::None);
    EXPECT_EQ(LookOfCell(*disk, 0, 166, true).tile, MapTile::None);
}

TEST(MapGeometry, ColumnsAreFiftyThenThirtyPixels) {
    EXPECT_EQ(ColumnLeft(0), 0);
    EXPECT_EQ(ColumnLeft(1), 50);
    EXPECT_EQ(ColumnLeft(25), 50 + 24 * 30);
    EXPECT_EQ(ColumnWidth(0), 50);
    EXPECT_EQ(ColumnWidth(7), 30);
}

TEST(MapRedrawScroll, ScrollsOneRowOnlyWhenTrackIsBelowVisibleRows) {
    // Rows 0..9 fully visible.
    EXPECT_EQ(TopRowAfterRedraw(0, 10, 9, 156), 0);
    EXPECT_EQ(TopRowAfterRedraw(0, 10, 10, 156), 1);
    EXPECT_EQ(TopRowAfterRedraw(0, 10, 11, 156), 1);      // two rows below: still one row
    EXPECT_EQ(TopRowAfterRedraw(5, 10, 2, 156), 5);       // never scrolls up
    EXPECT_EQ(TopRowAfterRedraw(156, 9, 165, 156), 156);  // no scrolling past the end
}

}  // namespace
}  // namespace morvane
