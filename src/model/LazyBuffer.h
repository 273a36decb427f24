// The 6500-byte buffer of a raw track or of a sector's data. It reads like a
// std::array<std::uint8_t, 6500> but holds memory only for its leading bytes that were
// written: a disk image of 166 tracks x 32 slots would otherwise take 35 MB whatever it
// holds. Bytes never written read as zeros.
//
// Cost model, which callers on hot paths rely on:
// - const reads never allocate, except a whole-buffer view (data(), begin(), end(), a
//   span over the whole buffer) of a partly held buffer, which makes it whole;
// - first(n) and operator[] hold only what they reach; non-const data()/begin()/end()
//   hold all 6500 bytes, since the caller may write anywhere;
// - fill(0), ZeroFirst and a copy from a smaller buffer touch only held bytes.
// Held memory stays where it is until the buffer grows, is moved from or destroyed; growth
// moves the bytes, so take pointers after the writes that size the buffer.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "model/Geometry.h"

namespace morvane {

class LazyBuffer {
  public:
    using value_type = std::uint8_t;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = std::uint8_t&;
    using const_reference = const std::uint8_t&;
    using pointer = std::uint8_t*;
    using const_pointer = const std::uint8_t*;
    using iterator = std::uint8_t*;
    using const_iterator = const std::uint8_t*;

    LazyBuffer() = default;
    LazyBuffer(const LazyBuffer& other);
    LazyBuffer& operator=(const LazyBuffer& other);
    LazyBuffer(LazyBuffer&& other) noexcept;
    LazyBuffer& operator=(LazyBuffer&& other) noexcept;
    ~LazyBuffer() = default;

    static constexpr size_type size() { return kTrackBufferSize; }
    // Leading bytes backed by memory (0 = none).
    size_type Held() const { return held_; }

    // Reads.
    const_reference operator[](size_type i) const {
        assert(i < size());
        return i < held_ ? bytes_[i] : ZeroBlock()[i];
    }
    std::span<const std::uint8_t> first(size_type n) const;
    const std::uint8_t* data() const;
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size(); }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }
    const_reference front() const { return (*this)[0]; }
    const_reference back() const { return (*this)[size() - 1]; }
    // The whole buffer as a fixed-size view, for code that scans all of it.
    std::span<const std::uint8_t, kTrackBufferSize> Whole() const {
        return std::span<const std::uint8_t, kTrackBufferSize>(data(), size());
    }

    // Writes.
    reference operator[](size_type i) {
        assert(i < size());
        if (i >= held_) Hold(i + 1);  // inline test: byte-wise writers call this per byte
        return bytes_[i];
    }
    std::span<std::uint8_t> first(size_type n);
    std::uint8_t* data();
    iterator begin() { return data(); }
    iterator end() { return data() + size(); }
    reference front() { return (*this)[0]; }
    reference back() { return (*this)[size() - 1]; }
    void fill(std::uint8_t value);
    // Sets bytes 0..n-1 to 0; bytes not held already read as 0, so nothing is allocated.
    void ZeroFirst(size_type n);

    friend bool operator==(const LazyBuffer& a, const LazyBuffer& b);

  private:
    static const std::uint8_t* ZeroBlock();
    // Makes at least the first n bytes held, keeping their contents. Const reads use it
    // too: it does not change what the buffer reads as.
    void Hold(size_type n) const;

    mutable std::unique_ptr<std::uint8_t[]> bytes_;
    mutable size_type held_ = 0;
};

}  // namespace morvane
