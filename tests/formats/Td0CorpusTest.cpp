// TD0 files written by TeleDisk and other tools, checked against the raw sector dumps and
// the figures other tools report for them.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "formats/td0/Td0.h"
#include "model/Bytes.h"
#include "support/Corpus.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::CorpusDir;
using test::LoadFile;

#define SKIP_WITHOUT_CORPUS()                                                           \
    do {                                                                                \
        if (!fs::exists(CorpusDir() / "td0"))                                           \
            GTEST_SKIP() << "corpus folder absent: " << (CorpusDir() / "td0").string(); \
    } while (0)

struct Expected {
    const char* name;
    std::string_view error;  // empty: loads
    std::size_t tracks;
    std::size_t sectors;
    std::size_t badSectors = 0;  // flagged by TeleDisk as CRC errors
};

// Track, sector and CRC-error counts as the independent parse in tool_reports/ gives them.
constexpr std::array<Expected, 9> kCorpus{{
    {"85-SS80.TD0", {}, 162, 1996, 1},
    {"CobraDevil.TD0", {}, 160, 2880},
    {"Transylvania.td0", {}, 82, 738},
    {"UFO1.TD0", {}, 160, 2560},
    {"sector_test_360k.td0", {}, 80, 720},
    {"td105.adv.td0", kTd0ErrOldCompression, 0, 0},
    {"td105.norm.td0", {}, 82, 738},
    {"td215.adv.td0", {}, 82, 738},
    {"td215.norm.td0", {}, 82, 738},
}};

std::size_t CountBadSectors(const DiskImage& disk) {
    std::size_t bad = 0;
    for (std::uint8_t t = 0; t < kTrackCount; ++t)
        for (const SectorSlot& s : disk.GetTrack(t)->Slots)
            bad += s.Present != 0 && s.DataGood == 0;
    return bad;
}

std::size_t CountSectors(const DiskImage& disk, std::size_t& tracks) {
    std::size_t sectors = 0;
    tracks = 0;
    for (std::uint8_t t = 0; t < kTrackCount; ++t) {
        const Track* track = disk.GetTrack(t);
        if (track->Present == 0) continue;
        ++tracks;
        for (const SectorSlot& s : track->Slots)
            sectors += s.Present != 0;
        EXPECT_EQ(track->SectorCount, std::count_if(track->Slots.begin(), track->Slots.end(),
                                                    [](const SectorSlot& s) { return s.Present; }))
            << "track " << int{t};
    }
    return sectors;
}

const std::set<std::string_view> kAllMessages{
    kTd0ErrNotTd0,     kTd0ErrVersion,        kTd0ErrHeaderCrc,       kTd0ErrOldCompression,
    kTd0ErrSize,       kTd0ErrSectorSize,     kTd0ErrFormat,          kTd0ErrHeaderCut,
    kTd0ErrCommentCut, kTd0ErrTrackHeaderCut, kTd0ErrSectorHeaderCut, kTd0ErrSectorDataCut,
    kTd0ErrTooLarge};

TEST(Td0Corpus, EveryFileLoadsOrIsRefusedWithItsMessage) {
    SKIP_WITHOUT_CORPUS();
    auto disk = std::make_unique<DiskImage>();
    for (const Expected& e : kCorpus) {
        SCOPED_TRACE(e.name);
        const Bytes file = LoadFile(CorpusDir() / "td0" / e.name);
        disk->LastError.clear();
        const bool ok = ReadTd0(file, *disk);
        if (!e.error.empty()) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(disk->LastError, e.error);
            continue;
        }
        ASSERT_TRUE(ok) << disk->LastError;
        std::size_t tracks = 0;
        EXPECT_EQ(CountSectors(*disk, tracks), e.sectors);
        EXPECT_EQ(tracks, e.tracks);
        EXPECT_EQ(CountBadSectors(*disk), e.badSectors);
    }
}

