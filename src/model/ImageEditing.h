// Editing commands of the disk map's context menu that act on the image alone. The
// window calls them with the cell under the mouse; questions and messages go through
// ImageEditHost so the commands run without a window.
#pragma once

#include <cstdint>
#include <string>

#include "model/UserQuestion.h"
#include "model/DiskImage.h"

namespace morvane {

class ImageEditHost : public UserAsker {
  public:
    // Empties the operation log and brings its page to the front.
    virtual void ClearAndShowLog() = 0;
};

// A cell of the disk map: column 0 is the track label, column c >= 1 shows slot c - 1.
struct MapCell {
    std::uint8_t track = 0;
    int column = 0;
    bool IsTrackLabel() const { return column == 0; }
    std::uint8_t Slot() const { return static_cast<std::uint8_t>(column - 1); }
};

inline constexpr const char* kUseBaseTemplateCaption =
    "Использовать базовый шаблон для всех дорожек";

void AddTrack(DiskImage& disk, std::uint8_t track);
// Marks the track absent; raw image, slots and log stay and come back with AddTrack.
void RemoveTrack(DiskImage& disk, std::uint8_t track);
// Marks the cell's slot absent (its other fields stay). On the label column it reports
// that no sector is selected and changes nothing.
void RemoveSector(DiskImage& disk, ImageEditHost& host, const MapCell& cell);
// Asks, then zeroes the raw image of the cell's track (label column only). Slots and log
// stay. Returns whether the raw image was cleared.
bool ClearRawTrack(DiskImage& disk, ImageEditHost& host, const MapCell& cell);
// Makes the track the base template; returns the new caption of the "use the base
// template" menu entry.
std::string SetBaseTrack(DiskImage& disk, std::uint8_t track);
// The check item "use the base template for all tracks": returns the new check state.
bool ToggleUseBaseTrack(DiskImage& disk, bool checked);
// Asks, then empties the whole image. Returns whether it was emptied.
bool ConfirmAndClearImage(DiskImage& disk, ImageEditHost& host);

}  // namespace morvane
