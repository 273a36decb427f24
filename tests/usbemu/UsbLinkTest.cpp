// The real USB path under test: UsbPort over LibFtdiDriver over the real libftdi1, whose
// libusb calls the preloaded emulator answers with an FTDI chip in front of the emulated
// floppy controller. What the program asks of the chip, what it reads through it, and what
// it does when the chip is absent, refused, unplugged, slow or short.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "EmulatedUsb.h"
#include "controller/ControllerProtocol.h"
#include "controller/LibFtdiDriver.h"
#include "controller/ProtocolHost.h"
#include "controller/UsbPort.h"
#include "formats/Trd.h"
#include "formats/udi/UdiTrackBuilder.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"
#include "operations/DiskRun.h"
#include "operations/ScriptedHost.h"

namespace morvane {
namespace {

using usbemu::test::Variables;

constexpr const char* kController = "USB <-> Parallel";

// The operations' host and the protocol's in one: messages recorded, questions scripted.
struct LinkHost : test::ScriptedHost, ProtocolHost {
    Answer Ask(const Question& q) override { return test::ScriptedHost::Ask(q); }
    void SetDriveMarks(bool, bool) override {}
    void StoreDriveSetting(Drive) override {}
    void ShowIdentification(const QString& text) override { identification = text; }
    void LinkFailed(const QString& reason) override { failures.push_back(reason.toStdString()); }
    QString identification;
    std::vector<std::string> failures;
};

class UsbLink : public usbemu::test::EmulatedUsbTest {
  protected:
    void TearDown() override {
        protocol_.reset();
        port_.reset();
        EmulatedUsbTest::TearDown();
    }

    // A TR-DOS image of `tracks` tracks, every sector's bytes its own.
    std::string MakeTrd(std::size_t tracks) {
        source_.resize(tracks * kTrdTrackSize);
        for (std::size_t i = 0; i < source_.size(); ++i)
            source_[i] = static_cast<std::uint8_t>(i * 31 + i / 256 + 5);
        const std::string path = Path("source.trd");
        EXPECT_TRUE(WriteFileAtomically(path, source_));
        return path;
    }

    // A port over the real driver, started as the window starts it.
    void StartPort(const Variables& variables) {
        usbemu::test::ConfigureBus(Logged(variables));
        port_ = std::make_unique<UsbPort>(std::make_unique<LibFtdiDriver>());
        port_->SetDeviceName(QString::fromLatin1(kController));
        port_->SetEnableMessage(true);
        QObject::connect(
            port_.get(), &UsbPort::onDeviceError,
            [this](quint32, const QString& text) { deviceErrors_.push_back(text.toStdString()); });
        protocol_ = std::make_unique<ControllerProtocol>(*port_, &host_);
        port_->SetDeviceActive(true);
    }

    DiskRunResult ReadTracks(int count, DiskRunKind kind = DiskRunKind::ScanAndSectors,
                             int timeoutMs = kRunTimeoutMs) {
        OperationContext ctx{*protocol_, disk_, host_};
        DiskRunParams params = *LaunchParams(kind, disk_);
        params.count = count;
        params.timeoutMs = timeoutMs;
        return RunDisk(ctx, params);
    }

    // Every sector of the first `tracks` tracks as the image has it.
    void ExpectTracksRead(int tracks) {
        for (int t = 0; t < tracks; ++t) {
            const Track& track = *disk_.GetTrack(static_cast<std::uint8_t>(t));
            ASSERT_NE(track.Present, 0) << "track " << t;
            int sectors = 0;
            for (const SectorSlot& slot : track.Slots) {
                if (slot.Present == 0) continue;
                ++sectors;
                ASSERT_NE(slot.DataGood, 0) << "track " << t << " sector " << int(slot.Sector);
                const std::size_t at = static_cast<std::size_t>(t) * kTrdTrackSize +
                                       (slot.Sector - 1u) * kTrdSectorSize;
                const auto data = slot.Data.first(kTrdSectorSize);
                EXPECT_TRUE(std::equal(data.begin(), data.end(),
                                       source_.begin() + static_cast<std::ptrdiff_t>(at)))
                    << "track " << t << " sector " << int(slot.Sector);
            }
            EXPECT_EQ(sectors, 16) << "track " << t;
        }
    }

    int CountPresentTracks() const {
        int n = 0;
        for (std::size_t t = 0; t < kTrackCount; ++t)
            if (disk_.GetTrack(static_cast<std::uint8_t>(t))->Present != 0) ++n;
        return n;
    }

    bool MessageSaysLinkLost() const {
        for (const auto& m : host_.messages)
            if (m.text.rfind(kLinkLostText, 0) == 0) return true;
        return false;
    }

