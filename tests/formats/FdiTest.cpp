#include "formats/Fdi.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "model/Checksums.h"
#include "support/BrokenFiles.h"
#include "support/Corpus.h"

namespace morvane {
namespace {

struct FdiSector {
    std::uint8_t c, h, r, n, flags;
    Bytes data;
};
using FdiTrack = std::vector<FdiSector>;

// An FDI file: header, extra area, track table, the description when one is given, then
// each track's sectors in order.
Bytes MakeFdi(std::uint16_t cylinders, std::uint16_t heads, const std::vector<FdiTrack>& tracks,
              std::size_t extra = 3, const Bytes& description = {}) {
    Bytes file{'F', 'D', 'I', 0};
    PutLe16(file, cylinders);
    PutLe16(file, heads);
    PutLe16(file, 0);
    PutLe16(file, 0);  // data offset, set below
    PutLe16(file, static_cast<std::uint16_t>(extra));
    file.insert(file.end(), extra, 0x20);
    Bytes data;
    for (const FdiTrack& track : tracks) {
        PutLe32(file, static_cast<std::uint32_t>(data.size()));
        PutLe16(file, 0);
        file.push_back(static_cast<std::uint8_t>(track.size()));
        std::size_t offset = 0;
        for (const FdiSector& s : track) {
            file.insert(file.end(), {s.c, s.h, s.r, s.n, s.flags});
            PutLe16(file, static_cast<std::uint16_t>(offset));
            offset += s.data.size();
        }
        for (const FdiSector& s : track)
            data.insert(data.end(), s.data.begin(), s.data.end());
    }
    if (!description.empty()) {
        SetLe16(file, 8, static_cast<std::uint16_t>(file.size()));
        file.insert(file.end(), description.begin(), description.end());
    }
    SetLe16(file, 10, static_cast<std::uint16_t>(file.size()));
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

Bytes Filled(std::size_t size, std::uint8_t seed) {
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>(i * 5 + seed);
    return data;
}

FdiTrack TrdosTrack(std::uint8_t cylinder, std::uint8_t head) {
    FdiTrack track;
    for (std::uint8_t r = 1; r <= 16; ++r)
        track.push_back(
            {cylinder, head, r, 1, 0x02, Filled(256, static_cast<std::uint8_t>(r + cylinder))});
    return track;
}

class FdiTest : public ::testing::Test {
  protected:
    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();

    void ExpectRefused(const Bytes& file, const std::string& message) {
        EXPECT_FALSE(ReadFdi(file, *disk));
        EXPECT_EQ(disk->LastError, message);
    }
};

TEST_F(FdiTest, ReadsSectorsWithIdsFlagsAndData) {
    FdiTrack odd{{7, 1, 9, 2, 0x00, Filled(512, 1)},
                 {0, 0, 200, 0, 0x80, Filled(128, 2)},
                 {3, 3, 3, 3, 0x02, Filled(1024, 3)},
                 {4, 4, 4, 1, 0x21, Filled(256, 4)}};
    const Bytes file = MakeFdi(3, 2, {TrdosTrack(0, 0), TrdosTrack(0, 1), {}, {}, odd, {}});
    ASSERT_TRUE(ReadFdi(file, *disk)) << disk->LastError;
    EXPECT_EQ(disk->CountTracks(), 6);
    EXPECT_EQ(disk->GetTrack(1)->SectorCount, 16);
    EXPECT_EQ(disk->GetTrack(1)->Slots[15].Sector, 16);
    EXPECT_EQ(disk->GetTrack(1)->Slots[15].Data[0], Filled(256, 16)[0]);
    EXPECT_EQ(disk->GetTrack(2)->SectorCount, 0);
    const Track& track = *disk->GetTrack(4);
    EXPECT_EQ(track.RawLength, 0);
    ASSERT_EQ(track.SectorCount, 4);
    for (std::size_t k = 0; k < 4; ++k) {
        const SectorSlot& slot = track.Slots[k];
        EXPECT_EQ(slot.Present, kPresent);
        EXPECT_EQ(slot.Cylinder, odd[k].c);  // as in the table, whatever the track
        EXPECT_EQ(slot.Head, odd[k].h);
        EXPECT_EQ(slot.Sector, odd[k].r);
        EXPECT_EQ(slot.SizeCode, odd[k].n);
        EXPECT_EQ(slot.HeaderCrc, IdFieldCrc(odd[k].c, odd[k].h, odd[k].r, odd[k].n));
        EXPECT_EQ(slot.DataPosition, 0);
        ASSERT_EQ(slot.DataLength, odd[k].data.size());
        EXPECT_TRUE(std::equal(odd[k].data.begin(), odd[k].data.end(), slot.Data.begin()));
    }
    EXPECT_EQ(track.Slots[0].DataGood, 0);  // flags 0x00
    EXPECT_EQ(track.Slots[1].DataGood, 0);  // flags 0x80
    EXPECT_EQ(track.Slots[2].DataGood, kDataGood);
    EXPECT_EQ(track.Slots[3].DataGood, kDataGood);
}

// The description runs from its offset to its zero byte, or to the data when it has none.
TEST_F(FdiTest, DescriptionBecomesTheDiskComment) {
    const Bytes text{'D', 'i', 's', 'k', '\r', '\n', 't', 'w', 'o'};
    Bytes terminated = text;
    terminated.insert(terminated.end(), {0, 'x', 'y'});
    for (const Bytes& description : {terminated, text}) {
        ASSERT_TRUE(ReadFdi(MakeFdi(1, 1, {TrdosTrack(0, 0)}, 3, description), *disk))
            << disk->LastError;
        EXPECT_EQ(disk->DiskLog, (std::vector<std::string>{"Disk", "two"}));
        EXPECT_EQ(disk->GetTrack(0)->Slots[0].Data[0], Filled(256, 1)[0]);
    }
    ASSERT_TRUE(ReadFdi(MakeFdi(1, 1, {TrdosTrack(0, 0)}), *disk));  // offset 0: none
    EXPECT_TRUE(disk->DiskLog.empty());
}

TEST_F(FdiTest, AcceptsLowerCaseSignature) {
    Bytes file = MakeFdi(1, 1, {TrdosTrack(0, 0)});
    file[0] = 'f';
    file[1] = 'd';
    file[2] = 'i';
    EXPECT_TRUE(ReadFdi(file, *disk));
}

TEST_F(FdiTest, FillsAll166TracksOf83Cylinders) {
    std::vector<FdiTrack> tracks;
    for (std::uint8_t c = 0; c < 83; ++c) {
        tracks.push_back({{c, 0, 1, 0, 1, Filled(128, c)}});
        tracks.push_back({{c, 1, 1, 0, 1, Filled(128, c)}});
    }
    ASSERT_TRUE(ReadFdi(MakeFdi(83, 2, tracks), *disk));
    EXPECT_EQ(disk->CountTracks(), 166);
    EXPECT_EQ(disk->GetTrack(165)->Slots[0].Cylinder, 82);
}

TEST_F(FdiTest, RefusesEmptyFile) {
    ExpectRefused({}, "FDI file read error!");
}

TEST_F(FdiTest, RefusesOtherSignature) {
    ExpectRefused({'F', 'D'}, "Not FDI file!");
    ExpectRefused({'F', 'D', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "Not FDI file!");
}

TEST_F(FdiTest, RefusesHeaderCutShort) {
    const Bytes file = MakeFdi(1, 1, {TrdosTrack(0, 0)});
    for (std::size_t cut = 3; cut < 14 + 3 + 7; ++cut)
        ExpectRefused(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)),
                      "FDI file size error!");
}

TEST_F(FdiTest, RefusesGeometryBeyondContainer) {
    ExpectRefused(MakeFdi(84, 1, std::vector<FdiTrack>(84)), "FDI image geometry error!");
    ExpectRefused(MakeFdi(1, 3, std::vector<FdiTrack>(3)), "FDI image geometry error!");
}

TEST_F(FdiTest, SizeTestComesBeforeGeometryTest) {
    ExpectRefused(MakeFdi(90, 2, {}), "FDI file size error!");
}

TEST_F(FdiTest, RefusesTrackDataOffsetPastEnd) {
    Bytes file = MakeFdi(1, 1, {TrdosTrack(0, 0)});
    SetLe32(file, 17, static_cast<std::uint32_t>(file.size()));
    ExpectRefused(file, "FDI file size error!");
    EXPECT_EQ(disk->GetTrack(0)->SectorCount, 0);
}

TEST_F(FdiTest, RefusesSectorDataOffsetPastEnd) {
    Bytes file = MakeFdi(1, 1, {TrdosTrack(0, 0)});
    SetLe16(file, 17 + 7 + 7 * 4 + 5, 0xFFF0);
    ExpectRefused(file, "FDI file size error!");
    EXPECT_EQ(disk->GetTrack(0)->SectorCount, 5);  // the sectors before it stay
}

TEST_F(FdiTest, RefusesSectorDataRunningPastEnd) {
    Bytes file = MakeFdi(1, 1, {TrdosTrack(0, 0)});
    file.pop_back();
    ExpectRefused(file, "FDI file size error!");
}

TEST_F(FdiTest, RefusesSectorTableRunningPastEnd) {
    const Bytes file = MakeFdi(1, 1, {TrdosTrack(0, 0)});
    // Cut inside the sector headers: past the header and track header, before the data.
    ExpectRefused(Bytes(file.begin(), file.begin() + 14 + 3 + 7 + 20), "FDI file size error!");
}

TEST_F(FdiTest, RefusesMoreThan32Sectors) {
    FdiTrack track;
    for (int r = 0; r < 33; ++r)
        track.push_back({0, 0, static_cast<std::uint8_t>(r), 0, 1, Filled(128, 0)});
    ExpectRefused(MakeFdi(1, 1, {track}), "FDI track has more than 32 sectors!");
    track.pop_back();
    EXPECT_TRUE(ReadFdi(MakeFdi(1, 1, {track}), *disk));
    EXPECT_EQ(disk->GetTrack(0)->SectorCount, 32);
}

TEST_F(FdiTest, LongSectorsAreCutToTheSlotBuffer) {
    const Bytes file = MakeFdi(1, 1, {{{0, 0, 1, 6, 1, Filled(8192, 9)}}});
    ASSERT_TRUE(ReadFdi(file, *disk));
    const SectorSlot& slot = disk->GetTrack(0)->Slots[0];
    EXPECT_EQ(slot.SizeCode, 6);
    EXPECT_EQ(slot.DataLength, 6500);
    EXPECT_TRUE(std::equal(slot.Data.begin(), slot.Data.end(), Filled(8192, 9).begin()));
}

TEST_F(FdiTest, SizeCodesPastSixteenBitsGiveNoData) {
    const Bytes file = MakeFdi(1, 1, {{{0, 0, 1, 9, 1, {}}, {0, 0, 2, 0xF7, 1, {}}}});
    ASSERT_TRUE(ReadFdi(file, *disk));
    EXPECT_EQ(disk->GetTrack(0)->SectorCount, 2);
    EXPECT_EQ(disk->GetTrack(0)->Slots[0].DataLength, 0);
    EXPECT_EQ(disk->GetTrack(0)->Slots[1].DataLength, 0);
    EXPECT_EQ(disk->GetTrack(0)->Slots[1].SizeCode, 0xF7);
}

TEST_F(FdiTest, CorpusFilesLoad) {
    MORVANE_CORPUS_OR_SKIP(files, "fdi");
    struct Expected {
        std::uint8_t cylinders;
        std::size_t badSectors;     // sectors without a data-good flag
        std::size_t noDataSectors;  // size code 0xF7: no size within 16 bits
    };
    const std::map<std::string, Expected> expected{
        {"VORON1.FDI", {81, 1, 0}},  {"VORON2.FDI", {81, 0, 0}},  {"RAVEN1.FDI", {79, 0, 0}},
        {"MK_ORIG.FDI", {79, 0, 0}}, {"ZXF45_O.FDI", {83, 1, 2}}, {"OpenIt.fdi", {83, 1, 0}},
        {"GALLOWS.FDI", {83, 0, 0}}, {"LOCOMOT.FDI", {80, 0, 0}}, {"pqdos1.fdi", {80, 0, 0}}};
    for (const auto& path : files) {
        const Bytes file = test::LoadFile(path);
        ASSERT_TRUE(ReadFdi(file, *disk)) << path << ": " << disk->LastError;
        std::size_t bad = 0;
        std::size_t noData = 0;
        for (std::uint8_t t = 0; t < 166; ++t) {
            const Track& track = *disk->GetTrack(t);
            for (std::size_t k = 0; k < track.SectorCount; ++k) {
                bad += track.Slots[k].DataGood == 0;
                noData += track.Slots[k].DataLength == 0;
            }
        }
        const auto e = expected.find(path.filename().string());
        if (e == expected.end()) continue;
        EXPECT_EQ(disk->CountTracks(), e->second.cylinders * 2) << path;
        EXPECT_EQ(bad, e->second.badSectors) << path;
        EXPECT_EQ(noData, e->second.noDataSectors) << path;
    }
}

TEST_F(FdiTest, CutAndDamagedCorpusFilesEndWithAnAnswer) {
    MORVANE_CORPUS_OR_SKIP(files, "fdi");
    std::mt19937 random(2468);
    for (const auto& path : files) {
        const Bytes file = test::LoadFile(path);
        const std::size_t extra = GetLe16(file, 12);
        const std::size_t data = GetLe16(file, 10);
        for (std::size_t cut : test::CutLengths(file.size(), {14, 14 + extra, data}, 32)) {
            const std::span<const std::uint8_t> part(file.data(), cut);
            EXPECT_FALSE(ReadFdi(part, *disk)) << path << " cut at " << cut;
            EXPECT_FALSE(disk->LastError.empty());
        }
        for (int round = 0; round < 40; ++round) {
            // Damage falls mostly in the tables, where it matters.
            Bytes damaged = file;
            std::uniform_int_distribution<std::size_t> where(0, data + 16);
            for (int i = 0; i < 1 + round % 8; ++i)
                damaged[where(random) % damaged.size()] = static_cast<std::uint8_t>(random());
            if (!ReadFdi(damaged, *disk)) {
                EXPECT_FALSE(disk->LastError.empty());
            }
        }
    }
}

}  // namespace
}  // namespace morvane
