#include "ui/views/HexText.h"

#include <array>
#include <string>

#include "model/Cp1251.h"

namespace morvane {

namespace {

constexpr std::size_t kLongBuffer = 0x10000;
constexpr std::uint8_t kUndefinedCp1251 = 0x98;

const std::array<QChar, 256>& DisplayTable() {
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t{};
        for (std::size_t b = 0; b < t.size(); ++b) {
            const auto byte = static_cast<std::uint8_t>(b);
            if (byte < 0x20 || byte == 0x7F || byte == kUndefinedCp1251) {
                t[b] = QLatin1Char('.');
                continue;
            }
            const std::string utf8 = Cp1251ToUtf8(std::span<const std::uint8_t>(&byte, 1));
            const QString text =
                QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
            t[b] = text.isEmpty() ? QLatin1Char('.') : text.front();
        }
        return t;
    }();
    return table;
}

}  // namespace

int HexOffsetDigits(std::size_t bufferSize) {
    return bufferSize > kLongBuffer ? 8 : 4;
}

QChar HexDisplayChar(std::uint8_t byte) {
    return DisplayTable()[byte];
}

std::optional<std::uint8_t> HexByteOfChar(QChar ch) {
    if (ch.unicode() < 0x20 || ch.unicode() == 0x7F) return std::nullopt;
    const QByteArray utf8 = QString(ch).toUtf8();
    const Bytes encoded =
        Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    if (encoded.size() != 1) return std::nullopt;
    // '?' stands for "not in the code page" unless the character was '?' itself.
    if (encoded[0] == static_cast<std::uint8_t>(kUnmappable) && ch != QLatin1Char('?'))
        return std::nullopt;
    return encoded[0];
}

QString HexLine(std::size_t offset, std::span<const std::uint8_t> lineBytes, int offsetDigits) {
    const HexColumns cols{offsetDigits};
    QString line(cols.LineLength(), QLatin1Char(' '));
    const QString off =
        QStringLiteral("%1").arg(offset, offsetDigits, 16, QLatin1Char('0')).toUpper();
    line.replace(0, off.size(), off);
    line[offsetDigits] = QLatin1Char(':');
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::size_t n = std::min(lineBytes.size(), kHexBytesPerLine);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = lineBytes[i];
        line[cols.HexOf(i)] = QLatin1Char(kDigits[b >> 4]);
        line[cols.HexOf(i) + 1] = QLatin1Char(kDigits[b & 0xF]);
        line[cols.TextOf(i)] = HexDisplayChar(b);
    }
    return line;
}

}  // namespace morvane
