#include "formats/td0/Td0SectorData.h"

#include <algorithm>
#include <span>

#include "formats/td0/Td0.h"
#include "model/Geometry.h"

namespace morvane {

namespace {

constexpr std::uint8_t kEncodingRaw = 0;
constexpr std::uint8_t kEncodingPattern = 1;
constexpr std::uint8_t kEncodingBlocks = 2;
constexpr std::uint8_t kBlockRaw = 0;
constexpr std::uint8_t kBlockPattern = 1;
// Encodings 0 and 1 are refused when they would give more data than this.
constexpr std::size_t kMaxPlainData = 5000;

// Writes decoded bytes into a slot's Data from its start. Bytes past the buffer are
// counted but dropped, so an over-long sector is cut at the model's limit.
class SlotWriter {
  public:
    explicit SlotWriter(SectorSlot& slot) : data_(slot.Data) {}

    void Put(std::uint8_t b) {
        if (written_ < data_.size()) data_[written_] = b;
        ++written_;
    }
    void Copy(std::span<const std::uint8_t> bytes) {
        const std::size_t room = data_.size() - std::min(written_, data_.size());
        const auto kept = bytes.first(std::min(room, bytes.size()));
        if (!kept.empty()) {
            const auto target = data_.first(written_ + kept.size()).subspan(written_);
            std::copy(kept.begin(), kept.end(), target.begin());
        }
        written_ += bytes.size();
    }
    void Pattern(std::uint8_t first, std::uint8_t second, std::size_t count) {
        for (; count > 0 && written_ < data_.size(); --count) {
            Put(first);
            Put(second);
        }
        written_ += 2 * count;  // the rest would lie past the buffer
    }
    std::size_t Written() const { return written_; }

  private:
    LazyBuffer& data_;
    std::size_t written_ = 0;
};

std::string_view DecodeBlocks(ByteCursor& in, std::size_t encodedLength, SlotWriter& out) {
    std::size_t used = 0;
    while (used < encodedLength) {
        std::uint8_t type = 0;
        std::uint8_t count = 0;
        if (!in.U8(type)) return kTd0ErrSectorDataCut;
        ++used;
        if (type == kBlockRaw) {
            std::span<const std::uint8_t> bytes;
            if (!in.U8(count) || !in.Take(count, bytes)) return kTd0ErrSectorDataCut;
            used += 1 + std::size_t{count};
            out.Copy(bytes);
        } else if (type == kBlockPattern) {
            std::span<const std::uint8_t> pattern;
            if (!in.U8(count) || !in.Take(2, pattern)) return kTd0ErrSectorDataCut;
            used += 3;
            out.Pattern(pattern[0], pattern[1], count);
        } else {
            return kTd0ErrFormat;
        }
    }
    return {};
}

}  // namespace

std::size_t Td0SectorSize(std::uint8_t sizeCode) {
    return sizeCode < 9 ? std::size_t{128} << sizeCode : 0;
}

std::string_view ReadTd0SectorData(ByteCursor& in, std::uint16_t blockLength, SectorSlot& slot) {
    const std::size_t sectorSize = Td0SectorSize(slot.SizeCode);
    // Holding the sector's size up front spares the byte-wise writes below any growth.
    const std::span<std::uint8_t> zeroed = slot.Data.first(std::min(sectorSize, kTrackBufferSize));
    std::fill(zeroed.begin(), zeroed.end(), std::uint8_t{0});

    // A block of length 0 cannot hold its own encoding byte.
    std::uint8_t encoding = 0;
    if (blockLength == 0 || !in.U8(encoding)) return kTd0ErrSize;
    const std::size_t encodedLength = blockLength - 1u;

    SlotWriter out(slot);
    switch (encoding) {
        case kEncodingRaw: {
            if (blockLength > kMaxPlainData) return kTd0ErrSectorSize;
            std::span<const std::uint8_t> bytes;
            if (!in.Take(encodedLength, bytes)) return kTd0ErrSectorDataCut;
            out.Copy(bytes);
            break;
        }
        case kEncodingPattern: {
            std::uint16_t count = 0;
            std::span<const std::uint8_t> pattern;
            if (!in.Le16(count) || !in.Take(2, pattern)) return kTd0ErrSectorDataCut;
            if (2 * std::size_t{count} > kMaxPlainData) return kTd0ErrSectorSize;
            out.Pattern(pattern[0], pattern[1], count);
            break;
        }
        case kEncodingBlocks: {
            const std::string_view error = DecodeBlocks(in, encodedLength, out);
            if (!error.empty()) return error;
            break;
        }
        default:
            return kTd0ErrFormat;
    }
    slot.DataLength =
        static_cast<std::uint16_t>(std::min(std::max(sectorSize, out.Written()), kTrackBufferSize));
    return {};
}

}  // namespace morvane
