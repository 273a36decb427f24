#include "filesystems/NamePatterns.h"

#include <string>

#include "model/Cp1251.h"

namespace morvane {

namespace {

// The byte count of the UTF-8 character that starts at text[at].
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    std::size_t n = 1;
    while (at + n < text.size() && (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

}  // namespace

bool IsNamePattern(std::string_view argument) {
    return argument.find_first_of("*?") != std::string_view::npos;
}

bool PatternMatches(std::string_view pattern, std::string_view text) {
    // The classic backtracking walk: on a mismatch after a '*', let that '*' take one
    // character more.
    std::size_t p = 0, t = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            t += CharacterLength(text, t);
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starT += CharacterLength(text, starT);
            t = starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool EntryMatchesPattern(const TrDosEntry& entry, std::string_view pattern) {
    const std::string raw = TrimmedZxName(entry.name);
    const std::string rawType(1, static_cast<char>(entry.type));
    const std::uint8_t type[1] = {entry.type};
    const Bytes rawBytes(raw.begin(), raw.end());
    const std::string shown = Cp1251ToUtf8(rawBytes);
    for (const std::string& name :
         {raw + "." + rawType, shown + "." + Cp1251ToUtf8(type), raw, shown})
        if (PatternMatches(pattern, name)) return true;
    return false;
}

}  // namespace morvane
