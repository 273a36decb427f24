#include <gtest/gtest.h>

#include "ViewsTestData.h"
#include "model/Checksums.h"
#include "ui/views/MapCells.h"
#include "ui/views/SectorEditor.h"
#include "ui/views/SectorHeaderEditor.h"

namespace morvane {
namespace {

using testdata::MakeDisk;
using testdata::PresentTrack;
using testdata::PutSector;

class HeaderEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PresentTrack(*disk, 6);
        PutSector(*disk, 6, 0, 4, 256, true, 2);
        dlg.LoadFrom(Slot());
    }
    SectorSlot& Slot() { return *disk->GetSlot(6, 0); }
    std::unique_ptr<DiskImage> disk = MakeDisk();
    SectorHeaderEditor dlg;
};

TEST_F(HeaderEditorTest, FilledFromSlotWithAcceptDisabled) {
    EXPECT_EQ(dlg.windowTitle(), "Заголовок");
    EXPECT_EQ(dlg.cylinderField()->text(), "3");
    EXPECT_EQ(dlg.sectorField()->text(), "4");
    EXPECT_EQ(dlg.headList()->currentText(), "0");
    EXPECT_EQ(dlg.sizeList()->currentText(), "512b");
    EXPECT_TRUE(dlg.noErrorsBox()->isChecked());
    EXPECT_EQ(dlg.noErrorsBox()->text(), "Без ошибок");
    EXPECT_EQ(dlg.crcLabel()->text(), "#1234");
    EXPECT_FALSE(dlg.acceptButton()->isEnabled());
    EXPECT_EQ(dlg.findChild<QLineEdit*>("ne1"), dlg.cylinderField());
    EXPECT_EQ(dlg.findChild<QComboBox*>("cb2"), dlg.sizeList());
}

TEST_F(HeaderEditorTest, ShowsCrcOfEnteredIdField) {
    dlg.cylinderField()->setText("0");
    dlg.headList()->setCurrentIndex(0);
    dlg.sectorField()->setText("1");
    dlg.sizeList()->setCurrentIndex(1);
    EXPECT_EQ(dlg.crcLabel()->text(), "#FA0C");
    EXPECT_TRUE(dlg.acceptButton()->isEnabled());
}

TEST_F(HeaderEditorTest, EmptyNumberFieldChangesNothing) {
    dlg.cylinderField()->clear();
    EXPECT_FALSE(dlg.acceptButton()->isEnabled());
    EXPECT_EQ(dlg.crcLabel()->text(), "#1234");
    dlg.sectorField()->setText("1");  // C still empty
    EXPECT_FALSE(dlg.acceptButton()->isEnabled());
    EXPECT_EQ(dlg.crcLabel()->text(), "#1234");
}

TEST_F(HeaderEditorTest, OutOfRangeNumberCountsAsEmpty) {
    dlg.cylinderField()->setText("300");
    EXPECT_FALSE(dlg.acceptButton()->isEnabled());
    EXPECT_EQ(dlg.crcLabel()->text(), "#1234");
}

TEST_F(HeaderEditorTest, AcceptStoresFieldsAndComputedCrc) {
    dlg.cylinderField()->setText("0");
    dlg.sectorField()->setText("1");
    dlg.sizeList()->setCurrentIndex(1);
    dlg.headList()->setCurrentIndex(0);
    dlg.noErrorsBox()->setChecked(false);
    dlg.ApplyTo(Slot());
    EXPECT_EQ(Slot().Cylinder, 0);
    EXPECT_EQ(Slot().Sector, 1);
    EXPECT_EQ(Slot().SizeCode, 1);
    EXPECT_EQ(Slot().Head, 0);
    EXPECT_EQ(Slot().HeaderCrc, 0xFA0C);
    EXPECT_EQ(Slot().DataGood, 0);
    EXPECT_EQ(LookOfCell(*disk, 1, 6, false).tile, MapTile::SectorBad);
}

TEST_F(HeaderEditorTest, UncheckedStatusLeavesHeaderOnlySectorYellow) {
    Slot().DataLength = 0;
    dlg.noErrorsBox()->setChecked(false);
    dlg.ApplyTo(Slot());
    EXPECT_EQ(LookOfCell(*disk, 1, 6, false).tile, MapTile::SectorHeaderOnly);
}

TEST_F(HeaderEditorTest, HeaderKeepsTheIdFieldItsCrcWasComputedFrom) {
    dlg.sectorField()->setText("9");
    const std::uint16_t crc = dlg.ComputedCrc();
    dlg.cylinderField()->clear();  // accept stays enabled, nothing recomputed
    EXPECT_TRUE(dlg.acceptButton()->isEnabled());
    dlg.ApplyTo(Slot());
    EXPECT_EQ(Slot().Cylinder, 3);
    EXPECT_EQ(Slot().Sector, 9);
    EXPECT_EQ(Slot().HeaderCrc, crc);
    EXPECT_EQ(crc, IdFieldCrc(3, 0, 9, 2));
}

TEST_F(HeaderEditorTest, UnusualHeadAndSizeAreShownAndKept) {
    Slot().Head = 7;
    Slot().SizeCode = 6;
    dlg.LoadFrom(Slot());
    EXPECT_EQ(dlg.headList()->currentText(), "7");
    EXPECT_EQ(dlg.sizeList()->currentText(), "Unknown");
    dlg.sectorField()->setText("2");
    dlg.ApplyTo(Slot());
    EXPECT_EQ(Slot().Head, 7);
    EXPECT_EQ(Slot().SizeCode, 6);
    EXPECT_EQ(Slot().HeaderCrc, IdFieldCrc(3, 7, 2, 6));
    dlg.LoadFrom(*disk->GetSlot(6, 0));
    Slot().Head = 1;
    dlg.LoadFrom(Slot());
    EXPECT_EQ(dlg.headList()->count(), 2) << "extra entries do not pile up";
}

TEST(SectorEditorDialog, ShowsHeaderAndCopiesBackAtMostDataLength) {
    auto disk = MakeDisk();
    PresentTrack(*disk, 2);
    SectorSlot& slot = PutSector(*disk, 2, 0, 8, 100, true, 4);
    SectorEditor dlg;
    dlg.LoadFrom(slot);
    EXPECT_EQ(dlg.windowTitle(), "Редактор сектора");
    EXPECT_EQ(dlg.valueLabel(0)->text(), "1");
    EXPECT_EQ(dlg.valueLabel(2)->text(), "8");
    EXPECT_EQ(dlg.valueLabel(3)->text(), "Unknown");
    EXPECT_EQ(dlg.valueLabel(4)->text(), "#1234");
    EXPECT_EQ(dlg.hexView()->Size(), 100u);
    std::vector<std::uint8_t> bytes(300, 0x5A);
    dlg.hexView()->LoadBytes(bytes);  // a view longer than the slot's data
    EXPECT_EQ(dlg.ApplyTo(slot), 100u);
    EXPECT_EQ(slot.Data[99], 0x5A);
    EXPECT_NE(slot.Data[100], 0x5A);
}

}  // namespace
}  // namespace morvane
