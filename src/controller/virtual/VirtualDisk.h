// A disk in an emulated drive: 166 raw tracks with clock marks (83 cylinders, 2 sides)
// and its write-protect tab.
#pragma once

#include <cstdint>
#include <vector>

#include "controller/virtual/RawTrack.h"

namespace morvane::virt {

class VirtualDisk {
  public:
    VirtualDisk();  // every track blank and not present: a new, unformatted disk

    // Track index 0..165 (cylinder * 2 + side); nullptr otherwise.
    RawTrack* Track(std::uint8_t index);
    const RawTrack* Track(std::uint8_t index) const;
    bool SetTrack(std::uint8_t index, RawTrack track);

    bool WriteProtected = false;

  private:
    std::vector<RawTrack> tracks_;
};

}  // namespace morvane::virt
