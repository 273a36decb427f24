#include "controller/UsbPort.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedDriver.h"
#include "WireEncoding.h"

namespace morvane {
namespace {

using test::DriverScript;
using test::ScriptedDriver;
using Bytes8 = std::vector<std::uint8_t>;

const char* const kName = "USB <-> Parallel";

class UsbPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        script.devices = {{"Other device", "A1"}, {kName, "FT123"}};
        port = std::make_unique<UsbPort>(std::make_unique<ScriptedDriver>(script));
        QObject::connect(port.get(), &UsbPort::onDeviceError,
                         [this](quint32 status, const QString& text) {
                             statuses.push_back(status);
                             errors.push_back(text.toStdString());
                         });
    }

    void OpenPort() {
        port->SetDeviceName(QString::fromUtf8(kName));
        port->SetDeviceActive(true);
        ASSERT_TRUE(port->DeviceActive());
        port->SetEnableMessage(true);
        script.calls.clear();
        errors.clear();
        statuses.clear();
    }

    std::vector<std::string> CallsAfter(const std::string& name) const {
        auto it = std::find(script.calls.begin(), script.calls.end(), name);
        if (it == script.calls.end()) return {};
        return {it + 1, script.calls.end()};
    }

    static void SpinEvents(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // Declared before the port: its destructor may still report a failing close.
    DriverScript script;
    std::vector<std::string> errors;
    std::vector<quint32> statuses;
    std::unique_ptr<UsbPort> port;
};

TEST_F(UsbPortTest, StartsInactiveWithDefaults) {
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_FALSE(port->EnableMessage());
    EXPECT_EQ(port->PollingTime(), 10);
    EXPECT_TRUE(port->DeviceName().isEmpty());
    EXPECT_EQ(port->objectName(), "USBPort");
    EXPECT_EQ(port->SendBuffer().size(), 32768u);
}

TEST_F(UsbPortTest, OpensMatchingDeviceAndConfiguresInOrder) {
    port->SetDeviceName(QString::fromUtf8(kName));
    port->SetDeviceActive(true);
    EXPECT_TRUE(port->DeviceActive());
    EXPECT_EQ(script.openedDescription, kName);
    const std::vector<std::string> expected = {
        "GetQueueStatus", "SetUsbParameters", "SetBaudRate", "SetDataCharacteristics",
        "SetFlowControl", "SetChars",         "SetDivisor",  "SetTimeouts",
        "PurgeRx",        "PurgeTx",          "SetBitMode"};
    EXPECT_EQ(CallsAfter("OpenByDescription"), expected);
    EXPECT_TRUE(errors.empty());
}

TEST_F(UsbPortTest, ConfigurationFailuresAreReportedAndOpeningGoesOn) {
    script.failing["SetBaudRate"] = kFtInvalidBaudRate;
    script.failing["SetDivisor"] = kFtInvalidParameter;
    script.failing["SetUsbParameters"] = kFtOtherError;
    script.failing["SetBitMode"] = kFtIoError;
    port->SetDeviceName(QString::fromUtf8(kName));
    port->SetDeviceActive(true);
    EXPECT_TRUE(port->DeviceActive());
    const std::vector<std::string> expected = {"FT_SetUSBParameters  - other error  ...",
                                               "FT_SetBaudRate - Invalid baud rate ...",
                                               "FT_SetBaudRate - Invalid Parameter ..."};
    EXPECT_EQ(errors, expected);
    EXPECT_EQ(statuses, (std::vector<quint32>{17, 7, 6}));
}

TEST_F(UsbPortTest, StaysInactiveWhenNoDeviceMatches) {
    script.devices = {{"Something else", "1"}};
    port->SetDeviceName(QString::fromUtf8(kName));
    port->SetDeviceActive(true);
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_EQ(std::count(script.calls.begin(), script.calls.end(), "OpenByDescription"), 0);
}

TEST_F(UsbPortTest, StaysInactiveWithEmptyNameOrNoDevices) {
    port->SetDeviceActive(true);
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_TRUE(script.calls.empty());
    script.devices.clear();
    port->SetDeviceName(QString::fromUtf8(kName));
    port->SetDeviceActive(true);
    EXPECT_FALSE(port->DeviceActive());
}

TEST_F(UsbPortTest, NameLongerThanListedTextNeverMatches) {
    const std::string longName(60, 'x');
    script.devices = {{longName, "1"}};
    port->SetDeviceName(QString::fromStdString(longName));
    port->SetDeviceActive(true);
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_EQ(std::count(script.calls.begin(), script.calls.end(), "OpenByDescription"), 0);
}

TEST_F(UsbPortTest, FailedOpenIsNotReportedAndLeavesPortInactive) {
    script.failing["OpenByDescription"] = kFtDeviceNotOpened;
    port->SetDeviceName(QString::fromUtf8(kName));
    port->SetDeviceActive(true);
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(std::count(script.calls.begin(), script.calls.end(), "SetBaudRate"), 0);
}

TEST_F(UsbPortTest, OpenedDeviceWithFailingQueueIsReleased) {
    script.failing["GetQueueStatus"] = kFtIoError;
    port->SetDeviceName(QString::fromUtf8(kName));
    port->SetDeviceActive(true);
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_FALSE(script.open) << "the driver must not be left open";
    EXPECT_EQ(errors, (std::vector<std::string>{"FT_GetQueueStatus - General IO Error..."}));
}

TEST_F(UsbPortTest, ActivatingAgainClosesVanishedDevice) {
    OpenPort();
    port->SetDeviceActive(true);
    EXPECT_TRUE(port->DeviceActive()) << "still there";
    script.vanished = true;
    port->SetDeviceActive(true);
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_EQ(script.calls.back(), "Close");
}

TEST_F(UsbPortTest, DeactivatingClosesDevice) {
    OpenPort();
    port->SetDeviceActive(false);
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_FALSE(script.open);
    EXPECT_EQ(script.calls, (std::vector<std::string>{"Close"}));
}

TEST_F(UsbPortTest, ListCutsTextsCapsCountAndMarksFailures) {
    script.devices.clear();
    for (int i = 0; i < 35; ++i)
        script.devices.push_back({std::string(60, static_cast<char>('a' + i % 26)), "S"});
    script.devices[2].serialStatus = kFtIoError;
    script.devices[3].descriptionStatus = kFtDeviceNotOpened;
    const std::vector<DeviceEntry> list = port->ListDevices();
    ASSERT_EQ(list.size(), 30u);
    EXPECT_EQ(list[0].index, 1u);
    EXPECT_EQ(list[29].index, 30u);
    EXPECT_EQ(list[0].description, std::string(49, 'a'));
    EXPECT_EQ(list[2].serialNumber, "Error - 4");
    EXPECT_EQ(list[3].description, "Error - 3");
    EXPECT_EQ(errors, (std::vector<std::string>{"GetFTDeviceSerialNo - General IO Error...",
                                                "GetFTDeviceDescription - Device Not Opened..."}));
}

TEST_F(UsbPortTest, FailingCountListsNothing) {
    script.failing["DeviceCount"] = kFtIoError;
    EXPECT_TRUE(port->ListDevices().empty());
    EXPECT_EQ(errors, (std::vector<std::string>{"GetFTDeviceCount - General IO Error..."}));
}

TEST_F(UsbPortTest, PollQueuesAnswerAndRaisesEvent) {
    OpenPort();
    std::vector<int> counts;
    QObject::connect(port.get(), &UsbPort::AnswersArrived, [&](int n) { counts.push_back(n); });
    script.announce = false;
    script.Deliver({0x0A, 0x21, 0x32, 0xC3, 0xAA});
    script.Deliver(test::EncodeAnswer({7}));
    port->Poll();
    EXPECT_EQ(counts, (std::vector<int>{1, 2}));
    EXPECT_TRUE(port->AnswerReady());
    EXPECT_FALSE(port->ErrorReady());
    EXPECT_EQ(port->AnswerCount(), 2u);
}

TEST_F(UsbPortTest, TakeAnswerReturnsOldestFirst) {
    OpenPort();
    script.announce = false;
    script.Deliver(test::EncodeAnswer({1}));
    script.Deliver(test::EncodeAnswer({2}));
    port->Poll();
    const AnswerRecord* first = port->TakeAnswer();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->data, (Bytes8{1}));
    EXPECT_TRUE(port->AnswerReady());
    const AnswerRecord* second = port->TakeAnswer();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->data, (Bytes8{2}));
    EXPECT_FALSE(port->AnswerReady());
    EXPECT_EQ(port->TakeAnswer(), nullptr);
    EXPECT_FALSE(port->AnswerReady());
    EXPECT_EQ(port->CurrentAnswer().data, (Bytes8{2})) << "current answer stays until next take";
}

