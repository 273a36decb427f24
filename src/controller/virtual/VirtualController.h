// An emulated USB floppy controller behind the same driver interface as the real FTDI
// device. It lists itself as "USB <-> Parallel", takes command frames through Write and
// answers them in the controller's byte stream through GetQueueStatus and Read, from a
// WD1793 model with two drives. By default it answers at once (the answer is readable
// right after the Write that completes a command); in real-time mode an answer becomes
// readable only when a real drive would have finished (rotation, head steps).
//
// Faults of the media live in Faults(); faults of the link (silence, noise, a device
// that vanishes) are set here.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "controller/FtdiDriver.h"
#include "controller/virtual/CommandFrame.h"
#include "controller/virtual/DiskImageBridge.h"
#include "controller/virtual/Wd1793.h"

namespace morvane::virt {

inline constexpr const char* kVirtualDescription = "USB <-> Parallel";
inline constexpr const char* kVirtualSerialNumber = "MRV00001";

// The configuration the host applied, kept for inspection.
struct PortSettings {
    std::uint32_t InTransferSize = 0, OutTransferSize = 0;
    std::uint32_t BaudRate = 0;
    std::uint16_t Divisor = 0;
    std::uint8_t WordLength = 0, StopBits = 0, Parity = 0;
    std::uint16_t FlowControl = 0;
    std::uint8_t Xon = 0, Xoff = 0;
    std::uint8_t EventChar = 0, ErrorChar = 0;
    bool EventCharEnabled = false, ErrorCharEnabled = false;
    std::uint32_t ReadTimeoutMs = 0, WriteTimeoutMs = 0;
    std::uint8_t BitMask = 0, BitMode = 0;
};

// What the device sends between frames when it is noisy.
enum class GarbageKind : std::uint8_t {
    Noise,           // bytes the host's decoder passes over outside a frame (no marker)
    TornFrame,       // noise, a stray end marker, and a frame start cut off after a few bytes
    StrayErrorMark,  // noise, an error mark and data bytes: a record the device never sent
};

struct VirtualControllerOptions {
    bool DemoDiskInDriveA = true;  // start with the built-in TR-DOS demonstration disk
    bool RealTime = false;
};

class VirtualController : public FtdiDriver {
  public:
    explicit VirtualController(VirtualControllerOptions options = {});
    ~VirtualController() override;

    // --- FtdiDriver
    FtStatus DeviceCount(std::uint32_t& count) override;
    FtStatus DeviceSerialNumber(std::uint32_t index, std::string& serial) override;
    FtStatus DeviceDescription(std::uint32_t index, std::string& description) override;
    FtStatus OpenByDescription(const std::string& description) override;
    FtStatus Close() override;
    FtStatus SetUsbParameters(std::uint32_t inTransferSize, std::uint32_t outTransferSize) override;
    FtStatus SetBaudRate(std::uint32_t baud) override;
    FtStatus SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity) override;
    FtStatus SetFlowControl(std::uint16_t flowControl, std::uint8_t xon,
                            std::uint8_t xoff) override;
    FtStatus SetChars(std::uint8_t eventChar, bool eventCharEnabled, std::uint8_t errorChar,
                      bool errorCharEnabled) override;
    FtStatus SetDivisor(std::uint16_t divisor) override;
    FtStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    FtStatus Purge(std::uint32_t mask) override;
    FtStatus SetBitMode(std::uint8_t mask, std::uint8_t mode) override;
    FtStatus GetQueueStatus(std::uint32_t& queued) override;
    FtStatus GetStatus(std::uint32_t& rxQueued, std::uint32_t& txPending,
                       std::uint32_t& events) override;
    FtStatus Read(std::span<std::uint8_t> buffer, std::uint32_t& got) override;
    FtStatus Write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override;
    void SetDataArrivedCallback(std::function<void()> callback) override;
    // Every answer and the vanishing are announced, except on a clock of the caller's own
    // (see SetClock), where the caller finds the answers by polling.
    bool ReportsArrivals() const override;

    // --- Drives and disks
    // Loads any image the program holds into a drive (see DiskImageBridge).
    void LoadImage(Drive drive, const DiskImage& image, ImageToDiskReport* report = nullptr);
    // Reads an image file of any format the program reads and loads it into a drive.
    // False, with the reader's message in error and the drive unchanged, on failure.
    bool LoadImageFile(Drive drive, const std::string& path, std::string* error = nullptr,
                       ImageToDiskReport* report = nullptr);
    // Writes the disk in a drive back into an image; false (image untouched) for no disk.
    bool SaveImage(Drive drive, DiskImage& image) const;
    void InsertDisk(Drive drive, std::unique_ptr<VirtualDisk> disk);
    void InsertDemoDisk(Drive drive);
    void EjectDisk(Drive drive);
    bool HasDisk(Drive drive) const;
    void SetWriteProtected(Drive drive, bool on);