// Sector R of cylinder C, head H sits at ((C * 2 + H) * 9 + R - 1) * 512 in the dumps.
void ExpectMatchesRawDump(const char* td0, const char* img) {
    SCOPED_TRACE(td0);
    auto disk = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadTd0(LoadFile(CorpusDir() / "td0" / td0), *disk)) << disk->LastError;
    const Bytes raw = LoadFile(CorpusDir() / "raw" / img);
    ASSERT_EQ(raw.size(), 40u * 2 * 9 * 512);
    std::size_t compared = 0;
    for (std::uint8_t t = 0; t < 80; ++t) {
        for (std::uint8_t r = 1; r <= 9; ++r) {
            const SectorSlot* s = disk->FindSector(t, r);
            ASSERT_NE(s, nullptr);
            ASSERT_EQ(s->Present, 255) << "track " << int{t} << " sector " << int{r};
            ASSERT_EQ(s->DataLength, 512);
            EXPECT_EQ(s->SizeCode, 2);
            const std::size_t at = (std::size_t{t} * 9 + r - 1) * 512;
            ASSERT_TRUE(std::equal(s->Data.begin(), s->Data.begin() + 512, raw.begin() + at))
                << "track " << int{t} << " sector " << int{r};
            ++compared;
        }
    }
    EXPECT_EQ(compared, 720u);
}

TEST(Td0Corpus, CompressedImagesEqualTheirRawSectorDumps) {
    SKIP_WITHOUT_CORPUS();
    ExpectMatchesRawDump("Transylvania.td0", "Transylvania.img");
    ExpectMatchesRawDump("sector_test_360k.td0", "sector_test_360k.img");
}

void ExpectSameSectors(const DiskImage& a, const DiskImage& b) {
    for (std::uint8_t t = 0; t < kTrackCount; ++t) {
        const Track& ta = *a.GetTrack(t);
        const Track& tb = *b.GetTrack(t);
        ASSERT_EQ(ta.Present, tb.Present) << "track " << int{t};
        ASSERT_EQ(ta.SectorCount, tb.SectorCount) << "track " << int{t};
        for (std::size_t i = 0; i < kSlotsPerTrack; ++i) {
            const SectorSlot& sa = ta.Slots[i];
            const SectorSlot& sb = tb.Slots[i];
            SCOPED_TRACE("track " + std::to_string(t) + " slot " + std::to_string(i));
            ASSERT_EQ(sa.Present, sb.Present);
            ASSERT_EQ(sa.Cylinder, sb.Cylinder);
            ASSERT_EQ(sa.Head, sb.Head);
            ASSERT_EQ(sa.Sector, sb.Sector);
            ASSERT_EQ(sa.SizeCode, sb.SizeCode);
            ASSERT_EQ(sa.HeaderCrc, sb.HeaderCrc);
            ASSERT_EQ(sa.DataLength, sb.DataLength);
            ASSERT_TRUE(
                std::equal(sa.Data.begin(), sa.Data.begin() + sa.DataLength, sb.Data.begin()));
        }
    }
}

TEST(Td0Corpus, TeleDiskVersionsAndModesGiveIdenticalSectors) {
    SKIP_WITHOUT_CORPUS();
    auto reference = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadTd0(LoadFile(CorpusDir() / "td0" / "td215.norm.td0"), *reference));
    auto other = std::make_unique<DiskImage>();
    for (const char* name : {"td105.norm.td0", "td215.adv.td0"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(ReadTd0(LoadFile(CorpusDir() / "td0" / name), *other)) << other->LastError;
        ExpectSameSectors(*reference, *other);
    }
    // TeleDisk 1.x's own compression is another algorithm; it is refused, not misread.
    EXPECT_FALSE(ReadTd0(LoadFile(CorpusDir() / "td0" / "td105.adv.td0"), *other));
    EXPECT_EQ(other->LastError, kTd0ErrOldCompression);
}

