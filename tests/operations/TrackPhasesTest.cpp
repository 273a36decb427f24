// The three reads of one track that the context-menu reads and the whole-disk runs share
// (TrackPhases): the raw image read several times, the scan of the ID fields and the
// sector list read, against the emulated controller's demo disk.
#include <gtest/gtest.h>

#include "OperationsFixture.h"
#include "controller/virtual/SectorAccess.h"
#include "controller/virtual/TrackScan.h"
#include "model/Checksums.h"
#include "operations/SingleTrackReads.h"

namespace morvane {
namespace {

using test::OperationsFixture;

constexpr std::uint8_t kReadTrack = 0x23, kReadAddresses = 0x20, kReadSectors = 0x24;

class TrackPhasesTest : public OperationsFixture {};

TEST_F(TrackPhasesTest, DeletedDataMarkReadsAsGoodData) {
    FillDemoSlots(10);
    virt::RawTrack& track = *device->Fdc().Disk(virt::Drive::A)->Track(10);
    const auto id = virt::FindSector(track, 4, false).Id;
    ASSERT_TRUE(id);
    const Bytes data(256, 0xE5);
    virt::WriteDataField(track, *id, data, virt::kDeletedDataAddressMark);
    auto ctx = Ctx();
    EXPECT_EQ(ReadSelectedSector(ctx, {10, 4}), OperationOutcome::Done);
    const SectorSlot& slot = *disk->GetSlot(10, 3);
    EXPECT_EQ(slot.DataGood, kDataGood);
    EXPECT_EQ(slot.Data[0], 0xE5);
    EXPECT_TRUE(host.questions.empty());
}

// Raw reads that break off keep only what came before the break; the image keeps the
// length most reads had, in the context-menu read (ten reads) and in a raw run (eight).
struct RawLengthCase {
    const char* name;
    bool diskRun;
    int wholeFirst;              // reads before the breaks begin
    int broken;                  // reads that break off after kBreakAt bytes
    std::size_t expectedLength;  // 0: the stored track's length
};

constexpr std::size_t kBreakAt = 3000;

class RawLengthCases : public TrackPhasesTest,
                       public ::testing::WithParamInterface<RawLengthCase> {};

TEST_P(RawLengthCases, ImageKeepsTheLengthMostReadsHad) {
    const RawLengthCase& c = GetParam();
    constexpr std::uint8_t kTrack = 4;
    device->Faults().AddRawReadBreak(virt::Drive::A, kTrack, kBreakAt, 0x04, c.broken,
                                     c.wholeFirst);
    auto ctx = Ctx();
    if (c.diskRun) {
        const DiskRunResult r = RunDisk(ctx, {QStringLiteral("run"), kRunRaw, kTrack, 1, 300});
        EXPECT_EQ(r.outcome, OperationOutcome::Done);
    } else {
        EXPECT_EQ(ReadRawTrack(ctx, {kTrack, 0}), OperationOutcome::Done);
    }
    const virt::RawTrack& stored = Stored(kTrack);
    const std::size_t expected = c.expectedLength == 0 ? stored.Length() : c.expectedLength;
    const Track& track = *disk->GetTrack(kTrack);
    EXPECT_EQ(Frames(kReadTrack).size(), c.diskRun ? 8u : 10u);
    const bool lastBroken = c.wholeFirst + c.broken == (c.diskRun ? 8 : 10);
    const std::size_t lastLength = lastBroken ? kBreakAt : stored.Length();
    EXPECT_EQ(track.Log.back(),
              "Образ дорожки считан, размер - " + std::to_string(lastLength) + " байт.")
        << "each read still logs its own length";
    ASSERT_EQ(track.RawLength, expected);
    EXPECT_TRUE(std::equal(stored.Data.begin(),
                           stored.Data.begin() + static_cast<std::ptrdiff_t>(expected),
                           track.Raw.begin()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RawLengthCases,
    ::testing::Values(RawLengthCase{"LastOfTenShort", false, 9, 1, 0},
                      RawLengthCase{"LastOfEightShort", true, 7, 1, 0},
                      RawLengthCase{"FirstOfEightShort", true, 0, 1, 0},
                      RawLengthCase{"MostOfTenShort", false, 2, 6, kBreakAt},
                      RawLengthCase{"HalfOfEightShortFirstReadWins", true, 0, 4, kBreakAt},
                      RawLengthCase{"HalfOfEightWholeFirstReadWins", true, 4, 4, 0}),
    test::CaseName());

TEST_F(TrackPhasesTest, RawReadTimeOutLeavesTrackUnchanged) {
    device->SilenceCommand(kReadTrack);
    auto ctx = Ctx();
    EXPECT_EQ(ReadRawTrack(ctx, {5, 0}), OperationOutcome::Stopped);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Время ожидания контроллера вышло."});
    EXPECT_EQ(disk->GetTrack(5)->Present, 0);
    EXPECT_EQ(disk->GetTrack(5)->RawLength, 0);
}

struct ScanCase {
    const char* name;
    std::uint8_t track;
    int fault;  // 0 none, 1 missing sector 3, 2 ID CRC error on sector 3
    std::size_t found;
    const char* errorLine;  // "" when the scan answers
};

class ScanTrackCases : public TrackPhasesTest,
                       public ::testing::WithParamInterface<ScanCase> {};

TEST_P(ScanTrackCases, FillsSlotsFromTheIdFields) {
    const ScanCase& c = GetParam();
    if (c.fault == 1) device->Faults().AddMissingSector(virt::Drive::A, c.track, 3);
    if (c.fault == 2) device->Faults().AddIdCrcError(virt::Drive::A, c.track, 3);
    auto ctx = Ctx();
    EXPECT_EQ(ScanTrack(ctx, {c.track, 0}), OperationOutcome::Done);
    const Track& track = *disk->GetTrack(c.track);
    EXPECT_EQ(track.Present, kPresent);
    std::size_t present = 0;
    for (const SectorSlot& s : track.Slots)
        present += s.Present != 0 ? 1 : 0;
    EXPECT_EQ(present, c.found);
    const std::string done =
        "Сканирование завершено. Найдено " + std::to_string(c.found) + " секторов.";
    EXPECT_EQ(host.log.back(), done);
    EXPECT_EQ(track.Log.front(), "Начало сканирования дорожки.");
    if (*c.errorLine) {
        EXPECT_TRUE(Logged(c.errorLine));
    }
    if (c.fault == 2) {
        const SectorSlot& s = track.Slots[2];
        EXPECT_EQ(s.Sector, 3);
        EXPECT_NE(s.HeaderCrc, IdFieldCrc(s.Cylinder, s.Head, s.Sector, s.SizeCode));
    }
    EXPECT_EQ(Frames(kReadAddresses).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanTrackCases,
    ::testing::Values(ScanCase{"Whole", 12, 0, 16, ""}, ScanCase{"MissingSector", 12, 1, 15, ""},
                      ScanCase{"IdCrcError", 12, 2, 16, ""},
                      ScanCase{"Unformatted", 165, 0, 0, "Ошибка сканирования - 10 (Track - 165)"}),
    test::CaseName());

TEST_F(TrackPhasesTest, TrackSectorsReadInOneListWithErrorsLogged) {
    FillDemoSlots(2);
    auto ctx = Ctx();
    EXPECT_EQ(ReadTrackSectors(ctx, {2, 0}), OperationOutcome::Done);
    ASSERT_EQ(Frames(kReadSectors).size(), 1u);
    EXPECT_EQ(Frames(kReadSectors)[0].Payload.size(), 16u);
    EXPECT_EQ(host.log.front(),
              "Чтение секторов -  01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
    EXPECT_TRUE(Logged("Ошибка чтения сектора 14 - #1Fr reg = 08 (Track - 2 / Sector - 14)"));
    const Track& track = *disk->GetTrack(2);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(track.Slots[i].DataGood, i == 13 ? 0 : kDataGood) << i;
        EXPECT_EQ(track.Slots[i].DataLength, 256);
    }
    EXPECT_EQ(host.shownBytes.size(), 16u * 256);
    EXPECT_EQ(host.trackLabel, "2");
    EXPECT_EQ(host.sectorLabel, "0");
}

// A sector list read whose records do not come one for one: records lost on the way, or
// an error record the device never sent for this list. Every slot keeps only its own
// sector's bytes; a slot whose record went missing stays failed, and the records after
// it still go to their own slots. Track 2 of the demo disk: sector 14 has a bad data CRC.
struct ListRecordCase {
    const char* name;
    std::vector<std::uint8_t> lost;      // sectors whose record never arrives
    std::uint8_t strayBefore;            // a stray error record comes before this sector's
    std::uint8_t strayNames;             // the sector the stray record names
    std::vector<std::uint8_t> noRecord;  // sectors left failed for want of their record
    std::vector<std::string> lines;      // in the operation log
};

class ListRecordCases : public TrackPhasesTest,
                        public ::testing::WithParamInterface<ListRecordCase> {};

TEST_P(ListRecordCases, EachSlotKeepsOnlyItsOwnSectorsRecord) {
    const ListRecordCase& c = GetParam();
    FillDemoSlots(2);
    device->SetReplyTamper(
        [&c](const virt::CommandFrame& frame, std::size_t i, const virt::WdReply& reply) {
            std::vector<virt::WdReply> out;
            if (frame.Code != kReadSectors || i >= frame.Payload.size()) return out = {reply};
            const std::uint8_t r = frame.Payload[i];
            if (r == c.strayBefore) {
                virt::WdReply stray = reply;
                stray.Error = true;
                stray.Status = 0x08;
                stray.Sector = c.strayNames;
                stray.Data = Bytes(256, 0x77);
                out.push_back(stray);
            }
            if (std::find(c.lost.begin(), c.lost.end(), r) == c.lost.end()) out.push_back(reply);
            return out;
        });
    auto ctx = Ctx();
    EXPECT_EQ(ReadTrackSectors(ctx, {2, 0}), OperationOutcome::Done);
    EXPECT_TRUE(host.messages.empty());
    const virt::RawTrack& stored = Stored(2);
    const Track& track = *disk->GetTrack(2);
    for (std::uint8_t r = 1; r <= 16; ++r) {
        SCOPED_TRACE(int{r});
        const SectorSlot& slot = track.Slots[r - 1u];
        if (std::find(c.noRecord.begin(), c.noRecord.end(), r) != c.noRecord.end()) {
            EXPECT_EQ(slot.DataGood, 0);
            EXPECT_EQ(slot.DataLength, 0);
            continue;
        }
        const virt::SectorRead truth = virt::ReadSector(stored, r);
        EXPECT_EQ(slot.DataGood, truth.Status == 0 ? kDataGood : 0);
        EXPECT_EQ(Bytes(slot.Data.begin(), slot.Data.begin() + slot.DataLength), truth.Data);
    }
    for (const std::string& line : c.lines)
        EXPECT_TRUE(Logged(line)) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListRecordCases,
    ::testing::Values(
        ListRecordCase{"RecordLostBeforeAnErrorRecord",
                       {13},
                       0,
                       0,
                       {13},
                       {"Сектор 13 не считан: пришёл ответ сектора 14 (Track - 2 / Sector - 13)",
                        "Ошибка чтения сектора 14 - #1Fr reg = 08 (Track - 2 / Sector - 14)"}},
        ListRecordCase{"TwoRecordsLostBeforeAnErrorRecord",
                       {12, 13},
                       0,
                       0,
                       {12, 13},
                       {"Сектор 12 не считан: пришёл ответ сектора 14 (Track - 2 / Sector - 12)",
                        "Сектор 13 не считан: пришёл ответ сектора 14 (Track - 2 / Sector - 13)"}},
        ListRecordCase{"StrayRecordOfAnUnlistedSector",
                       {},
                       5,
                       66,
                       {},
                       {"Ответ сектора 66 пропущен: ожидался сектор 5 (Track - 2 / Sector - 5)"}},
        ListRecordCase{"StrayRecordOfAnEarlierSector",
                       {},
                       5,
                       2,
                       {},
                       {"Ответ сектора 2 пропущен: ожидался сектор 5 (Track - 2 / Sector - 5)"}}),
    test::CaseName());

TEST_F(TrackPhasesTest, TrackSectorsLengthMismatchMarksSectorFailed) {
    FillDemoSlots(9, 3, 0);  // the slots claim 128 bytes; the disk holds 256
    auto ctx = Ctx();
    EXPECT_EQ(ReadTrackSectors(ctx, {9, 0}), OperationOutcome::Done);
    EXPECT_TRUE(Logged("Длинна сектора - 128 byte не равна колличеству считанных байтов - 256"));
    EXPECT_EQ(disk->GetSlot(9, 0)->DataGood, 0);
    EXPECT_EQ(disk->GetSlot(9, 0)->DataLength, 256);
}

TEST_F(TrackPhasesTest, ScanOfUnformattedTrackLeavesItAbsent) {
    const DiskRunResult r = Run(kRunScan, 160, 6);
    EXPECT_EQ(r.outcome, OperationOutcome::Done);
    EXPECT_EQ(disk->GetTrack(163)->Present, 0);
    EXPECT_TRUE(Logged("Ошибка сканирования - Сектор не найден  (Track - 163)"));
}

// An image still holding another disk: 20 sectors of 512 bytes, numbered from 0x41, read
// good.
void FillWithAnotherDisk(Track& track) {
    track.Present = kPresent;
    for (std::uint8_t k = 0; k < 20; ++k) {
        SectorSlot& slot = track.Slots[k];
        slot = SectorSlot{};
        slot.Present = kPresent;
        slot.Sector = static_cast<std::uint8_t>(0x41 + k);
        slot.SizeCode = 2;
        slot.DataGood = kDataGood;
        slot.DataLength = 512;
        slot.Data[0] = 0xEE;
    }
}

// The drive, not the stale slots, says what each track holds: a run neither asks for
// another disk's sectors nor keeps their data as good.
TEST_F(TrackPhasesTest, RunsReadWhatTheDriveHoldsNotAnotherDisksSlots) {
    for (int mode : {kRunScan | kRunSectors, kRunScan}) {
        SCOPED_TRACE(mode);
        for (int t : {4, 5, 163}) FillWithAnotherDisk(*disk->GetTrack(static_cast<std::uint8_t>(t)));
        device->ClearReceivedFrames();
        EXPECT_EQ(Run(mode, 4, 2).failedSectors, 0);
        EXPECT_EQ(Run(kRunScan, 163, 1).outcome, OperationOutcome::Done);
        for (int t : {4, 5}) {
            const Track& track = *disk->GetTrack(static_cast<std::uint8_t>(t));
            EXPECT_EQ(track.Slots[15].Sector, 16);
            EXPECT_EQ(track.Slots[15].DataGood != 0, (mode & kRunSectors) != 0) << t;
            EXPECT_EQ(track.Slots[16].Present, 0) << t;
        }
        EXPECT_EQ(disk->GetTrack(163)->Slots[0].Present, 0) << "unformatted on this disk";
        for (const virt::CommandFrame& f : Frames(kReadSectors))
            for (const std::uint8_t asked : f.Payload)
                EXPECT_LE(asked, 16);
    }
}

}  // namespace
}  // namespace morvane
