#include "controller/virtual/CommandFrame.h"

#include <utility>

namespace morvane::virt {

namespace {

constexpr std::uint32_t kHeaderWord = 0x00000A5A;

}  // namespace

std::optional<std::size_t> ShortArgumentCount(std::uint8_t code) {
    switch (static_cast<CommandCode>(code)) {
        case CommandCode::WriteRegister:
            return 2;
        case CommandCode::ReadRegister:
        case CommandCode::Seek:
        case CommandCode::ReadSector:
            return 1;
        case CommandCode::ReadSectors:
        case CommandCode::WriteTrack:
        case CommandCode::WriteSector:
            return std::nullopt;
        default:
            return 0;
    }
}

bool IsKnownCode(std::uint8_t code) {
    switch (static_cast<CommandCode>(code)) {
        case CommandCode::Identify:
        case CommandCode::Status:
        case CommandCode::WriteRegister:
        case CommandCode::ReadRegister:
        case CommandCode::Seek:
        case CommandCode::ReadAddresses:
        case CommandCode::ReadSector:
        case CommandCode::ReadTrack:
        case CommandCode::ReadSectors:
        case CommandCode::WriteTrack:
        case CommandCode::WriteSector:
            return true;
        default:
            return false;
    }
}

void FrameParser::Reset() {
    state_ = State::Header;
    window_ = 0xFFFFFFFF;
    frame_ = {};
    expected_ = 0;
}

void FrameParser::Finish(std::vector<CommandFrame>& frames) {
    frames.push_back(std::move(frame_));
    Reset();
}

void FrameParser::Feed(std::span<const std::uint8_t> bytes, std::vector<CommandFrame>& frames) {
    for (std::uint8_t b : bytes) {
        switch (state_) {
            case State::Header:
                window_ = window_ << 8 | b;
                if (window_ == kHeaderWord) state_ = State::Code;
                break;
            case State::Code: {
                frame_ = {};
                frame_.Code = b;
                frame_.Known = IsKnownCode(b);
                const auto arguments = ShortArgumentCount(b);
                if (!arguments) {
                    frame_.Block = true;
                    state_ = State::LengthLow;
                } else if (*arguments == 0) {
                    Finish(frames);
                } else {
                    expected_ = *arguments;
                    state_ = State::Arguments;
                }
                break;
            }
            case State::Arguments:
                frame_.Payload.push_back(b);
                if (frame_.Payload.size() == expected_) Finish(frames);
                break;
            case State::LengthLow:
                expected_ = b;
                state_ = State::LengthHigh;
                break;
            case State::LengthHigh:
                expected_ |= std::size_t{b} << 8;
                if (expected_ == 0) {
                    Finish(frames);
                } else {
                    frame_.Payload.reserve(expected_);
                    state_ = State::Block;
                }
                break;
            case State::Block:
                frame_.Payload.push_back(b);
                if (frame_.Payload.size() == expected_) Finish(frames);
                break;
        }
    }
}

}  // namespace morvane::virt
