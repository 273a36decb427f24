// morvane-img rename: one TR-DOS file's new name (and, with --type, its type letter), as
// "Редактировать заголовок" of the catalogue window changes them, refused when another file
// already has that name and type or TR-DOS would not read it as a name; or one Profi CP/M
// file's new name in its user area, as the CP/M window's "Переименовать" gives it, refused
// when a file has that name.
#include <algorithm>
#include <memory>
#include <ostream>
#include <sstream>

#include "CpmSelection.h"
#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmEditing.h"
#include "filesystems/TrDosEditing.h"
#include "filesystems/TrDosNameRule.h"
#include "filesystems/TrDosPlainFiles.h"

namespace morvane {

namespace {

constexpr std::string_view kRenameValued[] = {"--type"};

std::string FileText(const TrDosName& name, std::uint8_t type) {
    return TrimmedZxName(name) + "." + static_cast<char>(type);
}

std::string NamesMore(const std::string& argument, std::size_t count) {
    return argument + " names " + std::to_string(count) + " files; rename takes one";
}

int RenameTrDos(DiskImage& disk, TrDosCatalogue& catalogue, const VerbArgs& a, std::ostream& out,
                std::ostream& err) {
    std::vector<std::size_t> entries;
    if (!SelectTrDosEntries(catalogue, {a.positional[1]}, entries, err)) return kExitFailure;
    if (entries.size() != 1) return VerbFailure(err, NamesMore(a.positional[1], entries.size()));
    const TrDosEntry& e = catalogue.entries[entries[0]];
    TrDosEntryEdit edit{TrDosNameFromArgument(a.positional[2]), e.type, e.start, e.length};
    if (const auto type = a.values.find("--type"); type != a.values.end())
        edit.type = static_cast<std::uint8_t>(type->second[0]);
    if (const std::optional<std::string> refusal = TrDosNameRefusal(edit.name))
        return VerbFailure(err, "cannot rename " + FileText(e.name, e.type) + " to " + *refusal);
    const std::vector<std::size_t> listed = ListedEntries(catalogue, false);
    if (std::any_of(listed.begin(), listed.end(), [&](std::size_t i) {
            return i != entries[0] && catalogue.entries[i].name == edit.name &&
                   catalogue.entries[i].type == edit.type;
        }))
        return VerbFailure(err, "a file " + FileText(edit.name, edit.type) + " exists");
    const std::string before = FileText(e.name, e.type);
    if (const TrDosEditResult r = EditEntry(disk, catalogue, entries[0], edit); !r.ok)
        return VerbFailure(err, r.error);
    out << before << " -> " << FileText(edit.name, edit.type) << "\n";
    return kExitOk;
}

int RenameCpm(DiskImage& disk, const VerbArgs& a, std::ostream& out, std::ostream& err) {
    const std::string& newName = a.positional[2];
    if (a.values.count("--type")) return VerbUsage(err, "--type is for TR-DOS files");
    // NEWNAME may repeat the file's user area as U:, but cannot move it to another.
    const std::optional<CpmFileArgument> typed = SplitCpmUser(newName);
    if (!typed) return VerbUsage(err, "not a user area 0..15: " + newName);
    const std::optional<CpmName> name = typed->name.find_first_of("/\\") == std::string::npos
                                            ? CpmNameForPcFile(typed->name)
                                            : std::nullopt;
    if (!name) return VerbUsage(err, "not a CP/M file name (8.3): " + newName);
    const CpmCatalogue catalogue = ReadCpmCatalogue(disk, false, true);
    std::vector<std::size_t> entries;
    if (!SelectCpmEntries(catalogue, {a.positional[1]}, entries, err)) return kExitFailure;
    if (entries.size() != 1) return VerbFailure(err, NamesMore(a.positional[1], entries.size()));
    const CpmDirEntry& e = catalogue.entries[entries[0]];
    if (typed->name.size() != newName.size() && typed->user != e.user)
        return VerbFailure(err, "rename keeps the user area of " + CpmFileText(e.user, e.name));
    if (std::string error; !RenameCpmFile(disk, entries[0], *name, error))
        return VerbFailure(err, error);
    out << CpmFileText(e.user, e.name) << " -> " << CpmFileText(e.user, *name) << "\n";
    return kExitOk;
}

}  // namespace

int RunRename(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, kRenameValued, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() != 3)
        return VerbUsage(err, "rename takes an image, a file and a new name");
    const std::string& image = a.positional[0];
    if (a.positional[2].empty()) return VerbUsage(err, "the new name is empty");
    if (a.values.count("--type") && a.values["--type"].size() != 1)
        return VerbUsage(err, "--type takes one letter: " + a.values["--type"]);
    auto disk = std::make_unique<DiskImage>();
    FileLock lock;
    if (const int status = LockEditedImage(image, lock, err); status != kExitOk) return status;
    if (const int status = LoadEditableImage(image, *disk, err); status != kExitOk) return status;
    std::ostringstream renamed;
    TrDosCatalogue catalogue;
    int status = kExitOk;
    if (ReadTrDosCatalogue(*disk, catalogue))
        status = RenameTrDos(*disk, catalogue, a, renamed, err);
    else if (IsCpmImage(*disk))
        status = RenameCpm(*disk, a, renamed, err);
    else
        return NoCatalogueFailure(image, err);
    if (status != kExitOk) return status;
    if (const int saved = SaveVerbImage(image, *disk, err); saved != kExitOk) return saved;
    out << renamed.str();
    return kExitOk;
}

}  // namespace morvane
