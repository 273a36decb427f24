// Builds small TD0 files for the tests: header with its CRC, optional comment block, track
// and sector records with data in any of the three encodings, and the end mark. With the
// "td" signature the body is packed as LZHUF literals.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "LzhTestEncoder.h"
#include "model/Bytes.h"
#include "model/Checksums.h"

namespace morvane::test {

class Td0TestWriter {
  public:
    std::string signature = "TD";
    std::uint8_t version = 21;
    bool withComment = false;

    Td0TestWriter& Comment(const std::string& text) {
        withComment = true;
        PutLe16(body, 0x1234);  // block CRC, never checked
        PutLe16(body, static_cast<std::uint16_t>(text.size()));
        for (std::uint8_t b : {108, 3, 31, 23, 59, 58})  // 2008-04-01 23:59:58
            body.push_back(b);
        body.insert(body.end(), text.begin(), text.end());
        return *this;
    }
    Td0TestWriter& Track(std::uint8_t sectors, std::uint8_t cylinder, std::uint8_t head,
                         std::uint8_t crc = 0) {
        for (std::uint8_t b : {sectors, cylinder, head, crc})
            body.push_back(b);
        return *this;
    }
    Td0TestWriter& Sector(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n,
                          std::uint8_t flags = 0, std::uint8_t crc = 0) {
        for (std::uint8_t b : {c, h, r, n, flags, crc})
            body.push_back(b);
        return *this;
    }
    // Encoding 0.
    Td0TestWriter& Raw(std::span<const std::uint8_t> data) {
        PutLe16(body, static_cast<std::uint16_t>(data.size() + 1));
        body.push_back(0);
        body.insert(body.end(), data.begin(), data.end());
        return *this;
    }
    // Encoding 1.
    Td0TestWriter& Pattern(std::uint16_t count, std::uint8_t first, std::uint8_t second) {
        PutLe16(body, 5);
        body.push_back(1);
        PutLe16(body, count);
        body.push_back(first);
        body.push_back(second);
        return *this;
    }
    // Encoding 2 with the given blocks (built with RawBlock / PatternBlock).
    Td0TestWriter& Blocks(const Bytes& blocks) {
        PutLe16(body, static_cast<std::uint16_t>(blocks.size() + 1));
        body.push_back(2);
        body.insert(body.end(), blocks.begin(), blocks.end());
        return *this;
    }
    Td0TestWriter& RawBytes(std::initializer_list<std::uint8_t> bytes) {
        body.insert(body.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Td0TestWriter& End() {
        body.push_back(0xFF);
        return *this;
    }

    static void RawBlock(Bytes& blocks, std::span<const std::uint8_t> data) {
        blocks.push_back(0);
        blocks.push_back(static_cast<std::uint8_t>(data.size()));
        blocks.insert(blocks.end(), data.begin(), data.end());
    }
    static void PatternBlock(Bytes& blocks, std::uint8_t count, std::uint8_t a, std::uint8_t b) {
        for (std::uint8_t x : {std::uint8_t{1}, count, a, b})
            blocks.push_back(x);
    }

    Bytes Header() const {
        Bytes h{static_cast<std::uint8_t>(signature[0]),
                static_cast<std::uint8_t>(signature[1]),
                0x00,
                0x00,
                version,
                0x00,
                0x02,
                static_cast<std::uint8_t>(withComment ? 0x80 : 0x00),
                0x00,
                0x02};
        PutLe16(h, Td0Crc16(h));
        return h;
    }

    Bytes File() const {
        Bytes file = Header();
        if (signature == "td") {
            LzhTestEncoder enc;
            for (std::uint8_t b : body)
                enc.Literal(b);
            const Bytes packed = enc.Finish();
            file.insert(file.end(), packed.begin(), packed.end());
        } else {
            file.insert(file.end(), body.begin(), body.end());
        }
        return file;
    }

    Bytes body;
};

}  // namespace morvane::test
