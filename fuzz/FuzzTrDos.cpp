// Feeds arbitrary bytes as a TRD image to the TR-DOS catalogue: every listed file is
// exported as Hobeta and SCL (an SCL that is built must read back with the same bytes),
// then all files are deleted and the disk compacted; the catalogue must still read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosEditing.h"
#include "formats/Trd.h"

namespace {
morvane::DiskImage& Disk() {
    static const auto disk = std::make_unique<morvane::DiskImage>();
    return *disk;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    DiskImage& disk = Disk();
    if (size > 16 * kTrdTrackSize) return 0;
    ReadTrd(std::span<const std::uint8_t>(data, size), disk);
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(disk, catalogue)) return 0;
    std::vector<TrDosEntry> files;
    for (std::size_t i : ListedEntries(catalogue, true)) {
        files.push_back(catalogue.entries[i]);
        Bytes hobeta;
        BuildHobeta(disk, catalogue.entries[i], hobeta);
        SectorOwnerText(catalogue, 1, 0);
    }
    Bytes scl;
    if (BuildScl(disk, files, scl)) {
        std::vector<SclFile> back;
        std::string error;
        if (!ParseScl(scl, back, error) || back.size() != files.size()) __builtin_trap();
    }
    std::vector<std::size_t> all(catalogue.entries.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    if (!all.empty() && data[0] & 1) DeleteEntries(disk, catalogue, all);
    if (CompactDisk(disk, catalogue).ok && !catalogue.valid) __builtin_trap();
    return 0;
}
