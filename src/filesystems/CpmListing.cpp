#include "filesystems/CpmListing.h"

#include <cstdio>

#include "model/Cp1251.h"

namespace morvane {

namespace {

std::string Hex2(unsigned value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

// Directory bytes as text: control bytes show as '?', bytes of 0x80 and above as
// Windows-1251.
std::string CpmText(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        if (b < 0x20) {
            text += '?';
        } else if (b < 0x80) {
            text += static_cast<char>(b);
        } else {
            const std::uint8_t one[1] = {b};
            text += Cp1251ToUtf8(one);
        }
    }
    return text;
}

}  // namespace

std::string CpmLengthText(std::uint32_t bytes, char decimalSeparator) {
    // Kilobytes plus the remaining bytes / 1000, exactly, in shortest decimal form.
    const std::uint32_t rest = bytes % 1024;
    std::string text = std::to_string(bytes / 1024 + rest / 1000);
    std::string fraction = std::to_string(rest % 1000);
    if (rest % 1000 == 0) return text;
    fraction.insert(0, 3 - fraction.size(), '0');
    while (fraction.back() == '0')
        fraction.pop_back();
    return text + decimalSeparator + fraction;
}

std::array<std::string, 5> CpmRowTexts(const CpmDirEntry& entry, std::uint32_t records,
                                       char decimalSeparator) {
    const std::span<const std::uint8_t> name(entry.name);
    return {CpmText(name.first(8)), CpmText(name.subspan(8, 3)),
            CpmLengthText(records * static_cast<std::uint32_t>(kCpmRecordSize), decimalSeparator),
            Hex2(entry.user), Hex2(entry.extent)};
}

std::string CpmRowFileName(const CpmDirEntry& entry) {
    return CpmText(entry.name);
}

std::array<std::string, 3> CpmDescriptionValues(const CpmCatalogue& catalogue) {
    const std::size_t used = catalogue.UsedBytes();
    return {std::to_string(catalogue.rows.size()), std::to_string(used / 1024) + " кБ",
            std::to_string((kCpmDiskBytes - std::min(used, kCpmDiskBytes)) / 1024) + " кБ"};
}

}  // namespace morvane
