// The device-to-host byte stream: an answer is 0x0A, its data, 0xAA; an error record is
// 0x0A, its data part, 0x0B, its status bytes, 0xAA. A data byte below 0xB0 travels as
// two bytes, 0x20 + high nibble and 0x30 + low nibble; a byte from 0xB0 up stands for
// itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>

#include "model/Bytes.h"

namespace morvane::virt {

inline constexpr std::uint8_t kAnswerStart = 0x0A;
inline constexpr std::uint8_t kErrorMarker = 0x0B;
inline constexpr std::uint8_t kAnswerEnd = 0xAA;
inline constexpr std::uint8_t kFirstPlainByte = 0xB0;

void AppendPayload(Bytes& out, std::span<const std::uint8_t> data);
Bytes EncodeAnswer(std::span<const std::uint8_t> data);
Bytes EncodeError(std::span<const std::uint8_t> data, std::span<const std::uint8_t> status);

// Line noise between frames: bytes the host's decoder passes over outside a frame (any
// value but the three markers).
Bytes MakeGarbage(std::mt19937& random, std::size_t count);

// Harsher noise of about count bytes: plain noise, possibly a stray end marker, and the
// start of a frame that breaks off after a few data bytes. A decoder that drops a partial
// frame at the next frame start passes it over; it never holds an error mark, and nothing
// after its frame start ends a frame.
Bytes MakeTornFrame(std::mt19937& random, std::size_t count);

// Noise that holds a stray error mark followed by data bytes. The receive rules take an
// error mark outside a frame as the start of an error record, which the next frame start
// closes: this noise makes an error record the device never sent.
Bytes MakeStrayErrorMark(std::mt19937& random, std::size_t count);

}  // namespace morvane::virt
