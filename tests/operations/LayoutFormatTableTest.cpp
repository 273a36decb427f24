// The format table after a track's own layout: which layouts fit one revolution, and that
// what fits lays down a track whose every ID and data field the WD1793 finds in order.
#include <gtest/gtest.h>

#include "OperationsFixture.h"
#include "controller/virtual/FormatTable.h"
#include "controller/virtual/TrackScan.h"
#include "model/Track.h"
#include "operations/LayoutFormatTable.h"

namespace morvane {
namespace {

using test::CaseName;

struct LayoutCase {
    const char* name;
    int sectors;
    std::uint8_t sizeCode;
    bool fits;
    bool indexMark;
    const char* refusalPart;  // a piece of the refusal when it does not fit
    int extraSizeCode = -1;   // one more sector of this size code after the others
};

Track TrackOf(int sectors, std::uint8_t sizeCode, int extraSizeCode) {
    Track track(7);
    const int all = sectors + (extraSizeCode >= 0 ? 1 : 0);
    for (int i = 0; i < all; ++i) {
        SectorSlot& s = track.Slots[static_cast<std::size_t>(i)];
        s.Present = kPresent;
        s.Cylinder = 3;
        s.Head = 1;
        s.Sector = static_cast<std::uint8_t>(i * 2 + 1);  // an interleaved order
        s.SizeCode = i < sectors ? sizeCode : static_cast<std::uint8_t>(extraSizeCode);
    }
    return track;
}

class LayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, FitsOneRevolutionOrIsRefusedNamingTheTrack) {
    const LayoutCase& c = GetParam();
    const Track track = TrackOf(c.sectors, c.sizeCode, c.extraSizeCode);
    QString refusal;
    const std::optional<LayoutFormat> layout = BuildLayoutFormatTable(track, refusal);
    if (!c.fits) {
        ASSERT_FALSE(layout);
        EXPECT_TRUE(refusal.startsWith(QStringLiteral("Дорожка 7: "))) << refusal.toStdString();
        EXPECT_TRUE(refusal.contains(QString::fromUtf8(c.refusalPart))) << refusal.toStdString();
        return;
    }
    ASSERT_TRUE(layout) << refusal.toStdString();
    EXPECT_EQ(layout->indexMark, c.indexMark);
    EXPECT_EQ(layout->table.size(), 2u * layout->table[0] + 1);
    EXPECT_LE(layout->trackBytes + 16, kMfmTrackBytes);
    if (c.sectors > 0) {
        EXPECT_GE(layout->dataGap, kMinDataGap);
        EXPECT_LE(layout->dataGap, kMaxDataGap);
    }

    const std::vector<virt::FormatPair> pairs = virt::ParseFormatTable(layout->table);
    const virt::RawTrack laid = virt::LayDownTrack(pairs);
    const std::vector<virt::IdField> ids = virt::ReadIdFields(laid);
    ASSERT_EQ(ids.size(), static_cast<std::size_t>(c.sectors + (c.extraSizeCode >= 0)));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        EXPECT_TRUE(ids[i].CrcGood);
        EXPECT_EQ(ids[i].R, track.Slots[i].Sector);
        EXPECT_EQ(ids[i].C, 3);
        EXPECT_EQ(ids[i].H, 1);
        EXPECT_EQ(ids[i].N, track.Slots[i].SizeCode);
        const std::optional<virt::DataField> data = virt::FindDataField(laid, ids[i]);
        ASSERT_TRUE(data);
        // The data field and its CRC end inside the revolution.
        EXPECT_LT(data->MarkPosition + virt::WdSectorSize(ids[i].N) + 2, kMfmTrackBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutTable,
    ::testing::Values(LayoutCase{"TrDos16x256", 16, 1, true, true, ""},
                      LayoutCase{"Pc9x512", 9, 2, true, true, ""},
                      LayoutCase{"Pc10x512", 10, 2, true, true, ""},
                      LayoutCase{"Cpm5x1024", 5, 3, true, true, ""},
                      LayoutCase{"Seventeen256TooManyPairs", 17, 1, false, false, "больше 255"},
                      LayoutCase{"Cpm5x1024And512NoIndexMark", 5, 3, true, false, "", 2},
                      LayoutCase{"Small26x128TooManyPairs", 26, 0, false, false, "больше 255"},
                      LayoutCase{"NoSectors", 0, 1, true, true, ""},
                      LayoutCase{"Eleven512TooLong", 11, 2, false, false, "не помещаются"},
                      LayoutCase{"Six1024TooLong", 6, 3, false, false, "не помещаются"},
                      LayoutCase{"Eighteen256TooManyPairs", 18, 1, false, false, "больше 255"},
                      LayoutCase{"Thirty128TooLong", 30, 0, false, false, "не помещаются"},
                      LayoutCase{"SizeCode4", 1, 4, false, false, "нестандартного размера"}),
    CaseName());

TEST(LayoutTableSlots, TakesOnlyOccupiedSlotsInSlotOrder) {
    Track track(0);
    for (const std::size_t i : {2u, 5u, 9u}) {
        track.Slots[i].Present = kPresent;
        track.Slots[i].Sector = static_cast<std::uint8_t>(40 + i);
        track.Slots[i].SizeCode = 1;
    }
    QString refusal;
    const std::optional<LayoutFormat> layout = BuildLayoutFormatTable(track, refusal);
    ASSERT_TRUE(layout);
    const std::vector<virt::IdField> ids =
        virt::ReadIdFields(virt::LayDownTrack(virt::ParseFormatTable(layout->table)));
    std::vector<int> numbers;
    for (const virt::IdField& id : ids)
        numbers.push_back(id.R);
    EXPECT_EQ(numbers, (std::vector<int>{42, 45, 49}));
}

}  // namespace
}  // namespace morvane