    // --- Faults
    MediaFaults& Faults();  // media and seek faults
    // The next count commands are carried out but never answered.
    void SilenceNextCommands(int count);
    // Commands after the next `skip` ones: the following `count` are carried out but never
    // answered (a silence in the middle of a run).
    void SilenceCommandsAfter(int skip, int count = 1);
    // Every command with this code is carried out but never answered (until cleared).
    void SilenceCommand(std::uint8_t code, bool silent = true);
    // Up to maxBytes of noise before every frame the device sends.
    void SetGarbageBetweenFrames(bool on, std::size_t maxBytes = 8,
                                 GarbageKind kind = GarbageKind::Noise);
    // Seeds the noise: the same seed gives the same bytes, so a noisy run can be rerun.
    void SetGarbageSeed(std::uint32_t seed);
    // Replies on their way to the host, one at a time: the tamper gets the frame, the
    // reply's place among the frame's replies and the reply, and returns what arrives
    // instead (nothing for a reply lost on the way; others around it for records the
    // device never sent). It runs under the device's lock and must not call the device.
    using ReplyTamper =
        std::function<std::vector<WdReply>(const CommandFrame&, std::size_t, const WdReply&)>;
    void SetReplyTamper(ReplyTamper tamper);
    // Unplugged: every driver call fails from now on (queued bytes are lost).
    void Vanish();
    // Unplugged right after answering the next count commands.
    void VanishAfterCommands(int count);
    // Plugged in again, closed and with empty queues.
    void Reappear();
    bool Vanished() const;

    // --- Timing
    void SetRealTime(bool on);
    bool RealTime() const;
    // Head step, settle and rotation times (apply in both modes to the emulated clock).
    void SetMechanics(const Mechanics& mechanics);
    // The wall clock of real-time mode, as time since an arbitrary start. Tests pass
    // their own (answers are then found by polling only); the default is the steady clock.
    void SetClock(std::function<Nanos()> clock);
    // The emulated clock of the controller (in real-time mode it keeps up with the wall
    // clock while the drive is idle).
    Nanos EmulatedNow() const;
    // The emulated time the drive spent carrying out commands (head steps and settling,
    // waiting for the index or a sector, reading and writing), idle time left out, since
    // creation or the last reset. A host's run over the same commands cannot take less.
    Nanos DeviceTime() const;
    // The same time by what the drive spent it on (steps, waiting for the index or a
    // sector, reading...); the parts add up to DeviceTime().
    DriveTimes DeviceTimeSpent() const;
    void ResetDeviceTime();

    // --- Inspection
    bool IsOpen() const;
    PortSettings Settings() const;
    // The frames received since the last clear (the most recent few thousand).
    std::vector<CommandFrame> ReceivedFrames() const;
    void ClearReceivedFrames();
    std::uint8_t Register(std::uint8_t number) const;
    void SetRegister(std::uint8_t number, std::uint8_t value);
    // Direct access for tests; not to be used while another thread drives the port.
    Wd1793& Fdc() { return fdc_; }

  private:
    struct PendingBytes {
        Nanos ReadyAt;
        Bytes Data;
    };

    FtStatus CheckOpen() const;
    Nanos WallNow() const;
    void ReleaseDue();
    void HandleFrame(const CommandFrame& frame);
    void QueueReply(const WdReply& reply);
    void Announce();
    void WakeTimer();
    // Real-time mode: releases each answer when it falls due and announces it.
    void TimerLoop(std::stop_token stop);

    mutable std::mutex mutex_;
    Wd1793 fdc_;
    FrameParser parser_;
    std::vector<CommandFrame> received_;
    std::deque<PendingBytes> pending_;  // answers not yet sent (real-time mode)
    std::deque<std::uint8_t> readable_;
    PortSettings settings_;
    bool open_ = false;
    bool vanished_ = false;
    int vanishAfter_ = -1;
    int silenceNext_ = 0;
    int silenceSkip_ = 0;   // commands still answered before silenceLater_ begin
    int silenceLater_ = 0;  // commands silenced once silenceSkip_ runs out
    std::vector<std::uint8_t> silentCodes_;
    ReplyTamper tamper_;
    bool garbage_ = false;
    std::size_t garbageMax_ = 8;
    GarbageKind garbageKind_ = GarbageKind::Noise;
    std::mt19937 random_{0xF7};
    bool realTime_ = false;
    std::function<Nanos()> clock_;
    bool customClock_ = false;
    Nanos offset_{};  // wall time minus emulated time, in real-time mode
    Nanos deviceTime_{};

    std::mutex callbackMutex_;  // held while the callback runs, so removing it is final
    std::function<void()> dataArrived_;

    std::condition_variable_any timerWake_;
    std::uint64_t timerGeneration_ = 0;  // changes whenever the timer must look again
    std::jthread timer_;                 // last: stops before the members it uses go
};

}  // namespace morvane::virt
