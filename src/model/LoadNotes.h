// What a reader says about a file it loaded although the file was not quite what its
// format describes: cut short, a header byte out of its range, bytes or tracks the image
// cannot hold. The load succeeds; the notes come back with the image (DiskImage::LoadNotes)
// so that the window's log and morvane-img's messages can say them.
#pragma once

#include <string>
#include <vector>

namespace morvane {

struct LoadNote {
    std::string text;  // English, like the readers' refusals
    // The file lacks sectors the image therefore shows without data.
    bool sectorsMissing = false;
};

// Whether any note says sectors are missing.
inline bool AnySectorsMissing(const std::vector<LoadNote>& notes) {
    for (const LoadNote& note : notes)
        if (note.sectorsMissing) return true;
    return false;
}

}  // namespace morvane
