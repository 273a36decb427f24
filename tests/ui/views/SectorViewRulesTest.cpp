#include "ui/views/SectorViewRules.h"

#include <gtest/gtest.h>

#include "ViewsTestData.h"
#include "model/Checksums.h"

namespace morvane {
namespace {

using testdata::MakeDisk;
using testdata::PresentTrack;
using testdata::PutSector;

using Hex = SectorCellView::Hex;
using Log = SectorCellView::Log;

TEST(SectorLabelTexts, SizeCrcAndStatus) {
    EXPECT_EQ(SizeLabelText(0), "128b");
    EXPECT_EQ(SizeLabelText(3), "1024b");
    EXPECT_EQ(SizeLabelText(4), "Unknown");
    EXPECT_EQ(CrcLabelText(0xFA0C), "#FA0C");
    EXPECT_EQ(CrcLabelText(0x000F), "#000F");
    EXPECT_EQ(DataStatusText(255), "good");
    EXPECT_EQ(DataStatusText(0), "bad");
}

TEST(SectorLabelTexts, DataCrcAndOffset) {
    EXPECT_EQ(DataCrcLabelText(0xE122), "CRC - #E122");
    EXPECT_EQ(DataCrcLabelText(std::nullopt), "CRC - ");
    EXPECT_EQ(OffsetLabelText(0x11), "#0011");
    EXPECT_EQ(OffsetLabelText(0x12345), "#12345");
}

TEST(SectorDataCrc, CoversSyncMarkAndDataPaddedToTheHeaderSize) {
    Track track;
    SectorSlot slot;
    slot.Present = kPresent;
    slot.SizeCode = 1;
    slot.DataLength = 256;
    EXPECT_EQ(SectorDataCrc(track, slot), 0xE122) << "A1 A1 A1 FB and 256 zero bytes";
    slot.DataLength = 200;  // the missing bytes count as zeros
    slot.Data[250] = 0x55;  // beyond DataLength: not part of the data
    EXPECT_EQ(SectorDataCrc(track, slot), 0xE122);
    slot.Data[10] = 0x55;
    EXPECT_NE(SectorDataCrc(track, slot), 0xE122);
    slot.DataLength = 0;
    EXPECT_EQ(SectorDataCrc(track, slot), std::nullopt);
    slot.DataLength = 128;
    slot.SizeCode = 4;
    EXPECT_EQ(SectorDataCrc(track, slot), std::nullopt);
}

TEST(SectorDataCrc, DeletedDataMarkInTheRawImageCounts) {
    Track track;
    track.RawLength = 300;
    SectorSlot slot;
    slot.SizeCode = 0;
    slot.DataLength = 128;
    slot.DataPosition = 100;
    const auto normal = SectorDataCrc(track, slot);
    track.Raw[99] = 0xF8;
    const std::uint8_t field[] = {0xA1, 0xA1, 0xA1, 0xF8};
    std::vector<std::uint8_t> all(field, field + 4);
    all.resize(4 + 128, 0);
    EXPECT_EQ(SectorDataCrc(track, slot), Crc16Fdc(all));
    EXPECT_NE(SectorDataCrc(track, slot), normal);
}

class SectorViewRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Track& t = PresentTrack(*disk, 10);
        t.Log = {"first", "second"};
        PutSector(*disk, 10, 0, 9, 256, true);
        PutSector(*disk, 10, 1, 4, 0, false);
        PutSector(*disk, 10, 2, 5, 200, false, 1);
        SectorSlot& odd = PutSector(*disk, 10, 3, 6, 128, true, 5);
        odd.Cylinder = 77;
    }
    std::unique_ptr<DiskImage> disk = MakeDisk();
    SectorViewInputs inputs;
};