TEST_F(UsbPortTest, ErrorAnswerSetsOnlyErrorReady) {
    OpenPort();
    std::vector<int> counts;
    QObject::connect(port.get(), &UsbPort::onRXErrMessage, [&](int n) { counts.push_back(n); });
    script.announce = false;
    script.Deliver({0x0A, 0x25, 0x3C, 0x0B, 0x28, 0x31, 0xAA});
    port->Poll();
    EXPECT_TRUE(port->ErrorReady());
    EXPECT_FALSE(port->AnswerReady());
    EXPECT_EQ(counts, (std::vector<int>{1}));
    const ErrorRecord* e = port->TakeError();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->status, (Bytes8{0x81}));
    EXPECT_EQ(e->data, (Bytes8{0x5C}));
    EXPECT_FALSE(port->ErrorReady());
    EXPECT_EQ(port->TakeError(), nullptr);
}

TEST_F(UsbPortTest, TellsWhichKindOfRecordCameFirst) {
    OpenPort();
    script.announce = false;
    EXPECT_FALSE(port->OldestRecordIsError());
    script.Deliver(test::EncodeAnswer({1}));
    script.Deliver(test::EncodeError({}, {0x10}));
    port->Poll();
    EXPECT_FALSE(port->OldestRecordIsError());
    port->TakeAnswer();
    EXPECT_TRUE(port->OldestRecordIsError());
    script.Deliver(test::EncodeAnswer({2}));
    port->Poll();
    EXPECT_TRUE(port->OldestRecordIsError());
    port->TakeError();
    EXPECT_FALSE(port->OldestRecordIsError());
}

