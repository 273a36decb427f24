// The raw image the sector view shows for a track that has none of its own: the track as
// the UDI writer would build it.
#include "formats/udi/UdiTrackBuilder.h"
#include "ui/views/SectorViewRules.h"

namespace morvane {

bool BuildShownRawTrack(const DiskImage& disk, std::uint8_t track, std::vector<std::uint8_t>& out) {
    const Track* t = disk.GetTrack(track);
    if (t == nullptr) return false;
    // The container form of the builder records failures in the disk's FailTrack, which
    // belongs to the last UDI write; showing a track must not touch it.
    UdiTrackParams params;
    params.TrackToBuild = t;
    params.BaseTrack = UsableBaseTrack(disk);
    params.NoTrackRestore = disk.NoTrackRestore;
    UdiTrackImage image;
    if (!BuildUdiTrack(params, image).Ok) return false;
    out.assign(image.Bytes.begin(), image.Bytes.end());
    return true;
}

}  // namespace morvane
