// Feeds arbitrary bytes as the first sectors of a Profi CP/M image: the directory is listed
// and every file read; nothing may touch memory it does not own, and no file is read
// longer than its size.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "filesystems/CpmDirectory.h"
#include "filesystems/NewImages.h"

namespace {
morvane::DiskImage& Disk() {
    static const auto disk = [] {
        auto d = std::make_unique<morvane::DiskImage>();
        morvane::CreateCpmImage(*d);
        return d;
    }();
    return *disk;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    DiskImage& disk = Disk();
    // Directory sectors 1..4 of track 0 from the input, zeros after it.
    for (unsigned n = 1; n <= 4; ++n) {
        SectorSlot& slot = *disk.FindSector(0, static_cast<std::uint8_t>(n));
        const std::size_t at = (n - 1) * kCpmSectorSize;
        const std::span<std::uint8_t> sector = slot.Data.first(kCpmSectorSize);
        std::fill(sector.begin(), sector.end(), std::uint8_t{0});
        if (at < size) std::copy_n(data + at, std::min(kCpmSectorSize, size - at), sector.begin());
    }
    const CpmCatalogue c = ReadCpmCatalogue(disk, true, true);
    for (const CpmListRow& row : c.rows) {
        const auto file = CpmFileOfEntry(c.entries, row.entry);
        if (!file) __builtin_trap();
        if (ReadCpmFile(disk, *file).size() > file->size) __builtin_trap();
    }
    return 0;
}