    LinkHost host_;
    DiskImage disk_;
    Bytes source_;
    std::vector<std::string> deviceErrors_;
    std::unique_ptr<UsbPort> port_;
    std::unique_ptr<ControllerProtocol> protocol_;
};

// --- Start: listing, opening and what the configuration asks of the chip.

TEST_F(UsbLink, StartFindsOpensAndConfiguresTheController) {
    StartPort({});
    ASSERT_TRUE(port_->DeviceActive()) << (deviceErrors_.empty() ? "" : deviceErrors_.front());
    EXPECT_EQ(port_->LastStartFailure(), StartFailure::None);
    const std::vector<DeviceEntry> devices = port_->ListDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].index, 1u);
    EXPECT_EQ(devices[0].serialNumber, "MRVEMU01");
    EXPECT_EQ(devices[0].description, kController);
    EXPECT_FALSE(devices[0].accessDenied);
    EXPECT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
    EXPECT_FALSE(host_.identification.isEmpty());
    EXPECT_TRUE(deviceErrors_.empty()) << deviceErrors_.front();

    // The vendor requests in the order libftdi1 sends them for the port's configuration
    // (type, request, value, index): the reset and 9600 baud of libftdi1's own open, the
    // latency timer, 921600 baud, 8N1, no flow control, no event or error character,
    // the divisor 1 (2 Mbaud), the receive and transmit purges and the bit mode reset.
    const std::vector<std::string> expected = {
        "40 00 0000 0001", "40 03 4138 0000", "40 09 0002 0001", "40 03 8003 0000",
        "40 04 0008 0001", "40 02 0000 0001", "40 06 0000 0001", "40 07 0000 0001",
        "40 03 0001 0000", "40 00 0002 0001", "40 00 0001 0001", "40 0b 00ff 0001"};
    const std::vector<std::string> control = LogLines("control MRVEMU01 ");
    ASSERT_GE(control.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(control[i], "control MRVEMU01 " + expected[i] + " -> 0") << "request " << i;
    EXPECT_EQ(LogLines("claim MRVEMU01").size(), 1u);
}

TEST_F(UsbLink, TheOtherFtdiChipIsListedButNeverOpened) {
    StartPort({{"MORVANE_EMU_OTHER_DEVICE", "1"}});
    ASSERT_TRUE(port_->DeviceActive());
    const std::vector<DeviceEntry> devices = port_->ListDevices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].description, "FT232R USB UART");
    EXPECT_EQ(devices[0].serialNumber, "MRVEMU02");
    EXPECT_EQ(devices[1].description, kController);
    EXPECT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
    EXPECT_TRUE(LogLines("claim MRVEMU02").empty());
    EXPECT_TRUE(LogLines("control MRVEMU02").empty());
    EXPECT_TRUE(LogLines("bulk-out MRVEMU02").empty());
    EXPECT_EQ(LogLines("claim MRVEMU01").size(), 1u);
}

// --- The device not there, or not ours to open.

struct StartCase {
    const char* name;
    Variables variables;
    std::size_t listed;
    StartFailure failure;
    bool denied;
};

class UsbLinkStart : public UsbLink, public ::testing::WithParamInterface<StartCase> {};