TEST_F(UsbPortTest, PollDoesNothingWhileMessagesDisabled) {
    OpenPort();
    port->SetEnableMessage(false);
    script.announce = false;
    script.Deliver(test::EncodeAnswer({1}));
    port->Poll();
    EXPECT_FALSE(port->AnswerReady());
    EXPECT_TRUE(script.calls.empty());
}

TEST_F(UsbPortTest, DriverCallbackPollsAtOnce) {
    OpenPort();
    script.Deliver(test::EncodeAnswer({9}));
    EXPECT_FALSE(port->AnswerReady()) << "the poll is posted, not run inside the callback";
    QCoreApplication::processEvents();
    EXPECT_TRUE(port->AnswerReady());
}

TEST_F(UsbPortTest, PollInsideOwnEventIsDeferredNotInterleaved) {
    OpenPort();
    std::vector<std::size_t> countsSeenInSlot;
    bool delivered = false;
    QObject::connect(port.get(), &UsbPort::AnswersArrived, [&](int) {
        countsSeenInSlot.push_back(port->AnswerCount());
        if (delivered) return;
        delivered = true;
        script.Deliver(test::EncodeAnswer({2}));  // announces a poll at once
        QCoreApplication::processEvents();        // as a message box would
        port->Poll();                             // and a direct call, too
        countsSeenInSlot.push_back(port->AnswerCount());
    });
    script.announce = false;
    script.Deliver({0x0A, 0x31});
    script.announce = true;
    script.Deliver({0xAA});
    QCoreApplication::processEvents();
    EXPECT_EQ(countsSeenInSlot, (std::vector<std::size_t>{1, 1})) << "no poll inside a poll";
    QCoreApplication::processEvents();
    ASSERT_EQ(port->AnswerCount(), 2u);
    EXPECT_EQ(port->TakeAnswer()->data, (Bytes8{1}));
    EXPECT_EQ(port->TakeAnswer()->data, (Bytes8{2}));
}

