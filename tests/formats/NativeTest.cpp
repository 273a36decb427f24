#include "formats/Native.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DiskCompare.h"
#include "model/Checksums.h"

namespace morvane {
namespace {

constexpr std::size_t kTrack0 = kNativeHeaderSize;  // offset of track 0's block

std::unique_ptr<DiskImage> NewDisk() {
    return std::make_unique<DiskImage>();
}

// Recomputes the closing checksum after a test has patched the body.
void Reseal(Bytes& file) {
    const std::size_t body = file.size() - 4;
    SetLe32(file, body, ImageCrc32(std::span<const std::uint8_t>(file).first(body)));
}

void FillSlot(SectorSlot& slot, std::uint8_t r, std::uint16_t length, std::uint8_t seed) {
    slot.Present = kPresent;
    slot.Cylinder = 3;
    slot.Head = 1;
    slot.Sector = r;
    slot.SizeCode = 1;
    slot.HeaderCrc = IdFieldCrc(3, 1, r, 1);
    slot.DataGood = kDataGood;
    slot.DataPosition = static_cast<std::uint16_t>(100 + r);
    slot.DataLength = length;
    for (std::size_t i = 0; i < length; ++i)
        slot.Data[i] = static_cast<std::uint8_t>(seed + i * 7);
}

// An image that uses every field the format keeps.
void FillRich(DiskImage& disk) {
    disk.ImagePath = "C:\\Диски\\игра.udf";
    disk.UseBaseTrack = true;
    disk.BaseTrack = 7;
    disk.NoTrackRestore = true;
    disk.DiskLog = {"Комментарий к диску", "", "line 3 ©"};

    Track& t0 = *disk.GetTrack(0);
    t0.Present = kPresent;
    t0.RawValid = 1;
    t0.RawLength = static_cast<std::uint16_t>(kTrackBufferSize);
    for (std::size_t i = 0; i < kTrackBufferSize; ++i)
        t0.Raw[i] = static_cast<std::uint8_t>(i * 13 + 1);
    t0.Log = {"Чтение дорожки 0", "ok"};
    FillSlot(t0.Slots[0], 1, 256, 5);
    FillSlot(t0.Slots[1], 9, static_cast<std::uint16_t>(kTrackBufferSize), 6);
    FillSlot(t0.Slots[4], 2, 0, 0);  // header only, a gap of empty slots before it
    t0.Slots[4].DataGood = 0;
    t0.Slots[4].Reserved = 0x5A;
    t0.CountSectors();

    Track& t1 = *disk.GetTrack(1);  // present, raw kept but not valid, no slots
    t1.Present = kPresent;
    t1.RawLength = 10;
    t1.Raw[9] = 0xEE;

    Track& t2 = *disk.GetTrack(2);  // absent, yet its slots are kept
    FillSlot(t2.Slots[31], 200, 128, 9);
    t2.CountSectors();

    Track& last = *disk.GetTrack(165);  // present with nothing in it
    last.Present = kPresent;
    last.Log = {""};
}

TEST(NativeLayout, EmptyImageIs5746Bytes) {
    auto disk = NewDisk();
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    EXPECT_EQ(kNativeMinimumSize, 5746u);
    ASSERT_EQ(file.size(), 5746u);
    for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(file[i], 0) << i;
    EXPECT_EQ(file[256], 0);     // no present tracks
    EXPECT_EQ(file[257], 0xFF);  // UseBaseTrack false
    EXPECT_EQ(file[258], 0xFF);  // BaseTrack none
    EXPECT_EQ(file[259], 0xFF);  // NoTrackRestore false
    for (std::size_t i = kTrack0; i < kTrack0 + 166 * 33; ++i)
        ASSERT_EQ(file[i], 0xFF) << i;   // absent tracks of absent slots
    EXPECT_EQ(GetLe32(file, 5738), 0u);  // empty comment
    EXPECT_EQ(GetLe32(file, 5742), ImageCrc32(std::span<const std::uint8_t>(file).first(5742)));
}

TEST(NativeLayout, PresentTrackAndSlotFieldsInOrder) {
    auto disk = NewDisk();
    Track& t = *disk->GetTrack(0);
    t.Present = kPresent;
    t.RawValid = 1;
    t.RawLength = 3;
    t.Raw[0] = 0xA1;
    t.Raw[1] = 0xA2;
    t.Raw[2] = 0xA3;
    t.Log = {"ab"};
    SectorSlot& s = t.Slots[0];
    s.Present = kPresent;
    s.Cylinder = 0x11;
    s.Head = 0x22;
    s.Sector = 0x33;
    s.SizeCode = 0x02;
    s.HeaderCrc = 0xBEEF;
    s.Reserved = 0x44;
    s.DataGood = 0;
    s.DataPosition = 0x1234;
    s.DataLength = 2;
    s.Data[0] = 0x55;
    s.Data[1] = 0x66;
    t.CountSectors();
    disk->BaseTrack = 0;
    disk->UseBaseTrack = true;
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    EXPECT_EQ(file[256], 1);
    EXPECT_EQ(file[257], 1);
    EXPECT_EQ(file[258], 0);
    const Bytes expected{
        1,    0,    1,    1,    3,    0,    0xA1, 0xA2, 0xA3,   // track header, raw
        4,    0,    0,    0,    'a',  'b',  '\r', '\n',         // log
        1,    0x11, 0x22, 0x33, 0x02, 0xEF, 0xBE, 0x44, 0xFF,   // slot 0 ID, CRC, flags
        0x34, 0x12, 2,    0,    0x55, 0x66, 0xFF, 0xFF, 0xFF};  // position, data, slot 1..
    ASSERT_GT(file.size(), kTrack0 + expected.size());
    EXPECT_EQ(Bytes(file.begin() + kTrack0, file.begin() + kTrack0 + expected.size()), expected);
    EXPECT_EQ(file.size(), kNativeMinimumSize + 5 + 3 + 4 + 4 + 12 + 2);
}

TEST(NativeLayout, TextsAreStoredInWindows1251WithCrLf) {
    auto disk = NewDisk();
    disk->DiskLog = {"Диск", "x"};
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    const Bytes tail(file.end() - 4 - 4 - 9, file.end() - 4);
    EXPECT_EQ(tail, (Bytes{9, 0, 0, 0, 0xC4, 0xE8, 0xF1, 0xEA, '\r', '\n', 'x', '\r', '\n'}));
}

TEST(NativeLayout, ImagePathIsStoredInWindows1251AndCutTo255Bytes) {
    auto disk = NewDisk();
    disk->ImagePath = "Я" + std::string(300, 'p');
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    EXPECT_EQ(file[0], 0xDF);
    EXPECT_EQ(file[254], 'p');
    EXPECT_EQ(file[255], 0);
    auto back = NewDisk();
    ASSERT_TRUE(ReadNative(file, *back)) << back->LastError;
    EXPECT_EQ(back->ImagePath, "Я" + std::string(254, 'p'));
}

TEST(NativeRoundTrip, KeepsEveryFieldOfTheImage) {
    auto disk = NewDisk();
    FillRich(*disk);
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    EXPECT_EQ(disk->TrackCount, 3);  // the writer counts the present tracks
    auto back = NewDisk();
    back->ImagePath = "stale";
    back->GetTrack(50)->Present = kPresent;
    ASSERT_TRUE(ReadNative(file, *back)) << back->LastError;
    EXPECT_TRUE(SameDisk(*disk, *back));
    EXPECT_EQ(back->GetTrack(0)->Slots[1].Data[kTrackBufferSize - 1],
              disk->GetTrack(0)->Slots[1].Data[kTrackBufferSize - 1]);
    EXPECT_EQ(back->GetTrack(2)->SectorCount, 1);
    EXPECT_EQ(back->GetTrack(165)->Log, std::vector<std::string>{""});
    EXPECT_EQ(back->GetTrack(50)->Present, 0);

    Bytes again;
    ASSERT_TRUE(WriteNative(*back, again));
    EXPECT_EQ(again, file);
}

TEST(NativeRoundTrip, CharactersOutsideTheCodePageComeBackAsQuestionMarks) {
    auto disk = NewDisk();
    disk->DiskLog = {"日本 ok"};
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    auto back = NewDisk();
    ASSERT_TRUE(ReadNative(file, *back));
    EXPECT_EQ(back->DiskLog, std::vector<std::string>{"?? ok"});
}

// The file of FillRich's image but with only track 0's block patched: offsets of the
// track 0 fields.
constexpr std::size_t kT0Number = kTrack0 + 1;
constexpr std::size_t kT0SectorCount = kTrack0 + 2;
constexpr std::size_t kT0RawValid = kTrack0 + 3;
constexpr std::size_t kT0RawLength = kTrack0 + 4;

class NativeReadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto disk = NewDisk();
        FillRich(*disk);
        ASSERT_TRUE(WriteNative(*disk, file));
    }
    bool Read() { return ReadNative(file, *disk_); }
    DiskImage& Disk() { return *disk_; }
    // Offset of track 0's log length field.
    static std::size_t T0LogLength() { return kT0RawLength + 2 + kTrackBufferSize; }

