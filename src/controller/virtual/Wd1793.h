// The emulated floppy controller core: a WD1793 with two drives (A: and B:, chosen by bit 0
// of register 0x28), each of which may hold a disk. Each command returns the reply the
// controller's firmware sends for it and advances an emulated clock by the time a real
// drive would need (head steps, waiting for the index or a sector to come round).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

#include "controller/virtual/FormatTable.h"
#include "controller/virtual/MediaFaults.h"
#include "controller/virtual/VirtualDisk.h"
#include "controller/virtual/VirtualTypes.h"
#include "model/Bytes.h"

namespace morvane::virt {

inline constexpr std::uint8_t kDriveRegister = 0x28;
inline constexpr std::uint8_t kDriveSelectBit = 0x01;

struct Mechanics {
    Nanos Revolution = std::chrono::milliseconds(200);  // 300 rpm
    Nanos StepTime = std::chrono::milliseconds(6);
    Nanos SettleTime = std::chrono::milliseconds(15);
    Nanos IndexPulse = std::chrono::milliseconds(4);
    int NotFoundRevolutions = 5;     // the WD1793 gives up after five index pulses
    int HeadUnloadRevolutions = 15;  // idle revolutions before the head unloads
};

// What the drive spent its time on, for a look at where a run's revolutions go.
enum class DriveTime : std::uint8_t {
    Steps,      // stepping the head
    Settle,     // letting it settle after the steps
    ToIndex,    // waiting for the index (scan, READ TRACK, WRITE TRACK)
    ToSector,   // waiting for the wanted sector's ID field to come round
    Sector,     // from that ID field to the end of the data field, read or written
    ScanTurn,   // the revolution of a scan of the ID fields
    TrackTurn,  // the revolution of READ TRACK or WRITE TRACK
    NotFound,   // the revolutions before "record not found"
};
inline constexpr std::size_t kDriveTimeKinds = 8;
using DriveTimes = std::array<Nanos, kDriveTimeKinds>;
// "steps", "settle", "to-index", ... as the benchmarks and the documentation name them.
const char* DriveTimeName(DriveTime kind);

// One answer or error record as the firmware sends it.
struct WdReply {
    bool Error = false;
    Bytes Data;               // answer data, or the data part of an error record
    std::uint8_t Status = 0;  // error record: status byte 0 (the status register)
    std::uint8_t Sector = 0;  // error record: status byte 1 (the sector concerned)
    Nanos ReadyAt{};          // emulated time at which the device sends it
};

class Wd1793 {
  public:
    Wd1793();

    // Puts a disk into a drive (replacing any); nullptr empties the drive.
    void InsertDisk(Drive drive, std::unique_ptr<VirtualDisk> disk);
    std::unique_ptr<VirtualDisk> EjectDisk(Drive drive);
    VirtualDisk* Disk(Drive drive);
    const VirtualDisk* Disk(Drive drive) const;

    MediaFaults& Faults() { return faults_; }
    Mechanics& Timing() { return mechanics_; }

    Nanos Now() const { return now_; }
    // The emulated time spent on commands so far, by what it went on.
    const DriveTimes& Spent() const { return spent_; }
    void ResetSpent() { spent_ = {}; }
    // Lets emulated time catch up with the wall clock (the disk turned meanwhile).
    void CatchUp(Nanos wall) {
        if (wall > now_) now_ = wall;
    }

    std::uint8_t ReadRegister(std::uint8_t number) const { return registers_[number]; }
    void WriteRegister(std::uint8_t number, std::uint8_t value) { registers_[number] = value; }
    Drive SelectedDrive() const;
    std::uint8_t Cylinder(Drive drive) const { return cylinders_[Index(drive)]; }
    std::uint8_t Side() const { return side_; }
    // Status register of a type I command: index, track 0, head loaded, write protect.
    std::uint8_t TypeOneStatus() const;

    WdReply Status();
    WdReply Seek(std::uint8_t trackIndex);
    WdReply ReadAddresses();
    WdReply ReadSector(std::uint8_t r);
    WdReply ReadTrack();
    WdReply WriteSector(std::uint8_t r, std::span<const std::uint8_t> data);
    WdReply WriteTrack(std::span<const FormatPair> pairs);

  private:
    static std::size_t Index(Drive drive) { return static_cast<std::size_t>(drive); }
    std::uint8_t CurrentTrackIndex() const;
    RawTrack* StoredTrack();
    bool HeadLoaded() const;
    void TouchHead();
    std::size_t RotationPosition(std::size_t trackLength) const;
    void Spend(DriveTime kind, Nanos time);
    void WaitBytes(DriveTime kind, std::size_t bytes, std::size_t trackLength);
    void WaitForPosition(std::size_t position, std::size_t trackLength);
    void WaitForIndex();
    void WaitNotFound();
    WdReply Answer(Bytes data) const;
    WdReply Failure(std::uint8_t status, std::uint8_t sector, Bytes data = {}) const;

    std::array<std::unique_ptr<VirtualDisk>, 2> disks_;
    std::array<std::uint8_t, 2> cylinders_{};
    std::uint8_t side_ = 0;
    std::array<std::uint8_t, 256> registers_{};
    MediaFaults faults_;
    Mechanics mechanics_;
    Nanos now_{};
    DriveTimes spent_{};
    bool headLoaded_ = false;
    Nanos lastAccess_{};
};

}  // namespace morvane::virt
