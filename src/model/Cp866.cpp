#include "model/Cp866.h"

#include "model/Cp1251.h"

namespace morvane {

std::string Cp866ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::uint8_t b : bytes) {
        if (b < 0x80)
            out.push_back(static_cast<char>(b));
        else
            AppendUtf8(out, kCp866UpperHalf[b - 0x80u]);
    }
    return out;
}

bool LooksLikeCp866(std::span<const std::uint8_t> bytes) {
    std::size_t cp866Letters = 0;
    std::size_t cp1251Letters = 0;
    for (std::uint8_t b : bytes) {
        if (b >= 0x80 && b <= 0xAF)
            ++cp866Letters;
        else if ((b >= 0xC0 && b <= 0xDF) || b >= 0xF2)
            ++cp1251Letters;
    }
    return cp866Letters > cp1251Letters;
}

}  // namespace morvane
