// The host's side of the wire, written for these tests from the protocol alone: command
// frames, the format table of the format command, and a decoder of the device's byte
// stream. Kept independent of the program's own port code so the two check each other.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "controller/FtdiDriver.h"
#include "model/Bytes.h"

namespace morvane::virt::test {

// Appends byte by byte: GCC 12 at -O3 misreads range inserts into small vectors.
inline void Append(Bytes& out, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        out.push_back(b);
}

inline Bytes ShortFrame(std::uint8_t code, std::initializer_list<std::uint8_t> args = {}) {
    Bytes frame;
    Append(frame, std::array<std::uint8_t, 5>{0x00, 0x00, 0x0A, 0x5A, code});
    for (std::uint8_t b : args)
        frame.push_back(b);
    return frame;
}

inline Bytes BlockFrame(std::uint8_t code, std::span<const std::uint8_t> block) {
    Bytes frame;
    Append(frame, std::array<std::uint8_t, 5>{0x00, 0x00, 0x0A, 0x5A, code});
    PutLe16(frame, static_cast<std::uint16_t>(block.size()));
    Append(frame, block);
    return frame;
}

struct SectorId {
    std::uint8_t C = 0, H = 0, R = 0, N = 1;
};

// The format table of the program's "format track" command: a fixed template of track
// start, sixteen sector groups and track end, with a count of 0 meaning 256.
inline Bytes FormatTableFor(std::span<const SectorId> ids) {
    std::vector<std::pair<std::uint8_t, std::uint8_t>> pairs{
        {80, 0x4E}, {12, 0x00}, {3, 0xF6}, {1, 0xFC}, {50, 0x4E}};
    for (std::size_t s = 0; s < 16; ++s) {
        const SectorId id = s < ids.size() ? ids[s] : SectorId{0, 0, 0, 0};
        pairs.insert(pairs.end(), {{12, 0x00},
                                   {3, 0xF5},
                                   {1, 0xFE},
                                   {1, id.C},
                                   {1, id.H},
                                   {1, id.R},
                                   {1, id.N},
                                   {1, 0xF7},
                                   {22, 0x4E},
                                   {12, 0x00},
                                   {3, 0xF5},
                                   {1, 0xFB}});
        switch (id.N) {
            case 0:
                pairs.push_back({128, 0x00});
                break;
            case 1:
                pairs.push_back({0, 0x00});
                break;
            case 2:
                pairs.insert(pairs.end(), 2, {0, 0x00});
                break;
            case 3:
                pairs.insert(pairs.end(), 4, {0, 0x00});
                break;
            default:
                break;
        }
        pairs.push_back({1, 0xF7});
        pairs.push_back({static_cast<std::uint8_t>(s == 15 ? 0 : 54), 0x4E});
    }
    pairs.push_back({0, 0x4E});
    Bytes table{static_cast<std::uint8_t>(pairs.size())};
    for (auto [count, value] : pairs)
        table.insert(table.end(), {count, value});
    return table;
}

// One answer or error record as the host's decoder builds it.
struct Record {
    bool Error = false;
    Bytes Data;    // answer data, or the data part of an error record
    Bytes Status;  // error record: status bytes
};

// The receive decoder of the protocol: 0x0A starts, 0x0B switches to the status part,
// 0xAA ends; nibble pairs and plain bytes from 0xB0 carry the data.
class StreamDecoder {
  public:
    void Feed(std::span<const std::uint8_t> bytes) {
        for (std::uint8_t b : bytes)
            Feed(b);
    }
    std::vector<Record> Records;
    std::size_t IgnoredBytes = 0;  // bytes outside a frame or without meaning

  private:
    void Feed(std::uint8_t b) {
        if (b == 0x0A) {
            if (!collect_.empty()) CloseError();
            error_ = false;
            answer_ = true;
            Restart();
        } else if (b == 0x0B) {
            if (answer_) savedData_ = collect_;
            if (!answer_) savedData_.clear();
            answer_ = false;
            error_ = true;
            Restart();
        } else if (b == 0xAA) {
            if (answer_) Records.push_back({false, collect_, {}});
            answer_ = false;
            CloseError();
        } else if (!answer_ && !error_) {
            ++IgnoredBytes;
        } else if (b >= 0x20 && b <= 0x2F) {
            high_ = static_cast<std::uint8_t>((b & 0x0F) << 4);
        } else if (b >= 0x30 && b <= 0x3F) {
            collect_.push_back(static_cast<std::uint8_t>(high_ | (b & 0x0F)));
            high_ = 0;
        } else if (b >= 0xB0) {
            high_ = 0;
            collect_.push_back(b);
        } else {
            ++IgnoredBytes;
        }
    }
    void Restart() {
        collect_.clear();
        high_ = 0;
    }
    void CloseError() {
        if (error_) Records.push_back({true, savedData_, collect_});
        error_ = false;
    }

    Bytes collect_;
    Bytes savedData_;
    std::uint8_t high_ = 0;
    bool answer_ = false;
    bool error_ = false;
};

// Drives an FtdiDriver the way the port does: write a frame, read whatever is queued,
// decode it.
class Host {
  public:
    explicit Host(FtdiDriver& driver) : driver_(driver) {}

    FtStatus Open() { return driver_.OpenByDescription("USB <-> Parallel"); }

    FtStatus Send(std::span<const std::uint8_t> frame) {
        std::uint32_t written = 0;
        return driver_.Write(frame, written);
    }

    // Reads every byte the driver holds now; returns them and feeds the decoder.
    Bytes Drain() {
        Bytes all;
        std::uint32_t queued = 0;
        while (driver_.GetQueueStatus(queued) == kFtOk && queued > 0) {
            Bytes chunk(queued);
            std::uint32_t got = 0;
            if (driver_.Read(chunk, got) != kFtOk || got == 0) break;
            all.insert(all.end(), chunk.begin(), chunk.begin() + got);
        }
        decoder.Feed(all);
        return all;
    }

    // Sends a frame and returns the records its answer bytes completed.
    std::vector<Record> Exchange(std::span<const std::uint8_t> frame) {
        const std::size_t before = decoder.Records.size();
        Send(frame);
        Drain();
        return {decoder.Records.begin() + static_cast<std::ptrdiff_t>(before),
                decoder.Records.end()};
    }

    StreamDecoder decoder;

  private:
    FtdiDriver& driver_;
};

}  // namespace morvane::virt::test
