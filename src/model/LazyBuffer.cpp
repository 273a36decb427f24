#include "model/LazyBuffer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

namespace morvane {

namespace {
// The smallest sector; buffers grow by doubling from here so that byte-by-byte writes
// do not reallocate at every byte.
constexpr std::size_t kMinHeld = 128;

constinit const std::array<std::uint8_t, kTrackBufferSize> kZeros{};
}  // namespace

LazyBuffer::LazyBuffer(const LazyBuffer& other) {
    *this = other;
}

LazyBuffer& LazyBuffer::operator=(const LazyBuffer& other) {
    if (&other == this) return *this;
    Hold(other.held_);
    std::copy_n(other.bytes_.get(), other.held_, bytes_.get());
    std::fill(bytes_.get() + other.held_, bytes_.get() + held_, std::uint8_t{0});
    return *this;
}

LazyBuffer::LazyBuffer(LazyBuffer&& other) noexcept
    : bytes_(std::move(other.bytes_)), held_(std::exchange(other.held_, 0)) {}

LazyBuffer& LazyBuffer::operator=(LazyBuffer&& other) noexcept {
    if (&other == this) return *this;
    bytes_ = std::move(other.bytes_);
    held_ = std::exchange(other.held_, 0);
    return *this;
}

const std::uint8_t* LazyBuffer::ZeroBlock() {
    return kZeros.data();
}

void LazyBuffer::Hold(size_type n) const {
    n = std::min(n, size());
    if (n <= held_) return;
    const size_type grown = std::min(size(), std::max({std::bit_ceil(n), 2 * held_, kMinHeld}));
    auto bytes = std::make_unique<std::uint8_t[]>(grown);  // zeroed
    std::copy_n(bytes_.get(), held_, bytes.get());
    bytes_ = std::move(bytes);
    held_ = grown;
}

std::span<const std::uint8_t> LazyBuffer::first(size_type n) const {
    assert(n <= size());
    if (held_ == 0) return {ZeroBlock(), n};
    Hold(n);
    return {bytes_.get(), n};
}

const std::uint8_t* LazyBuffer::data() const {
    if (held_ == 0) return ZeroBlock();
    Hold(size());
    return bytes_.get();
}

std::span<std::uint8_t> LazyBuffer::first(size_type n) {
    assert(n <= size());
    Hold(n);
    return {bytes_.get(), n};
}

std::uint8_t* LazyBuffer::data() {
    Hold(size());
    return bytes_.get();
}

void LazyBuffer::fill(std::uint8_t value) {
    if (value == 0) {
        ZeroFirst(size());
        return;
    }
    Hold(size());
    std::fill_n(bytes_.get(), size(), value);
}

void LazyBuffer::ZeroFirst(size_type n) {
    std::fill_n(bytes_.get(), std::min(n, held_), std::uint8_t{0});
}

bool operator==(const LazyBuffer& a, const LazyBuffer& b) {
    const LazyBuffer& shorter = a.held_ <= b.held_ ? a : b;
    const LazyBuffer& longer = a.held_ <= b.held_ ? b : a;
    const auto tail = std::span(longer.bytes_.get(), longer.held_).subspan(shorter.held_);
    return std::equal(shorter.bytes_.get(), shorter.bytes_.get() + shorter.held_,
                      longer.bytes_.get()) &&
           std::all_of(tail.begin(), tail.end(), [](std::uint8_t byte) { return byte == 0; });
}

}  // namespace morvane
