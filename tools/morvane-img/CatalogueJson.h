// The JSON forms of cat and info, for scripts. Stable: fields are added, never renamed or
// dropped (docs/morvane-img.1 lists them). Texts are UTF-8, as the listings show them.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "MorvaneImg.h"
#include "filesystems/CpmDirectory.h"
#include "filesystems/TrDosCatalogue.h"
#include "model/DiskImage.h"

namespace morvane {

// A JSON string literal: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text);

// {"filesystem":"trdos","disk":{...},"files":[...]}: every entry with deleted ones, or
// only the listed files.
void PrintTrDosJson(const TrDosCatalogue& catalogue, bool showDeleted, std::ostream& out);
// {"filesystem":"cpm","disk":{...},"files":[...]}.
void PrintCpmJson(const CpmCatalogue& catalogue, std::ostream& out);
// info --json: the format, the counts of info, each present track's sectors and their
// states, and the catalogue (TR-DOS or CP/M, null for neither).
void PrintImageJson(const DiskImage& disk, std::string_view formatName, std::ostream& out);

}  // namespace morvane
