// What ends a run early: a time-out, the device vanishing, the user's cancel; and a
// second command refused while a run holds the controller. What was read stays.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OperationsFixture.h"
#include "operations/BadSectorReread.h"
#include "operations/DiskRun.h"
#include "operations/OperationSession.h"
#include "operations/SectorWrite.h"
#include "operations/SingleTrackReads.h"

namespace morvane {
namespace {

using test::CaseName;
using test::OperationsFixture;

constexpr int kStopAt = 4;  // the track at which the event happens
constexpr int kTracks = 8;
constexpr int kRunTimeoutForTests = 250;

const std::string kRunLinkLost = std::string(kLinkLostText) + " " + kTextReadKept;

// The first line of each message shown; a lost device's reason follows on a new line.
std::vector<std::string> FirstLines(const std::vector<std::string>& texts) {
    std::vector<std::string> lines;
    for (const std::string& text : texts)
        lines.push_back(text.substr(0, text.find('\n')));
    return lines;
}

class LinkFaultsTest : public OperationsFixture {
  protected:
    DiskRunResult RunWith(const std::function<void()>& atStopTrack) {
        host.onRunTrack = [&](const std::string& text) {
            if (text == std::to_string(kStopAt)) atStopTrack();
        };
        protocol->SetTimeoutInterval(1234);
        auto ctx = Ctx();
        return RunDisk(
            ctx, {QStringLiteral("run"), kRunScan | kRunSectors, 0, kTracks, kRunTimeoutForTests});
    }
    void ExpectTracksKept(int count) {
        for (int t = 0; t < count; ++t) {
            const Track& track = *disk->GetTrack(static_cast<std::uint8_t>(t));
            EXPECT_EQ(track.Present, kPresent) << t;
            EXPECT_EQ(track.Slots[0].DataGood, kDataGood) << t;
        }
    }
};

struct StopCase {
    const char* name;
    std::function<void(virt::VirtualController&, test::ScriptedHost&, UsbPort&)> event;
    OperationOutcome outcome;
    std::string message;  // "" for none; its first line
    const char* lastLogLine;
    bool reasonFollows = false;  // the device failed: why, on the second line
};

class RunStops : public LinkFaultsTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(RunStops, StopsAtOnceKeepingWhatWasRead) {
    const StopCase& c = GetParam();
    const DiskRunResult r = RunWith([&] { c.event(*device, host, *port); });
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.tracksDone, kStopAt);
    ExpectTracksKept(kStopAt);
    EXPECT_EQ(disk->GetTrack(kStopAt + 1)->Present, 0);
    if (!c.message.empty()) {
        EXPECT_EQ(FirstLines(host.MessageTexts()), std::vector<std::string>{c.message});
        EXPECT_EQ(host.MessageTexts().front().find('\n') != std::string::npos, c.reasonFollows);
    } else {
        EXPECT_TRUE(host.messages.empty());
    }
    EXPECT_EQ(host.log.back(), c.lastLogLine);
    EXPECT_EQ(protocol->TimeoutInterval(), 1234) << "the run's time-out is given back";
    EXPECT_EQ(host.runEvents.back(), "end");
}

INSTANTIATE_TEST_SUITE_P(
    Events, RunStops,
    ::testing::Values(
        StopCase{"TimeOut",
                 [](virt::VirtualController& d, test::ScriptedHost&, UsbPort&) {
                     d.SilenceNextCommands(1);
                 },
                 OperationOutcome::Stopped, "Время ожидания вышло...", "Чтение сектора - 16"},
        StopCase{"DeviceVanishes",
                 [](virt::VirtualController& d, test::ScriptedHost&, UsbPort&) {
                     d.VanishAfterCommands(1);
                 },
                 OperationOutcome::LinkLost, kRunLinkLost, "Чтение сектора - 16", true},
        StopCase{"LinkStopped",
                 [](virt::VirtualController&, test::ScriptedHost&, UsbPort& p) {
                     p.SetDeviceActive(false);
                 },
                 OperationOutcome::LinkLost, kRunLinkLost, "Чтение сектора - 16"},
        StopCase{
            "Cancel",
            [](virt::VirtualController&, test::ScriptedHost& h, UsbPort&) { h.cancel = true; },
            OperationOutcome::Cancelled, "", "Операция отменена пользователем!"}),
    CaseName());

// A device that vanishes during a single operation: the lost link is told apart from a
// time-out or a seek failure, and only an operation that keeps what it read says so.
struct LostCase {
    const char* name;
    int commandsBeforeLoss;  // status query, seek to 160, seek to the track, then the read
    std::function<OperationOutcome(OperationContext&)> start;
    bool keepsRead;
};

class LostInOperation : public LinkFaultsTest, public ::testing::WithParamInterface<LostCase> {};

TEST_P(LostInOperation, EndsAsLinkLostWithItsText) {
    const LostCase& c = GetParam();
    auto ctx = Ctx();
    ASSERT_EQ(ScanTrack(ctx, {1, 0}), OperationOutcome::Done);  // slots for the sector read
    host.messages.clear();
    device->VanishAfterCommands(c.commandsBeforeLoss);
    EXPECT_EQ(c.start(ctx), OperationOutcome::LinkLost);
    const std::string first = c.keepsRead ? kRunLinkLost : std::string(kLinkLostText);
    EXPECT_EQ(FirstLines(host.MessageTexts()), std::vector<std::string>{first});
}

INSTANTIATE_TEST_SUITE_P(
    Operations, LostInOperation,
    ::testing::Values(
        LostCase{"DuringTheSeek", 3,
                 [](OperationContext& c) {
                     return ScanTrack(c, {1, 0});
                 },
                 false},
        LostCase{"DuringTheScan", 4,
                 [](OperationContext& c) {
                     return ScanTrack(c, {1, 0});
                 },
                 false},
        LostCase{"DuringTheSectorList", 4,
                 [](OperationContext& c) {
                     return ReadTrackSectors(c, {1, 0});
                 },
                 true},
        LostCase{"DuringTheRun", 9,
                 [](OperationContext& c) {
                     return RunDisk(c, {QStringLiteral("run"), kRunScan, 0, kTracks}).outcome;
                 },
                 true}),
    CaseName());

struct SecondCase {
    const char* name;
    std::function<OperationOutcome(OperationContext&)> start;
};

class SecondCommand : public LinkFaultsTest, public ::testing::WithParamInterface<SecondCase> {};

TEST_P(SecondCommand, IsRefusedWhileARunHoldsTheController) {
    OperationOutcome second = OperationOutcome::Done;
    const DiskRunResult r = RunWith([&] {
        auto ctx = Ctx();
        second = GetParam().start(ctx);
    });
    EXPECT_EQ(second, OperationOutcome::Refused);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{kControllerBusyText});
    EXPECT_EQ(r.outcome, OperationOutcome::Done) << "the run goes on undisturbed";
    EXPECT_EQ(r.tracksDone, kTracks);
    ExpectTracksKept(kTracks);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SecondCommand,
    ::testing::Values(
        SecondCase{"ReadSector",
                   [](OperationContext& c) {
                       return ReadSelectedSector(c, {1, 1});
                   }},
        SecondCase{"ReadRaw",
                   [](OperationContext& c) {
                       return ReadRawTrack(c, {1, 0});
                   }},
        SecondCase{"ReadSectors",
                   [](OperationContext& c) {
                       return ReadTrackSectors(c, {1, 0});
                   }},
        SecondCase{"Scan",
                   [](OperationContext& c) {
                       return ScanTrack(c, {1, 0});
                   }},
        SecondCase{"Reread", [](OperationContext& c) { return RereadFailedSectors(c).outcome; }},
        SecondCase{"WriteSector",
                   [](OperationContext& c) {
                       return WriteSelectedSector(c, {1, 1});
                   }},
        SecondCase{"Format",
                   [](OperationContext& c) {
                       return FormatSelectedTrack(c, {1, 0});
                   }},
        SecondCase{"Run",
                   [](OperationContext& c) {
                       return RunDisk(c, {QStringLiteral("x"), kRunScan, 0, 1}).outcome;
                   }}),
    CaseName());

}  // namespace
}  // namespace morvane
