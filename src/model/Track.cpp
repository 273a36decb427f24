#include "model/Track.h"

#include <algorithm>

namespace morvane {

namespace {
// Only this much of a slot's data buffer is zeroed when it is emptied.
constexpr std::size_t kSlotClearBytes = 1024;
}  // namespace

void Track::Clear() {
    ClearSlots();
    Present = 0;
    SectorCount = 0;
    RawValid = 0;
    RawLength = 0;
    Raw.fill(0);
    Log.clear();
}

void Track::ClearSlots() {
    for (std::uint8_t i = 0; i < kSlotsPerTrack; ++i)
        ClearSlot(i);
}

void Track::ClearSlot(std::uint8_t index) {
    SectorSlot* slot = GetSlot(index);
    if (slot == nullptr) return;
    if (slot->Present != 0 && SectorCount > 0) --SectorCount;
    slot->Present = 0;
    slot->Cylinder = 0;
    slot->Head = 0;
    slot->Sector = 0;
    slot->SizeCode = 0;
    slot->HeaderCrc = 0;
    slot->Reserved = 0;
    slot->DataGood = 0;
    slot->DataLength = 0;
    slot->DataPosition = 0;
    slot->Data.ZeroFirst(kSlotClearBytes);
    slot->Origin = SectorOrigin::Unmerged;
    slot->History = {};
}

std::uint8_t Track::CountSectors() {
    SectorCount = static_cast<std::uint8_t>(
        std::count_if(Slots.begin(), Slots.end(), [](const SectorSlot& s) { return s.Present; }));
    return SectorCount;
}

SectorSlot* Track::GetSlot(std::uint8_t index) {
    return index < kSlotsPerTrack ? &Slots[index] : nullptr;
}

const SectorSlot* Track::GetSlot(std::uint8_t index) const {
    return index < kSlotsPerTrack ? &Slots[index] : nullptr;
}

void Track::SetRaw(std::span<const std::uint8_t, kTrackBufferSize> source) {
    std::copy(source.begin(), source.end(), Raw.first(source.size()).begin());
}

}  // namespace morvane