TEST_F(UsbPortTest, TimerPollsWhenDriverSaysNothing) {
    OpenPort();
    script.announce = false;
    port->SetPollingTime(5);
    script.Deliver(test::EncodeAnswer({9}));
    SpinEvents(60);
    EXPECT_TRUE(port->AnswerReady());
}

// The polling timer wakes the program only while a link is open, and only for a driver
// that does not announce its arrivals; whether it does is asked again at every send.
struct TimerCase {
    const char* name;
    bool reportsAtOpen;
    bool reportsAtSend;
    bool runningAfterOpen;
    bool runningAfterSend;
};

class PollTimer : public UsbPortTest, public ::testing::WithParamInterface<TimerCase> {};

TEST_P(PollTimer, RunsOnlyWhileNeeded) {
    const TimerCase& c = GetParam();
    EXPECT_FALSE(port->PollTimerRunning()) << "no link, no timer";
    script.reportsArrivals = c.reportsAtOpen;
    OpenPort();
    EXPECT_EQ(port->PollTimerRunning(), c.runningAfterOpen);
    script.reportsArrivals = c.reportsAtSend;
    port->Send(Bytes8{0x00});
    EXPECT_EQ(port->PollTimerRunning(), c.runningAfterSend);
    port->SetDeviceActive(false);
    EXPECT_FALSE(port->PollTimerRunning()) << "closed";
    OpenPort();
    script.vanished = true;  // the next poll finds the device gone and drops the link
    port->Poll();
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_FALSE(port->PollTimerRunning()) << "dropped";
}

