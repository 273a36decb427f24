// morvane-img rename: one TR-DOS file's new name (and, with --type, its type letter), as
// "Редактировать заголовок" of the catalogue window changes them; refused when another
// file already has that name and type.
#include <algorithm>
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/TrDosEditing.h"
#include "filesystems/TrDosPlainFiles.h"

namespace morvane {

namespace {

constexpr std::string_view kRenameValued[] = {"--type"};

std::string FileText(const TrDosName& name, std::uint8_t type) {
    return TrimmedZxName(name) + "." + static_cast<char>(type);
}

}  // namespace

int RunRename(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, kRenameValued, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() != 3)
        return VerbUsage(err, "rename takes an image, a file and a new name");
    const std::string& image = a.positional[0];
    const std::string& newName = a.positional[2];
    if (newName.empty()) return VerbUsage(err, "the new name is empty");
    if (a.values.count("--type") && a.values["--type"].size() != 1)
        return VerbUsage(err, "--type takes one letter: " + a.values["--type"]);
    auto disk = std::make_unique<TZX_Disk>();
    TrDosCatalogue catalogue;
    if (const int status = LoadTrDosImage(image, *disk, catalogue, err); status != kExitOk)
        return status;
    std::vector<std::size_t> entries;
    if (!SelectTrDosEntries(catalogue, {a.positional[1]}, entries, err)) return kExitFailure;
    if (entries.size() != 1)
        return VerbFailure(err, a.positional[1] + " names " + std::to_string(entries.size()) +
                                    " files; rename takes one");
    const TrDosEntry& e = catalogue.entries[entries[0]];
    TrDosEntryEdit edit{TrDosNameFromArgument(newName), e.type, e.start, e.length};
    if (a.values.count("--type")) edit.type = static_cast<std::uint8_t>(a.values["--type"][0]);
    const std::vector<std::size_t> listed = ListedEntries(catalogue, false);
    if (std::any_of(listed.begin(), listed.end(), [&](std::size_t i) {
            return i != entries[0] && catalogue.entries[i].name == edit.name &&
                   catalogue.entries[i].type == edit.type;
        }))
        return VerbFailure(err, "a file " + FileText(edit.name, edit.type) + " exists");
    const std::string before = FileText(e.name, e.type);
    if (const TrDosEditResult r = EditEntry(*disk, catalogue, entries[0], edit); !r.ok)
        return VerbFailure(err, r.error);
    if (const int status = SaveVerbImage(image, *disk, err); status != kExitOk) return status;
    out << before << " -> " << FileText(edit.name, edit.type) << "\n";
    return kExitOk;
}

}  // namespace morvane
