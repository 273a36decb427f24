// The in-memory disk image: 166 tracks created once and kept for the container's life,
// plus the image-level fields that readers, writers and the map share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/DiskObserver.h"
#include "model/Geometry.h"
#include "model/LoadNotes.h"
#include "model/Track.h"

namespace morvane {

class DiskImage {
  public:
    DiskImage();
    DiskImage(const DiskImage&) = delete;
    DiskImage& operator=(const DiskImage&) = delete;

    std::string ImagePath;  // kept in the native image; at most 255 bytes are stored
    std::uint8_t TrackCount = 0;
    bool UseBaseTrack = false;
    std::uint8_t BaseTrack = kNoBaseTrack;
    bool NoTrackRestore = false;
    std::vector<std::string> DiskLog;  // the disk comment, UTF-8 lines
    std::string LastError;
    // What the last read said about its file beyond the tracks it loaded; cleared with
    // the image.
    std::vector<LoadNote> LoadNotes;
    std::uint8_t FailTrack = 0;
    std::uint8_t FailSlot = 0;

    // Track 0..165; nullptr otherwise. Pointers stay valid for the container's life.
    Track* GetTrack(std::uint8_t index);
    const Track* GetTrack(std::uint8_t index) const;
    // Slot of a track; nullptr for an index out of range.
    SectorSlot* GetSlot(std::uint8_t track, std::uint8_t slot);

    // Clears every track (Numbers stay) and the image-level fields, then tells the view.
    void ClearImage();
    // Takes over the whole image of source (tracks, comment, base-track settings, the
    // load notes and the other fields a file carries) and repaints; LastError, FailTrack,
    // FailSlot and the observer stay. The tracks are assigned in place, so pointers into
    // this container stay valid; source is left with unspecified contents. Lets a load
    // read into a fresh container and replace the image only when the read succeeded.
    void TakeImageFrom(DiskImage& source);
    // Counts present tracks into TrackCount and returns it.
    std::uint8_t CountTracks();
    // How many tracks from track 0 a file must hold so that no present track is left out:
    // the present-track count, or more when present tracks are not the first ones (a
    // single-sided image has tracks 0, 2, 4, ...). Also recounts TrackCount.
    std::size_t TracksToWrite();
    // First slot (0..31) whose Sector byte equals sector, empty slots included (they carry
    // sector 0); nullptr if none or the track index is out of range.
    SectorSlot* FindSector(std::uint8_t track, std::uint8_t sector);
    // Index of the slot FindSector would return, or -1.
    int FindSectorIndex(std::uint8_t track, std::uint8_t sector) const;

    void RedrawSectorCell(std::uint8_t track, std::uint8_t slot);
    void RedrawTrackCell(std::uint8_t track);
    void Repaint();

    void SetObserver(DiskObserver* observer) { observer_ = observer; }

  private:
    std::vector<Track> tracks_;  // sized once in the constructor, never resized
    DiskObserver* observer_ = nullptr;
};

}  // namespace morvane
