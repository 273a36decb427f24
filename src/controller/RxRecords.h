// The records the receive decoder builds from the controller's byte stream, and the
// capacities of the receive side. Input beyond a capacity is cut and the record says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvane {

inline constexpr std::size_t kCollectCapacity = 32768;    // bytes of one part in progress
inline constexpr std::size_t kAnswerCapacity = 8000;      // data bytes of an answer record
inline constexpr std::size_t kErrorStatusCapacity = 100;  // status bytes of an error record
inline constexpr std::size_t kErrorDataCapacity = 6500;   // data bytes of an error record

// An answer: the data bytes between 0x0A and 0xAA.
struct AnswerRecord {
    std::vector<std::uint8_t> data;
    bool truncated = false;  // more bytes arrived than the record holds

    std::uint32_t Length() const { return static_cast<std::uint32_t>(data.size()); }
    // Byte i, or 0 past the end, so a short answer never makes a caller read stale memory.
    std::uint8_t Byte(std::size_t i) const { return i < data.size() ? data[i] : 0; }
};

// An error answer: the data part (bytes before 0x0B) and the status part (after it).
// Status byte 0 is the WD1793 status register, status byte 1 the sector concerned.
struct ErrorRecord {
    std::vector<std::uint8_t> status;
    std::vector<std::uint8_t> data;
    bool truncated = false;

    std::uint32_t StatusLength() const { return static_cast<std::uint32_t>(status.size()); }
    std::uint32_t DataLength() const { return static_cast<std::uint32_t>(data.size()); }
    std::uint8_t StatusByte(std::size_t i) const { return i < status.size() ? status[i] : 0; }
    std::uint8_t DataByte(std::size_t i) const { return i < data.size() ? data[i] : 0; }
};

}  // namespace morvane
