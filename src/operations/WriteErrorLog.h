// What the operations log when the device reports a failed write or format: one line per
// set bit of the status byte, from one table of bit texts.
#pragma once

#include <QString>

#include <cstdint>

namespace morvane {

class OperationSession;

// Every bit the table names: write protect, write fault, record not found, CRC, lost data.
inline constexpr std::uint8_t kAllWriteErrorBits = 0x40 | 0x20 | 0x10 | 0x08 | 0x04;
// The bits a format of the selected track reports: write protect, write fault, lost data.
inline constexpr std::uint8_t kFormatErrorBits = 0x40 | 0x20 | 0x04;

// "Время ожидания вышло..!", the box of a write or format that got no answer.
inline constexpr const char* kTextWriteTimeout = "Время ожидания вышло..!";

// One log line per bit set in both status and bits, highest bit first: prefix, then the
// bit's text in double quotes.
void LogWriteErrors(OperationSession& session, std::uint8_t status, const QString& prefix,
                    std::uint8_t bits = kAllWriteErrorBits);

}  // namespace morvane
