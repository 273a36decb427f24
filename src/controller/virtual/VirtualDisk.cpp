#include "controller/virtual/VirtualDisk.h"

#include <utility>

#include "model/Geometry.h"

namespace morvane::virt {

VirtualDisk::VirtualDisk() : tracks_(kTrackCount, RawTrack::Blank()) {}

RawTrack* VirtualDisk::Track(std::uint8_t index) {
    return index < tracks_.size() ? &tracks_[index] : nullptr;
}

const RawTrack* VirtualDisk::Track(std::uint8_t index) const {
    return index < tracks_.size() ? &tracks_[index] : nullptr;
}

bool VirtualDisk::SetTrack(std::uint8_t index, RawTrack track) {
    if (index >= tracks_.size()) return false;
    tracks_[index] = std::move(track);
    return true;
}

}  // namespace morvane::virt