    Bytes file;

  private:
    std::unique_ptr<DiskImage> disk_ = NewDisk();
};

TEST_F(NativeReadTest, OnlyFlagValueOneReadsAsTrue) {
    file[257] = 0;  // UseBaseTrack: neither 1 nor 0xFF
    file[259] = 2;  // NoTrackRestore
    file[kT0RawValid] = 0xFF;
    Reseal(file);
    ASSERT_TRUE(Read()) << Disk().LastError;
    EXPECT_FALSE(Disk().UseBaseTrack);
    EXPECT_FALSE(Disk().NoTrackRestore);
    EXPECT_EQ(Disk().GetTrack(0)->RawValid, 0);
    EXPECT_EQ(Disk().GetTrack(0)->Present, kPresent);
}

TEST_F(NativeReadTest, TrackCountIsTakenAsStored) {
    file[256] = 99;
    Reseal(file);
    ASSERT_TRUE(Read());
    EXPECT_EQ(Disk().TrackCount, 99);
}

TEST_F(NativeReadTest, SectorCountFollowsTheSlotsNotTheFile) {
    file[kT0SectorCount] = 30;
    Reseal(file);
    ASSERT_TRUE(Read());
    EXPECT_EQ(Disk().GetTrack(0)->SectorCount, 3);
}

