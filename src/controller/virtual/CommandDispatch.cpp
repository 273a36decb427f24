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
    switch (frame.Code) {
        case cmdIdentify: {
            Bytes text(kIdentificationText.begin(), kIdentificationText.end());
            text.push_back(0);
            return {Immediate(fdc, std::move(text))};
        }
        case cmdStatus:
            return {fdc.Status()};
        case cmdWriteRegister:
            fdc.WriteRegister(Argument(frame, 0), Argument(frame, 1));
            return {Immediate(fdc, {})};
        case cmdReadRegister:
            return {Immediate(fdc, {fdc.ReadRegister(Argument(frame, 0))})};
        case cmdSeek:
            return {fdc.Seek(Argument(frame, 0))};
        case cmdReadAddresses:
            return {fdc.ReadAddresses()};
        case cmdReadSector:
            return {fdc.ReadSector(Argument(frame, 0))};
        case cmdReadTrack:
            return {fdc.ReadTrack()};
        case cmdReadSectors: {
            std::vector<WdReply> replies;
            for (std::uint8_t r : frame.Payload)
                replies.push_back(fdc.ReadSector(r));
            return replies;
        }
        case cmdWriteTrack:
            return WriteTrack(fdc, frame);
        case cmdWriteSector:
            return WriteSector(fdc, frame);
        default:
            return {};
    }
}

}  // namespace morvane::virt
