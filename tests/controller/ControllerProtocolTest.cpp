// The protocol over the real port, with a scripted driver standing in for the device.
#include "controller/ControllerProtocol.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "ScriptedDriver.h"
#include "WireEncoding.h"
#include "controller/UsbPort.h"

namespace morvane {
namespace {

using test::DriverScript;
using test::EncodeAnswer;
using test::EncodeError;
using test::RecordingHost;
using test::ScriptedDriver;
using Bytes8 = std::vector<std::uint8_t>;

const Bytes8 kSeekFrame5 = {0x00, 0x00, 0x0A, 0x5A, 0x10, 0x05};
const Bytes8 kStatusFrame = {0x00, 0x00, 0x0A, 0x5A, 0x02};

Bytes8 Seek(std::uint8_t t) {
    return {0x00, 0x00, 0x0A, 0x5A, 0x10, t};
}

class ProtocolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        script.devices = {{"USB <-> Parallel", "FT1"}};
        port = std::make_unique<UsbPort>(std::make_unique<ScriptedDriver>(script));
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);
        ASSERT_TRUE(port->DeviceActive());
        protocol = std::make_unique<ControllerProtocol>(*port, &host);
        protocol->SetTimeoutInterval(100);  // keeps time-out tests short
        script.calls.clear();
    }

    DriverScript script;
    RecordingHost host;
    std::unique_ptr<UsbPort> port;
    std::unique_ptr<ControllerProtocol> protocol;
};

TEST_F(ProtocolTest, SeekCommandPutsSixBytesOnTheWire) {
    protocol->SendCommand(CommandCode::Seek, 5);
    EXPECT_EQ(script.wire, kSeekFrame5);
    EXPECT_EQ(script.writes.size(), 1u);
}

TEST_F(ProtocolTest, SendingPurgesReceiveSideFirst) {
    script.announce = false;
    script.Deliver(EncodeAnswer({0x77}));  // stale answer of an earlier exchange
    port->Poll();
    ASSERT_TRUE(port->AnswerReady());
    script.Deliver(EncodeAnswer({0x66}));  // stale bytes not yet read
    script.announce = true;
    script.replies.push_back(EncodeAnswer({0x12}));
    script.calls.clear();
    protocol->SendCommand(CommandCode::Status);
    EXPECT_EQ(script.calls.front(), "PurgeRx");
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_EQ(port->TakeAnswer()->data, (Bytes8{0x12}));
    EXPECT_EQ(port->TakeAnswer(), nullptr);
}

TEST_F(ProtocolTest, ThreeByteBlockFrame) {
    const Bytes8 block = {1, 2, 3};
    EXPECT_EQ(protocol->SendCommandBlock(CommandCode::ReadSectors, block), 10u);
    EXPECT_EQ(script.wire, (Bytes8{0x00, 0x00, 0x0A, 0x5A, 0x24, 0x03, 0x00, 0x01, 0x02, 0x03}));
}

TEST_F(ProtocolTest, LongBlockGoesOutInPiecesOfThousand) {
    Bytes8 block(1200);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(protocol->SendCommandBlock(CommandCode::WriteTrack, block), 1207u);
    ASSERT_EQ(script.writes.size(), 2u);
    EXPECT_EQ(script.writes[0].size(), 1000u);
    EXPECT_EQ(script.writes[1].size(), 207u);
    ASSERT_EQ(script.frames.size(), 1u);
    EXPECT_EQ(script.frames[0][5], 0xB0);
    EXPECT_EQ(script.frames[0][6], 0x04);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), script.frames[0].begin() + 7));
}

TEST_F(ProtocolTest, EachPieceWaitsForTransmitQueueToDrain) {
    script.pendingTx = {700, 300, 0, 200, 0};
    const Bytes8 block(1200, 0x55);
    protocol->SendCommandBlock(CommandCode::WriteTrack, block);
    std::vector<std::string> io;
    for (const std::string& c : script.calls)
        if (c == "Write" || c == "GetStatus") io.push_back(c);
    EXPECT_EQ(io, (std::vector<std::string>{"Write", "GetStatus", "GetStatus", "GetStatus", "Write",
                                            "GetStatus", "GetStatus"}));
}

