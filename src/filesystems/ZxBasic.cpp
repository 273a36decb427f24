#include "filesystems/ZxBasic.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace morvane {

namespace {

constexpr std::uint8_t kFirstToken = 0xA5;
// How a keyword is spaced, as the listing tools space it: RND, INKEY$ and PI not at all,
// the functions with a space after, the comparisons <=, >=, <> not at all, OR, AND and
// the commands with a space on either side (one space between two).
constexpr std::uint8_t kFirstSpacedFunction = 0xA8;  // FN
constexpr std::uint8_t kFirstOperator = 0xC5;        // OR
constexpr std::uint8_t kFirstComparison = 0xC7;      // <=
constexpr std::uint8_t kFirstCommand = 0xCA;         // LINE
constexpr std::uint8_t kFirstUdg = 0x90;
constexpr std::uint8_t kFirstBlock = 0x80;
constexpr std::uint8_t kNumberMark = 0x0E;
constexpr std::size_t kNumberBytes = 5;
constexpr std::uint8_t kEndOfLine = 0x0D;
constexpr std::uint8_t kLastLineHigh = 0x3F;
constexpr std::size_t kLineHeader = 4;

// 0xA5 (RND) to 0xFF (COPY).
constexpr std::array<std::string_view, 91> kTokens{
    "RND",     "INKEY$", "PI",     "FN",       "POINT",     "SCREEN$", "ATTR",   "AT",
    "TAB",     "VAL$",   "CODE",   "VAL",      "LEN",       "SIN",     "COS",    "TAN",
    "ASN",     "ACS",    "ATN",    "LN",       "EXP",       "INT",     "SQR",    "SGN",
    "ABS",     "PEEK",   "IN",     "USR",      "STR$",      "CHR$",    "NOT",    "BIN",
    "OR",      "AND",    "<=",     ">=",       "<>",        "LINE",    "THEN",   "TO",
    "STEP",    "DEF FN", "CAT",    "FORMAT",   "MOVE",      "ERASE",   "OPEN #", "CLOSE #",
    "MERGE",   "VERIFY", "BEEP",   "CIRCLE",   "INK",       "PAPER",   "FLASH",  "BRIGHT",
    "INVERSE", "OVER",   "OUT",    "LPRINT",   "LLIST",     "STOP",    "READ",   "DATA",
    "RESTORE", "NEW",    "BORDER", "CONTINUE", "DIM",       "REM",     "FOR",    "GO TO",
    "GO SUB",  "INPUT",  "LOAD",   "LIST",     "LET",       "PAUSE",   "NEXT",   "POKE",
    "PRINT",   "PLOT",   "RUN",    "SAVE",     "RANDOMIZE", "IF",      "CLS",    "DRAW",
    "CLEAR",   "RETURN", "COPY"};

// The codes 0x10..0x15 take one parameter byte, AT and TAB two.
constexpr std::array<std::string_view, 8> kControls{"INK",     "PAPER", "FLASH", "BRIGHT",
                                                    "INVERSE", "OVER",  "AT",    "TAB"};
constexpr std::uint8_t kFirstControl = 0x10;
constexpr std::uint8_t kAtControl = 0x16;

// A block graphic's quarters are bits 0 (top right), 1 (top left), 2 (bottom right) and
// 3 (bottom left). The listing tools write its left column, then its right one: ' ' empty,
// '\'' top quarter, '.' bottom quarter, ':' both.
std::string BlockEscape(std::uint8_t code) {
    const unsigned bits = code - kFirstBlock;
    auto cell = [](bool top, bool bottom) {
        return top ? (bottom ? ':' : '\'') : (bottom ? '.' : ' ');
    };
    std::string text = "\\";
    text += cell(bits & 2, bits & 8);  // left column: top left, bottom left
    text += cell(bits & 1, bits & 4);  // right column: top right, bottom right
    return text;
}

std::string CharacterText(std::uint8_t b) {
    if (b == 0x60) return "£";
    if (b == 0x7F) return "©";
    if (b == '\\') return "\\\\";
    if (b >= 0x20 && b < 0x80) return std::string(1, static_cast<char>(b));
    if (b >= kFirstBlock && b < kFirstUdg) return BlockEscape(b);
    if (b >= kFirstUdg && b < kFirstToken)
        return std::string("\\") + static_cast<char>('A' + b - kFirstUdg);
    // Any other code below 32 (cursor and editing codes a loader hides in its lines).
    static constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("{") + kHex[b >> 4] + kHex[b & 0xF] + "}";
}

void AppendToken(std::string& text, std::uint8_t b) {
    const std::string_view word = kTokens[b - kFirstToken];
    const bool comparison = b >= kFirstComparison && b < kFirstCommand;
    const bool spacedBefore = b >= kFirstOperator && !comparison;
    const bool spacedAfter = b >= kFirstSpacedFunction && !comparison;
    if (spacedBefore && !text.empty() && text.back() != ' ') text += ' ';
    text += word;
    if (spacedAfter) text += ' ';
}

// The text of one line (without its number): [begin, end) of program.
std::string LineText(std::span<const std::uint8_t> line) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::uint8_t b = line[i];
        if (b == kEndOfLine && i + 1 == line.size()) break;
        if (b == kNumberMark) {
            i += kNumberBytes;  // the hidden value; the loop's bound stops a cut one
        } else if (b >= kFirstControl && b < kFirstControl + kControls.size()) {
            const std::size_t params = b >= kAtControl ? 2 : 1;
            if (i + params >= line.size()) break;
            text +=
                "{" + std::string(kControls[b - kFirstControl]) + " " + std::to_string(line[i + 1]);
            if (params == 2) text += "," + std::to_string(line[i + 2]);
            text += "}";
            i += params;
        } else if (b >= kFirstToken) {
            AppendToken(text, b);
        } else {
            text += CharacterText(b);
        }
    }
    return text;
}

}  // namespace

std::size_t ZxBasicProgramLength(std::span<const std::uint8_t> program) {
    std::size_t at = 0;
    while (at + kLineHeader <= program.size() && program[at] <= kLastLineHigh) {
        const std::size_t length = program[at + 2] | program[at + 3] << 8;
        at += kLineHeader + length;
    }
    return std::min(at, program.size());
}

std::vector<std::string> ZxBasicLines(std::span<const std::uint8_t> program) {
    return ZxBasicLines(program, program.size());
}

std::vector<std::string> ZxBasicLines(std::span<const std::uint8_t> program,
                                      std::size_t programLength) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < programLength && at + kLineHeader <= program.size() &&
           program[at] <= kLastLineHigh) {
        const unsigned number = program[at] << 8 | program[at + 1];
        const std::size_t length = program[at + 2] | program[at + 3] << 8;
        const std::size_t begin = at + kLineHeader;
        const std::size_t end = std::min(begin + length, program.size());
        std::string numberText = std::to_string(number);
        if (numberText.size() < 4) numberText.insert(0, 4 - numberText.size(), ' ');
        lines.push_back(numberText + " " + LineText(program.subspan(begin, end - begin)));
        at = begin + length;
    }
    return lines;
}

std::string ZxBasicListing(std::span<const std::uint8_t> data, std::size_t programLength) {
    std::string text;
    for (const std::string& line : ZxBasicLines(data, programLength))
        text += line + "\n";
    return text;
}

}  // namespace morvane
