// The protocol and the real port against the emulated controller: what the window and the
// disk operations will do, end to end, without hardware.
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "controller/ControllerProtocol.h"
#include "controller/StatusText.h"
#include "controller/UsbPort.h"
#include "controller/virtual/CommandDispatch.h"
#include "controller/virtual/DemoDisk.h"
#include "controller/virtual/VirtualController.h"
#include "support/CaseName.h"

namespace morvane {
namespace {

using test::RecordingHost;
using virt::VirtualController;
using Bytes8 = std::vector<std::uint8_t>;

class VirtualLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<VirtualController>();
        device = owned.get();
        port = std::make_unique<UsbPort>(std::move(owned));
        QObject::connect(
            port.get(), &UsbPort::onDeviceError,
            [this](quint32, const QString& text) { deviceErrors.push_back(text.toStdString()); });
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);
        ASSERT_TRUE(port->DeviceActive());
        protocol = std::make_unique<ControllerProtocol>(*port, &host);
        protocol->SetTimeoutInterval(200);
        device->ClearReceivedFrames();
    }

    Bytes8 ReadSector(std::uint8_t r) {
        protocol->SendCommand(CommandCode::ReadSector, r);
        if (protocol->WaitAnswer() != WaitResult::Answer) return {};
        return port->TakeAnswer()->data;
    }

    RecordingHost host;
    std::vector<std::string> deviceErrors;
    VirtualController* device = nullptr;  // owned by the port
    std::unique_ptr<UsbPort> port;
    std::unique_ptr<ControllerProtocol> protocol;
};

TEST_F(VirtualLinkTest, OpeningAppliesTheFixedConfiguration) {
    const virt::PortSettings s = device->Settings();
    EXPECT_EQ(s.InTransferSize, 32768u);
    EXPECT_EQ(s.OutTransferSize, 32768u);
    EXPECT_EQ(s.BaudRate, 921600u);
    EXPECT_EQ(s.Divisor, 1);
    EXPECT_EQ(s.WordLength, 8);
    EXPECT_EQ(s.StopBits, 0);
    EXPECT_EQ(s.Parity, 0);
    EXPECT_EQ(s.FlowControl, 0);
    EXPECT_EQ(s.Xon, 0x11);
    EXPECT_EQ(s.Xoff, 0x13);
    EXPECT_EQ(s.ReadTimeoutMs, 10u);
    EXPECT_EQ(s.WriteTimeoutMs, 10u);
    EXPECT_EQ(s.BitMask, 0xFF);
    EXPECT_EQ(s.BitMode, 0);
    EXPECT_TRUE(deviceErrors.empty());
}

TEST_F(VirtualLinkTest, ListsItselfAsParallelDevice) {
    const auto list = port->ListDevices();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].description, "USB <-> Parallel");
    EXPECT_EQ(list[0].index, 1u);
}