TEST_F(ProtocolTest, TransmitQueueThatNeverDrainsDoesNotHang) {
    script.stuckTx = 64;
    QElapsedTimer clock;
    clock.start();
    protocol->SendCommand(CommandCode::Status);
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::Timeout);
    EXPECT_LT(clock.elapsed(), 2000);
}

// A write that fails closes the link: the exchange stops there, with the one report of the
// failing call, and asks the closed port for nothing more.
struct FailedWriteCase {
    const char* name;
    std::size_t blockSize;  // 0: a short frame
};

class FailedWrite : public ProtocolTest, public ::testing::WithParamInterface<FailedWriteCase> {};

TEST_P(FailedWrite, EndsTheExchangeWithOneReport) {
    std::vector<std::string> reports;
    QObject::connect(port.get(), &UsbPort::onDeviceError,
                     [&reports](quint32, const QString& text) {
                         reports.push_back(text.toStdString());
                     });
    script.failing["Write"] = kFtIoError;
    if (GetParam().blockSize == 0) {
        protocol->SendCommand(CommandCode::Status);
    } else {
        const Bytes8 block(GetParam().blockSize, 0x55);
        EXPECT_EQ(protocol->SendCommandBlock(CommandCode::WriteTrack, block), 0u);
    }
    EXPECT_FALSE(port->DeviceActive());
    EXPECT_EQ(reports, (std::vector<std::string>{"FT_Write - General IO Error..."}));
    EXPECT_EQ(std::count(script.calls.begin(), script.calls.end(), "Write"), 1);
    EXPECT_EQ(std::count(script.calls.begin(), script.calls.end(), "GetStatus"), 0);
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::LinkLost);
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedWrite,
                         ::testing::Values(FailedWriteCase{"ShortFrame", 0},
                                           FailedWriteCase{"OnePiece", 300},
                                           FailedWriteCase{"ManyPieces", 6250}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ProtocolTest, RefusesBlockThatCannotBeFramed) {
    const Bytes8 huge(0x10000, 0);
    EXPECT_EQ(protocol->SendCommandBlock(CommandCode::WriteTrack, huge), 0u);
    EXPECT_TRUE(script.wire.empty());
}

TEST_F(ProtocolTest, WaitGivesAnswer) {
    script.replies.push_back(EncodeAnswer({0x20, 0x05}));
    protocol->SendCommand(CommandCode::Seek, 5);
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_FALSE(protocol->TimedOut());
    EXPECT_FALSE(protocol->AnswerTimer().isActive());
}

TEST_F(ProtocolTest, WaitGivesErrorRecordOfSpecimenStream) {
    script.replies.push_back({0x0A, 0x31, 0x0B, 0x2C, 0x30, 0xAA});
    protocol->SendCommand(CommandCode::ReadSector, 1);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Error);
    ASSERT_NE(port->TakeError(), nullptr);
    EXPECT_EQ(protocol->CurrentError().StatusByte(0), 0xC0);
    EXPECT_EQ(protocol->CurrentError().data, (Bytes8{0x01}));
}

TEST_F(ProtocolTest, RecordsOfOneCommandAreReportedInArrivalOrder) {
    Bytes8 stream = EncodeAnswer({1});
    for (const Bytes8& part : {EncodeError({}, {0x10, 2}), EncodeAnswer({3})})
        stream.insert(stream.end(), part.begin(), part.end());
    script.replies.push_back(stream);
    const Bytes8 sectors = {1, 2, 3};
    protocol->SendCommandBlock(CommandCode::ReadSectors, sectors);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer) << "the answer came first";
    EXPECT_EQ(port->TakeAnswer()->data, (Bytes8{1}));
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Error);
    EXPECT_EQ(port->TakeError()->StatusByte(1), 2);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_EQ(port->TakeAnswer()->data, (Bytes8{3}));
}

TEST_F(ProtocolTest, ErrorRecordFirstIsReportedFirst) {
    Bytes8 stream = EncodeError({}, {0x10, 1});
    const Bytes8 answer = EncodeAnswer({2});
    stream.insert(stream.end(), answer.begin(), answer.end());
    script.replies.push_back(stream);
    protocol->SendCommand(CommandCode::ReadSector, 1);
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::Error);
}

