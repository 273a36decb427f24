#include "ControllerCommands.h"

namespace morvane {

namespace {

Bytes FrameStart(CommandCode code, std::size_t reserve) {
    Bytes frame;
    frame.reserve(reserve);
    frame.insert(frame.end(), std::begin(kFrameHeader), std::end(kFrameHeader));
    frame.push_back(static_cast<std::uint8_t>(code));
    return frame;
}

}  // namespace

std::optional<Bytes> BuildShortFrame(CommandCode code, std::span<const std::uint8_t> args) {
    if (args.size() > kShortFrameMaxArgs) return std::nullopt;
    Bytes frame = FrameStart(code, 5 + args.size());
    frame.insert(frame.end(), args.begin(), args.end());
    return frame;
}

std::optional<Bytes> BuildBlockFrame(CommandCode code, std::span<const std::uint8_t> block) {
    if (block.size() > kMaxBlockLength) return std::nullopt;
    Bytes frame = FrameStart(code, kBlockFrameOverhead + block.size());
    PutLe16(frame, static_cast<std::uint16_t>(block.size()));
    frame.insert(frame.end(), block.begin(), block.end());
    return frame;
}

}  // namespace morvane
