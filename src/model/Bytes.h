// Little-endian reads and writes, a bounds-checked read cursor and whole-file helpers.
// Every file and wire layout in the program is built and parsed through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/FileWrite.h"

namespace morvane {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t GetLe16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
inline std::uint32_t GetLe32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}
inline void PutLe16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutLe32(Bytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
inline void SetLe16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void SetLe32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Reads forward through a byte span. Every read first checks that enough bytes remain;
// a failed check leaves the cursor where it was and returns false.
class ByteCursor {
  public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }
    bool Need(std::size_t n) const { return n <= Remaining(); }

    bool Skip(std::size_t n) {
        if (!Need(n)) return false;
        pos_ += n;
        return true;
    }
    bool Seek(std::size_t position) {
        if (position > bytes_.size()) return false;
        pos_ = position;
        return true;
    }
    bool U8(std::uint8_t& v) {
        if (!Need(1)) return false;
        v = bytes_[pos_++];
        return true;
    }
    bool Le16(std::uint16_t& v) {
        if (!Need(2)) return false;
        v = GetLe16(bytes_, pos_);
        pos_ += 2;
        return true;
    }
    bool Le32(std::uint32_t& v) {
        if (!Need(4)) return false;
        v = GetLe32(bytes_, pos_);
        pos_ += 4;
        return true;
    }
    // A view of the next n bytes; empty optional semantics through the bool.
    bool Take(std::size_t n, std::span<const std::uint8_t>& out) {
        if (!Need(n)) return false;
        out = bytes_.subspan(pos_, n);
        pos_ += n;
        return true;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// The largest file ReadWholeFile takes: many times the largest image the readers accept
// (a disk image file of the program's own format with every buffer full is under 40 MiB).
inline constexpr std::uintmax_t kMaxWholeFileSize = std::uintmax_t{256} << 20;

// Whole-file helpers. ReadWholeFile returns false if the path is not a regular file (or a
// link to one), is larger than kMaxWholeFileSize, or cannot be opened or read. Writing a
// whole file is WriteFileAtomically (model/FileWrite.h).
bool ReadWholeFile(const std::string& path, Bytes& out);

}  // namespace morvane
