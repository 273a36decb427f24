// The exchange guard and the lost link: one exchange at a time, and a wait that ends at
// once when its link does, whatever ended it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "ScriptedDriver.h"
#include "WireEncoding.h"
#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"

namespace morvane {
namespace {

using test::DriverScript;
using test::EncodeAnswer;
using test::RecordingHost;
using test::ScriptedDriver;
using Bytes8 = std::vector<std::uint8_t>;

constexpr int kLongTimeoutMs = 5000;
constexpr int kPromptMs = 1000;  // far below the time-out, far above any scheduling delay
const char* const kBusyText = "Контроллер занят: дождитесь конца текущей операции.";
const char* const kLinkLostText = "Связь с контроллером потеряна.";

class LinkGuardTest : public ::testing::Test {
  public:
    void SetUp() override {
        script.devices = {{"USB <-> Parallel", "FT1"}};
        port = std::make_unique<UsbPort>(std::make_unique<ScriptedDriver>(script));
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);
        ASSERT_TRUE(port->DeviceActive());
        protocol = std::make_unique<ControllerProtocol>(*port, &host);
        protocol->SetTimeoutInterval(kLongTimeoutMs);
    }

    std::size_t FramesWithCode(CommandCode code) const {
        return static_cast<std::size_t>(
            std::count_if(script.frames.begin(), script.frames.end(), [code](const Bytes8& f) {
                return f.size() > 4 && f[4] == static_cast<std::uint8_t>(code);
            }));
    }

