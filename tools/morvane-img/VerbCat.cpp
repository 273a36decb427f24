// morvane-img cat: the catalogue of a TR-DOS or a Profi CP/M disk, recognised as the two
// catalogue commands of the window recognise them: the disk description as "label: value"
// lines, then one line per file with the list's columns separated by tabs.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmListing.h"
#include "filesystems/TrDosListing.h"

namespace morvane {

namespace {

constexpr std::string_view kCatFlags[] = {"--deleted", "--hidden"};

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
    for (std::size_t i : ListedEntries(c, showDeleted))
        PrintRow(TrDosRowTexts(c.entries[i]), out);
}

void PrintCpm(const CpmCatalogue& c, std::ostream& out) {
    const auto values = CpmDescriptionValues(c);
    for (std::size_t i = 0; i < values.size(); ++i)
        out << kCpmDescriptionLabels[i] << ": " << values[i] << "\n";
    for (const CpmListRow& row : c.rows)
        PrintRow(CpmRowTexts(c.entries[row.entry], row.records, '.'), out);
}

}  // namespace

int RunCat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kCatFlags, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() != 1) return VerbUsage(err, "cat takes one image");
    auto disk = std::make_unique<TZX_Disk>();
    if (const int status = LoadVerbImage(a.positional[0], *disk, err); status != kExitOk)
        return status;
    TrDosCatalogue trdos;
    if (ReadTrDosCatalogue(*disk, trdos)) {
        PrintTrDos(trdos, a.Has("--deleted"), out);
        return kExitOk;
    }
    if (IsCpmImage(*disk)) {
        PrintCpm(ReadCpmCatalogue(*disk, a.Has("--deleted"), a.Has("--hidden")), out);
        return kExitOk;
    }
    err << "morvane-img: " << kNotTrDosImageText << "\n";
    return VerbFailure(err, std::string(kNotCpmImageText));
}

}  // namespace morvane
