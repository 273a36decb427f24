// The real port and protocol against the emulated controller with its demo disk in drive
// A (TR-DOS, 16 sectors of 256 bytes on tracks 0..159; bad data CRC on track 2 sector 14
// and track 3 sector 2), an image container, and a scripted host.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedHost.h"
#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"
#include "controller/virtual/VirtualController.h"
#include "model/DiskImage.h"
#include "operations/DiskRun.h"
#include "operations/OperationContext.h"
#include "support/CaseName.h"

namespace morvane::test {

inline constexpr int kTestTimeoutMs = 150;

class OperationsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<virt::VirtualController>();
        device = owned.get();
        port = std::make_unique<UsbPort>(std::move(owned));
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);
        ASSERT_TRUE(port->DeviceActive());
        protocol = std::make_unique<ControllerProtocol>(*port);
        protocol->SetTimeoutInterval(kTestTimeoutMs);
        device->ClearReceivedFrames();
    }

    OperationContext Ctx() { return {*protocol, *disk, host}; }

    // A whole-disk run of the given mode over tracks first .. first + count - 1.
    DiskRunResult Run(int mode, int first, int count) {
        auto ctx = Ctx();
        return RunDisk(ctx, {QStringLiteral("run"), mode, first, count, kRunTimeoutForTests});
    }
    static constexpr int kRunTimeoutForTests = 300;

    // Slots 0.. of image track t hold the IDs of the demo track (sectors 1..16, 256 bytes).
    void FillDemoSlots(std::uint8_t t, int count = 16, std::uint8_t sizeCode = 1) {
        Track& track = *disk->GetTrack(t);
        track.Present = kPresent;
        for (int i = 0; i < count; ++i) {
            SectorSlot& slot = track.Slots[static_cast<std::size_t>(i)];
            slot.Present = kPresent;
            slot.Cylinder = static_cast<std::uint8_t>(t / 2);
            slot.Head = 0;
            slot.Sector = static_cast<std::uint8_t>(i + 1);
            slot.SizeCode = sizeCode;
        }
        track.CountSectors();
    }
    // Track t of the disk in drive A as the emulated controller stores it.
    const virt::RawTrack& Stored(std::uint8_t t) const {
        return *device->Fdc().Disk(virt::Drive::A)->Track(t);
    }

    // Frames the device received with this command code.
    std::vector<virt::CommandFrame> Frames(std::uint8_t code) const {
        std::vector<virt::CommandFrame> out;
        for (const virt::CommandFrame& f : device->ReceivedFrames())
            if (f.Code == code) out.push_back(f);
        return out;
    }
    std::vector<int> SeekTargets() const {
        std::vector<int> out;
        for (const virt::CommandFrame& f : Frames(0x10))
            out.push_back(f.Payload.empty() ? -1 : f.Payload[0]);
        return out;
    }
    bool Logged(const std::string& line) const {
        return std::find(host.log.begin(), host.log.end(), line) != host.log.end();
    }
    static bool InTrackLog(const Track& track, const std::string& line) {
        return std::find(track.Log.begin(), track.Log.end(), line) != track.Log.end();
    }

    ScriptedHost host;
    virt::VirtualController* device = nullptr;  // owned by the port
    std::unique_ptr<UsbPort> port;
    std::unique_ptr<ControllerProtocol> protocol;
    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();
};

}  // namespace morvane::test
