#include "controller/virtual/CommandDispatch.h"

#include "controller/virtual/FormatTable.h"

namespace morvane::virt {

namespace {

WdReply Immediate(const Wd1793& fdc, Bytes data) {
    WdReply reply;
    reply.Data = std::move(data);
    reply.ReadyAt = fdc.Now();
    return reply;
}

std::uint8_t Argument(const CommandFrame& frame, std::size_t index) {
    return index < frame.Payload.size() ? frame.Payload[index] : 0;
}

std::vector<WdReply> WriteSector(Wd1793& fdc, const CommandFrame& frame) {
    const std::size_t received = frame.Payload.size();
    std::vector<WdReply> replies;
    replies.push_back(Immediate(
        fdc, {static_cast<std::uint8_t>(received), static_cast<std::uint8_t>(received >> 8)}));
    const std::span<const std::uint8_t> block(frame.Payload);
    const std::uint8_t r = Argument(frame, 0);
    replies.push_back(fdc.WriteSector(r, block.empty() ? block : block.subspan(1)));
    return replies;
}

std::vector<WdReply> WriteTrack(Wd1793& fdc, const CommandFrame& frame) {
    const std::vector<FormatPair> pairs = ParseFormatTable(frame.Payload);
    std::vector<WdReply> replies;
    replies.push_back(Immediate(fdc, {static_cast<std::uint8_t>(pairs.size())}));
    replies.push_back(fdc.WriteTrack(pairs));
    return replies;
}

}  // namespace

std::vector<WdReply> ExecuteCommand(Wd1793& fdc, const CommandFrame& frame) {
    switch (static_cast<CommandCode>(frame.Code)) {
        case CommandCode::Identify: {
            Bytes text(kIdentificationText.begin(), kIdentificationText.end());
            text.push_back(0);
            return {Immediate(fdc, std::move(text))};
        }
        case CommandCode::Status:
            return {fdc.Status()};
        case CommandCode::WriteRegister:
            fdc.WriteRegister(Argument(frame, 0), Argument(frame, 1));
            return {Immediate(fdc, {})};
        case CommandCode::ReadRegister:
            return {Immediate(fdc, {fdc.ReadRegister(Argument(frame, 0))})};
        case CommandCode::Seek:
            return {fdc.Seek(Argument(frame, 0))};
        case CommandCode::ReadAddresses:
            return {fdc.ReadAddresses()};
        case CommandCode::ReadSector:
            return {fdc.ReadSector(Argument(frame, 0))};
        case CommandCode::ReadTrack:
            return {fdc.ReadTrack()};
        case CommandCode::ReadSectors: {
            std::vector<WdReply> replies;
            for (std::uint8_t r : frame.Payload)
                replies.push_back(fdc.ReadSector(r));
            return replies;
        }
        case CommandCode::WriteTrack:
            return WriteTrack(fdc, frame);
        case CommandCode::WriteSector:
            return WriteSector(fdc, frame);
        default:
            return {};
    }
}

}  // namespace morvane::virt