INSTANTIATE_TEST_SUITE_P(Cases, PollTimer,
                         ::testing::Values(TimerCase{"Silent", false, false, true, true},
                                           TimerCase{"Announcing", true, true, false, false},
                                           TimerCase{"FallsSilent", true, false, false, true},
                                           TimerCase{"StartsAnnouncing", false, true, true, false}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(UsbPortTest, SwitchingDriversLeavesNoTimer) {
    OpenPort();
    ASSERT_TRUE(port->PollTimerRunning());
    DriverScript other;
    other.devices = {{kName, "FT9"}};
    std::unique_ptr<FtdiDriver> old = port->SetDriver(std::make_unique<ScriptedDriver>(other));
    EXPECT_FALSE(port->PollTimerRunning());
    port->SetDriver(std::move(old));  // the other script goes before the port
}

// Why a start left the link closed.
struct StartCase {
    const char* name;
    std::vector<test::ScriptedDevice> devices;
    std::vector<bool> denied;
    std::map<std::string, FtStatus> failing;
    StartFailure failure;
};

class StartFailures : public UsbPortTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartFailures, AreToldApart) {
    const StartCase& c = GetParam();
    script.devices = c.devices;
    script.denied = c.denied;
    script.failing = c.failing;
    port->SetDeviceName(QString::fromUtf8(kName));
    port->SetDeviceActive(true);
    EXPECT_EQ(port->DeviceActive(), c.failure == StartFailure::None);
    EXPECT_EQ(port->LastStartFailure(), c.failure);
    const std::vector<DeviceEntry> entries = port->ListDevices();
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].accessDenied, i < c.denied.size() && c.denied[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartFailures,
    ::testing::Values(
        StartCase{"Opened", {{kName, "FT1"}}, {}, {}, StartFailure::None},
        StartCase{"NoDevice", {}, {}, {}, StartFailure::NoDevice},
        StartCase{"OtherDevicesOnly", {{"Other", "A1"}}, {}, {}, StartFailure::NotListed},
        StartCase{"DeniedDevice",
                  {{"Other", "A1"}, {"", "", kFtDeviceNotOpened, kFtDeviceNotOpened}},
                  {false, true},
                  {},
                  StartFailure::NoPermission},
        StartCase{"OpenRefused",
                  {{kName, "FT1"}},
                  {},
                  {{"OpenByDescription", kFtDeviceNotOpened}},
                  StartFailure::OpenFailed}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(UsbPortTest, ReadsAtMostOneChunkPerPoll) {
    OpenPort();
    script.announce = false;
    Bytes8 stream{0x0A};
    stream.insert(stream.end(), 40000, 0xE5);
    stream.push_back(0xAA);
    script.Deliver(stream);
    port->Poll();
    EXPECT_EQ(script.rx.size(), stream.size() - kReceiveChunkSize);
    EXPECT_FALSE(port->AnswerReady());
    QCoreApplication::processEvents();  // the rest is polled at once
    EXPECT_TRUE(script.rx.empty());
    ASSERT_TRUE(port->AnswerReady());
    EXPECT_EQ(port->TakeAnswer()->Length(), kAnswerCapacity);
}

TEST_F(UsbPortTest, ResetFlagsAndClearsEmptyEverything) {
    OpenPort();
    script.announce = false;
    script.Deliver(test::EncodeAnswer({1}));
    script.Deliver(test::EncodeError({}, {0x10}));
    script.Deliver({0x0A, 0x31});  // a frame left open
    port->Poll();
    port->ResetFlags();
    EXPECT_FALSE(port->AnswerReady());
    EXPECT_FALSE(port->ErrorReady());
    port->ClearAnswers();
    port->ClearErrors();
    EXPECT_EQ(port->AnswerCount(), 0u);
    EXPECT_EQ(port->ErrorCount(), 0u);
    script.Deliver({0x32, 0xAA});
    port->Poll();
    EXPECT_EQ(port->AnswerCount(), 0u) << "the open frame was forgotten";
}

TEST_F(UsbPortTest, SendWritesTheSendBuffer) {
    OpenPort();
    auto buffer = port->SendBuffer();
    buffer[0] = 0x11;
    buffer[1] = 0x22;
    buffer[2] = 0x33;
    EXPECT_EQ(port->Send(2), 2u);
    EXPECT_EQ(script.wire, (Bytes8{0x11, 0x22}));
    const Bytes8 big(40000, 0x44);
    EXPECT_EQ(port->Send(big), kSendBufferSize) << "never past the send buffer";
}

TEST_F(UsbPortTest, CallsOnClosedPortFailAsInvalidHandle) {
    EXPECT_EQ(port->Send(5), 0u);
    EXPECT_EQ(port->PendingTx(), 0u);
    EXPECT_EQ(port->PurgeRx(), kFtInvalidHandle);
    EXPECT_EQ(port->PurgeTx(), kFtInvalidHandle);
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "FT_Write - Invalid Handle...", "FT_GetStatus - Invalid Handle...",
                          "FT_Purge RX - Invalid Handle...", "FT_Purge TX - Invalid Handle..."}));
    EXPECT_TRUE(script.calls.empty());
}

TEST_F(UsbPortTest, PendingTxReportsDriverCountAndZeroOnFailure) {
    OpenPort();
    script.pendingTx = {300, 0};
    EXPECT_EQ(port->PendingTx(), 300u);
    EXPECT_EQ(port->PendingTx(), 0u);
    script.pendingTx = {300};
    script.failing["GetStatus"] = kFtIoError;
    EXPECT_EQ(port->PendingTx(), 0u);
    EXPECT_EQ(errors, (std::vector<std::string>{"FT_GetStatus - General IO Error..."}));
}

