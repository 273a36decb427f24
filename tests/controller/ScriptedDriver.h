// A scripted FtdiDriver for the port and protocol tests: it records every call, returns
// the statuses a test sets, and answers each complete command frame with the next
// scripted reply. The port above it is the real one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controller/FtdiDriver.h"

namespace morvane::test {

struct ScriptedDevice {
    std::string description;
    std::string serial;
    FtStatus descriptionStatus = kFtOk;
    FtStatus serialStatus = kFtOk;
};

// Shared with the test after the driver moved into the port.
struct DriverScript {
    std::vector<ScriptedDevice> devices;
    std::map<std::string, FtStatus> failing;  // call name -> status it returns
    bool vanished = false;                    // every call fails, as after an unplug
    bool failedAfterRx = false;               // the queue status fails once rx is read, as after an
                                              // unplug right behind the last bytes
    std::vector<std::string> calls;
    std::vector<std::vector<std::uint8_t>> writes;  // one entry per Write call
    std::vector<std::uint8_t> wire;                 // everything written, in order
    std::string openedDescription;
    bool open = false;
    std::deque<std::uint8_t> rx;
    std::deque<std::uint32_t> pendingTx;  // GetStatus answers in turn, then stuckTx
    std::uint32_t stuckTx = 0;            // a transmit queue that never drains
    bool announce = true;                 // call the data-arrived callback
    bool reportsArrivals = false;         // tell the port it needs no polling timer
    std::vector<bool> denied;             // per listed device: this user may not open it
    std::size_t frameBytes = 0;           // bytes of the frame being received
    // Replies, one per complete frame; a frame without a reply gets no answer.
    std::deque<std::vector<std::uint8_t>> replies;
    std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>&)> onFrame;
    std::vector<std::vector<std::uint8_t>> frames;
    std::function<void()> callback;
    int callbacksCalled = 0;

    void Deliver(const std::vector<std::uint8_t>& bytes) {
        rx.insert(rx.end(), bytes.begin(), bytes.end());
        if (announce && callback && !bytes.empty()) {
            ++callbacksCalled;
            callback();
        }
    }
};

// Length of the frame that starts with these bytes, or 0 while it cannot be told yet.
inline std::size_t ExpectedFrameLength(const std::vector<std::uint8_t>& f) {
    if (f.size() < 5) return 0;
    switch (f[4]) {
        case 0x04:
            return 7;
        case 0x05:
        case 0x10:
        case 0x21:
            return 6;
        case 0x24:
        case 0x30:
        case 0x31:
            return f.size() < 7 ? 0 : 7 + static_cast<std::size_t>(f[5] | f[6] << 8);
        default:
            return 5;
    }
}

class ScriptedDriver final : public FtdiDriver {
  public:
    explicit ScriptedDriver(DriverScript& s) : s_(s) {}