TEST_F(SectorViewRulesTest, SectorWithDataShowsHeaderAndEditableBytes) {
    inputs.ownerLookup = [](const DiskImage&, std::uint8_t track, std::uint8_t slot) {
        return track == 10 && slot == 0 ? std::string("boot    B") : std::string();
    };
    const SectorCellView v = DescribeCell(*disk, 1, 10, inputs);
    EXPECT_EQ(v.trackLabel, "10");
    EXPECT_EQ(v.sectorLabel, "9");
    EXPECT_EQ(v.ownerText, "boot    B");
    EXPECT_EQ(v.ownerBarVisible, true);
    EXPECT_EQ(v.headerVisible, true);
    EXPECT_EQ(v.headerValues[0], "5");
    EXPECT_EQ(v.headerValues[1], "0");
    EXPECT_EQ(v.headerValues[2], "9");
    EXPECT_EQ(v.headerValues[3], "256b");
    EXPECT_EQ(v.headerValues[4], "#1234");
    EXPECT_EQ(v.headerValues[5], "good");
    ASSERT_EQ(v.hex, Hex::Load);
    ASSERT_EQ(v.bytes.size(), 256u);
    EXPECT_EQ(v.bytes[3], disk->GetSlot(10, 0)->Data[3]);
    EXPECT_EQ(v.hexEditable, true);
    EXPECT_EQ(v.saveLoadEnabled, true);
    EXPECT_EQ(v.log, Log::Replace);
    EXPECT_EQ(v.logLines, (std::vector<std::string>{"first", "second"}));
}

TEST_F(SectorViewRulesTest, OwnerBarHiddenWhenLookupGivesNothing) {
    const SectorCellView v = DescribeCell(*disk, 1, 10, inputs);
    EXPECT_EQ(v.ownerText, "");
    EXPECT_EQ(v.ownerBarVisible, false);
}

TEST_F(SectorViewRulesTest, HeaderOnlySectorShowsLabelsAndEmptyReadOnlyView) {
    const SectorCellView v = DescribeCell(*disk, 2, 10, inputs);
    EXPECT_EQ(v.headerValues[2], "4");
    EXPECT_EQ(v.headerValues[5], "bad");
    EXPECT_EQ(v.hex, Hex::Empty);
    EXPECT_EQ(v.hexEditable, false);
    EXPECT_EQ(v.saveLoadEnabled, false);
}

TEST_F(SectorViewRulesTest, SizeFromHeadShowsHeaderSizeElseDataLength) {
    EXPECT_EQ(DescribeCell(*disk, 3, 10, inputs).bytes.size(), 200u);
    inputs.sizeFromHead = true;
    EXPECT_EQ(DescribeCell(*disk, 3, 10, inputs).bytes.size(), 256u);
}

TEST_F(SectorViewRulesTest, SizeCodeAboveThreeUpdatesOnlyIdLabels) {
    const SectorCellView v = DescribeCell(*disk, 4, 10, inputs);
    EXPECT_EQ(v.headerValues[0], "77");
    EXPECT_EQ(v.headerValues[2], "6");
    EXPECT_FALSE(v.headerValues[3].has_value());
    EXPECT_FALSE(v.headerValues[4].has_value());
    EXPECT_FALSE(v.headerValues[5].has_value());
    // The hex view shows this sector's own bytes, never the previous sector's.
    EXPECT_EQ(v.hex, Hex::Load);
    EXPECT_EQ(v.bytes.size(), 128u);
}

TEST_F(SectorViewRulesTest, EmptySlotEmptiesViewAndHidesHeader) {
    const SectorCellView v = DescribeCell(*disk, 9, 10, inputs);
    EXPECT_EQ(v.sectorLabel, "");
    EXPECT_EQ(v.trackLabel, "10");
    EXPECT_EQ(v.hex, Hex::Empty);
    EXPECT_EQ(v.headerVisible, false);
    EXPECT_EQ(v.saveLoadEnabled, false);
    EXPECT_EQ(v.log, Log::Replace);
}

TEST_F(SectorViewRulesTest, AbsentTrackLabelEmptiesViewAndLogOnly) {
    const SectorCellView v = DescribeCell(*disk, 0, 11, inputs);
    EXPECT_EQ(v.trackLabel, "");
    EXPECT_EQ(v.hex, Hex::Empty);
    EXPECT_EQ(v.log, Log::Empty);
    EXPECT_FALSE(v.saveLoadEnabled.has_value());
    EXPECT_FALSE(v.hexEditable.has_value());
}

TEST_F(SectorViewRulesTest, TrackWithRawShowsRawEditable) {
    PresentTrack(*disk, 12, 6250);
    const SectorCellView v = DescribeCell(*disk, 0, 12, inputs);
    EXPECT_EQ(v.hex, Hex::Load);
    EXPECT_EQ(v.bytes.size(), 6250u);
    EXPECT_EQ(v.hexEditable, true);
    EXPECT_EQ(v.ownerBarVisible, false);
    EXPECT_EQ(v.headerVisible, false);
}

