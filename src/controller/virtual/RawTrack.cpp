#include "controller/virtual/RawTrack.h"

#include <algorithm>

namespace morvane::virt {

namespace {

constexpr std::uint8_t kSyncA1 = 0xA1;
constexpr std::uint8_t kSyncC2 = 0xC2;
constexpr std::uint8_t kIndexMark = 0xFC;
constexpr std::size_t kLongestSyncRun = 3;

std::size_t BitmapLength(std::size_t bytes) {
    return (bytes + 7) / 8;
}

bool FollowsA1(std::uint8_t mark) {
    return mark == 0xFE || (mark >= 0xF8 && mark <= 0xFB);
}

void SetBit(std::vector<std::uint8_t>& bitmap, std::size_t position) {
    bitmap[position / 8] = static_cast<std::uint8_t>(bitmap[position / 8] | 1u << (position % 8));
}

}  // namespace

RawTrack RawTrack::Blank(std::size_t length) {
    RawTrack track;
    track.Data.assign(length, kGapByte);
    track.Marks.assign(BitmapLength(length), 0);
    return track;
}

RawTrack RawTrack::FromBytes(std::span<const std::uint8_t> bytes,
                             std::span<const std::uint8_t> marks) {
    RawTrack track;
    track.Data.assign(bytes.begin(), bytes.end());
    track.Marks.assign(BitmapLength(bytes.size()), 0);
    std::copy_n(marks.begin(), std::min(marks.size(), track.Marks.size()), track.Marks.begin());
    // Bits past the last byte carry no meaning; keep them clear so comparisons hold.
    if (bytes.size() % 8 != 0 && !track.Marks.empty())
        track.Marks.back() &= static_cast<std::uint8_t>((1u << (bytes.size() % 8)) - 1);
    return track;
}

std::uint8_t RawTrack::At(std::size_t position) const {
    return Empty() ? 0 : Data[Wrap(position)];
}

bool RawTrack::IsMarked(std::size_t position) const {
    if (Empty()) return false;
    const std::size_t p = Wrap(position);
    return (Marks[p / 8] >> (p % 8) & 1) != 0;
}

void RawTrack::Put(std::size_t position, std::uint8_t value, bool marked) {
    if (Empty()) return;
    const std::size_t p = Wrap(position);
    Data[p] = value;
    const auto bit = static_cast<std::uint8_t>(1u << (p % 8));
    Marks[p / 8] = static_cast<std::uint8_t>(marked ? Marks[p / 8] | bit : Marks[p / 8] & ~bit);
}

bool RawTrack::HasAnyMark() const {
    return std::any_of(Marks.begin(), Marks.end(), [](std::uint8_t b) { return b != 0; });
}

std::vector<std::uint8_t> InferClockMarks(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> bitmap(BitmapLength(bytes.size()), 0);
    for (std::size_t i = 2; i < bytes.size(); ++i) {
        std::uint8_t sync = 0;
        if (FollowsA1(bytes[i]))
            sync = kSyncA1;
        else if (bytes[i] == kIndexMark)
            sync = kSyncC2;
        // Two sync bytes before the mark are the least that makes it a mark.
        if (sync == 0 || bytes[i - 1] != sync || bytes[i - 2] != sync) continue;
        for (std::size_t k = 1; k <= kLongestSyncRun && k <= i && bytes[i - k] == sync; ++k)
            SetBit(bitmap, i - k);
    }
    return bitmap;
}

}  // namespace morvane::virt
