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
#include "model/ZxDisk.h"
#include "operations/OperationContext.h"

namespace morvane::test {

inline constexpr int kTestTimeoutMs = 150;

// Names parameterised cases by their name field.
struct CaseName {
    template <class P>
    std::string operator()(const ::testing::TestParamInfo<P>& info) const {
        return info.param.name;
    }
};

class OperationsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<virt::VirtualController>();
        device = owned.get();
        port = std::make_unique<TUSB_Port>(std::move(owned));
        port->SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port->SetDeviceActive(true);
        port->SetEnableMessage(true);
        ASSERT_TRUE(port->DeviceActive());
        protocol = std::make_unique<ControllerProtocol>(*port);
        protocol->SetTimeoutInterval(kTestTimeoutMs);
        device->ClearReceivedFrames();
    }

    OperationContext Ctx() { return {*protocol, *disk, host}; }

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
    static bool InTrackLog(const TTrack& track, const std::string& line) {
        return std::find(track.Log.begin(), track.Log.end(), line) != track.Log.end();
    }

    ScriptedHost host;
    virt::VirtualController* device = nullptr;  // owned by the port
    std::unique_ptr<TUSB_Port> port;
    std::unique_ptr<ControllerProtocol> protocol;
    std::unique_ptr<TZX_Disk> disk = std::make_unique<TZX_Disk>();
};

}  // namespace morvane::test
