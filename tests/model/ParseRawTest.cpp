#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "model/Track.h"

namespace morvane {
namespace {

// Builds raw track images byte by byte.
class RawBuilder {
  public:
    explicit RawBuilder(Track& t) : t_(t) { t_.Raw.fill(0); }
    RawBuilder& Gap(std::size_t n, std::uint8_t value = 0x4E) {
        for (std::size_t i = 0; i < n; ++i)
            Put(value);
        return *this;
    }
    RawBuilder& Id(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
        for (std::uint8_t b : {0xA1, 0xA1, 0xFE})
            Put(b);
        for (std::uint8_t b : {c, h, r, n, std::uint8_t{0x12}, std::uint8_t{0x34}})
            Put(b);
        return *this;
    }
    RawBuilder& DataMark(std::uint8_t mark = 0xFB) {
        for (std::uint8_t b : {std::uint8_t{0xA1}, std::uint8_t{0xA1}, mark})
            Put(b);
        return *this;
    }
    std::size_t Position() const { return pos_; }
    void Finish() { t_.RawLength = static_cast<std::uint16_t>(pos_); }

  private:
    void Put(std::uint8_t b) { t_.Raw[pos_++] = b; }
    Track& t_;
    std::size_t pos_ = 0;
};

TEST(ParseRaw, FillsSlotsInPhysicalOrderWithHeaderFieldsAndDataPosition) {
    auto t = std::make_unique<Track>(4);
    RawBuilder b(*t);
    b.Gap(10).Id(2, 0, 9, 1).Gap(22);
    b.DataMark();
    const std::size_t firstData = b.Position();
    b.Gap(256).Id(2, 0, 1, 1).Gap(22).DataMark().Gap(256);
    b.Finish();
    t->ParseRaw();
    ASSERT_EQ(t->SectorCount, 2);
    const SectorSlot& s0 = *t->GetSlot(0);
    EXPECT_EQ(s0.Present, kPresent);
    EXPECT_EQ(s0.Cylinder, 2);
    EXPECT_EQ(s0.Sector, 9);
    EXPECT_EQ(s0.SizeCode, 1);
    EXPECT_EQ(s0.HeaderCrc, 0x1234);
    EXPECT_EQ(s0.DataPosition, firstData);
    EXPECT_EQ(s0.DataLength, 0);  // decoding never copies data
    EXPECT_EQ(s0.DataGood, 0);
    EXPECT_EQ(t->GetSlot(1)->Sector, 1);
}

TEST(ParseRaw, ThirtyThirdHeaderAndItsDataAreIgnored) {
    auto t = std::make_unique<Track>(0);
    RawBuilder b(*t);
    for (int i = 0; i < 33; ++i)
        b.Id(0, 0, static_cast<std::uint8_t>(i + 1), 0).DataMark().Gap(20);
    b.Finish();
    t->ParseRaw();
    EXPECT_EQ(t->SectorCount, 32);
    EXPECT_EQ(t->GetSlot(31)->Sector, 32);
    EXPECT_EQ(t->CountSectors(), 32);
}

TEST(ParseRaw, HeaderWithoutDataMarkHidesTheNextHeader) {
    auto t = std::make_unique<Track>(0);
    RawBuilder b(*t);
    b.Id(0, 0, 1, 1).Id(0, 0, 2, 1).DataMark();
    const std::size_t data = b.Position();
    b.Gap(10).Finish();
    t->ParseRaw();
    ASSERT_EQ(t->SectorCount, 1);
    EXPECT_EQ(t->GetSlot(0)->Sector, 1);
    EXPECT_EQ(t->GetSlot(0)->DataPosition, data);
}

TEST(ParseRaw, DeletedDataMarkCountsLikeNormalAndStrayDataMarksAreIgnored) {
    auto t = std::make_unique<Track>(0);
    RawBuilder b(*t);
    b.DataMark().Gap(5).Id(0, 0, 1, 1).DataMark(0xF8);
    const std::size_t data = b.Position();
    b.Gap(5).DataMark().Gap(5).Finish();
    t->ParseRaw();
    ASSERT_EQ(t->SectorCount, 1);
    EXPECT_EQ(t->GetSlot(0)->DataPosition, data);
}

TEST(ParseRaw, HeaderCutAtTheEndOfTheImageReadsAsZero) {
    auto t = std::make_unique<Track>(0);
    RawBuilder b(*t);
    b.Gap(4).DataMark(0xFE);  // A1 A1 FE and nothing more
    b.Finish();
    t->ParseRaw();
    ASSERT_EQ(t->SectorCount, 1);
    EXPECT_EQ(t->GetSlot(0)->Sector, 0);
    EXPECT_EQ(t->GetSlot(0)->HeaderCrc, 0);
}

TEST(ParseRaw, HeaderCutAtTheEndOfTheBufferNeverReadsPastIt) {
    auto t = std::make_unique<Track>(0);
    t->Raw.fill(0x4E);
    t->Raw[kTrackBufferSize - 5] = 0xA1;
    t->Raw[kTrackBufferSize - 4] = 0xA1;
    t->Raw[kTrackBufferSize - 3] = 0xFE;
    t->Raw[kTrackBufferSize - 2] = 7;
    t->Raw[kTrackBufferSize - 1] = 1;
    t->RawLength = kTrackBufferSize;
    t->ParseRaw();
    ASSERT_EQ(t->SectorCount, 1);
    EXPECT_EQ(t->GetSlot(0)->Cylinder, 7);
    EXPECT_EQ(t->GetSlot(0)->Head, 1);
    EXPECT_EQ(t->GetSlot(0)->Sector, 0);
    // A mark split by the buffer end does not match.
    t->Raw.fill(0x4E);
    t->Raw[kTrackBufferSize - 2] = 0xA1;
    t->Raw[kTrackBufferSize - 1] = 0xA1;
    t->ParseRaw();
    EXPECT_EQ(t->SectorCount, 0);
}

TEST(ParseRaw, EmptyImageEmptiesOldSlots) {
    auto t = std::make_unique<Track>(0);
    t->GetSlot(0)->Present = kPresent;
    t->SectorCount = 1;
    t->RawLength = 0;
    t->ParseRaw();
    EXPECT_EQ(t->SectorCount, 0);
    EXPECT_EQ(t->GetSlot(0)->Present, 0);
}

}  // namespace
}  // namespace morvane