TEST_F(ProtocolTest, WaitTimesOutWhenNothingComes) {
    protocol->SendCommand(CommandCode::Status);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::Timeout);
    EXPECT_GE(clock.elapsed(), 95);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_TRUE(protocol->TimedOut());
    EXPECT_FALSE(protocol->AnswerTimer().isActive());
}

TEST_F(ProtocolTest, StatusQueryInsideAWaitIsRefusedAndOuterTimeoutStillWorks) {
    script.onFrame = [](const Bytes8& frame) {
        return frame[4] == static_cast<std::uint8_t>(CommandCode::Status) ? EncodeAnswer({0x24})
                                                                          : Bytes8{};
    };
    protocol->SendCommand(CommandCode::Seek, 9);  // never answered
    std::uint8_t inner = 0;
    StatusOutcome outcome = StatusOutcome::Status;
    QTimer::singleShot(10, [&] { inner = protocol->QueryStatus(&outcome); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::Timeout);
    EXPECT_EQ(inner, kStatusTimedOut);
    EXPECT_EQ(outcome, StatusOutcome::Refused);
    EXPECT_EQ(script.frames.size(), 1u) << "the refused query sent nothing";
    EXPECT_LT(clock.elapsed(), 1500) << "the outer wait kept its own time-out";
    EXPECT_FALSE(protocol->AnswerTimer().isActive());
}

TEST_F(ProtocolTest, QueuedAnswersAreWaitedForWithoutSending) {
    Bytes8 three = EncodeAnswer({1});
    for (std::uint8_t v : {2, 3}) {
        const Bytes8 a = EncodeAnswer({v});
        three.insert(three.end(), a.begin(), a.end());
    }
    script.replies.push_back(three);
    const Bytes8 sectors = {1, 2, 3};
    protocol->SendCommandBlock(CommandCode::ReadSectors, sectors);
    for (std::uint8_t v : {1, 2, 3}) {
        ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
        EXPECT_EQ(port->TakeAnswer()->data, (Bytes8{v}));
    }
    EXPECT_EQ(protocol->WaitAnswer(), WaitResult::Timeout);
}

TEST_F(ProtocolTest, TimeoutIntervalDefaultsAndCanBeRaised) {
    ControllerProtocol fresh(*port);
    EXPECT_EQ(fresh.TimeoutInterval(), 2000);
    EXPECT_EQ(fresh.AnswerTimer().objectName(), "TO1");
    fresh.SetTimeoutInterval(kTimeoutRunMs);
    EXPECT_EQ(fresh.TimeoutInterval(), 30000);
    EXPECT_FALSE(fresh.AnswerTimer().isActive());
}

TEST_F(ProtocolTest, ReplyBufferIsZeroedAndLarge) {
    const auto buffer = protocol->ReplyBuffer();
    EXPECT_EQ(buffer.size(), 32768u);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](auto b) { return b == 0; }));
}

TEST_F(ProtocolTest, QueryStatusGivesStatusByte) {
    script.replies.push_back(EncodeAnswer({0x24}));
    EXPECT_EQ(protocol->QueryStatus(), 0x24);
    EXPECT_EQ(script.wire, kStatusFrame);
}

TEST_F(ProtocolTest, QueryStatusGives254ForErrorRecord) {
    script.replies.push_back(EncodeError({}, {0x80}));
    EXPECT_EQ(protocol->QueryStatus(), 254);
    EXPECT_FALSE(port->ErrorReady()) << "the error record was taken";
}

TEST_F(ProtocolTest, QueryStatusGives255OnTimeout) {
    EXPECT_EQ(protocol->QueryStatus(), 255);
}

TEST_F(ProtocolTest, StatusRegisterOfFFLooksLikeTimeout) {
    script.replies.push_back(EncodeAnswer({0xFF}));
    EXPECT_EQ(protocol->QueryStatus(), kStatusTimedOut);
}

TEST_F(ProtocolTest, SeekSucceedsWhenTrackIsReached) {
    script.replies.push_back(EncodeAnswer({0x00, 0x05}));
    EXPECT_TRUE(protocol->SeekTrack(5));
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{kSeekFrame5}));
}

TEST_F(ProtocolTest, SeekBeyondLastTrackSendsNothing) {
    EXPECT_FALSE(protocol->SeekTrack(166));
    EXPECT_TRUE(script.wire.empty());
    script.replies.push_back(EncodeAnswer({0x00, 165}));
    EXPECT_TRUE(protocol->SeekTrack(165));
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{Seek(165)}));
}

