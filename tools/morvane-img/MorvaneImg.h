// morvane-img: the command-line companion of the program. It loads and saves images
// through the same format table as the window and prints what an image holds.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "model/DiskImage.h"

namespace morvane {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitBadSectors = 3;  // done, with bad or missing sectors left

struct ImageSummary {
    std::size_t presentTracks = 0;
    std::size_t sectors = 0;     // occupied slots of present tracks
    std::size_t badSectors = 0;  // of those, DataGood 0
    std::size_t rawTracks = 0;   // present tracks with a raw image
};

ImageSummary Summarize(const DiskImage& disk);
// "morvane-img: PATH: note" on err for each note the reader left about the file it loaded
// (DiskImage::LoadNotes): a file cut short, a header byte out of its range, ...
void PrintLoadNotes(const std::string& path, const DiskImage& disk, std::ostream& err);
// One line per occupied slot of a present track: track, slot, C, H, R, N, DataGood,
// DataLength and the image checksum of the data, tab-separated.
void PrintSectors(const DiskImage& disk, std::ostream& out);
std::string UsageText();

// Runs one command; args exclude the program name. Results go to out, reasons of failure
// and the usage text to err. Returns the exit status.
int RunMorvaneImg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morvane
