// Raw track images built the way a WD1793 writes a track, for tests that need a sector's
// data CRC as the disk records it.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Bytes.h"
#include "model/Checksums.h"
#include "model/Track.h"

namespace morvane::test {

struct RawSector {
    std::uint8_t c = 0, h = 0, r = 1, n = 1;
    Bytes data;
    std::uint16_t crc = 0;  // 0: the right one
};

inline Bytes RawTrackOf(const std::vector<RawSector>& sectors) {
    Bytes raw(80, 0x4E);
    auto sync = [&raw] {
        raw.insert(raw.end(), 12, 0x00);
        raw.insert(raw.end(), 3, 0xA1);
    };
    for (const RawSector& s : sectors) {
        sync();
        const std::uint16_t idCrc = IdFieldCrc(s.c, s.h, s.r, s.n);
        raw.insert(raw.end(), {0xFE, s.c, s.h, s.r, s.n, std::uint8_t(idCrc >> 8),
                               std::uint8_t(idCrc)});
        raw.insert(raw.end(), 22, 0x4E);
        sync();
        raw.push_back(0xFB);
        raw.insert(raw.end(), s.data.begin(), s.data.end());
        const std::uint16_t crc = s.crc != 0 ? s.crc : DataFieldCrc(0xFB, s.data);
        raw.insert(raw.end(), {std::uint8_t(crc >> 8), std::uint8_t(crc)});
        raw.insert(raw.end(), 54, 0x4E);
    }
    return raw;
}

inline void PutRaw(Track& track, const Bytes& raw) {
    std::copy(raw.begin(), raw.end(), track.Raw.first(raw.size()).begin());
    track.RawLength = static_cast<std::uint16_t>(raw.size());
    track.RawValid = 1;
    track.Present = kPresent;
}

// data with the bytes at the positions turned (XOR 0x55).
inline Bytes Damaged(Bytes data, std::initializer_list<std::size_t> positions) {
    for (std::size_t p : positions)
        data[p] ^= 0x55;
    return data;
}

}  // namespace morvane::test