TEST_F(NativeReadTest, TrackNumberStaysTheTrackIndex) {
    file[kT0Number] = 77;
    Reseal(file);
    ASSERT_TRUE(Read());
    EXPECT_EQ(Disk().GetTrack(0)->Number, 0);
}

TEST_F(NativeReadTest, RefusesRawTrackLongerThanBuffer) {
    SetLe16(file, kT0RawLength, static_cast<std::uint16_t>(kTrackBufferSize + 1));
    Reseal(file);
    EXPECT_FALSE(Read());
    EXPECT_EQ(Disk().LastError, "track 0: raw track length 6501 exceeds 6500");
}

TEST_F(NativeReadTest, RefusesSlotDataLongerThanBuffer) {
    const std::size_t slot0 = T0LogLength() + 4 + GetLe32(file, T0LogLength());
    ASSERT_EQ(file[slot0], 1);
    SetLe16(file, slot0 + 11, 0xFFFF);
    Reseal(file);
    EXPECT_FALSE(Read());
    EXPECT_EQ(Disk().LastError, "track 0, slot 0: data length 65535 exceeds 6500");
}

TEST_F(NativeReadTest, RefusesLogLongerThanTheRestOfTheFile) {
    SetLe32(file, T0LogLength(), 0xFFFFFFF0u);
    Reseal(file);
    EXPECT_FALSE(Read());
    EXPECT_NE(Disk().LastError.find("track 0 log: text length 4294967280 exceeds the"),
              std::string::npos)
        << Disk().LastError;
}

TEST_F(NativeReadTest, RefusesCommentLongerThanTheRestOfTheFile) {
    // The comment "Комментарий к диску\r\n\r\nline 3 ©\r\n" is 19 + 2 + 2 + 8 + 2 = 33 bytes.
    const std::size_t lengthAt = file.size() - 4 - 33 - 4;
    ASSERT_EQ(GetLe32(file, lengthAt), 33u);
    SetLe32(file, lengthAt, 34);
    Reseal(file);
    EXPECT_FALSE(Read());
    EXPECT_EQ(Disk().LastError,
              "the disk comment: text length 34 exceeds the 33 bytes that remain");
}

TEST_F(NativeReadTest, RefusesBytesBetweenCommentAndChecksum) {
    file.insert(file.end() - 4, {1, 2, 3});
    Reseal(file);
    EXPECT_FALSE(Read());
    EXPECT_EQ(Disk().LastError, "3 unexpected bytes between the disk comment and the checksum");
}

TEST_F(NativeReadTest, WrongChecksumFailsButKeepsWhatWasRead) {
    file.back() ^= 0x01;
    EXPECT_FALSE(Read());
    EXPECT_NE(Disk().LastError.find("checksum mismatch"), std::string::npos);
    EXPECT_EQ(Disk().DiskLog.size(), 3u);
    EXPECT_EQ(Disk().GetTrack(0)->Slots[1].DataLength, kTrackBufferSize);
}

TEST_F(NativeReadTest, CorruptByteInTheBodyIsCaughtByTheChecksum) {
    file[kTrack0 + 20] ^= 0x40;  // inside track 0's raw image
    EXPECT_FALSE(Read());
    EXPECT_NE(Disk().LastError.find("checksum mismatch"), std::string::npos);
}

