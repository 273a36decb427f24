// Writing TD0 images in TeleDisk 2.1's layout: "TD" plain or "td" with everything after
// the header LZHUF-compressed (TeleDisk's "advanced" compression). The disk comment goes
// into the comment block; sectors in error and sectors without data carry TeleDisk's
// flags for them, so other TD0 readers see what this program saw.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

// Sector flags of a sector record.
inline constexpr std::uint8_t kTd0FlagCrcError = 0x02;
// The sector has an ID field but no data field; no data block follows its record.
inline constexpr std::uint8_t kTd0FlagNoData = 0x20;

inline constexpr std::uint8_t kTd0WriteVersion = 21;
inline constexpr std::string_view kTd0ErrCommentTooLong =
    "The disk comment is too long for a TD0 file (more than 65535 bytes).";

struct Td0WriteOptions {
    bool compress = false;
    // Comment block date: year - 1900, month 0..11, day, hour, minute, second.
    std::array<std::uint8_t, 6> date{};
};

// Builds the whole file: header, the comment block when the disk has comment lines, one
// track record per present track with its occupied slots, and the end record. Sectors of
// size code 0..6 carry 128 << N bytes (the slot's data, zero-padded); larger codes carry
// the bytes the slot holds. False with error set when the comment does not fit.
bool BuildTd0(const DiskImage& disk, const Td0WriteOptions& options, Bytes& out, std::string& error);

// Today's date and time in the comment block's form.
std::array<std::uint8_t, 6> Td0DateNow();

// The format table's writers, plain and compressed, dated now. False with disk.LastError
// set on a refusal.
bool WriteTd0(DiskImage& disk, Bytes& out);
bool WriteTd0Compressed(DiskImage& disk, Bytes& out);

}  // namespace morvane
