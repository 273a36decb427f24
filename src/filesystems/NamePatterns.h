// File names matched by the patterns of a command line: '*' any run of characters, '?' one
// character, everything else itself (case counts, as TR-DOS names keep it).
#pragma once

#include <string_view>

#include "filesystems/TrDosCatalogue.h"

namespace morvane {

bool IsNamePattern(std::string_view argument);
// Whether the whole text matches the pattern; characters are UTF-8, '?' takes one.
bool PatternMatches(std::string_view pattern, std::string_view text);
// Whether the pattern matches the entry's trimmed name or its "name.T" (boot* and *.C
// both take boot.C), as raw bytes or read as Windows-1251.
bool EntryMatchesPattern(const TrDosEntry& entry, std::string_view pattern);

}  // namespace morvane
