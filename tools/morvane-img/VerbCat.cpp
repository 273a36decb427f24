// morvane-img cat: the catalogue of a TR-DOS or a Profi CP/M disk, recognised as the two
// catalogue commands of the window recognise them: the disk description as "label: value"
// lines, a header line of the columns, then one line per file with the list's columns and
// the lengths in decimal, separated by tabs. --json prints the same as one JSON object.
#include <memory>
#include <ostream>

#include "CatalogueJson.h"
#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmListing.h"
#include "filesystems/TrDosListing.h"

namespace morvane {

namespace {

constexpr std::string_view kCatFlags[] = {"--deleted", "--hidden", "--json"};
// The columns of the window's lists, then the decimal ones.
constexpr std::string_view kTrDosHeader =
    "Filename\tType\tStart\tLength\tSectors\tF.sec\tF.trk\tStart(dec)\tLength(dec)";
constexpr std::string_view kCpmHeader = "Filename\tExt\tLength\tAtrib\t№\tBytes";

template <typename Row>
void PrintRow(const Row& columns, std::ostream& out) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        out << (i > 0 ? "\t" : "") << columns[i];
    out << "\n";
}

void PrintTrDos(const TrDosCatalogue& c, bool showDeleted, std::ostream& out) {
    const auto values = TrDosDescriptionValues(c);
    for (std::size_t i = 0; i < values.size(); ++i)
        out << kTrDosDescriptionLabels[i] << ": " << values[i] << "\n";
    out << kTrDosHeader << "\n";
    for (std::size_t i : ListedEntries(c, showDeleted)) {
        const TrDosEntry& e = c.entries[i];
        std::vector<std::string> row;
        for (const std::string& text : TrDosRowTexts(e))
            row.push_back(text);
        row.push_back(std::to_string(e.start));
        row.push_back(std::to_string(e.length));
        PrintRow(row, out);
    }
}

void PrintCpm(const CpmCatalogue& c, std::ostream& out) {
    const auto values = CpmDescriptionValues(c);
    for (std::size_t i = 0; i < values.size(); ++i)
        out << kCpmDescriptionLabels[i] << ": " << values[i] << "\n";
    out << kCpmHeader << "\n";
    for (const CpmListRow& r : c.rows) {
        std::vector<std::string> row;
        for (const std::string& text : CpmRowTexts(c.entries[r.entry], r.records, '.'))
            row.push_back(text);
        row.push_back(std::to_string(std::size_t{r.records} * kCpmRecordSize));
        PrintRow(row, out);
    }
}

}  // namespace

int RunCat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kCatFlags, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() != 1) return VerbUsage(err, "cat takes one image");
    auto disk = std::make_unique<DiskImage>();
    if (const int status = LoadVerbImage(a.positional[0], *disk, err); status != kExitOk)
        return status;
    TrDosCatalogue trdos;
    if (ReadTrDosCatalogue(*disk, trdos)) {
        if (!a.Has("--json")) {
            PrintTrDos(trdos, a.Has("--deleted"), out);
        } else {
            PrintTrDosJson(trdos, a.Has("--deleted"), out);
            out << "\n";
        }
        return kExitOk;
    }
    if (IsCpmImage(*disk)) {
        const CpmCatalogue c = ReadCpmCatalogue(*disk, a.Has("--deleted"), a.Has("--hidden"));
        if (!a.Has("--json")) {
            PrintCpm(c, out);
        } else {
            PrintCpmJson(c, out);
            out << "\n";
        }
        return kExitOk;
    }
    err << "morvane-img: " << kNotTrDosImageText << "\n";
    return VerbFailure(err, std::string(kNotCpmImageText));
}

}  // namespace morvane
