// One side of one cylinder: the raw track image as READ TRACK returned it, up to 32
// decoded sectors and the track log. The record itself lives as long as its container; the
// raw image and the slots' data take memory only for what was written into them.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/Geometry.h"
#include "model/LazyBuffer.h"
#include "model/SectorSlot.h"

namespace morvane {

class Track {
  public:
    Track() { Clear(); }
    explicit Track(std::uint8_t number) : Number(number) { Clear(); }

    std::array<SectorSlot, kSlotsPerTrack> Slots{};
    std::uint8_t Number = 0;       // cylinder * 2 + side; Clear keeps it
    std::uint8_t Present = 0;      // 0 or 255
    std::uint8_t SectorCount = 0;  // number of slots whose Present is non-zero
    std::uint8_t RawValid = 0;     // 0 or 1
    std::uint16_t RawLength = 0;   // valid bytes in Raw, 0..6500
    LazyBuffer Raw;                // 6500 bytes
    std::vector<std::string> Log;  // UTF-8 lines

    // Empties every slot, the raw image and the log; Number stays.
    void Clear();
    // Empties slots 0..31; other track fields stay.
    void ClearSlots();
    // Empties one slot (index >= 32: nothing). Only the first 1024 data bytes are
    // zeroed: nothing reads past DataLength.
    void ClearSlot(std::uint8_t index);
    // Decodes the first RawLength bytes of Raw into the slots (ID fields and
    // DataPosition only).
    void ParseRaw();
    // Recounts the occupied slots into SectorCount and returns the count.
    std::uint8_t CountSectors();
    // Slot 0..31, nullptr otherwise.
    SectorSlot* GetSlot(std::uint8_t index);
    const SectorSlot* GetSlot(std::uint8_t index) const;
    LazyBuffer& RawBuffer() { return Raw; }
    // Copies exactly 6500 bytes into Raw; the caller sets RawLength.
    void SetRaw(std::span<const std::uint8_t, kTrackBufferSize> source);
};

}  // namespace morvane