TEST_F(ProtocolTest, SeekRetriesWrongTrackTenTimesThenFails) {
    for (int i = 0; i < 10; ++i) {
        script.replies.push_back(EncodeAnswer({0x00, 0x04}));
        script.replies.push_back(EncodeAnswer({0x24}));
    }
    EXPECT_FALSE(protocol->SeekTrack(5));
    ASSERT_EQ(script.frames.size(), 20u);
    for (std::size_t i = 0; i < 20; i += 2) {
        EXPECT_EQ(script.frames[i], kSeekFrame5);
        EXPECT_EQ(script.frames[i + 1], kStatusFrame);
    }
}

TEST_F(ProtocolTest, SeekRetriesAfterErrorRecordAndSucceeds) {
    script.replies.push_back(EncodeError({}, {0x10, 0}));
    script.replies.push_back(EncodeAnswer({0x20}));
    script.replies.push_back(EncodeAnswer({0x00, 0x05}));
    EXPECT_TRUE(protocol->SeekTrack(5));
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{kSeekFrame5, kStatusFrame, kSeekFrame5}));
}

TEST_F(ProtocolTest, SeekTimeoutFailsAtOnceWithoutStatusQuery) {
    EXPECT_FALSE(protocol->SeekTrack(5));
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{kSeekFrame5}));
}

TEST_F(ProtocolTest, SeekFailsAtOnceWhenStatusQueryFindsNoDisk) {
    script.replies.push_back(EncodeAnswer({0x00, 0x04}));
    script.replies.push_back(EncodeError({}, {0x80}));
    EXPECT_FALSE(protocol->SeekTrack(5));
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{kSeekFrame5, kStatusFrame}));
}

TEST_F(ProtocolTest, SeekFailsAtOnceWhenStatusQueryTimesOut) {
    script.replies.push_back(EncodeAnswer({0x00, 0x04}));
    EXPECT_FALSE(protocol->SeekTrack(5));
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{kSeekFrame5, kStatusFrame}));
}

TEST_F(ProtocolTest, SeekAnswerTooShortToNameTrackIsNoSuccess) {
    script.replies.push_back(EncodeAnswer({0x00}));
    script.replies.push_back(EncodeAnswer({0x24}));
    script.replies.push_back(EncodeAnswer({0x00, 0x00}));
    EXPECT_TRUE(protocol->SeekTrack(0));
    EXPECT_EQ(script.frames.size(), 3u) << "the one-byte answer must cost a try";
}

TEST_F(ProtocolTest, SelectDriveBRewritesRegisterKeepingBitsTwoToFive) {
    script.replies.push_back(EncodeAnswer({0xFE}));
    script.replies.push_back(EncodeAnswer({}));
    EXPECT_TRUE(protocol->SelectDrive(Drive::B));
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{{0x00, 0x00, 0x0A, 0x5A, 0x05, 0x28},
                                                  {0x00, 0x00, 0x0A, 0x5A, 0x04, 0x28, 0x3D}}));
    EXPECT_EQ(host.marks, (std::vector<std::pair<bool, bool>>{{false, true}}));
    EXPECT_EQ(host.storedDrive, Drive::B);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ProtocolTest, SelectDriveDoesNothingWithoutLink) {
    port->SetDeviceActive(false);
    script.wire.clear();
    EXPECT_FALSE(protocol->SelectDrive(Drive::A));
    EXPECT_TRUE(script.wire.empty());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(host.storedDrive.has_value());
}

TEST_F(ProtocolTest, SelectDriveErrorShowsMessageAndKeepsMarks) {
    script.replies.push_back(EncodeAnswer({0x00}));
    script.replies.push_back(EncodeError({}, {0x80}));
    EXPECT_FALSE(protocol->SelectDrive(Drive::A));
    EXPECT_EQ(host.messages,
              (std::vector<RecordingHost::Message>{{"Ошибка смены дисковода", "Ошибка!"}}));
    EXPECT_TRUE(host.marks.empty());
    EXPECT_FALSE(host.storedDrive.has_value());
    EXPECT_FALSE(port->ErrorReady());
}