TEST_F(UsbPortTest, VanishedDeviceIsReportedOnceAndClosesTheLink) {
    OpenPort();
    std::vector<std::pair<bool, std::string>> downs;
    QObject::connect(port.get(), &UsbPort::onLinkDown, [&](bool failed, const QString& why) {
        downs.emplace_back(failed, why.toStdString());
    });
    const auto generation = port->LinkGeneration();
    script.vanished = true;
    port->Poll();
    port->Poll();
    EXPECT_EQ(errors, (std::vector<std::string>{"FT_GetQueueStatus - General IO Error..."}));
    EXPECT_FALSE(port->DeviceActive()) << "a failed device is closed, so start opens it again";
    EXPECT_NE(port->LinkGeneration(), generation);
    EXPECT_EQ(downs, (std::vector<std::pair<bool, std::string>>{
                         {true, "FT_GetQueueStatus - General IO Error..."}}));
    script.vanished = false;
    port->SetDeviceActive(true);
    EXPECT_TRUE(port->DeviceActive());
    port.reset();  // its closing still reports to `downs`
}

TEST_F(UsbPortTest, FailedReadKeepsWhatCameAndClosesTheLink) {
    OpenPort();
    script.announce = false;
    script.Deliver(test::EncodeAnswer({7}));
    script.failing["Read"] = kFtIoError;
    port->Poll();
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_EQ(errors, (std::vector<std::string>{"FT_Read - General IO Error..."}));
}

TEST_F(UsbPortTest, FailureRightBehindTheLastBytesIsFoundByThePollThatFollows) {
    OpenPort();
    script.reportsArrivals = true;
    script.announce = false;  // the failure's announcement came with the bytes'
    script.Deliver(test::EncodeAnswer({7}));
    script.failedAfterRx = true;
    port->Poll();
    EXPECT_EQ(port->AnswerCount(), 1u) << "what came before the failure is decoded";
    QCoreApplication::processEvents();
    EXPECT_FALSE(port->DeviceActive()) << "no announcement is left to bring a poll";
    EXPECT_EQ(errors, (std::vector<std::string>{"FT_GetQueueStatus - General IO Error..."}));
}

TEST_F(UsbPortTest, FailedWriteClosesTheLink) {
    OpenPort();
    script.failing["Write"] = kFtIoError;
    EXPECT_EQ(port->Send(3), 0u);
    EXPECT_FALSE(port->DeviceActive());
}

TEST_F(UsbPortTest, StoppingAndSwitchingEndTheLinkWithoutFailure) {
    OpenPort();
    std::vector<bool> downs;
    QObject::connect(port.get(), &UsbPort::onLinkDown,
                     [&](bool failed, const QString&) { downs.push_back(failed); });
    port->SetDeviceActive(false);
    DriverScript other;
    auto old = port->SetDriver(std::make_unique<ScriptedDriver>(other));
    EXPECT_EQ(downs, (std::vector<bool>{false, false}));
    port.reset();
}

TEST_F(UsbPortTest, SwitchingDriverClosesOldAndForgetsRecords) {
    OpenPort();
    script.announce = false;
    script.Deliver(test::EncodeAnswer({1}));
    port->Poll();
    DriverScript other;
    auto old = port->SetDriver(std::make_unique<ScriptedDriver>(other));
    EXPECT_FALSE(script.open);
    EXPECT_FALSE(script.callback) << "old driver no longer calls the port";
    EXPECT_TRUE(other.callback);
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_FALSE(port->AnswerReady());
    EXPECT_EQ(port->AnswerCount(), 0u);
    EXPECT_NE(old, nullptr);
    port.reset();  // before `other` goes
}

TEST_F(UsbPortTest, DestructionClosesDevice) {
    OpenPort();
    port.reset();
    EXPECT_FALSE(script.open);
    EXPECT_FALSE(script.callback);
}

}  // namespace
}  // namespace morvane
