#include "formats/udi/Udi.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "formats/udi/UdiSectorFinder.h"
#include "formats/udi/UdiTrackBuilder.h"
#include "model/Checksums.h"
#include "support/BrokenFiles.h"
#include "support/Corpus.h"

namespace morvane {
namespace {

struct TrackRecord {
    Bytes bytes;
    Bytes marks;  // ceil(bytes / 8) unless a test wants otherwise
};

// A UDI file around the given track records, with a right size field and checksum.
Bytes MakeUdi(std::uint8_t highestCylinder, std::uint8_t highestSide,
              const std::vector<TrackRecord>& tracks) {
    Bytes file{'U', 'D', 'I', '!', 0, 0, 0, 0, 0, highestCylinder, highestSide, 0, 0, 0, 0, 0};
    for (const TrackRecord& t : tracks) {
        file.push_back(0);
        PutLe16(file, static_cast<std::uint16_t>(t.bytes.size()));
        file.insert(file.end(), t.bytes.begin(), t.bytes.end());
        file.insert(file.end(), t.marks.begin(), t.marks.end());
    }
    SetLe32(file, 4, static_cast<std::uint32_t>(file.size()));
    PutLe32(file, ImageCrc32(file));
    return file;
}

using test::Reseal;

// One standard-layout track of 16 sectors of 256 bytes.
TrackRecord StandardTrack(std::uint8_t cylinder) {
    auto track = std::make_unique<Track>();
    track->Present = kPresent;
    for (std::uint8_t k = 0; k < 16; ++k) {
        SectorSlot& slot = track->Slots[k];
        slot.Present = kPresent;
        slot.Cylinder = cylinder;
        slot.Sector = static_cast<std::uint8_t>(k + 1);
        slot.SizeCode = 1;
        slot.DataGood = kDataGood;
        slot.DataLength = 256;
        std::fill_n(slot.Data.begin(), 256, static_cast<std::uint8_t>(cylinder + k));
    }
    auto image = std::make_unique<UdiTrackImage>();
    EXPECT_TRUE(BuildUdiTrack(UdiTrackParams{track.get()}, *image).Ok);
    return {Bytes(image->Bytes.begin(), image->Bytes.end()),
            Bytes(image->ClockMarks.begin(), image->ClockMarks.end())};
}

// Sectors of a track as (ID, data, DataGood) in slot order.
using SectorList = std::vector<std::tuple<std::uint32_t, Bytes, std::uint8_t>>;
SectorList SectorsOf(const Track& track);

class UdiTest : public ::testing::Test {
  protected:
    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();