TEST_F(ProtocolTest, SelectDriveTimeoutShowsMessage) {
    EXPECT_FALSE(protocol->SelectDrive(Drive::B));
    EXPECT_EQ(host.messages,
              (std::vector<RecordingHost::Message>{{"Время ожидания вышло...", "Ошибка!"}}));
    EXPECT_EQ(script.frames.size(), 1u);
}

TEST_F(ProtocolTest, ResetControllerQuietOnAnswer) {
    script.replies.push_back(EncodeAnswer({0x00}));
    protocol->ResetController();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{kStatusFrame}));
}

TEST_F(ProtocolTest, ResetControllerReportsMissingDiskAndClearsQueues) {
    Bytes8 reply = EncodeError({}, {0x80});
    const Bytes8 extra = EncodeAnswer({1});
    reply.insert(reply.end(), extra.begin(), extra.end());
    script.replies.push_back(reply);
    protocol->ResetController();
    EXPECT_EQ(host.messages,
              (std::vector<RecordingHost::Message>{{"Нет диска в дисководе...", "Ошибка!"}}));
    EXPECT_FALSE(port->AnswerReady());
    EXPECT_EQ(port->AnswerCount(), 0u);
    EXPECT_EQ(port->ErrorCount(), 0u);
}

TEST_F(ProtocolTest, ResetControllerReportsTimeout) {
    protocol->ResetController();
    EXPECT_EQ(host.messages,
              (std::vector<RecordingHost::Message>{{"Время ожидания вышло...", "Ошибка!"}}));
}

