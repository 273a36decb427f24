#include "ui/views/OemText.h"

#include <array>

#include "model/Cp866.h"

namespace morvane {

namespace {

// 866 bytes of the KOI-8 letters 0xC0..0xFF (the Cyrillic alphabet in KOI-8 order).
constexpr std::array<std::uint8_t, 64> kKoiLetters{
    0xEE, 0xA0, 0xA1, 0xE6, 0xA4, 0xA5, 0xE4, 0xA3, 0xE5, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE,
    0xAF, 0xEF, 0xE0, 0xE1, 0xE2, 0xE3, 0xA6, 0xA2, 0xEC, 0xEB, 0xA7, 0xE8, 0xED, 0xE9, 0xE7, 0xEA,
    0x9E, 0x80, 0x81, 0x96, 0x84, 0x85, 0x94, 0x83, 0x95, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E,
    0x8F, 0x9F, 0x90, 0x91, 0x92, 0x93, 0x86, 0x82, 0x9C, 0x9B, 0x87, 0x98, 0x9D, 0x99, 0x97, 0x9A,
};

}  // namespace

std::uint8_t Koi8ToAlt(std::uint8_t byte) {
    if (byte < 0x80) return byte;
    if (byte < 0xB0) return static_cast<std::uint8_t>(byte + 0x30);
    if (byte < 0xC0) return static_cast<std::uint8_t>(byte + 0x40);
    return kKoiLetters[byte - 0xC0u];
}

void Koi8ToAlt(std::span<std::uint8_t> bytes) {
    for (std::uint8_t& b : bytes)
        b = Koi8ToAlt(b);
}

QString Cp866ToText(std::span<const std::uint8_t> bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::uint8_t b : bytes) {
        if (b >= 0x80)
            text.append(QChar(kCp866UpperHalf[b - 0x80u]));
        else if ((b < 0x20 && b != '\t') || b == 0x7F)
            text.append(QLatin1Char('.'));
        else
            text.append(QLatin1Char(static_cast<char>(b)));
    }
    return text;
}

std::vector<std::vector<std::uint8_t>> SplitLines(std::span<const std::uint8_t> bytes) {
    std::vector<std::vector<std::uint8_t>> lines;
    std::vector<std::uint8_t> line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = bytes[i];
        if (b == '\r' || b == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            line.push_back(b);
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

}  // namespace morvane