TEST_P(UsbLinkStart, StaysClosedAndSaysWhy) {
    const StartCase& c = GetParam();
    StartPort(c.variables);
    EXPECT_FALSE(port_->DeviceActive());
    EXPECT_EQ(port_->LastStartFailure(), c.failure);
    const std::vector<DeviceEntry> devices = port_->ListDevices();
    ASSERT_EQ(devices.size(), c.listed);
    for (const DeviceEntry& d : devices) {
        EXPECT_EQ(d.accessDenied, c.denied);
        if (c.denied) {
            EXPECT_EQ(d.description, "Error - 3");
        }
    }
    EXPECT_FALSE(port_->PollTimerRunning()) << "nothing polls a closed link";
    EXPECT_EQ(protocol_->FirstContact(Drive::A), ContactResult::NoLink);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsbLinkStart,
    ::testing::Values(
        StartCase{"Absent", {{"MORVANE_EMU_ABSENT", "1"}}, 0, StartFailure::NoDevice, false},
        StartCase{"OnlyAnotherChip",
                  {{"MORVANE_EMU_ABSENT", "1"}, {"MORVANE_EMU_OTHER_DEVICE", "1"}},
                  1,
                  StartFailure::NotListed,
                  false},
        StartCase{
            "NoPermission", {{"MORVANE_EMU_NO_ACCESS", "1"}}, 1, StartFailure::NoPermission, true},
        StartCase{"NoPermissionForEither",
                  {{"MORVANE_EMU_NO_ACCESS", "1"}, {"MORVANE_EMU_OTHER_DEVICE", "1"}},
                  2,
                  StartFailure::NoPermission,
                  true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(UsbLink, ControllerPluggedInLaterIsFoundByTheNextStart) {
    StartPort({{"MORVANE_EMU_ABSENT", "1"}, {"MORVANE_EMU_REPLUG_MS", "150"}});
    EXPECT_FALSE(port_->DeviceActive());
    QElapsedTimer clock;
    clock.start();
    while (!port_->DeviceActive() && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        port_->SetDeviceActive(true);
    }
    ASSERT_TRUE(port_->DeviceActive());
    EXPECT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
}

TEST_F(UsbLink, ControllerHeldByAnotherPortIsNotOpenedTwice) {
    StartPort({});
    ASSERT_TRUE(port_->DeviceActive());
    UsbPort second(std::make_unique<LibFtdiDriver>());
    second.SetDeviceName(QString::fromLatin1(kController));
    second.SetDeviceActive(true);
    EXPECT_FALSE(second.DeviceActive());
    EXPECT_EQ(second.LastStartFailure(), StartFailure::OpenFailed);
    EXPECT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done) << "the first keeps it";
    EXPECT_EQ(LogLines("claim MRVEMU01").size(), 1u);
}

// --- Reading through the chip, also when transfers come short.

class UsbLinkShort : public UsbLink, public ::testing::WithParamInterface<int> {};

TEST_P(UsbLinkShort, ShortTransfersLoseNoByte) {
    const std::string image = MakeTrd(4);
    StartPort({{"MORVANE_EMU_IMAGE", image}, {"MORVANE_EMU_SHORT_AT", std::to_string(GetParam())}});
    ASSERT_TRUE(port_->DeviceActive());
    ASSERT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
    const DiskRunResult result = ReadTracks(4);
    EXPECT_EQ(result.outcome, OperationOutcome::Done) << host_.MessageTexts().size();
    ExpectTracksRead(4);
    EXPECT_GE(LogLines("bulk-").size(), static_cast<std::size_t>(GetParam()))
        << "the short transfer came";
}

// Early ones hit the first contact's writes and reads, later ones the run's.
INSTANTIATE_TEST_SUITE_P(Counts, UsbLinkShort, ::testing::Values(1, 2, 3, 8, 21, 30));

// --- Pulled out in the middle of a run, and plugged in again.

TEST_F(UsbLink, UnplugMidRunKeepsWhatWasReadAndTheLinkStartsAgain) {
    const std::string image = MakeTrd(12);
    StartPort({{"MORVANE_EMU_IMAGE", image},
               {"MORVANE_EMU_UNPLUG_AFTER", "60"},
               {"MORVANE_EMU_REPLUG_MS", "0"}});
    ASSERT_TRUE(port_->DeviceActive());
    ASSERT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
    const std::uint64_t generation = port_->LinkGeneration();
    const DiskRunResult result = ReadTracks(12);
    EXPECT_EQ(result.outcome, OperationOutcome::LinkLost);
    EXPECT_GT(result.tracksDone, 0);
    EXPECT_LT(result.tracksDone, 12);
    ExpectTracksRead(result.tracksDone);
    EXPECT_GE(CountPresentTracks(), result.tracksDone) << "what was read stays";
    EXPECT_TRUE(MessageSaysLinkLost());
    ASSERT_FALSE(host_.failures.empty());
    EXPECT_FALSE(port_->DeviceActive());
    EXPECT_GT(port_->LinkGeneration(), generation);
    EXPECT_FALSE(port_->PollTimerRunning());
    EXPECT_EQ(LogLines("unplug MRVEMU01").size(), 1u);

    // Plugged in again: the next start opens it afresh and the run goes through.
    port_->SetDeviceActive(true);
    ASSERT_TRUE(port_->DeviceActive()) << (deviceErrors_.empty() ? "" : deviceErrors_.back());
    EXPECT_EQ(LogLines("plug MRVEMU01").size(), 1u);
    ASSERT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
    disk_.ClearImage();
    EXPECT_EQ(ReadTracks(12).outcome, OperationOutcome::Done);
    ExpectTracksRead(12);
}

// Pulled out right after a long answer went up: every byte the chip sent before is kept
// and the run ends at once on the lost link, long before the answer time-out.
struct LongAnswerCase {
    const char* name;
    DiskRunKind kind;
    bool rawRead;  // track 0's first READ TRACK, else its sector list
};

void PrintTo(const LongAnswerCase& c, std::ostream* os) {
    *os << c.name;
}

class UsbLinkLongAnswer : public UsbLink, public ::testing::WithParamInterface<LongAnswerCase> {};

TEST_P(UsbLinkLongAnswer, UnplugRightAfterItKeepsTheAnswerAndSaysTheLinkIsLost) {
    const LongAnswerCase& c = GetParam();
    const std::string image = MakeTrd(4);
    StartPort({{"MORVANE_EMU_IMAGE", image}, {"MORVANE_EMU_UNPLUG_AFTER_ANSWER", "4000"}});
    ASSERT_TRUE(port_->DeviceActive());
    ASSERT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
    QElapsedTimer clock;
    clock.start();
    constexpr int kTimeoutMs = 5000;
    const DiskRunResult result = ReadTracks(4, c.kind, kTimeoutMs);
    EXPECT_LT(clock.elapsed(), kTimeoutMs / 2) << "the lost link ends the wait, not the time-out";
    EXPECT_EQ(result.outcome, OperationOutcome::LinkLost);
    EXPECT_TRUE(MessageSaysLinkLost()) << (host_.messages.empty() ? "" : host_.messages[0].text);
    ASSERT_EQ(LogLines("unplug MRVEMU01").size(), 1u);
    if (c.rawRead) {
        // A TRD's tracks come to the emulated drive as the UDI track builder lays them out.
        const std::string whole =
            "Образ дорожки считан, размер - " + std::to_string(kUdiTrackLength) + " байт.";
        const std::vector<std::string>& log = disk_.GetTrack(0)->Log;
        EXPECT_NE(std::find(log.begin(), log.end(), whole), log.end())
            << (log.empty() ? std::string("no track log") : log.back());
    } else {
        ExpectTracksRead(1);
    }
}

// The first answer of 4000 bytes or more: track 0's sector list, or its first READ TRACK.
INSTANTIATE_TEST_SUITE_P(Answers, UsbLinkLongAnswer,
                         ::testing::Values(LongAnswerCase{"SectorList", DiskRunKind::ScanAndSectors,
                                                          false},
                                           LongAnswerCase{"ReadTrack", DiskRunKind::RawRead, true}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(UsbLink, UnplugWithoutReplugLeavesTheStartFailing) {
    StartPort({{"MORVANE_EMU_UNPLUG_AFTER", "5"}});
    ASSERT_TRUE(port_->DeviceActive());
    protocol_->FirstContact(Drive::A);
    for (int i = 0; i < 10 && port_->DeviceActive(); ++i)
        protocol_->QueryStatus();
    EXPECT_FALSE(port_->DeviceActive());
    port_->SetDeviceActive(true);
    EXPECT_FALSE(port_->DeviceActive());
    EXPECT_EQ(port_->LastStartFailure(), StartFailure::NoDevice);
}

// --- A transfer that times out ends the link with a reason instead of hanging it.

class UsbLinkTimeout : public UsbLink, public ::testing::WithParamInterface<int> {};

TEST_P(UsbLinkTimeout, TimedOutTransferEndsTheLinkWithItsReason) {
    const std::string image = MakeTrd(6);
    StartPort(
        {{"MORVANE_EMU_IMAGE", image}, {"MORVANE_EMU_TIMEOUT_AT", std::to_string(GetParam())}});
    ASSERT_TRUE(port_->DeviceActive());
    ASSERT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
    const DiskRunResult result = ReadTracks(6);
    EXPECT_EQ(result.outcome, OperationOutcome::LinkLost);
    EXPECT_TRUE(MessageSaysLinkLost());
    ASSERT_FALSE(host_.failures.empty());
    EXPECT_NE(host_.failures.front().find("General IO Error"), std::string::npos)
        << host_.failures.front();
    // One failing call, one report: nothing asks the closed port afterwards.
    EXPECT_EQ(deviceErrors_, (std::vector<std::string>{host_.failures.front()}));
    EXPECT_FALSE(port_->DeviceActive());
    EXPECT_LT(result.tracksDone, 6);

    // The chip was never gone: the next start opens it and reads.
    port_->SetDeviceActive(true);
    ASSERT_TRUE(port_->DeviceActive());
    ASSERT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done);
    disk_.ClearImage();
    EXPECT_EQ(ReadTracks(6).outcome, OperationOutcome::Done);
    ExpectTracksRead(6);
}

// Counted after the first contact's transfers: writes and reads of the run alike.
INSTANTIATE_TEST_SUITE_P(Counts, UsbLinkTimeout, ::testing::Values(12, 13, 30, 31));

// --- The port's timer: a driver that reports its arrivals needs none.

TEST_F(UsbLink, NothingPollsAnOpenLinkOverTheRealDriver) {
    StartPort({});
    ASSERT_TRUE(port_->DeviceActive());
    EXPECT_FALSE(port_->PollTimerRunning());
    EXPECT_EQ(protocol_->FirstContact(Drive::A), ContactResult::Done)
        << "answers come by the reader's announcements alone";
    EXPECT_FALSE(port_->PollTimerRunning());
}

}  // namespace
}  // namespace morvane
