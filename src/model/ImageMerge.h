// Several images of one disk made into the best one they allow: per track the layout most
// inputs agree on, per sector every input's copies weighed (SectorVote.h). What came of it
// is counted per track for the report.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace morvane {

class Track;
class DiskImage;

// One track's sectors by origin.
struct TrackOrigins {
    std::uint8_t track = 0;
    int clean = 0;       // good reads
    int voted = 0;       // recovered by vote
    int unresolved = 0;  // best guesses
    int missing = 0;
    std::vector<std::uint8_t> bad;        // sector numbers of the unresolved and missing
    std::vector<std::uint8_t> conflicts;  // sector numbers whose good copies disagreed
    int inputs = 0;        // inputs that hold the track
    int otherLayouts = 0;  // of them, those whose layout lost
    bool AllClean() const {
        return voted == 0 && unresolved == 0 && missing == 0 && conflicts.empty() &&
               otherLayouts == 0;
    }
};

struct MergeReport {
    std::vector<TrackOrigins> rows;  // the tracks with anything not clean
    int tracks = 0, clean = 0, voted = 0, unresolved = 0, missing = 0, conflicts = 0;
    int BadLeft() const { return unresolved + missing; }
};

// Counts a track's occupied slots by their current origin; a slot never weighed counts by
// its status (good data, data in error as unresolved, no data as missing).
TrackOrigins CountOrigins(const Track& track);
// Adds a track's counts to the totals, and its row when anything is not clean.
void AddToReport(MergeReport& report, const TrackOrigins& row);

// Merges the inputs track by track into out's tracks (out's image-level fields stay).
// A track without sectors in every input is taken as the first input that has it gives
// it. An input may be out itself only as the first.
MergeReport MergeImages(std::span<const DiskImage* const> inputs, DiskImage& out);

// The words of the report's table.
struct MergeWords {
    const char* header;  // the column heads
    const char* layouts;  // "track T: " + this with the counts
    const char* conflict;
    const char* total;
    const char* tracks;
    const char* sectors;
    const char* clean;
    const char* voted;
    const char* unresolved;
    const char* missing;
};
extern const MergeWords kMergeWordsEnglish;
extern const MergeWords kMergeWordsRussian;

// The report as lines: the table of tracks with anything not clean, the layouts that
// disagreed, the conflicts, and the total.
std::vector<std::string> MergeReportLines(const MergeReport& report, const MergeWords& words);

}  // namespace morvane
