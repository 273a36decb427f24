// A USB bus with no device on it: the listing finds nothing, so the port stays inactive.
#pragma once

#include "controller/FtdiDriver.h"

namespace morvane::test {

class NoDeviceDriver : public FtdiDriver {
  public:
    FtStatus DeviceCount(std::uint32_t& count) override {
        count = 0;
        return kFtOk;
    }
    FtStatus DeviceSerialNumber(std::uint32_t, std::string&) override { return kFtDeviceNotFound; }
    FtStatus DeviceDescription(std::uint32_t, std::string&) override { return kFtDeviceNotFound; }
    FtStatus OpenByDescription(const std::string&) override { return kFtDeviceNotFound; }
    FtStatus Close() override { return kFtInvalidHandle; }
    FtStatus SetUsbParameters(std::uint32_t, std::uint32_t) override { return kFtInvalidHandle; }
    FtStatus SetBaudRate(std::uint32_t) override { return kFtInvalidHandle; }
    FtStatus SetDataCharacteristics(std::uint8_t, std::uint8_t, std::uint8_t) override {
        return kFtInvalidHandle;
    }
    FtStatus SetFlowControl(std::uint16_t, std::uint8_t, std::uint8_t) override {
        return kFtInvalidHandle;
    }
    FtStatus SetChars(std::uint8_t, bool, std::uint8_t, bool) override { return kFtInvalidHandle; }
    FtStatus SetDivisor(std::uint16_t) override { return kFtInvalidHandle; }
    FtStatus SetTimeouts(std::uint32_t, std::uint32_t) override { return kFtInvalidHandle; }
    FtStatus Purge(std::uint32_t) override { return kFtInvalidHandle; }
    FtStatus SetBitMode(std::uint8_t, std::uint8_t) override { return kFtInvalidHandle; }
    FtStatus GetQueueStatus(std::uint32_t& queued) override {
        queued = 0;
        return kFtInvalidHandle;
    }
    FtStatus GetStatus(std::uint32_t& rx, std::uint32_t& tx, std::uint32_t& events) override {
        rx = tx = events = 0;
        return kFtInvalidHandle;
    }
    FtStatus Read(std::span<std::uint8_t>, std::uint32_t& got) override {
        got = 0;
        return kFtInvalidHandle;
    }
    FtStatus Write(std::span<const std::uint8_t>, std::uint32_t& written) override {
        written = 0;
        return kFtInvalidHandle;
    }
};

}  // namespace morvane::test
