// morvane-img delete: TR-DOS files marked deleted, as "Удалить файл(ы)" of the catalogue
// window marks them; their sectors stay until compact.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/TrDosEditing.h"

namespace morvane {

int RunDelete(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2) return VerbUsage(err, "delete takes an image and files");
    const std::string& image = a.positional[0];
    auto disk = std::make_unique<TZX_Disk>();
    TrDosCatalogue catalogue;
    if (const int status = LoadTrDosImage(image, *disk, catalogue, err); status != kExitOk)
        return status;
    std::vector<std::size_t> entries;
    if (!SelectTrDosEntries(catalogue, {a.positional.begin() + 1, a.positional.end()}, entries,
                            err))
        return kExitFailure;
    std::vector<std::string> names;
    for (std::size_t i : entries)
        names.push_back(TrimmedZxName(catalogue.entries[i].name) + "." +
                        static_cast<char>(catalogue.entries[i].type));
    if (const TrDosEditResult r = DeleteEntries(*disk, catalogue, entries); !r.ok)
        return VerbFailure(err, r.error);
    if (const int status = SaveVerbImage(image, *disk, err); status != kExitOk) return status;
    for (const std::string& name : names)
        out << name << "\n";
    return kExitOk;
}

}  // namespace morvane
