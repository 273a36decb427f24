#include "filesystems/TrDosListing.h"

#include <cstdio>

namespace morvane {

namespace {

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

}  // namespace

std::array<std::string, 7> TrDosRowTexts(const TrDosEntry& entry) {
    const TrDosName type{entry.type};
    return {ZxNameText(entry.name),  ZxNameText(std::span<const std::uint8_t>(type.data(), 1)),
            Hex(entry.start, 4),     Hex(entry.length, 4),
            Hex(entry.sectors, 2),   Hex(entry.firstSector, 2),
            Hex(entry.firstTrack, 2)};
}

std::string DiskTypeText(std::uint8_t diskType) {
    switch (diskType) {
        case kDiskType80x2:
        case kDiskType80x1:
            return "80-дорожек";
        case kDiskType40x2:
        case kDiskType40x1:
            return "40-дорожек";
        default:
            return "Не определено";
    }
}

std::array<std::string, 7> TrDosDescriptionValues(const TrDosCatalogue& c) {
    return {ZxDiskNameText(c.diskName),
            DiskTypeText(c.diskType),
            std::to_string(c.firstFreeSector + 1),
            std::to_string(c.firstFreeTrack),
            std::to_string(c.freeSectors),
            std::to_string(c.fileCount),
            std::to_string(c.deletedCount)};
}

}  // namespace morvane