    DriverScript script;
    RecordingHost host;
    std::unique_ptr<UsbPort> port;
    std::unique_ptr<ControllerProtocol> protocol;
    DriverScript other;  // a second driver to switch to
};

TEST_F(LinkGuardTest, SecondCommandDuringAWaitIsRefusedAndFirstGetsItsOwnRecord) {
    protocol->SendCommand(CommandCode::Seek, 7);  // the scripted device answers later, below
    bool claimed = true;
    QTimer::singleShot(10, [&] {
        claimed = protocol->Claim().Held();
        protocol->ResetController();
        protocol->SelectDrive(Drive::B);
    });
    QTimer::singleShot(40, [&] { script.Deliver(EncodeAnswer({0x20, 7})); });
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_EQ(port->TakeAnswer()->data, (Bytes8{0x20, 7}));
    EXPECT_FALSE(claimed) << "a wait holds the link";
    EXPECT_EQ(script.frames.size(), 1u) << "neither the reset nor the drive change sent";
    EXPECT_EQ(host.messages.size(), 2u);
    for (const auto& m : host.messages)
        EXPECT_EQ(m.text, kBusyText);
    EXPECT_FALSE(protocol->Busy()) << "the wait is over";
}

TEST_F(LinkGuardTest, BlockCommandDuringAWaitIsRefused) {
    protocol->SendCommand(CommandCode::Status);
    std::uint32_t sent = 1;
    WaitResult inner{};
    QTimer::singleShot(10, [&] {
        const Bytes8 list = {1, 2};
        sent = protocol->SendCommandBlock(CommandCode::ReadSectors, list);
        inner = protocol->WaitAnswer();
    });
    QTimer::singleShot(40, [&] { script.Deliver(EncodeAnswer({0x20})); });
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_EQ(sent, 0u);
    EXPECT_EQ(inner, WaitResult::Refused);
    EXPECT_EQ(FramesWithCode(CommandCode::ReadSectors), 0u);
}

struct LinkEnd {
    const char* name;
    std::function<void(LinkGuardTest&)> cause;
};

class LinkEndTest : public LinkGuardTest, public ::testing::WithParamInterface<int> {};

const std::vector<LinkEnd>& LinkEnds() {
    static const std::vector<LinkEnd> ends = {
        {"stopped", [](LinkGuardTest& t) { t.port->SetDeviceActive(false); }},
        {"switched",
         [](LinkGuardTest& t) { t.port->SetDriver(std::make_unique<ScriptedDriver>(t.other)); }},
        {"vanished", [](LinkGuardTest& t) { t.script.vanished = true; }},
        {"reader died",
         [](LinkGuardTest& t) {
             t.script.failing["GetQueueStatus"] = kFtIoError;
             t.script.callback();  // a dying reader announces itself like an arrival
         }},
        {"quitting", [](LinkGuardTest& t) { t.protocol->AbandonWaits(); }},
    };
    return ends;
}

TEST_P(LinkEndTest, EndsTheWaitAtOnce) {
    const LinkEnd& end = LinkEnds()[static_cast<std::size_t>(GetParam())];
    SCOPED_TRACE(end.name);
    protocol->SendCommand(CommandCode::Status);  // never answered
    QTimer::singleShot(20, [&] { end.cause(*this); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::LinkLost);
    EXPECT_LT(clock.elapsed(), kPromptMs);
    EXPECT_FALSE(protocol->AnswerTimer().isActive());
    // The next wait does not even start.
    clock.restart();
    EXPECT_EQ(protocol->QueryStatus(), kStatusTimedOut);
    EXPECT_LT(clock.elapsed(), kPromptMs);
    port.reset();  // before `other` goes
}

INSTANTIATE_TEST_SUITE_P(Causes, LinkEndTest, ::testing::Range(0, 5));

TEST_F(LinkGuardTest, CallersStopOnALostLinkWithOneClearMessage) {
    script.vanished = true;
    QElapsedTimer clock;
    clock.start();
    protocol->ResetController();
    EXPECT_LT(clock.elapsed(), kPromptMs);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              std::string(kLinkLostText) + "\nFT_Write - General IO Error...");
    EXPECT_EQ(host.linkFailures, (std::vector<std::string>{"FT_Write - General IO Error..."}));
    QCoreApplication::processEvents();
    EXPECT_EQ(host.messages.size(), 1u) << "the wait reported it; nothing more comes";
}

TEST_F(LinkGuardTest, FailureBetweenExchangesIsReportedAtOnce) {
    script.failing["GetQueueStatus"] = kFtIoError;
    port->Poll();
    EXPECT_FALSE(port->DeviceActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(host.linkFailures,
              (std::vector<std::string>{"FT_GetQueueStatus - General IO Error..."}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              std::string(kLinkLostText) + "\nFT_GetQueueStatus - General IO Error...");
    script.failing.clear();
    port->SetDeviceActive(true);  // "Старт USB устройства" brings it back
    ASSERT_TRUE(port->DeviceActive());
    script.replies.push_back(EncodeAnswer({0x24}));
    EXPECT_EQ(protocol->QueryStatus(), 0x24);
}

// SeekTrack says only whether the head got there; the last wait says why it did not.
TEST_F(LinkGuardTest, FailedSeekLeavesItsReasonInTheLastWait) {
    script.vanished = true;
    EXPECT_FALSE(protocol->SeekTrack(3));
    EXPECT_EQ(protocol->LastWaitResult(), WaitResult::LinkLost);
}

TEST_F(LinkGuardTest, SeekRefusedDuringAWaitLeavesRefused) {
    protocol->SendCommand(CommandCode::Status);
    bool reached = true;
    WaitResult why = WaitResult::Answer;
    QTimer::singleShot(10, [&] {
        reached = protocol->SeekTrack(3);
        why = protocol->LastWaitResult();
    });
    QTimer::singleShot(40, [&] { script.Deliver(EncodeAnswer({0x20})); });
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_FALSE(reached);
    EXPECT_EQ(why, WaitResult::Refused);
    EXPECT_EQ(protocol->LastWaitResult(), WaitResult::Answer) << "the outer wait's own outcome";
}

TEST_F(LinkGuardTest, StoppingOnPurposeShowsNothing) {
    port->SetDeviceActive(false);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.linkFailures.empty());
}

// Answers without the data byte that the exchange needs.
TEST_F(LinkGuardTest, EmptyStatusAnswerIsAnError) {
    script.replies.push_back(EncodeAnswer({}));
    StatusOutcome outcome = StatusOutcome::Status;
    EXPECT_EQ(protocol->QueryStatus(&outcome), kStatusErrorRecord);
    EXPECT_EQ(outcome, StatusOutcome::EmptyAnswer);
}

TEST_F(LinkGuardTest, EmptyRegisterAnswerWritesNoRegister) {
    script.replies.push_back(EncodeAnswer({}));
    EXPECT_FALSE(protocol->SelectDrive(Drive::B));
    EXPECT_EQ(FramesWithCode(CommandCode::WriteRegister), 0u);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Ошибка смены дисковода");
    EXPECT_TRUE(host.marks.empty());

    script.replies.push_back(EncodeAnswer({'Z', 0}));
    script.replies.push_back(EncodeAnswer({}));
    protocol->FirstContact(Drive::B);
    EXPECT_EQ(FramesWithCode(CommandCode::WriteRegister), 0u);
}

}  // namespace
}  // namespace morvane
