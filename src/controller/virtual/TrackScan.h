// What the WD1793's data separator finds on a track: address marks (the first byte with a
// clock after one or more sync bytes without one), ID fields and the data field that
// belongs to an ID field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "controller/virtual/RawTrack.h"
#include "model/DataMarkWindow.h"

namespace morvane::virt {

inline constexpr std::uint8_t kIdAddressMark = 0xFE;
inline constexpr std::uint8_t kDataAddressMark = 0xFB;
inline constexpr std::uint8_t kDeletedDataAddressMark = 0xF8;
inline constexpr std::uint8_t kIndexAddressMark = 0xFC;
inline constexpr std::uint8_t kSyncByte = 0xA1;
inline constexpr std::uint8_t kIndexSyncByte = 0xC2;
inline constexpr std::size_t kIdFieldLength = 6;  // C H R N CRC-high CRC-low

// Positions (0 .. length-1) of the address mark bytes, in order from the index.
std::vector<std::size_t> FindAddressMarks(const RawTrack& track);

struct IdField {
    std::size_t MarkPosition = 0;  // the FE byte
    std::uint8_t C = 0, H = 0, R = 0, N = 0;
    std::uint16_t StoredCrc = 0;
    bool CrcGood = false;
    std::size_t EndPosition() const { return MarkPosition + kIdFieldLength; }  // last CRC byte
};

// ID fields in physical order from the index.
std::vector<IdField> ReadIdFields(const RawTrack& track);

struct DataField {
    std::size_t MarkPosition = 0;  // the FB or F8 byte; data follows it
    std::uint8_t Mark = kDataAddressMark;
};

// The data field of an ID field: a data mark within the WD1793's window after the ID CRC
// and before any other address mark (DataMarkWithinWindow).
std::optional<DataField> FindDataField(const RawTrack& track, const IdField& id);

// The data length of a size code as the WD1793 takes it: only the two low bits count.
constexpr std::size_t WdSectorSize(std::uint8_t sizeCode) {
    return std::size_t{128} << (sizeCode & 3);
}

}  // namespace morvane::virt
