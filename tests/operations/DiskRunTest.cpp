// The whole-disk runs against the emulated controller's demo disk.
#include <gtest/gtest.h>

#include "OperationsFixture.h"
#include "operations/DiskRun.h"

namespace morvane {
namespace {

using test::CaseName;
using test::OperationsFixture;

constexpr std::uint8_t kReadTrack = 0x23, kReadAddresses = 0x20, kReadSectors = 0x24;

class DiskRunTest : public OperationsFixture {
  protected:
    static std::vector<int> Range(int first, int count) {
        std::vector<int> v{160};
        for (int t = first; t < first + count; ++t)
            v.push_back(t);
        return v;
    }
};

struct LaunchCase {
    const char* name;
    DiskRunKind kind;
    const char* caption;
    int mode;
    int count;
};

class LaunchParamsCases : public DiskRunTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchParamsCases, LauncherSetsCaptionModeAndRange) {
    for (std::uint8_t t : {10, 11, 12})
        disk->GetTrack(t)->Present = kPresent;
    const std::optional<DiskRunParams> p = LaunchParams(GetParam().kind, *disk);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->caption.toStdString(), GetParam().caption);
    EXPECT_EQ(p->mode, GetParam().mode);
    EXPECT_EQ(p->first, 0);
    EXPECT_EQ(p->count, GetParam().count);
    EXPECT_EQ(p->timeoutMs, 30000);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LaunchParamsCases,
    ::testing::Values(
        LaunchCase{"Full", DiskRunKind::FullRead, "Полное чтение диска", 7, 162},
        LaunchCase{"Raw", DiskRunKind::RawRead, "Чтение сырых данных дорожек", 1, 162},
        LaunchCase{"Scan", DiskRunKind::TrackScan, "Сканирование дорожек диска", 2, 166},
        LaunchCase{"ByMarks", DiskRunKind::SectorsByMarks, "Посекторное чтение диска", 4, 3},
        LaunchCase{"ScanSectors", DiskRunKind::ScanAndSectors, "Сканирование с посекторным чтением",
                   6, 166},
        LaunchCase{"Fast", DiskRunKind::FastRead, "Быстрое чтение диска", 8, 166}),
    CaseName());

TEST_F(DiskRunTest, SectorReadByMarksWithoutPresentTrackDoesNothing) {
    EXPECT_FALSE(LaunchParams(DiskRunKind::SectorsByMarks, *disk));
}

TEST_F(DiskRunTest, RawRunDecodesSlotsFromTheVotedImage) {
    const DiskRunResult r = Run(kRunRaw, 0, 3);
    EXPECT_EQ(r.outcome, OperationOutcome::Done);
    EXPECT_EQ(r.tracksDone, 3);
    EXPECT_EQ(Frames(kReadTrack).size(), 3u * 8);
    EXPECT_TRUE(Frames(kReadAddresses).empty());
    EXPECT_EQ(SeekTargets(), Range(0, 3));
    const Track& track = *disk->GetTrack(1);
    EXPECT_EQ(track.RawValid, 1);
    EXPECT_EQ(track.SectorCount, 16);
    EXPECT_EQ(track.Slots[0].Sector, 1);
    EXPECT_EQ(track.Slots[0].DataLength, 0) << "a raw run reads no sector data";
    EXPECT_EQ(host.log, (std::vector<std::string>{"Начало чтения диска!", "Операция выполнена!"}));
    EXPECT_EQ(host.runEvents.front(), "begin:run:3");
    EXPECT_EQ(host.runEvents.back(), "end");
}

TEST_F(DiskRunTest, FullRunTakesSlotsFromScanAndCountsFailedSectors) {
    const DiskRunResult r = Run(kRunRaw | kRunScan | kRunSectors, 1, 3);
    EXPECT_EQ(r.outcome, OperationOutcome::Done);
    EXPECT_EQ(r.failedSectors, 2) << "track 2 sector 14 and track 3 sector 2";
    EXPECT_EQ(host.log.back(), "Сбойных секторов - 2");
    EXPECT_EQ(SeekTargets(), Range(1, 3));
    const Track& track = *disk->GetTrack(2);
    EXPECT_EQ(track.Slots[13].DataGood, 0);
    EXPECT_EQ(track.Slots[12].DataGood, kDataGood);
    EXPECT_EQ(track.Slots[0].DataPosition, 0) << "with a scan the raw image is not decoded";
    EXPECT_TRUE(
        Logged("Ошибка чтения сектора 14 / Ошибка - Ошибка в контрольном коде  "
               "(Track - 2 / Sector - 14)"));
    EXPECT_TRUE(InTrackLog(track, "Данные приняты - 96 bytes"));
    EXPECT_TRUE(InTrackLog(track, "Сканирование завершено. Найдено 16 секторов."));
}

TEST_F(DiskRunTest, ScanAndSectorsVisitsEveryTrackOnce) {
    const DiskRunResult r = Run(kRunScan | kRunSectors, 0, 166);
    EXPECT_EQ(r.outcome, OperationOutcome::Done);
    EXPECT_EQ(r.tracksDone, 166);
    EXPECT_EQ(SeekTargets(), Range(0, 166));
    EXPECT_EQ(Frames(kReadSectors).size(), 160u);
    EXPECT_EQ(host.runEvents[host.runEvents.size() - 2], "progress:166");
}

TEST_F(DiskRunTest, RangeBeyondTheDiskIsRefused) {
    const DiskRunResult r = Run(kRunScan, 5, 162);
    EXPECT_EQ(r.outcome, OperationOutcome::Refused);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Число дорожек превышает 166 ..."});
    EXPECT_TRUE(device->ReceivedFrames().empty());
}

TEST_F(DiskRunTest, MissingDiskStopsBeforeAnySeek) {
    device->EjectDisk(virt::Drive::A);
    const DiskRunResult r = Run(kRunScan, 0, 3);
    EXPECT_EQ(r.outcome, OperationOutcome::Stopped);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Диск отсутствует."});
    EXPECT_TRUE(SeekTargets().empty());
}

TEST_F(DiskRunTest, SeekFailureNamesTheTrack) {
    device->Faults().AddSeekFault(virt::SeekFaultKind::SeekError, 10, 4);
    const DiskRunResult r = Run(kRunScan, 0, 8);
    EXPECT_EQ(r.outcome, OperationOutcome::Stopped);
    EXPECT_EQ(r.tracksDone, 4);
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{"Ошибка позиционирования. Дорожка - 4"});
    EXPECT_NE(host.log.back(), "Операция выполнена!");
}

}  // namespace
}  // namespace morvane
