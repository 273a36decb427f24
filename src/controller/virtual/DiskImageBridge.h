// Moving a disk between the program's image container and an emulated drive. Tracks with
// a raw image go in as they are (their clock marks found from the byte patterns); tracks
// with sectors only are laid out by the UDI track builder. Going back, each track is
// stored as a raw image and its sectors are found through the clock marks, as a UDI file
// of the disk would load.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "controller/virtual/VirtualDisk.h"
#include "model/DiskImage.h"

namespace morvane::virt {

struct ImageToDiskReport {
    // Present tracks the builder could not lay out; they are present but unformatted.
    std::vector<std::uint8_t> UnbuiltTracks;
};

std::unique_ptr<VirtualDisk> DiskFromImage(const DiskImage& image,
                                           ImageToDiskReport* report = nullptr);

// Replaces the contents of image with the disk (ClearImage first).
void DiskToImage(const VirtualDisk& disk, DiskImage& image);

}  // namespace morvane::virt