TEST_F(ProtocolTest, FirstContactIdentifiesAndSetsDrive) {
    script.replies.push_back(EncodeAnswer({'Z', 'X', ' ', 'F', 'D', 'C', 0, 'x'}));
    script.replies.push_back(EncodeAnswer({0x17}));
    script.replies.push_back(EncodeAnswer({}));
    EXPECT_EQ(protocol->FirstContact(Drive::A), ContactResult::Done);
    EXPECT_EQ(host.identifications, (std::vector<std::string>{"ZX FDC"}));
    EXPECT_EQ(protocol->ReplyBuffer()[7], 'x');
    EXPECT_EQ(script.frames, (std::vector<Bytes8>{{0x00, 0x00, 0x0A, 0x5A, 0x00},
                                                  {0x00, 0x00, 0x0A, 0x5A, 0x05, 0x28},
                                                  {0x00, 0x00, 0x0A, 0x5A, 0x04, 0x28, 0x14}}));
    EXPECT_EQ(host.marks, (std::vector<std::pair<bool, bool>>{{true, false}}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ProtocolTest, FirstContactKeepsStoredDriveB) {
    script.replies.push_back(EncodeAnswer({'I', 0}));
    script.replies.push_back(EncodeAnswer({0x00}));
    script.replies.push_back(EncodeAnswer({}));
    EXPECT_EQ(protocol->FirstContact(Drive::B), ContactResult::Done);
    EXPECT_EQ(script.frames.back(), (Bytes8{0x00, 0x00, 0x0A, 0x5A, 0x04, 0x28, 0x01}));
    EXPECT_EQ(host.marks, (std::vector<std::pair<bool, bool>>{{false, true}}));
}

TEST_F(ProtocolTest, FirstContactWithoutLinkSendsNothing) {
    port->SetDeviceActive(false);
    EXPECT_EQ(protocol->FirstContact(Drive::A), ContactResult::NoLink);
    EXPECT_TRUE(script.wire.empty());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ProtocolTest, FirstContactTimeoutOnIdentificationStopsThere) {
    EXPECT_EQ(protocol->FirstContact(Drive::A), ContactResult::ControllerNotFound);
    EXPECT_EQ(script.frames.size(), 1u);
    EXPECT_EQ(host.messages,
              (std::vector<RecordingHost::Message>{{"ZX контроллер не найден...", "Ошибка!"}}));
}

TEST_F(ProtocolTest, FirstContactContinuesAfterIdentificationError) {
    script.replies.push_back(EncodeError({}, {0x01}));
    script.replies.push_back(EncodeAnswer({0x00}));
    script.replies.push_back(EncodeAnswer({}));
    EXPECT_EQ(protocol->FirstContact(Drive::A), ContactResult::Done);
    EXPECT_TRUE(host.identifications.empty());
    EXPECT_EQ(script.frames.size(), 3u);
}

TEST_F(ProtocolTest, FirstContactTimeoutOnRegisterWriteUnmarksBothDrives) {
    script.replies.push_back(EncodeAnswer({'I', 0}));
    script.replies.push_back(EncodeAnswer({0x00}));
    EXPECT_EQ(protocol->FirstContact(Drive::A), ContactResult::ControllerNotFound);
    EXPECT_EQ(host.marks, (std::vector<std::pair<bool, bool>>{{false, false}}));
    EXPECT_EQ(host.messages,
              (std::vector<RecordingHost::Message>{{"ZX контроллер не найден...", "Ошибка!"}}));
}

TEST_F(ProtocolTest, FirstContactIdentificationWithoutZeroStopsAtAnswerEnd) {
    std::fill(protocol->ReplyBuffer().begin(), protocol->ReplyBuffer().end(), 'q');
    script.replies.push_back(EncodeAnswer({'A', 'B'}));
    script.replies.push_back(EncodeError({}, {0x01}));
    EXPECT_EQ(protocol->FirstContact(Drive::A), ContactResult::Done);
    EXPECT_EQ(host.identifications, (std::vector<std::string>{"AB"}));
}

TEST_F(ProtocolTest, VanishedDeviceEndsEveryWaitAsLinkLost) {
    script.vanished = true;
    QElapsedTimer clock;
    clock.start();
    StatusOutcome outcome = StatusOutcome::Status;
    EXPECT_EQ(protocol->QueryStatus(&outcome), kStatusTimedOut);
    EXPECT_EQ(outcome, StatusOutcome::LinkLost);
    EXPECT_FALSE(protocol->SeekTrack(10));
    EXPECT_EQ(protocol->FirstContact(Drive::A), ContactResult::NoLink);
    EXPECT_LT(clock.elapsed(), 90) << "no wait ran into its time-out";
}

TEST_F(ProtocolTest, GarbageStreamEndsInTimeout) {
    script.onFrame = [](const Bytes8&) {
        Bytes8 junk;
        for (int i = 0; i < 5000; ++i) {
            const auto b = static_cast<std::uint8_t>(i * 37);
            junk.push_back(b == 0x0A || b == 0x0B ? 0x21 : b);  // no record can start
        }
        return junk;
    };
    EXPECT_EQ(protocol->QueryStatus(), kStatusTimedOut);
    EXPECT_FALSE(port->AnswerReady());
    EXPECT_FALSE(port->ErrorReady());
}

TEST_F(ProtocolTest, GarbageWithMarkersNeverCrashesAndEndsEveryWait) {
    std::uint32_t x = 99;
    script.onFrame = [&x](const Bytes8&) {
        Bytes8 junk;
        for (int i = 0; i < 3000; ++i) {
            x = x * 1664525u + 1013904223u;
            junk.push_back(static_cast<std::uint8_t>(x >> 24));
        }
        return junk;
    };
    for (int i = 0; i < 20; ++i) {
        protocol->SendCommand(CommandCode::ReadTrack);
        const WaitResult r = protocol->WaitAnswer();
        EXPECT_TRUE(r == WaitResult::Answer || r == WaitResult::Error || r == WaitResult::Timeout);
        if (r == WaitResult::Answer) {
            EXPECT_LE(port->TakeAnswer()->Length(), kAnswerCapacity);
        } else if (r == WaitResult::Error) {
            EXPECT_LE(port->TakeError()->StatusLength(), kErrorStatusCapacity);
        }
    }
}

TEST_F(ProtocolTest, OneClaimAtATimeAndReleasedWhenItEnds) {
    EXPECT_FALSE(protocol->Busy());
    {
        LinkClaim first = protocol->Claim();
        ASSERT_TRUE(first.Held());
        EXPECT_TRUE(protocol->Busy());
        EXPECT_FALSE(protocol->Claim().Held());
        LinkClaim moved = std::move(first);
        EXPECT_FALSE(first.Held());
        EXPECT_TRUE(protocol->Busy());
    }
    EXPECT_FALSE(protocol->Busy());
    EXPECT_TRUE(protocol->Claim().Held());
}

}  // namespace
}  // namespace morvane