TEST(Td0Corpus, TrDosDiskKeepsSideOneSectorsWithHeadZero) {
    SKIP_WITHOUT_CORPUS();
    auto disk = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadTd0(LoadFile(CorpusDir() / "td0" / "UFO1.TD0"), *disk)) << disk->LastError;
    for (std::uint8_t t = 0; t < 160; ++t) {
        ASSERT_EQ(disk->GetTrack(t)->SectorCount, 16) << int{t};
        for (std::uint8_t r = 1; r <= 16; ++r) {
            const SectorSlot* s = disk->FindSector(t, r);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->Cylinder, t / 2);
            EXPECT_EQ(s->Head, 0);
            EXPECT_EQ(s->DataLength, 256);
        }
    }
    // TR-DOS disk info sector: track 0, sector 9, byte 0xE7 is 0x10.
    EXPECT_EQ(disk->FindSector(0, 9)->Data[0xE7], 0x10);
}

TEST(Td0Corpus, MixedGeometryKeepsEverySectorSize) {
    SKIP_WITHOUT_CORPUS();
    auto disk = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadTd0(LoadFile(CorpusDir() / "td0" / "85-SS80.TD0"), *disk)) << disk->LastError;
    std::map<std::size_t, std::size_t> sizes;
    for (std::uint8_t t = 0; t < kTrackCount; ++t)
        for (const SectorSlot& s : disk->GetTrack(t)->Slots)
            if (s.Present) ++sizes[s.DataLength];
    const std::map<std::size_t, std::size_t> expected{
        {128, 70}, {256, 1114}, {512, 810}, {2048, 2}};
    EXPECT_EQ(sizes, expected);
}

// Cutting and damaging real files: every outcome must be a clean true or false with one
// of the reader's messages (the sanitizer build catches any stray access).
void ExpectCleanOutcome(const Bytes& file, DiskImage& disk, const std::string& what) {
    disk.LastError.clear();
    const bool ok = ReadTd0(file, disk);
    if (!ok) {
        EXPECT_TRUE(kAllMessages.count(disk.LastError) == 1)
            << what << ": unexpected message '" << disk.LastError << "'";
    } else {
        EXPECT_TRUE(disk.LastError.empty()) << what;
    }
    std::size_t tracks = 0;
    CountSectors(disk, tracks);
}

TEST(Td0Corpus, EveryFileCutAtManyLengthsEndsCleanly) {
    SKIP_WITHOUT_CORPUS();
    auto disk = std::make_unique<DiskImage>();
    for (const Expected& e : kCorpus) {
        const Bytes file = LoadFile(CorpusDir() / "td0" / e.name);
        std::set<std::size_t> cuts;
        for (std::size_t n = 0; n <= 64 && n <= file.size(); ++n)
            cuts.insert(n);
        const std::size_t steps = 40;
        for (std::size_t i = 1; i < steps; ++i)
            cuts.insert(file.size() * i / steps);
        for (std::size_t n = file.size() > 8 ? file.size() - 8 : 0; n < file.size(); ++n)
            cuts.insert(n);
        std::size_t refused = 0;
        for (std::size_t n : cuts) {
            const Bytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
            ExpectCleanOutcome(part, *disk, std::string(e.name) + " cut at " + std::to_string(n));
            refused += !disk->LastError.empty();
        }
        EXPECT_GT(refused, 12u) << e.name << ": header cuts at least are refused";
    }
}

TEST(Td0Corpus, EveryFileWithRandomBytesFlippedEndsCleanly) {
    SKIP_WITHOUT_CORPUS();
    auto disk = std::make_unique<DiskImage>();
    std::mt19937 rng(20261207);
    for (const Expected& e : kCorpus) {
        const Bytes original = LoadFile(CorpusDir() / "td0" / e.name);
        for (int round = 0; round < 25; ++round) {
            Bytes file = original;
            const int flips = 1 + static_cast<int>(rng() % 8);
            for (int f = 0; f < flips; ++f) {
                // Leave the header alone in most rounds so the body gets exercised.
                const std::size_t from = round % 5 == 0 ? 0 : 12;
                const std::size_t at = from + rng() % (file.size() - from);
                file[at] ^= static_cast<std::uint8_t>(1 + rng() % 255);
            }
            ExpectCleanOutcome(file, *disk,
                               std::string(e.name) + " round " + std::to_string(round));
        }
    }
}

}  // namespace
}  // namespace morvane