TEST_F(VirtualLinkTest, FirstContactShowsIdentificationAndSetsDriveBit) {
    device->SetRegister(0x28, 0xFF);
    EXPECT_EQ(protocol->FirstContact(Drive::B), ContactResult::Done);
    ASSERT_EQ(host.identifications.size(), 1u);
    EXPECT_EQ(host.identifications[0], std::string(virt::kIdentificationText));
    EXPECT_EQ(device->Register(0x28), 0x3D);
    EXPECT_EQ(host.marks, (std::vector<std::pair<bool, bool>>{{false, true}}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(VirtualLinkTest, SelectDriveWritesRegisterAndStoresSetting) {
    EXPECT_TRUE(protocol->SelectDrive(Drive::B));
    EXPECT_EQ(device->Register(0x28) & 1, 1);
    EXPECT_TRUE(protocol->SelectDrive(Drive::A));
    EXPECT_EQ(device->Register(0x28) & 1, 0);
    EXPECT_EQ(host.storedDrive, Drive::A);
}

TEST_F(VirtualLinkTest, StatusQueryWithAndWithoutDisk) {
    const std::uint8_t status = protocol->QueryStatus();
    EXPECT_LT(status, kStatusErrorRecord);
    EXPECT_EQ(status & 0x80, 0) << "a drive with a disk is ready";
    device->EjectDisk(virt::Drive::A);
    EXPECT_EQ(protocol->QueryStatus(), kStatusErrorRecord);
}

TEST_F(VirtualLinkTest, PositionsHeadTheWayOperationsDo) {
    EXPECT_TRUE(protocol->SeekTrack(160));
    EXPECT_TRUE(protocol->SeekTrack(7));
    EXPECT_EQ(device->Fdc().Cylinder(virt::Drive::A), 3);
    EXPECT_EQ(device->Fdc().Side(), 1);
}

TEST_F(VirtualLinkTest, SeekRetriesWrongTrackThenSucceeds) {
    device->Faults().AddSeekFault(virt::SeekFaultKind::WrongTrack, 3);
    EXPECT_TRUE(protocol->SeekTrack(20));
    EXPECT_EQ(device->ReceivedFrames().size(), 7u) << "three failed tries with status queries";
}

TEST_F(VirtualLinkTest, SeekGivesUpAfterTenTries) {
    device->Faults().AddSeekFault(virt::SeekFaultKind::SeekError, 50);
    EXPECT_FALSE(protocol->SeekTrack(20));
    EXPECT_EQ(device->ReceivedFrames().size(), 20u);
}

TEST_F(VirtualLinkTest, SeekWithoutDiskFailsAtStatusQuery) {
    device->EjectDisk(virt::Drive::A);
    EXPECT_FALSE(protocol->SeekTrack(20));
    EXPECT_EQ(device->ReceivedFrames().size(), 2u);
}

TEST_F(VirtualLinkTest, ReadsDemoSectorThroughTheNibbleStream) {
    ASSERT_TRUE(protocol->SeekTrack(0));
    const Bytes8 sector = ReadSector(1);
    const Bytes demo = virt::MakeDemoSectors();
    ASSERT_EQ(sector.size(), 256u);
    EXPECT_TRUE(std::equal(sector.begin(), sector.end(), demo.begin()));
}

TEST_F(VirtualLinkTest, BadSectorComesAsErrorRecordWithCrcBit) {
    ASSERT_TRUE(protocol->SeekTrack(2));
    protocol->SendCommand(CommandCode::ReadSector, 14);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Error);
    const ErrorRecord* e = port->TakeError();
    ASSERT_NE(e, nullptr);
    EXPECT_NE(e->StatusByte(0) & 0x08, 0);
    EXPECT_EQ(e->StatusByte(1), 14);
    EXPECT_EQ(DecodeStatus(2, e->StatusByte(0) & 0x08), "Ошибка в контрольном коде ");
}

TEST_F(VirtualLinkTest, SectorListGivesOneRecordPerSectorInOrder) {
    ASSERT_TRUE(protocol->SeekTrack(3));
    const Bytes8 list = {1, 2, 3};
    EXPECT_EQ(protocol->SendCommandBlock(CommandCode::ReadSectors, list), 10u);
    std::vector<WaitResult> results;
    for (int i = 0; i < 3; ++i) {
        const WaitResult r = protocol->WaitAnswer();
        results.push_back(r);
        if (r == WaitResult::Error)
            port->TakeError();
        else if (r == WaitResult::Answer)
            port->TakeAnswer();
    }
    EXPECT_EQ(results,
              (std::vector<WaitResult>{WaitResult::Answer, WaitResult::Error, WaitResult::Answer}));
}

TEST_F(VirtualLinkTest, WrittenSectorReadsBack) {
    ASSERT_TRUE(protocol->SeekTrack(10));
    Bytes8 block{5};
    for (int i = 0; i < 256; ++i)
        block.push_back(static_cast<std::uint8_t>(255 - i));
    EXPECT_EQ(protocol->SendCommandBlock(CommandCode::WriteSector, block), block.size() + 7);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    const AnswerRecord* received = port->TakeAnswer();
    EXPECT_EQ(received->Byte(0) | received->Byte(1) << 8, 257);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    port->TakeAnswer();
    EXPECT_EQ(ReadSector(5), Bytes8(block.begin() + 1, block.end()));
}

TEST_F(VirtualLinkTest, ReadTrackBiggerThanOnePieceArrivesWhole) {
    ASSERT_TRUE(protocol->SeekTrack(0));
    protocol->SendCommand(CommandCode::ReadTrack);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    const AnswerRecord* track = port->TakeAnswer();
    EXPECT_GT(track->Length(), 6000u);
    EXPECT_LE(track->Length(), kAnswerCapacity);
}

TEST_F(VirtualLinkTest, SilentControllerTimesOut) {
    device->SilenceNextCommands(1);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(protocol->QueryStatus(), kStatusTimedOut);
    EXPECT_GE(clock.elapsed(), 190);
    EXPECT_LT(protocol->QueryStatus(), kStatusErrorRecord) << "the next command is answered";
}

// An exchange whose answer misses its time-out, then a status query. The device carries
// out one command after the other, so whatever it still owes comes before the status; the
// query must get its own one-byte answer all the same. The drive works in real time on a
// clock of the test's, which stands still until the status query is under way.
struct LateCase {
    const char* name;
    std::function<void(ControllerProtocol&, VirtualController&)> first;
};

class LateAnswers : public VirtualLinkTest, public ::testing::WithParamInterface<LateCase> {};

TEST_P(LateAnswers, NextExchangeTakesOnlyItsOwnAnswer) {
    std::atomic<std::int64_t> wallNs{0};
    device->SetClock([&wallNs] { return virt::Nanos(wallNs.load()); });
    device->SetRealTime(true);
    GetParam().first(*protocol, *device);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Timeout);
    // Ten seconds pass once the next exchange has begun: the drive is done with everything.
    QTimer::singleShot(50, [&wallNs] { wallNs += std::int64_t{10'000'000'000}; });
    ASSERT_TRUE(protocol->SendCommand(CommandCode::Status));
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_EQ(port->TakeAnswer()->Length(), 1u) << "the status answer, not an earlier one";
    EXPECT_EQ(port->AnswerCount() + port->ErrorCount(), 0u) << "nothing else is left over";
    device->SetRealTime(false);
}

INSTANTIATE_TEST_SUITE_P(Cases, LateAnswers,
                         ::testing::Values(LateCase{"RawTrackRead",
                                                    [](ControllerProtocol& p, VirtualController&) {
                                                        p.SendCommand(CommandCode::ReadTrack);
                                                    }},
                                           LateCase{"SectorList",
                                                    [](ControllerProtocol& p, VirtualController&) {
                                                        const std::uint8_t list[] = {1, 2, 3};
                                                        p.SendCommandBlock(CommandCode::ReadSectors,
                                                                           list);
                                                    }},
                                           LateCase{
                                               "SilencedCommand",
                                               [](ControllerProtocol& p, VirtualController& d) {
                                                   d.SilenceNextCommands(1);
                                                   p.SendCommand(CommandCode::Status);
                                               }}),
                         test::CaseName());

TEST_F(VirtualLinkTest, GarbageBetweenFramesIsIgnored) {
    std::vector<Bytes8> clean;
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(protocol->SeekTrack(static_cast<std::uint8_t>(i)));
        clean.push_back(ReadSector(static_cast<std::uint8_t>(1 + i % 9)));
        ASSERT_EQ(clean.back().size(), 256u);
    }
    // Stray error marks too: outside a frame they must not become error records.
    for (virt::GarbageKind kind : {virt::GarbageKind::Noise, virt::GarbageKind::TornFrame,
                                   virt::GarbageKind::StrayErrorMark}) {
        device->SetGarbageSeed(static_cast<std::uint32_t>(kind) + 5);
        device->SetGarbageBetweenFrames(true, 16, kind);
        for (int i = 0; i < 12; ++i) {
            ASSERT_TRUE(protocol->SeekTrack(static_cast<std::uint8_t>(i)));
            EXPECT_EQ(ReadSector(static_cast<std::uint8_t>(1 + i % 9)), clean[i])
                << "kind " << static_cast<int>(kind) << " track " << i;
        }
    }
}

TEST_F(VirtualLinkTest, VanishedDeviceNeverHangsAWait) {
    EXPECT_LT(protocol->QueryStatus(), kStatusErrorRecord);
    device->Vanish();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(protocol->QueryStatus(), kStatusTimedOut);
    EXPECT_FALSE(protocol->SeekTrack(4));
    EXPECT_EQ(protocol->FirstContact(Drive::A), ContactResult::NoLink)
        << "the failed device was closed";
    EXPECT_LT(clock.elapsed(), 150) << "no wait ran into its time-out";
    EXPECT_FALSE(deviceErrors.empty()) << "the failing calls are reported";
    port->SetDeviceActive(true);  // the window's restart finds it gone
    EXPECT_FALSE(port->DeviceActive());
}

TEST_F(VirtualLinkTest, DeviceVanishingMidRunEndsInTimeout) {
    device->VanishAfterCommands(3);
    int timeouts = 0;
    for (int i = 0; i < 6; ++i)
        if (protocol->QueryStatus() == kStatusTimedOut) ++timeouts;
    EXPECT_GE(timeouts, 3);
    EXPECT_LE(timeouts, 4);
}

TEST_F(VirtualLinkTest, RealTimeAnswerWakesThePortWithoutPolling) {
    port->SetPollingTime(60000);  // the polling timer alone would never bring it
    protocol->SetTimeoutInterval(5000);
    device->SetRealTime(true);
    device->ResetDeviceTime();
    protocol->SendCommand(CommandCode::Seek, 120);  // 60 cylinders: a few hundred milliseconds
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_EQ(port->TakeAnswer()->Byte(1), 120);
    EXPECT_GT(device->DeviceTime(), virt::Nanos{0});
    protocol->SendCommand(CommandCode::ReadTrack);
    ASSERT_EQ(protocol->WaitAnswer(), WaitResult::Answer);
    EXPECT_GT(port->TakeAnswer()->Length(), 6000u);
}

TEST_F(VirtualLinkTest, SwitchingToAnotherControllerStartsClean) {
    device->SilenceNextCommands(1);
    protocol->SendCommand(CommandCode::Status);
    auto second = std::make_unique<VirtualController>();
    VirtualController* fresh = second.get();
    auto old = port->SetDriver(std::move(second));
    EXPECT_FALSE(port->DeviceActive());
    port->SetDeviceActive(true);
    ASSERT_TRUE(port->DeviceActive());
    EXPECT_LT(protocol->QueryStatus(), kStatusErrorRecord);
    EXPECT_EQ(fresh->ReceivedFrames().size(), 1u);
}

}  // namespace
}  // namespace morvane
