// Feeds arbitrary bytes to the FDI reader. Every track of a file that loads is then built
// as a UDI track (standard layout) and its sectors found again, as the UDI writer and the
// virtual controller do.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/Fdi.h"
#include "formats/udi/UdiSectorFinder.h"
#include "formats/udi/UdiTrackBuilder.h"

namespace {
morvane::DiskImage& Disk() {
    static const auto disk = std::make_unique<morvane::DiskImage>();
    return *disk;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    DiskImage& disk = Disk();
    if (!ReadFdi(std::span<const std::uint8_t>(data, size), disk)) {
        if (disk.LastError.empty()) __builtin_trap();
        return 0;
    }
    static const auto image = std::make_unique<UdiTrackImage>();
    static const auto back = std::make_unique<Track>();
    for (std::uint8_t t = 0; t < kTrackCount; ++t) {
        if (disk.GetTrack(t)->Present == 0) continue;
        if (!BuildUdiTrack(disk, t, *image)) continue;
        back->ClearSlots();
        FindUdiSectors(image->Bytes, image->ClockMarks, *back);
        // Every sector the standard layout wrote is found again.
        if (back->SectorCount > disk.GetTrack(t)->SectorCount) __builtin_trap();
    }
    return 0;
}
