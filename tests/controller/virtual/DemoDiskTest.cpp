#include <gtest/gtest.h>

#include <memory>

#include "controller/virtual/DemoDisk.h"
#include "controller/virtual/Wd1793.h"
#include "model/Track.h"

namespace morvane::virt {
namespace {

constexpr std::size_t kInfo = 8 * 256;  // track 0, sector 9

class DemoDiskTest : public ::testing::Test {
  protected:
    DemoDiskTest() { fdc.InsertDisk(Drive::A, MakeDemoDisk()); }

    WdReply Read(std::uint8_t track, std::uint8_t r) {
        fdc.Seek(track);
        return fdc.ReadSector(r);
    }

    Wd1793 fdc;
};

TEST(DemoSectorsTest, InformationSectorDescribesATrDosDisk) {
    const Bytes s = MakeDemoSectors();
    ASSERT_EQ(s.size(), 160u * 16 * 256);
    EXPECT_EQ(s[kInfo + 0xE3], 0x16);
    EXPECT_EQ(s[kInfo + 0xE7], 0x10);
    EXPECT_EQ(s[kInfo + 0xE4], 4);
    const std::size_t firstFree = s[kInfo + 0xE2] * 16u + s[kInfo + 0xE1];
    EXPECT_EQ(GetLe16(s, kInfo + 0xE5), 2560 - firstFree);
    EXPECT_EQ(std::string(s.begin() + kInfo + 0xF5, s.begin() + kInfo + 0xFD), "MORVANE ");
}

TEST(DemoSectorsTest, CatalogueEntriesFollowEachOther) {
    const Bytes s = MakeDemoSectors();
    std::size_t next = 16;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint8_t* e = &s[i * 16];
        EXPECT_EQ(e[15] * 16u + e[14], next) << i;
        EXPECT_EQ(e[13], (GetLe16(s, i * 16 + 11) + (e[8] == 'B' ? 4 : 0) + 255) / 256) << i;
        next += e[13];
    }
    EXPECT_EQ(s[4 * 16], 0);  // end of the catalogue
    EXPECT_EQ(std::string(s.begin() + 16, s.begin() + 25), "picture C");
    EXPECT_EQ(GetLe16(s, 16 + 9), 16384);
    EXPECT_EQ(GetLe16(s, 16 + 11), 6912);
    EXPECT_EQ(s[16 + 13], 27);
}

TEST(DemoSectorsTest, ScreenShowsAYellowFaceOnBlue) {
    const Bytes screen = MakeDemoScreen();
    ASSERT_EQ(screen.size(), 6912u);
    const auto attr = [&](int column, int row) { return screen[6144 + row * 32 + column]; };
    EXPECT_EQ(attr(16, 12) >> 3 & 7, 6);  // yellow paper in the middle
    EXPECT_EQ(attr(0, 0) >> 3 & 7, 1);    // blue paper in the corner
    // The left eye at (98, 70): its byte is fully inked.
    const std::size_t eye =
        ((70 & 0xC0) << 5) | ((70 & 0x07) << 8) | ((70 & 0x38) << 2) | (96 >> 3);
    EXPECT_EQ(screen[eye], 0xFF);
    EXPECT_EQ(screen[0], 0x00);  // the top left corner is empty
}

TEST_F(DemoDiskTest, PictureFileReadsBackFromTheDrive) {
    const Bytes screen = MakeDemoScreen();
    Bytes read;
    for (std::size_t logical = 17; logical < 17 + 27; ++logical) {
        const WdReply r = Read(static_cast<std::uint8_t>(logical / 16),
                               static_cast<std::uint8_t>(logical % 16 + 1));
        ASSERT_FALSE(r.Error) << logical;
        read.insert(read.end(), r.Data.begin(), r.Data.end());
    }
    read.resize(6912);
    EXPECT_EQ(read, screen);
}

TEST_F(DemoDiskTest, ExactlyTheTwoBadSectorsFailWithCrcError) {
    const Bytes sectors = MakeDemoSectors();
    int bad = 0;
    for (std::uint8_t t = 0; t < 160; ++t) {
        fdc.Seek(t);
        for (std::uint8_t r = 1; r <= 16; ++r) {
            const WdReply reply = fdc.ReadSector(r);
            const std::size_t at = (t * 16u + r - 1) * 256;
            ASSERT_EQ(reply.Data.size(), 256u);
            EXPECT_TRUE(std::equal(reply.Data.begin(), reply.Data.end(), sectors.begin() + at));
            if (!reply.Error) continue;
            ++bad;
            EXPECT_EQ(reply.Status, 0x08);
            EXPECT_NE(std::find(kDemoBadSectors.begin(), kDemoBadSectors.end(), std::pair{t, r}),
                      kDemoBadSectors.end());
        }
    }
    EXPECT_EQ(bad, 2);
}

TEST_F(DemoDiskTest, TracksBeyondTheDiskAreUnformatted) {
    fdc.Seek(160);
    EXPECT_TRUE(fdc.ReadAddresses().Error);
    fdc.Seek(159);
    EXPECT_EQ(fdc.ReadAddresses().Data.size(), 16u * 6);
}

TEST_F(DemoDiskTest, RawTrackDecodesToSixteenSectorsWithTrDosHeaders) {
    fdc.Seek(7);
    const WdReply raw = fdc.ReadTrack();
    auto track = std::make_unique<Track>();
    ASSERT_LE(raw.Data.size(), track->Raw.size());
    std::copy(raw.Data.begin(), raw.Data.end(), track->Raw.begin());
    track->RawLength = static_cast<std::uint16_t>(raw.Data.size());
    track->ParseRaw();
    ASSERT_EQ(track->SectorCount, 16);
    EXPECT_EQ(track->Slots[0].Cylinder, 3);
    EXPECT_EQ(track->Slots[0].Head, 0);  // TR-DOS writes H = 0 on both sides
    EXPECT_EQ(track->Slots[15].Sector, 16);
}

}  // namespace
}  // namespace morvane::virt