    FtStatus DeviceCount(std::uint32_t& count) override {
        count = static_cast<std::uint32_t>(s_.devices.size());
        return Call("DeviceCount");
    }
    FtStatus DeviceSerialNumber(std::uint32_t index, std::string& serial) override {
        const FtStatus st = Call("DeviceSerialNumber");
        if (st != kFtOk) return st;
        if (index >= s_.devices.size()) return kFtDeviceNotFound;
        serial = s_.devices[index].serial;
        return s_.devices[index].serialStatus;
    }
    FtStatus DeviceDescription(std::uint32_t index, std::string& description) override {
        const FtStatus st = Call("DeviceDescription");
        if (st != kFtOk) return st;
        if (index >= s_.devices.size()) return kFtDeviceNotFound;
        description = s_.devices[index].description;
        return s_.devices[index].descriptionStatus;
    }
    FtStatus OpenByDescription(const std::string& description) override {
        const FtStatus st = Call("OpenByDescription");
        if (st != kFtOk) return st;
        const bool found = std::any_of(s_.devices.begin(), s_.devices.end(),
                                       [&](const auto& d) { return d.description == description; });
        if (!found) return kFtDeviceNotFound;
        s_.open = true;
        s_.openedDescription = description;
        return kFtOk;
    }
    FtStatus Close() override {
        s_.open = false;
        return Call("Close");
    }
    FtStatus SetUsbParameters(std::uint32_t, std::uint32_t) override {
        return Call("SetUsbParameters");
    }
    FtStatus SetBaudRate(std::uint32_t) override { return Call("SetBaudRate"); }
    FtStatus SetDataCharacteristics(std::uint8_t, std::uint8_t, std::uint8_t) override {
        return Call("SetDataCharacteristics");
    }
    FtStatus SetFlowControl(std::uint16_t, std::uint8_t, std::uint8_t) override {
        return Call("SetFlowControl");
    }
    FtStatus SetChars(std::uint8_t, bool, std::uint8_t, bool) override { return Call("SetChars"); }
    FtStatus SetDivisor(std::uint16_t) override { return Call("SetDivisor"); }
    FtStatus SetTimeouts(std::uint32_t, std::uint32_t) override { return Call("SetTimeouts"); }
    FtStatus Purge(std::uint32_t mask) override {
        const FtStatus st = Call(mask == kFtPurgeRx ? "PurgeRx" : "PurgeTx");
        if (st == kFtOk && (mask & kFtPurgeRx)) s_.rx.clear();
        return st;
    }
    FtStatus SetBitMode(std::uint8_t, std::uint8_t) override { return Call("SetBitMode"); }
    FtStatus GetQueueStatus(std::uint32_t& queued) override {
        queued = 0;
        const FtStatus st = Call("GetQueueStatus");
        if (st == kFtOk) queued = static_cast<std::uint32_t>(s_.rx.size());
        return st == kFtOk && s_.failedAfterRx && s_.rx.empty() ? kFtIoError : st;
    }
    FtStatus GetStatus(std::uint32_t& rxQueued, std::uint32_t& txPending,
                       std::uint32_t& events) override {
        rxQueued = static_cast<std::uint32_t>(s_.rx.size());
        txPending = s_.stuckTx;
        events = 0;
        const FtStatus st = Call("GetStatus");
        if (!s_.pendingTx.empty()) {
            txPending = s_.pendingTx.front();
            s_.pendingTx.pop_front();
        }
        return st;
    }
    FtStatus Read(std::span<std::uint8_t> buffer, std::uint32_t& got) override {
        got = 0;
        const FtStatus st = Call("Read");
        if (st != kFtOk) return st;
        while (got < buffer.size() && !s_.rx.empty()) {
            buffer[got++] = s_.rx.front();
            s_.rx.pop_front();
        }
        return kFtOk;
    }
    FtStatus Write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override {
        written = 0;
        const FtStatus st = Call("Write");
        if (st != kFtOk) return st;
        s_.writes.emplace_back(bytes.begin(), bytes.end());
        s_.wire.insert(s_.wire.end(), bytes.begin(), bytes.end());
        written = static_cast<std::uint32_t>(bytes.size());
        CompleteFrames(bytes.size());
        return kFtOk;
    }
    void SetDataArrivedCallback(std::function<void()> callback) override {
        s_.callback = std::move(callback);
    }
    bool ReportsArrivals() const override { return s_.reportsArrivals; }
    bool DeviceAccessDenied(std::uint32_t index) const override {
        return index < s_.denied.size() && s_.denied[index];
    }

  private:
    FtStatus Call(const char* name) {
        s_.calls.emplace_back(name);
        if (s_.vanished) return kFtIoError;
        const auto it = s_.failing.find(name);
        return it == s_.failing.end() ? kFtOk : it->second;
    }

    void CompleteFrames(std::size_t added) {
        s_.frameBytes += added;
        for (;;) {
            const std::vector<std::uint8_t> pending(
                s_.wire.end() - static_cast<std::ptrdiff_t>(s_.frameBytes), s_.wire.end());
            const std::size_t need = ExpectedFrameLength(pending);
            if (need == 0 || pending.size() < need) return;
            const std::vector<std::uint8_t> frame(
                pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(need));
            s_.frames.push_back(frame);
            s_.frameBytes -= need;
            if (s_.onFrame) {
                s_.Deliver(s_.onFrame(frame));
            } else if (!s_.replies.empty()) {
                std::vector<std::uint8_t> reply = std::move(s_.replies.front());
                s_.replies.pop_front();
                s_.Deliver(reply);
            }
        }
    }

    DriverScript& s_;
};

}  // namespace morvane::test
