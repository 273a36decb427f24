// Command frames as the controller receives them from the host: the header 00 00 0A 5A,
// a command code, then either up to two argument bytes (short form, their number fixed
// by the code) or a 16-bit little-endian length and a data block (block form).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/Bytes.h"

namespace morvane::virt {

enum class CommandCode : std::uint8_t {
    Identify = 0x00,
    Status = 0x02,
    WriteRegister = 0x04,
    ReadRegister = 0x05,
    Seek = 0x10,
    ReadAddresses = 0x20,
    ReadSector = 0x21,
    ReadTrack = 0x23,
    ReadSectors = 0x24,
    WriteTrack = 0x30,
    WriteSector = 0x31,
};

inline constexpr std::uint8_t kFrameHeader[4] = {0x00, 0x00, 0x0A, 0x5A};

struct CommandFrame {
    std::uint8_t Code = 0;
    bool Known = true;   // a code of the command table
    bool Block = false;  // block form
    Bytes Payload;       // the argument bytes, or the block
};

// How a code's frame continues: the number of argument bytes of a short frame, or
// nullopt for a block frame. Codes outside the table count as short with no argument.
std::optional<std::size_t> ShortArgumentCount(std::uint8_t code);
bool IsKnownCode(std::uint8_t code);

// Recognises frames in the byte stream from the host. Frames may arrive cut into any
// pieces; bytes outside a frame are passed over until the next header.
class FrameParser {
  public:
    // Parses the bytes; every frame they complete is appended to frames.
    void Feed(std::span<const std::uint8_t> bytes, std::vector<CommandFrame>& frames);
    void Reset();
    bool InsideFrame() const { return state_ != State::Header; }

  private:
    enum class State { Header, Code, Arguments, LengthLow, LengthHigh, Block };
    void Finish(std::vector<CommandFrame>& frames);

    State state_ = State::Header;
    std::uint32_t window_ = 0xFFFFFFFF;  // the last four bytes seen outside a frame
    CommandFrame frame_;
    std::size_t expected_ = 0;
};

}  // namespace morvane::virt