TEST_F(SectorViewRulesTest, TrackWithoutRawShowsBuiltTrackReadOnly) {
    PresentTrack(*disk, 14);
    PutSector(*disk, 14, 0, 1, 256, true);
    PutSector(*disk, 14, 1, 2, 256, true);
    inputs.rawBuilder = BuildShownRawTrack;
    const SectorCellView v = DescribeCell(*disk, 0, 14, inputs);
    EXPECT_EQ(v.hex, Hex::Load);
    EXPECT_EQ(v.bytes.size(), 6256u);
    EXPECT_EQ(v.hexEditable, false);
    EXPECT_EQ(v.saveLoadEnabled, false);
    EXPECT_EQ(v.bytes, [&] {
        std::vector<std::uint8_t> built;
        EXPECT_TRUE(BuildShownRawTrack(*disk, 14, built));
        return built;
    }());
}

TEST_F(SectorViewRulesTest, ShowingATrackLeavesTheUdiFailureFieldsAlone) {
    // Track 10 holds a sector of size code 5, which the builder cannot lay out.
    disk->FailTrack = 3;
    disk->FailSlot = 4;
    inputs.rawBuilder = BuildShownRawTrack;
    const SectorCellView v = DescribeCell(*disk, 0, 10, inputs);
    EXPECT_EQ(v.hex, Hex::Empty);
    EXPECT_EQ(disk->FailTrack, 3);
    EXPECT_EQ(disk->FailSlot, 4);
}

TEST_F(SectorViewRulesTest, FailedBuildEmptiesView) {
    inputs.rawBuilder = [](const DiskImage&, std::uint8_t, std::vector<std::uint8_t>& out) {
        out.assign(10, 1);
        return false;
    };
    const SectorCellView v = DescribeCell(*disk, 0, 10, inputs);
    EXPECT_EQ(v.hex, Hex::Empty);
    EXPECT_TRUE(v.bytes.empty());
}

TEST_F(SectorViewRulesTest, AcceptCopiesAtMostDataLength) {
    std::vector<std::uint8_t> edited(256, 0xE5);
    EXPECT_EQ(AcceptTargetFor(*disk, 3, 10), AcceptTarget::SectorData);
    EXPECT_EQ(ApplyAccepted(*disk, 3, 10, edited), 200u);
    const SectorSlot& s = *disk->GetSlot(10, 2);
    EXPECT_EQ(s.Data[199], 0xE5);
    EXPECT_NE(s.Data[200], 0xE5);
    EXPECT_EQ(s.DataLength, 200);
    EXPECT_EQ(s.HeaderCrc, 0x1234);
    EXPECT_EQ(s.DataGood, 0);
}

TEST_F(SectorViewRulesTest, AcceptCopiesAtMostRawLength) {
    PresentTrack(*disk, 12, 100);
    std::vector<std::uint8_t> edited(6256, 0x77);
    EXPECT_EQ(AcceptTargetFor(*disk, 0, 12), AcceptTarget::TrackRaw);
    EXPECT_EQ(ApplyAccepted(*disk, 0, 12, edited), 100u);
    EXPECT_EQ(disk->GetTrack(12)->Raw[99], 0x77);
    EXPECT_EQ(disk->GetTrack(12)->Raw[100], 0);
}

TEST_F(SectorViewRulesTest, NothingToAcceptWithoutDataOrRaw) {
    std::vector<std::uint8_t> edited(16, 1);
    EXPECT_EQ(AcceptTargetFor(*disk, 2, 10), AcceptTarget::None);
    EXPECT_EQ(AcceptTargetFor(*disk, 0, 10), AcceptTarget::None);
    EXPECT_EQ(AcceptTargetFor(*disk, -1, -1), AcceptTarget::None);
    EXPECT_EQ(ApplyAccepted(*disk, 2, 10, edited), 0u);
    EXPECT_EQ(ApplyAccepted(*disk, 0, 300, edited), 0u);
}

TEST_F(SectorViewRulesTest, SectorEditorOpensOnlyOnPresentSlot) {
    EXPECT_TRUE(OpensSectorEditor(*disk, 1, 10));
    EXPECT_TRUE(OpensSectorEditor(*disk, 2, 10));
    EXPECT_FALSE(OpensSectorEditor(*disk, 9, 10));
    EXPECT_FALSE(OpensSectorEditor(*disk, 0, 10));
    EXPECT_FALSE(OpensSectorEditor(*disk, 1, 266));
}

}  // namespace
}  // namespace morvane
