#include "filesystems/TrDosFileImages.h"

#include <numeric>
#include <string>
#include <vector>

#include "filesystems/Hobeta.h"
#include "filesystems/NewImages.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosAdding.h"
#include "model/Refuse.h"

namespace morvane {

namespace {

constexpr unsigned kNewDiskSectors = (kNewImageTracks - 1) * kTrDosSectorsPerTrack;  // 2544

// A fresh disk's room is known, so the check needs no image to try on.
bool FitsNewDisk(std::span<const TrDosFileData> files, std::string& error) {
    const unsigned sectors =
        std::accumulate(files.begin(), files.end(), 0u,
                        [](unsigned sum, const TrDosFileData& f) { return sum + f.entry.sectors; });
    if (files.size() > kTrDosMaxEntries) {
        error = std::to_string(files.size()) + " files do not fit one TR-DOS disk (at most " +
                std::to_string(kTrDosMaxEntries) + ")";
        return false;
    }
    if (sectors > kNewDiskSectors) {
        error = std::to_string(sectors) + " sectors of files do not fit one TR-DOS disk (" +
                std::to_string(kNewDiskSectors) + " free)";
        return false;
    }
    return true;
}

bool ReadFileSet(ImageFormat format, std::span<const std::uint8_t> file, DiskImage& disk) {
    std::vector<TrDosFileData> files;
    std::string error;
    if (!ParseTrDosFileSet(format, file, files, error) || !CheckTrDosNames(files, error) ||
        !FitsNewDisk(files, error))
        return Refuse(disk, error);
    CreateTrDosImage(disk, kNewTrDosDiskName);
    if (!AddTrDosFiles(disk, files, error)) return Refuse(disk, error);
    return true;
}

bool ListedFiles(DiskImage& disk, std::vector<TrDosEntry>& out) {
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(disk, catalogue))
        return Refuse(disk, "the image holds no TR-DOS catalogue");
    for (const TrDosEntry& e : catalogue.entries)
        if (e.IsListed()) out.push_back(e);
    return true;
}

bool UnreadableSector(DiskImage& disk, const SectorPosition& at) {
    return Refuse(disk, "sector " + std::to_string(at.sector) + " of track " +
                            std::to_string(at.track) + " cannot be read");
}

}  // namespace

bool ReadSclImage(std::span<const std::uint8_t> file, DiskImage& disk) {
    return ReadFileSet(ImageFormat::Scl, file, disk);
}

bool ReadHobetaImage(std::span<const std::uint8_t> file, DiskImage& disk) {
    return ReadFileSet(ImageFormat::Hobeta, file, disk);
}

bool WriteSclImage(DiskImage& disk, Bytes& out) {
    std::vector<TrDosEntry> files;
    if (!ListedFiles(disk, files)) return false;
    if (files.size() > kSclMaxFiles) return Refuse(disk, "an SCL archive holds 255 files at most");
    SectorPosition failed;
    if (!BuildScl(disk, files, out, &failed)) return UnreadableSector(disk, failed);
    return true;
}

bool WriteHobetaImage(DiskImage& disk, Bytes& out) {
    std::vector<TrDosEntry> files;
    if (!ListedFiles(disk, files)) return false;
    if (files.size() != 1)
        return Refuse(disk, "a Hobeta file holds one TR-DOS file, the image has " +
                                std::to_string(files.size()));
    SectorPosition failed;
    if (!BuildHobeta(disk, files[0], out, &failed)) return UnreadableSector(disk, failed);
    return true;
}

}  // namespace morvane