TEST_F(NativeReadTest, EveryCutOfTheFileIsRefusedWithAMessage) {
    // A small image where every field sits within a few bytes of the minimum size, so
    // every cut point through its structure can be tried.
    auto small = NewDisk();
    Track& t = *small->GetTrack(5);
    t.Present = kPresent;
    t.RawLength = 5;
    t.Log = {"x"};
    FillSlot(t.Slots[0], 1, 4, 0);
    small->DiskLog = {"c"};
    Bytes whole;
    ASSERT_TRUE(WriteNative(*small, whole));
    for (std::size_t size = 0; size < whole.size();
         size += (size < kNativeMinimumSize - 2 ? 701 : 1)) {
        const std::span<const std::uint8_t> cut(whole.data(), size);
        Disk().LastError.clear();
        ASSERT_FALSE(ReadNative(cut, Disk())) << size;
        ASSERT_FALSE(Disk().LastError.empty()) << size;
    }
    // And a stride through the large image.
    for (std::size_t back = 1; back < file.size(); back += file.size() / 23) {
        Disk().LastError.clear();
        ASSERT_FALSE(
            ReadNative(std::span<const std::uint8_t>(file.data(), file.size() - back), Disk()))
            << back;
        EXPECT_NE(Disk().LastError, "") << back;
    }
}

TEST_F(NativeReadTest, ShortFileIsRefusedBeforeParsing) {
    file.resize(100);
    EXPECT_FALSE(Read());
    EXPECT_EQ(Disk().LastError,
              "file of 100 bytes is too short for a native image (at least 5746)");
}

TEST_F(NativeReadTest, CutInsideASlotNamesTheSlot) {
    // Drop the body's last 40 bytes, the comment and the end of track 165's slots stay
    // out; keep a checksum-sized tail so the parser runs into the cut.
    auto disk = NewDisk();
    FillRich(*disk);
    disk->DiskLog.clear();
    disk->GetTrack(165)->Present = 0;
    Bytes small;
    ASSERT_TRUE(WriteNative(*disk, small));
    small.erase(small.end() - 4 - 4 - 2, small.end() - 4);  // two slot flags and the length
    auto back = NewDisk();
    EXPECT_FALSE(ReadNative(small, *back));
    EXPECT_EQ(back->LastError, "file cut short in track 165, slot 30");
}

TEST(NativeText, LinesSplitOnCrLfCrOrLfAndTheLastNeedsNoEnd) {
    auto disk = NewDisk();
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    const Bytes text{'a', '\r', '\n', 'b', '\n', '\n', 'c', '\r', 0xC6};
    file.erase(file.end() - 8, file.end());
    PutLe32(file, static_cast<std::uint32_t>(text.size()));
    file.insert(file.end(), text.begin(), text.end());
    PutLe32(file, 0);
    Reseal(file);
    ASSERT_TRUE(ReadNative(file, *disk)) << disk->LastError;
    EXPECT_EQ(disk->DiskLog, (std::vector<std::string>{"a", "b", "", "c", "Ж"}));
}

TEST(NativeText, ImagePathWithoutTerminatorTakesTheWholeField) {
    auto disk = NewDisk();
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    std::fill(file.begin(), file.begin() + 256, 'z');
    Reseal(file);
    ASSERT_TRUE(ReadNative(file, *disk));
    EXPECT_EQ(disk->ImagePath, std::string(256, 'z'));
}

TEST(NativeWrite, RefusesRawLengthPastTheBuffer) {
    auto disk = NewDisk();
    disk->GetTrack(4)->Present = kPresent;
    disk->GetTrack(4)->RawLength = 7000;
    Bytes file{1, 2, 3};
    EXPECT_FALSE(WriteNative(*disk, file));
    EXPECT_TRUE(file.empty());
    EXPECT_EQ(disk->LastError, "track 4: raw track length 7000 exceeds 6500");
}

TEST(NativeWrite, RefusesSlotDataLengthPastTheBuffer) {
    auto disk = NewDisk();
    disk->GetTrack(9)->Slots[3].Present = kPresent;
    disk->GetTrack(9)->Slots[3].DataLength = 6501;
    Bytes file;
    EXPECT_FALSE(WriteNative(*disk, file));
    EXPECT_EQ(disk->LastError, "track 9, slot 3: data length 6501 exceeds 6500");
}

TEST(NativeWrite, IgnoresFieldsOfAbsentEntries) {
    auto disk = NewDisk();
    disk->GetTrack(4)->RawLength = 7000;            // absent track: raw not stored
    disk->GetTrack(4)->Slots[0].DataLength = 9000;  // absent slot: data not stored
    Bytes file;
    ASSERT_TRUE(WriteNative(*disk, file));
    EXPECT_EQ(file.size(), kNativeMinimumSize);
}

}  // namespace
}  // namespace morvane
