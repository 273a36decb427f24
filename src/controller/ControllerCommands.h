// The command frames the program sends to the floppy controller, their codes, and the
// small result codes of the exchanges.
//
//   short frame: 00 00 0A 5A code [arg1 [arg2]]             5, 6 or 7 bytes
//   block frame: 00 00 0A 5A code lenLo lenHi block...      length + 7 bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "model/Bytes.h"

namespace morvane {

// Command codes.
enum class CommandCode : std::uint8_t {
    Identify = 0x00,       // answer: zero-terminated text
    Status = 0x02,         // answer byte 0: status register
    WriteRegister = 0x04,  // args: register, value
    ReadRegister = 0x05,   // arg: register; answer byte 0
    Seek = 0x10,           // arg: track index; answer byte 1
    ReadAddresses = 0x20,  // answer: 6-byte ID fields
    ReadSector = 0x21,     // arg: sector number R
    ReadTrack = 0x23,      // answer: raw track image
    ReadSectors = 0x24,    // block: sector numbers
    WriteTrack = 0x30,     // block: format table
    WriteSector = 0x31,    // block: R, then the data
};

inline constexpr std::uint8_t kFrameHeader[4] = {0x00, 0x00, 0x0A, 0x5A};
inline constexpr std::size_t kShortFrameMaxArgs = 2;
inline constexpr std::size_t kBlockFrameOverhead = 7;
inline constexpr std::size_t kMaxBlockLength = 0xFFFF;
inline constexpr std::size_t kSendPieceSize = 1000;  // the most of a frame sent at once

// Outcome of a wait for the controller.
enum class WaitResult {
    Answer = 1,
    Error = 2,
    Timeout = 3,
    // The link went away during the wait (stopped, switched, device gone, program quitting).
    LinkLost = 4,
    // Another exchange is waiting: nothing was sent and no record was touched.
    Refused = 5,
};

// Reserved results of a status query.
inline constexpr std::uint8_t kStatusErrorRecord = 254;
inline constexpr std::uint8_t kStatusTimedOut = 255;

// What stands behind a status query's result; the two reserved values alone cannot tell
// a lost link or a malformed answer from a time-out or an error record.
enum class StatusOutcome {
    Status,       // the status byte of an answer
    ErrorRecord,  // 254
    TimedOut,     // 255
    LinkLost,     // 255: the link ended during the wait
    EmptyAnswer,  // 254: an answer without its data byte, taken as an error
    Refused,      // 255: another exchange was waiting; nothing was sent
};

inline constexpr std::uint8_t kLastTrackIndex = 165;
inline constexpr int kSeekTries = 10;

// The drive-control register: bit 0 chooses the drive, bits 2..5 are kept as read,
// bits 1, 6 and 7 are written as 0.
inline constexpr std::uint8_t kDriveControlRegister = 0x28;
inline constexpr std::uint8_t kDriveControlKeepMask = 0x3C;
inline constexpr std::uint8_t kDriveControlDriveB = 0x01;

enum class Drive { A, B };

// The value to write into the drive-control register, from the value read and the drive.
constexpr std::uint8_t DriveControlValue(std::uint8_t read, Drive drive) {
    return static_cast<std::uint8_t>((read & kDriveControlKeepMask) |
                                     (drive == Drive::B ? kDriveControlDriveB : 0));
}

// A short frame; more than two arguments is a caller's fault and gives no frame.
std::optional<Bytes> BuildShortFrame(CommandCode code, std::span<const std::uint8_t> args);

// A block frame; a block longer than 65535 bytes cannot be framed and gives no frame.
std::optional<Bytes> BuildBlockFrame(CommandCode code, std::span<const std::uint8_t> block);

}  // namespace morvane
