// The context-menu reads of one track against the emulated controller. What they share
// with the whole-disk runs, the reads of a track's phases, has TrackPhasesTest.cpp.
#include <gtest/gtest.h>

#include "OperationsFixture.h"
#include "controller/virtual/DemoDisk.h"
#include "operations/SingleTrackReads.h"

namespace morvane {
namespace {

using test::OperationsFixture;

constexpr std::uint8_t kReadSector = 0x21, kReadTrack = 0x23;

class SingleTrackReadsTest : public OperationsFixture {};

struct RefusalCase {
    const char* name;
    int column;
    bool slotPresent;
    const char* message;
};

class ReadSectorRefusal : public SingleTrackReadsTest,
                          public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ReadSectorRefusal, ShowsItsMessageAndSendsNothing) {
    FillDemoSlots(4);
    disk->GetSlot(4, 2)->Present = GetParam().slotPresent ? kPresent : 0;
    auto ctx = Ctx();
    EXPECT_EQ(ReadSelectedSector(ctx, {4, GetParam().column}), OperationOutcome::Refused);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{GetParam().message});
    EXPECT_EQ(host.messages[0].caption, "Ошибка!");
    EXPECT_TRUE(device->ReceivedFrames().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSectorRefusal,
    ::testing::Values(RefusalCase{"TrackColumn", 0, true, "Сектор для чтения не выбран!"},
                      RefusalCase{"SlotSwitchedOff", 3, false, "Сектор в карте диска выключен!"}),
    test::CaseName());

TEST_F(SingleTrackReadsTest, ReadSectorStoresDataAndShowsIt) {
    FillDemoSlots(4);
    auto ctx = Ctx();
    EXPECT_EQ(ReadSelectedSector(ctx, {4, 3}), OperationOutcome::Done);
    const SectorSlot& slot = *disk->GetSlot(4, 2);
    EXPECT_EQ(slot.DataGood, kDataGood);
    EXPECT_EQ(slot.DataLength, 256);
    const Bytes demo = virt::MakeDemoSectors();
    EXPECT_TRUE(
        std::equal(slot.Data.begin(), slot.Data.begin() + 256, demo.begin() + (4 * 16 + 2) * 256));
    EXPECT_EQ(host.log, (std::vector<std::string>{"Чтение сектора - 3",
                                                  "Сектор - 3 считан!(длинна - 256 byte)"}));
    EXPECT_EQ(SeekTargets(), (std::vector<int>{160, 4}));
    EXPECT_EQ(host.shownBytes.size(), 256u);
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(SingleTrackReadsTest, SectorThatFailsOnceIsReadWithoutQuestion) {
    FillDemoSlots(6);
    device->Faults().AddDataCrcError(virt::Drive::A, 6, 5, 1);
    auto ctx = Ctx();
    EXPECT_EQ(ReadSelectedSector(ctx, {6, 5}), OperationOutcome::Done);
    EXPECT_EQ(disk->GetSlot(6, 4)->DataGood, kDataGood);
    EXPECT_EQ(Frames(kReadSector).size(), 2u);
    EXPECT_TRUE(host.questions.empty());
}

struct AnswerCase {
    const char* name;
    std::vector<Answer> answers;
    OperationOutcome outcome;
    std::size_t questions;
    std::vector<int> seeks;
    const char* lastLine;
    std::uint16_t dataLength;
};

class ReadSectorAnswers : public SingleTrackReadsTest,
                          public ::testing::WithParamInterface<AnswerCase> {};

// Track 2 sector 14 of the demo disk always has a bad data CRC.
TEST_P(ReadSectorAnswers, AskAfterThirtyOneFailuresAndFollowTheAnswer) {
    FillDemoSlots(2);
    const AnswerCase& c = GetParam();
    host.answers.assign(c.answers.begin(), c.answers.end());
    auto ctx = Ctx();
    EXPECT_EQ(ReadSelectedSector(ctx, {2, 14}), c.outcome);
    EXPECT_EQ(host.questions.size(), c.questions);
    EXPECT_EQ(host.questions[0], (test::ScriptedHost::Message{"Ошибка - 08", "Ошибка чтения"}));
    EXPECT_EQ(Frames(kReadSector).size(), 31u * c.questions);
    EXPECT_EQ(SeekTargets(), c.seeks);
    EXPECT_EQ(host.log.back(), c.lastLine);
    const SectorSlot& slot = *disk->GetSlot(2, 13);
    EXPECT_EQ(slot.DataGood, 0);
    EXPECT_EQ(slot.DataLength, c.dataLength);
    EXPECT_TRUE(InTrackLog(*disk->GetTrack(2), "Ошибка чтения - 08 (Track - 2 / Sector - 14)"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadSectorAnswers,
                         ::testing::Values(AnswerCase{"RetryThenIgnore",
                                                      {Answer::Retry, Answer::Ignore},
                                                      OperationOutcome::Done,
                                                      2,
                                                      {160, 2, 160, 2},
                                                      "Сектор считан с ошибкой!",
                                                      256},
                                           AnswerCase{"Abort",
                                                      {Answer::Abort},
                                                      OperationOutcome::Cancelled,
                                                      1,
                                                      {160, 2},
                                                      "Отменено пользователем!",
                                                      0}),
                         test::CaseName());

TEST_F(SingleTrackReadsTest, MissingSectorIgnoredKeepsNoData) {
    FillDemoSlots(8);
    device->Faults().AddMissingSector(virt::Drive::A, 8, 9);
    host.answers = {Answer::Ignore};
    auto ctx = Ctx();
    EXPECT_EQ(ReadSelectedSector(ctx, {8, 9}), OperationOutcome::Done);
    EXPECT_EQ(host.questions.at(0).text, "Ошибка - 10");
    EXPECT_EQ(disk->GetSlot(8, 8)->DataLength, 0);
    EXPECT_EQ(disk->GetSlot(8, 8)->DataGood, 0);
}

TEST_F(SingleTrackReadsTest, RawReadStoresTenReadsVotedAndLeavesSlots) {
    auto ctx = Ctx();
    EXPECT_EQ(ReadRawTrack(ctx, {5, 0}), OperationOutcome::Done);
    const Track& track = *disk->GetTrack(5);
    const virt::RawTrack& stored = Stored(5);
    EXPECT_EQ(Frames(kReadTrack).size(), 10u);
    EXPECT_EQ(track.RawLength, stored.Length());
    EXPECT_TRUE(std::equal(stored.Data.begin(), stored.Data.end(), track.Raw.begin()));
    EXPECT_EQ(track.RawValid, 1);
    EXPECT_EQ(track.Present, kPresent);
    EXPECT_EQ(track.Slots[0].Present, 0) << "the raw read does not decode";
    EXPECT_EQ(track.Log.size(), 10u);
    EXPECT_EQ(track.Log[0], "Образ дорожки считан, размер - 6250 байт.");
    EXPECT_EQ(host.log.front(), "Начало чтения RAW дорожки - 5");
    EXPECT_EQ(host.log.back(), "Чтение RAW дорожки завершено!");
    EXPECT_EQ(host.trackLabel, "5");
    EXPECT_EQ(host.shownBytes.size(), stored.Length());
}

TEST_F(SingleTrackReadsTest, RawReadVoteOutweighsUnstableBytes) {
    device->Faults().SetRandomSeed(7);
    device->Faults().AddUnstableBytes(virt::Drive::A, 7, 100, 2000, 0.3);
    auto ctx = Ctx();
    EXPECT_EQ(ReadRawTrack(ctx, {7, 0}), OperationOutcome::Done);
    const virt::RawTrack& stored = Stored(7);
    const Track& track = *disk->GetTrack(7);
    EXPECT_TRUE(std::equal(stored.Data.begin(), stored.Data.end(), track.Raw.begin()));
}

TEST_F(SingleTrackReadsTest, LinkThatWasNeverUpIsAControllerTimeOut) {
    port->SetDeviceActive(false);
    auto ctx = Ctx();
    EXPECT_EQ(ScanTrack(ctx, {3, 0}), OperationOutcome::Stopped);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Время ожидания контроллера вышло."});
}

TEST_F(SingleTrackReadsTest, TrackSectorsWithoutSlotsSendsNothing) {
    auto ctx = Ctx();
    EXPECT_EQ(ReadTrackSectors(ctx, {9, 0}), OperationOutcome::Refused);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Нет секторов для чтения!"});
    EXPECT_TRUE(device->ReceivedFrames().empty());
}

}  // namespace
}  // namespace morvane