    void ExpectRefused(const Bytes& file, const std::string& message) {
        EXPECT_FALSE(ReadUdi(file, *disk));
        EXPECT_EQ(disk->LastError, message);
    }
};

TEST_F(UdiTest, RefusesFileShorterThan20Bytes) {
    Bytes file{'U', 'D', 'I', '!'};
    file.resize(19);
    ExpectRefused(file, "Error UDI file!");
    ExpectRefused({}, "Error UDI file!");
}

TEST_F(UdiTest, ChecksumIsCheckedBeforeSignature) {
    Bytes file = MakeUdi(0, 0, {StandardTrack(0)});
    file[0] = 'X';
    ExpectRefused(file, "UDI file CRC error!");
    Reseal(file);
    ExpectRefused(file, "No UDI format!");
}

TEST_F(UdiTest, RefusesNonZeroVersionOrExtendedHeader) {
    for (std::size_t at : {8u, 12u, 15u}) {
        Bytes file = MakeUdi(0, 0, {StandardTrack(0)});
        file[at] = 1;
        Reseal(file);
        ExpectRefused(file, "Error UDI format!");
    }
}

// The reserved header byte and bytes after the last track change nothing in the tracks:
// the file loads, with a note of each; the writer keeps writing 0 there.
TEST_F(UdiTest, ReservedByteAndTrailingBytesAreNotedAndTheFileRead) {
    const Bytes plain = MakeUdi(0, 1, {StandardTrack(0), StandardTrack(1)});
    ASSERT_TRUE(ReadUdi(plain, *disk));
    EXPECT_TRUE(disk->LoadNotes.empty());
    Bytes marked = plain;
    marked[11] = 1;
    marked.insert(marked.end() - 4, {'t', 'e', 'x', 't', 0});
    SetLe32(marked, 4, GetLe32(marked, 4) + 5);
    Reseal(marked);
    auto back = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadUdi(marked, *back)) << back->LastError;
    for (std::uint8_t t = 0; t < 2; ++t)
        EXPECT_EQ(SectorsOf(*back->GetTrack(t)), SectorsOf(*disk->GetTrack(t))) << int{t};
    ASSERT_EQ(back->LoadNotes.size(), 2u);
    EXPECT_EQ(back->LoadNotes[0].text,
              "The reserved byte of the UDI header (offset 11) is 1, not 0; the file was read "
              "as usual.");
    EXPECT_EQ(back->LoadNotes[1].text,
              "The UDI file holds 5 bytes after its last track; they belong to no track and are "
              "not loaded.");
    EXPECT_FALSE(AnySectorsMissing(back->LoadNotes));
    Bytes out;
    ASSERT_TRUE(WriteUdi(*back, out));
    EXPECT_EQ(out[11], 0);
}

TEST_F(UdiTest, RefusesSizeFieldThatDisagreesWithFile) {
    Bytes file = MakeUdi(0, 0, {StandardTrack(0)});
    SetLe32(file, 4, GetLe32(file, 4) + 1);
    Reseal(file);
    ExpectRefused(file, "Error UDI file length!");
}

TEST_F(UdiTest, RefusesTrackRunningPastFileEndKeepingEarlierTracks) {
    const Bytes file = MakeUdi(1, 0, {StandardTrack(0)});  // says 2 tracks, holds 1
    ExpectRefused(file, "Error UDI file length!");
    EXPECT_EQ(disk->GetTrack(0)->Present, kPresent);
    EXPECT_EQ(disk->GetTrack(0)->SectorCount, 16);
    EXPECT_EQ(disk->GetTrack(1)->Present, 0);
}

TEST_F(UdiTest, RefusesBitmapCutShort) {
    TrackRecord track = StandardTrack(0);
    track.marks.resize(100);
    // The checksum's own four bytes follow the bitmap; cut so they cannot cover it.
    ExpectRefused(MakeUdi(0, 0, {track}), "Error UDI file length!");
}

TEST_F(UdiTest, RefusesTrackLongerThanBuffer) {
    TrackRecord track{Bytes(6501, 0x4E), Bytes(813, 0)};
    ExpectRefused(MakeUdi(0, 0, {track}), "UDI track longer than 6500 bytes!");
    TrackRecord fits{Bytes(6500, 0x4E), Bytes(813, 0)};
    EXPECT_TRUE(ReadUdi(MakeUdi(0, 0, {fits}), *disk));
    EXPECT_EQ(disk->GetTrack(0)->RawLength, 6500);
}

TEST_F(UdiTest, ReadsTracksWithRawImageAndSectors) {
    const TrackRecord t0 = StandardTrack(0);
    const TrackRecord t1 = StandardTrack(9);
    ASSERT_TRUE(ReadUdi(MakeUdi(0, 1, {t0, t1}), *disk));
    const Track& track = *disk->GetTrack(1);
    EXPECT_EQ(track.Present, kPresent);
    EXPECT_EQ(track.RawValid, 1);
    ASSERT_EQ(track.RawLength, kUdiTrackLength);
    EXPECT_TRUE(std::equal(t1.bytes.begin(), t1.bytes.end(), track.Raw.begin()));
    ASSERT_EQ(track.SectorCount, 16);
    for (std::uint8_t k = 0; k < 16; ++k) {
        const SectorSlot& slot = track.Slots[k];
        EXPECT_EQ(slot.Cylinder, 9);
        EXPECT_EQ(slot.Sector, k + 1);
        EXPECT_EQ(slot.DataGood, kDataGood);
        EXPECT_EQ(slot.DataLength, 256);
        EXPECT_EQ(slot.DataPosition, 146 + 372 * k + 60);
        EXPECT_EQ(slot.Data[0], 9 + k);
    }
    EXPECT_EQ(disk->GetTrack(2)->Present, 0);
}

TEST_F(UdiTest, OneSidedFileFillsTracksInFileOrder) {
    ASSERT_TRUE(
        ReadUdi(MakeUdi(2, 0, {StandardTrack(0), StandardTrack(1), StandardTrack(2)}), *disk));
    EXPECT_EQ(disk->CountTracks(), 3);
    EXPECT_EQ(disk->GetTrack(1)->Slots[0].Cylinder, 1);
    EXPECT_EQ(disk->GetTrack(2)->Slots[0].Cylinder, 2);
}

TEST_F(UdiTest, ZeroBitmapKeepsRawImageWithoutSectors) {
    TrackRecord track = StandardTrack(0);
    std::fill(track.marks.begin(), track.marks.end(), std::uint8_t{0});
    ASSERT_TRUE(ReadUdi(MakeUdi(0, 0, {track}), *disk));
    EXPECT_EQ(disk->GetTrack(0)->RawLength, kUdiTrackLength);
    EXPECT_EQ(disk->GetTrack(0)->SectorCount, 0);
}

TEST_F(UdiTest, BadDataCrcKeepsDataAsBad) {
    TrackRecord track = StandardTrack(0);
    track.bytes[146 + 372 * 3 + 60 + 5] ^= 0xFF;
    ASSERT_TRUE(ReadUdi(MakeUdi(0, 0, {track}), *disk));
    EXPECT_EQ(disk->GetTrack(0)->Slots[3].DataGood, 0);
    EXPECT_EQ(disk->GetTrack(0)->Slots[3].DataLength, 256);
    EXPECT_EQ(disk->GetTrack(0)->Slots[2].DataGood, kDataGood);
}

TEST_F(UdiTest, IgnoresTracksPastTheContainer) {
    std::vector<TrackRecord> tracks(172);  // 86 cylinders, two sides, empty tracks
    tracks[165] = StandardTrack(82);
    tracks[166] = StandardTrack(83);
    ASSERT_TRUE(ReadUdi(MakeUdi(85, 1, tracks), *disk));
    EXPECT_EQ(disk->CountTracks(), 166);
    ASSERT_EQ(disk->LoadNotes.size(), 1u);
    EXPECT_EQ(disk->LoadNotes[0].text,
              "The UDI file holds 172 tracks; tracks 166..171 lie beyond the image's 166 tracks "
              "and are not loaded.");
    EXPECT_EQ(disk->GetTrack(165)->Slots[0].Cylinder, 82);
    EXPECT_EQ(disk->GetTrack(0)->RawLength, 0);
}

TEST_F(UdiTest, WritesCylindersOfPresentTracks) {
    for (std::uint8_t count : {160, 161, 163}) {
        disk->ClearImage();
        for (std::uint8_t t = 0; t < count; ++t)
            disk->GetTrack(t)->Present = kPresent;
        Bytes out;
        ASSERT_TRUE(WriteUdi(*disk, out));
        const std::size_t cylinders = (count + 1u) / 2;
        ASSERT_EQ(out.size(), 16 + 14082 * cylinders + 4) << int{count};
        EXPECT_EQ(GetLe32(out, 4), 16 + 14082 * cylinders);
        EXPECT_EQ(out[8], 0);
        EXPECT_EQ(out[9], cylinders - 1);
        EXPECT_EQ(out[10], 1);
        EXPECT_EQ(out[11], 0);
        EXPECT_EQ(GetLe32(out, 12), 0u);
        EXPECT_EQ(out[16], 0);
        EXPECT_EQ(GetLe16(out, 17), 6256);
        EXPECT_EQ(GetLe32(out, out.size() - 4),
                  ImageCrc32(std::span<const std::uint8_t>(out).first(out.size() - 4)));
    }
}

TEST_F(UdiTest, SingleSidedImageKeepsEveryPresentTrack) {
    // Tracks 0, 2, ..., 158: eighty present tracks spread over eighty cylinders.
    for (std::uint8_t t = 0; t < 160; t += 2)
        disk->GetTrack(t)->Present = kPresent;
    disk->GetTrack(158)->GetSlot(0)->Present = kPresent;
    disk->GetTrack(158)->GetSlot(0)->Sector = 7;
    disk->GetTrack(158)->GetSlot(0)->SizeCode = 1;
    disk->GetTrack(158)->SectorCount = 1;
    Bytes out;
    ASSERT_TRUE(WriteUdi(*disk, out));
    EXPECT_EQ(out[9], 79);
    ASSERT_TRUE(ReadUdi(out, *disk));
    EXPECT_EQ(disk->GetTrack(158)->GetSlot(0)->Sector, 7);
}

TEST_F(UdiTest, EmptyImageIsWrittenAsOneBlankCylinder) {
    Bytes out;
    ASSERT_TRUE(WriteUdi(*disk, out));
    EXPECT_EQ(out.size(), 16u + 14082 + 4);
    EXPECT_EQ(out[9], 0);
    ASSERT_TRUE(ReadUdi(out, *disk));
    EXPECT_EQ(disk->GetTrack(0)->SectorCount, 0);
}

TEST_F(UdiTest, WriteFailureNamesTrackAndSlotAndWritesNothing) {
    for (std::uint8_t t = 0; t < 4; ++t)
        disk->GetTrack(t)->Present = kPresent;
    SectorSlot& slot = disk->GetTrack(2)->Slots[0];
    slot.Present = kPresent;
    slot.SizeCode = 5;
    Bytes out{1};
    EXPECT_FALSE(WriteUdi(*disk, out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(disk->FailTrack, 2);
    EXPECT_EQ(disk->FailSlot, 0);
}

TEST_F(UdiTest, WriteFailsAtTrackWhoseIndexMarkIsTooEarly) {
    for (std::uint8_t t = 0; t < 6; ++t)
        disk->GetTrack(t)->Present = kPresent;
    Track& track = *disk->GetTrack(5);
    const TrackRecord raw = StandardTrack(2);
    std::copy(raw.bytes.begin(), raw.bytes.end(), track.Raw.begin());
    track.RawLength = static_cast<std::uint16_t>(raw.bytes.size());
    track.RawValid = 1;
    Bytes ok;
    EXPECT_TRUE(WriteUdi(*disk, ok));
    track.Raw[14] = 0xC2;
    track.Raw[15] = 0xC2;
    track.Raw[16] = 0xFC;
    Bytes out;
    EXPECT_FALSE(WriteUdi(*disk, out));
    EXPECT_EQ(disk->FailTrack, 5);
    EXPECT_TRUE(out.empty());
}

// Sectors of mixed sizes, some bad, on every track of 80 cylinders.
void FillStandardDisk(DiskImage& disk) {
    const std::uint8_t layouts[][2] = {{16, 1}, {9, 2}, {5, 3}, {1, 0}, {0, 0}};
    for (std::uint8_t t = 0; t < 160; ++t) {
        Track& track = *disk.GetTrack(t);
        track.Present = kPresent;
        const auto& layout = layouts[t % 5];
        for (std::uint8_t k = 0; k < layout[0]; ++k) {
            SectorSlot& slot = track.Slots[k];
            slot.Present = kPresent;
            slot.Cylinder = static_cast<std::uint8_t>(t / 2);
            slot.Head = static_cast<std::uint8_t>(t % 3);
            slot.Sector = static_cast<std::uint8_t>(200 - k);
            slot.SizeCode = layout[1];
            slot.DataGood = (t + k) % 7 == 0 ? 0 : kDataGood;
            slot.DataLength = static_cast<std::uint16_t>(128 << layout[1]);
            for (std::size_t i = 0; i < slot.DataLength; ++i)
                slot.Data[i] = static_cast<std::uint8_t>(i ^ t ^ (k << 4));
        }
        track.CountSectors();
    }
}

TEST_F(UdiTest, StandardLayoutTracksReadBackWithEveryFieldKept) {
    FillStandardDisk(*disk);
    Bytes out;
    ASSERT_TRUE(WriteUdi(*disk, out));
    EXPECT_EQ(out.size(), 1126580u);
    auto back = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadUdi(out, *back)) << back->LastError;
    EXPECT_EQ(back->CountTracks(), 160);
    for (std::uint8_t t = 0; t < 160; ++t) {
        const Track& e = *disk->GetTrack(t);
        const Track& a = *back->GetTrack(t);
        ASSERT_EQ(a.SectorCount, e.SectorCount) << int{t};
        EXPECT_EQ(a.RawLength, kUdiTrackLength);
        for (std::size_t k = 0; k < e.SectorCount; ++k) {
            const SectorSlot& es = e.Slots[k];
            const SectorSlot& as = a.Slots[k];
            EXPECT_EQ(as.Cylinder, es.Cylinder);
            EXPECT_EQ(as.Head, es.Head);
            EXPECT_EQ(as.Sector, es.Sector);
            EXPECT_EQ(as.SizeCode, es.SizeCode);
            EXPECT_EQ(as.HeaderCrc, IdFieldCrc(es.Cylinder, es.Head, es.Sector, es.SizeCode));
            EXPECT_EQ(as.DataGood, es.DataGood) << int{t} << "/" << k;
            ASSERT_EQ(as.DataLength, es.DataLength);
            EXPECT_TRUE(
                std::equal(es.Data.begin(), es.Data.begin() + es.DataLength, as.Data.begin()))
                << int{t} << "/" << k;
        }
    }
    // Read back and written again, the tracks rebuild from their own raw images: the same
    // bytes but for the first sync byte of a bad sector, which the rebuild breaks on purpose.
    Bytes again;
    ASSERT_TRUE(WriteUdi(*back, again));
    ASSERT_EQ(again.size(), out.size());
    std::size_t broken = 0;
    for (std::size_t i = 0; i + 4 < out.size(); ++i) {
        if (again[i] == out[i]) continue;
        ASSERT_EQ(out[i], 0xA1) << i;
        ASSERT_EQ(again[i], 0x14) << i;
        ++broken;
    }
    std::size_t bad = 0;
    for (std::uint8_t t = 0; t < 160; ++t) {
        for (std::size_t k = 0; k < disk->GetTrack(t)->SectorCount; ++k)
            bad += disk->GetTrack(t)->Slots[k].DataGood == 0;
    }
    EXPECT_EQ(broken, bad);
    EXPECT_GT(bad, 0u);
}

SectorList SectorsOf(const Track& track) {
    SectorList list;
    for (std::size_t k = 0; k < track.SectorCount; ++k) {
        const SectorSlot& s = track.Slots[k];
        list.emplace_back(
            std::uint32_t{s.Cylinder} << 24 | s.Head << 16 | s.Sector << 8 | s.SizeCode,
            Bytes(s.Data.begin(), s.Data.begin() + s.DataLength), s.DataGood);
    }
    return list;
}

// What the corpus files give: the number of tracks loaded and the reader's notes, or the
// refusal.
struct CorpusOutcome {
    std::uint8_t tracks;
    std::string error;
    std::vector<std::string> notes = {};
};
const std::map<std::string, CorpusOutcome>& UdiCorpusOutcomes() {
    static const std::map<std::string, CorpusOutcome> outcomes{
        {"48.udi", {166, ""}},
        // 86 cylinders: the three past the container's 83 are left out.
        {"beta128-empty.udi",
         {166,
          "",
          {"The UDI file holds 172 tracks; tracks 166..171 lie beyond the image's 166 tracks "
           "and are not loaded."}}},
        // Written by a converter that sets the reserved header byte and puts its name
        // after the last track.
        {"Zvezdnoe Nasledie.udi",
         {160,
          "",
          {"The reserved byte of the UDI header (offset 11) is 1, not 0; the file was read as "
           "usual.",
           "The UDI file holds 77 bytes after its last track; they belong to no track and are "
           "not loaded."}}}};
    return outcomes;
}

TEST_F(UdiTest, CorpusFilesLoadOrAreRefusedAsExpected) {
    MORVANE_CORPUS_OR_SKIP(files, "udi");
    for (const auto& path : files) {
        const Bytes file = test::LoadFile(path);
        const bool read = ReadUdi(file, *disk);
        const auto outcome = UdiCorpusOutcomes().find(path.filename().string());
        if (outcome == UdiCorpusOutcomes().end()) {
            EXPECT_TRUE(read) << path << ": " << disk->LastError;
            continue;
        }
        EXPECT_EQ(read, outcome->second.error.empty()) << path;
        if (read) {
            EXPECT_EQ(disk->CountTracks(), outcome->second.tracks) << path;
            std::vector<std::string> notes;
            for (const LoadNote& note : disk->LoadNotes)
                notes.push_back(note.text);
            EXPECT_EQ(notes, outcome->second.notes) << path;
            // Every sector of these files was written with its right checksums.
            for (std::uint8_t t = 0; t < disk->TrackCount; ++t)
                for (const SectorSlot& slot : disk->GetTrack(t)->Slots)
                    EXPECT_TRUE(slot.Present == 0 || slot.DataGood == kDataGood)
                        << path << " track " << int{t} << " sector " << int{slot.Sector};
        } else {
            EXPECT_EQ(disk->LastError, outcome->second.error) << path;
        }
    }
}

TEST_F(UdiTest, CorpusFilesRewrittenKeepTheirSectors) {
    MORVANE_CORPUS_OR_SKIP(files, "udi");
    for (const auto& path : files) {
        const Bytes file = test::LoadFile(path);
        if (!ReadUdi(file, *disk)) continue;  // refusals are checked above
        for (bool noRestore : {true, false}) {
            disk->NoTrackRestore = noRestore;
            Bytes out;
            // 48.udi has C2 C2 FC inside the sector data of track 39: it must not be taken
            // for the index mark.
            ASSERT_TRUE(WriteUdi(*disk, out)) << path << " fails at track " << int{disk->FailTrack}
                                              << " slot " << int{disk->FailSlot};
            auto back = std::make_unique<DiskImage>();
            ASSERT_TRUE(ReadUdi(out, *back)) << path;
            std::size_t sectors = 0;
            for (std::uint8_t t = 0; t < disk->TrackCount; ++t) {
                sectors += disk->GetTrack(t)->SectorCount;
                EXPECT_EQ(SectorsOf(*back->GetTrack(t)), SectorsOf(*disk->GetTrack(t)))
                    << path << " track " << int{t} << " NoTrackRestore " << noRestore;
            }
            EXPECT_GT(sectors, 0u) << path;
        }
    }
}

// The sectors the finder makes of every track record of a file: how many, how many with
// data, and a fingerprint of their slots. The header is not looked at, so the tracks of a
// file the reader refuses for its header are checked too.
struct FoundSectors {
    std::size_t sectors = 0;
    std::size_t withData = 0;
    std::uint64_t fingerprint = 0;
    bool operator==(const FoundSectors&) const = default;
};

FoundSectors FindSectorsOfEveryTrack(const Bytes& file) {
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    const auto mix = [&hash](std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            hash ^= (v >> (8 * i)) & 0xFF;
            hash *= 1099511628211ULL;
        }
    };
    FoundSectors found;
    const std::span<const std::uint8_t> all(file);
    auto track = std::make_unique<Track>();
    for (std::size_t at = 16; at + 3 + 4 <= file.size();) {
        const std::size_t length = file[at + 1] | std::size_t{file[at + 2]} << 8;
        const std::size_t bitmap = (length + 7) / 8;
        if (at + 3 + length + bitmap + 4 > file.size() || length > kTrackBufferSize) break;
        track->ClearSlots();
        FindUdiSectors(all.subspan(at + 3, length), all.subspan(at + 3 + length, bitmap), *track);
        for (std::size_t k = 0; k < kSlotsPerTrack; ++k) {
            const SectorSlot& s = track->Slots[k];
            if (s.Present == 0) continue;
            ++found.sectors;
            found.withData += s.DataLength > 0 ? 1 : 0;
            mix(k, 1);
            mix(std::uint64_t{s.Cylinder} << 24 | s.Head << 16 | s.Sector << 8 | s.SizeCode, 4);
            mix(s.HeaderCrc, 2);
            mix(s.DataGood, 1);
            mix(s.DataPosition, 2);
            mix(s.DataLength, 2);
            for (std::size_t i = 0; i < s.DataLength; ++i)
                mix(s.Data[i], 1);
        }
        at += 3 + length + bitmap;
    }
    found.fingerprint = hash;
    return found;
}

TEST_F(UdiTest, CorpusTracksKeepTheSectorsFoundInThem) {
    MORVANE_CORPUS_OR_SKIP(files, "udi");
    static const std::map<std::string, FoundSectors> kFound{
        {"48.udi", {2514, 2514, 0xa22d0dfa875c8ddeULL}},
        {"beta128-empty.udi", {2752, 2752, 0x6b88e42f9826fb1fULL}},
        {"Zvezdnoe Nasledie.udi", {2560, 2560, 0xd8fd0938109d0f1aULL}}};
    for (const auto& path : files) {
        const FoundSectors found = FindSectorsOfEveryTrack(test::LoadFile(path));
        const auto expected = kFound.find(path.filename().string());
        if (expected == kFound.end()) continue;  // a file added since; nothing to compare
        EXPECT_EQ(found, expected->second)
            << path << ": " << found.sectors << " sectors, " << found.withData
            << " with data, fingerprint 0x" << std::hex << found.fingerprint;
    }
}

TEST_F(UdiTest, CutAndDamagedCorpusFilesEndWithAnAnswer) {
    MORVANE_CORPUS_OR_SKIP(files, "udi");
    std::mt19937 random(4321);
    for (const auto& path : files) {
        const Bytes file = test::LoadFile(path);
        const bool wholeReads = ReadUdi(file, *disk);
        const std::string wholeError = disk->LastError;
        for (std::size_t cut : test::CutLengths(file.size(), {16, 19, 20, 7057, 14098}, 16)) {
            Bytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            if (!ReadUdi(part, *disk)) {
                EXPECT_FALSE(disk->LastError.empty());
            }
            if (cut < 20) continue;
            // With its size field and checksum made right, the cut file gets as far as the
            // track records, unless its header is refused already.
            SetLe32(part, 4, static_cast<std::uint32_t>(cut - 4));
            Reseal(part);
            const bool read = ReadUdi(part, *disk);
            if (cut < file.size() * 9 / 10) {
                EXPECT_FALSE(read) << path << " cut at " << cut;
            }
            if (!read) {
                EXPECT_EQ(disk->LastError, wholeReads ? "Error UDI file length!" : wholeError)
                    << path << " cut at " << cut;
            }
        }
        for (int round = 0; round < 6; ++round) {
            Bytes damaged = test::Damaged(file, random, 1 + round * 40);
            if (damaged != file) {
                EXPECT_FALSE(ReadUdi(damaged, *disk));
                EXPECT_EQ(disk->LastError, "UDI file CRC error!");
            }
            Reseal(damaged);
            if (ReadUdi(damaged, *disk)) {
                Bytes out;
                if (WriteUdi(*disk, out)) {
                    EXPECT_TRUE(ReadUdi(out, *disk));
                }
            } else {
                EXPECT_FALSE(disk->LastError.empty());
            }
        }
    }
}

}  // namespace
}  // namespace morvane
