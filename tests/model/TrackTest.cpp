#include "model/Track.h"

#include <gtest/gtest.h>

#include <memory>

namespace morvane {
namespace {

void Occupy(Track& t, std::uint8_t slot, std::uint8_t sector) {
    SectorSlot& s = *t.GetSlot(slot);
    s.Present = kPresent;
    s.Sector = sector;
    s.DataLength = 256;
    s.Data.fill(0x5A);
    ++t.SectorCount;
}

TEST(Track, ClearKeepsNumberAndEmptiesEverythingElse) {
    auto t = std::make_unique<Track>(37);
    Occupy(*t, 0, 1);
    t->Present = kPresent;
    t->RawValid = 1;
    t->RawLength = 100;
    t->Raw[50] = 0x4E;
    t->Log.push_back("line");
    t->Clear();
    EXPECT_EQ(t->Number, 37);
    EXPECT_EQ(t->Present, 0);
    EXPECT_EQ(t->SectorCount, 0);
    EXPECT_EQ(t->RawValid, 0);
    EXPECT_EQ(t->RawLength, 0);
    EXPECT_EQ(t->Raw[50], 0);
    EXPECT_TRUE(t->Log.empty());
    EXPECT_EQ(t->GetSlot(0)->Present, 0);
}

TEST(Track, ClearSlotKeepsCountRightAndIgnoresBadIndex) {
    auto t = std::make_unique<Track>(0);
    for (std::uint8_t i = 0; i < 5; ++i)
        Occupy(*t, i, static_cast<std::uint8_t>(i + 1));
    t->ClearSlot(32);
    t->ClearSlot(255);
    EXPECT_EQ(t->SectorCount, 5);
    t->ClearSlot(10);  // already empty
    EXPECT_EQ(t->SectorCount, 5);
    t->ClearSlot(2);
    EXPECT_EQ(t->SectorCount, 4);
    EXPECT_EQ(t->CountSectors(), 4);
    t->ClearSlots();
    EXPECT_EQ(t->SectorCount, 0);
}

TEST(Track, ClearSlotZeroesOnlyTheFirstKilobyteOfData) {
    auto t = std::make_unique<Track>(0);
    Occupy(*t, 3, 9);
    t->ClearSlot(3);
    const SectorSlot& s = *t->GetSlot(3);
    EXPECT_EQ(s.DataLength, 0);
    EXPECT_EQ(s.Data[1023], 0);
    EXPECT_EQ(s.Data[1024], 0x5A);
}

TEST(Track, SlotAccessStopsAtThirtyTwo) {
    auto t = std::make_unique<Track>(0);
    EXPECT_EQ(t->GetSlot(31), &t->Slots[31]);
    EXPECT_EQ(t->GetSlot(32), nullptr);
}

TEST(Track, SetRawCopiesTheWholeBufferWhateverRawLength) {
    auto t = std::make_unique<Track>(0);
    std::array<std::uint8_t, kTrackBufferSize> src{};
    src.fill(0x4E);
    src.back() = 0x11;
    t->RawLength = 10;
    t->SetRaw(src);
    EXPECT_EQ(t->Raw.back(), 0x11);
    EXPECT_EQ(t->RawLength, 10);
}

}  // namespace
}  // namespace morvane
