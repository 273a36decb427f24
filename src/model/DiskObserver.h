// What the disk map needs to hear from the image container. The container holds a
// pointer to one observer (the map widget, a recorder in tests, or none).
#pragma once

#include <cstdint>

namespace morvane {

class DiskObserver {
  public:
    virtual ~DiskObserver() = default;
    virtual void SectorCellChanged(std::uint8_t track, std::uint8_t slot) = 0;
    virtual void TrackCellChanged(std::uint8_t track) = 0;
    // Several cells changed: repaint everything where it is.
    virtual void ImageChanged() = 0;
    // The image was emptied: scroll to the top and repaint everything.
    virtual void ImageCleared() = 0;
};

}  // namespace morvane
