#include "filesystems/TrDosPlainFiles.h"

#include <algorithm>

#include "filesystems/TrDosSectors.h"
#include "filesystems/ZxBasic.h"
#include "model/Cp1251.h"

namespace morvane {

std::size_t TrDosDataLength(const TrDosEntry& entry) {
    const std::size_t declared = entry.type == kTrDosBasic ? entry.start : entry.length;
    return std::min<std::size_t>(declared, std::size_t{entry.sectors} * kTrDosSectorSize);
}

Bytes TrDosPlainBytes(const TrDosEntry& entry, std::span<const std::uint8_t> sectors) {
    const std::size_t n = std::min(TrDosDataLength(entry), sectors.size());
    return Bytes(sectors.begin(), sectors.begin() + static_cast<std::ptrdiff_t>(n));
}

std::size_t TrDosBasicProgramLength(const TrDosEntry& entry,
                                    std::span<const std::uint8_t> sectors) {
    return std::min<std::size_t>(entry.length, std::min(TrDosDataLength(entry), sectors.size()));
}

std::optional<std::uint16_t> TrDosBasicAutostart(const TrDosEntry& entry,
                                                 std::span<const std::uint8_t> sectors) {
    const std::size_t at = TrDosDataLength(entry);
    if (entry.type != kTrDosBasic || at + kAutostartBytes > sectors.size()) return std::nullopt;
    if (sectors[at] != kAutostartMark0 || sectors[at + 1] != kAutostartMark1) return std::nullopt;
    return GetLe16(sectors, at + 2);
}

std::string TrDosBasicListing(const DiskImage& disk, const TrDosEntry& entry, std::string& error) {
    error.clear();
    Bytes sectors;
    SectorPosition failed;
    if (!ReadTrDosFile(disk, entry, sectors, &failed)) {
        error = SectorErrorText(failed.track, failed.sector);
        return {};
    }
    return ZxBasicListing(TrDosPlainBytes(entry, sectors), TrDosBasicProgramLength(entry, sectors));
}

bool MakeTrDosFile(const PlainFileFields& fields, std::span<const std::uint8_t> bytes,
                   TrDosFileData& out, std::string& error) {
    if (fields.type < 0x20 || fields.type >= 0x7F) {
        error = "the type must be one printable character";
        return false;
    }
    const bool basic = fields.type == kTrDosBasic;
    const std::size_t total = bytes.size() + (basic ? kAutostartBytes : 0);
    if (total > kTrDosMaxFileBytes) {
        error = std::to_string(bytes.size()) + " bytes do not fit a TR-DOS file (" +
                std::to_string(kTrDosMaxFileBytes - (basic ? kAutostartBytes : 0)) + " at most)";
        return false;
    }
    out = TrDosFileData{};
    out.entry.name = fields.name;
    out.entry.type = fields.type;
    out.data.assign(bytes.begin(), bytes.end());
    if (basic) {
        const std::size_t program = fields.programLength.value_or(ZxBasicProgramLength(bytes));
        out.entry.start = static_cast<std::uint16_t>(bytes.size());
        out.entry.length = static_cast<std::uint16_t>(std::min(program, bytes.size()));
        out.data.push_back(kAutostartMark0);
        out.data.push_back(kAutostartMark1);
        PutLe16(out.data, fields.start.value_or(kNoAutostartLine));
    } else {
        out.entry.start = fields.start.value_or(0);
        out.entry.length = static_cast<std::uint16_t>(bytes.size());
    }
    const std::size_t sectors = (out.data.size() + kTrDosSectorSize - 1) / kTrDosSectorSize;
    out.entry.sectors = static_cast<std::uint8_t>(sectors);
    out.data.resize(sectors * kTrDosSectorSize, 0);
    return true;
}

TrDosName TrDosNameFromArgument(std::string_view text) {
    const Bytes bytes = Utf8ToCp1251(text);
    TrDosName name;
    name.fill(' ');
    std::copy_n(bytes.begin(), std::min(bytes.size(), name.size()), name.begin());
    return name;
}

}  // namespace morvane
