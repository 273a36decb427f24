// The text of the hex view: one line per 16 bytes, "OOOO: HH HH ... HH  cccc..." with the
// characters in Windows-1251, and the character columns where each part of a line sits.
#pragma once

#include <QChar>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace morvane {

inline constexpr std::size_t kHexBytesPerLine = 16;

// Digits of the offsets: four, or eight for buffers longer than 64 KiB.
int HexOffsetDigits(std::size_t bufferSize);
// Character columns of a line for a given offset width.
struct HexColumns {
    int offsetDigits = 4;
    int HexStart() const { return offsetDigits + 2; }  // after "OOOO: "
    int HexOf(std::size_t indexInLine) const {
        return HexStart() + 3 * static_cast<int>(indexInLine);
    }
    int TextStart() const { return HexStart() + 3 * static_cast<int>(kHexBytesPerLine) + 1; }
    int TextOf(std::size_t indexInLine) const {
        return TextStart() + static_cast<int>(indexInLine);
    }
    int LineLength() const { return TextStart() + static_cast<int>(kHexBytesPerLine); }
};

// The character a byte shows as; control bytes and the undefined 0x98 show as '.'.
QChar HexDisplayChar(std::uint8_t byte);
// The Windows-1251 byte of a typed character, if the code page has it and it is not a
// control character.
std::optional<std::uint8_t> HexByteOfChar(QChar ch);

// One line: offset, up to 16 hex bytes (missing ones as blanks) and their characters.
QString HexLine(std::size_t offset, std::span<const std::uint8_t> lineBytes, int offsetDigits);

}  // namespace morvane
