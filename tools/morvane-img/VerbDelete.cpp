// morvane-img delete: TR-DOS files marked deleted, as "Удалить файл(ы)" of the catalogue
// window marks them, their sectors taken until compact; or Profi CP/M files erased, every
// extent of each, as the CP/M window's "Удалить файл(ы)" erases them, their blocks free at
// once.
#include <memory>
#include <ostream>
#include <sstream>

#include "CpmSelection.h"
#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmEditing.h"
#include "filesystems/TrDosEditing.h"

namespace morvane {

namespace {

int DeleteTrDos(DiskImage& disk, TrDosCatalogue& catalogue, const std::vector<std::string>& files,
                std::ostream& out, std::ostream& err) {
    std::vector<std::size_t> entries;
    if (!SelectTrDosEntries(catalogue, files, entries, err)) return kExitFailure;
    for (std::size_t i : entries)
        out << TrimmedZxName(catalogue.entries[i].name) << "."
            << static_cast<char>(catalogue.entries[i].type) << "\n";
    if (const TrDosEditResult r = DeleteEntries(disk, catalogue, entries); !r.ok)
        return VerbFailure(err, r.error);
    return kExitOk;
}

int DeleteCpm(DiskImage& disk, const std::vector<std::string>& files, std::ostream& out,
              std::ostream& err) {
    const CpmCatalogue catalogue = ReadCpmCatalogue(disk, false, true);
    std::vector<std::size_t> entries;
    if (!SelectCpmEntries(catalogue, files, entries, err)) return kExitFailure;
    for (std::size_t i : entries)
        out << CpmFileText(catalogue.entries[i].user, catalogue.entries[i].name) << "\n";
    if (std::string error; !DeleteCpmFiles(disk, entries, error)) return VerbFailure(err, error);
    return kExitOk;
}

}  // namespace

int RunDelete(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2) return VerbUsage(err, "delete takes an image and files");
    const std::string& image = a.positional[0];
    auto disk = std::make_unique<DiskImage>();
    FileLock lock;
    if (const int status = LockEditedImage(image, lock, err); status != kExitOk) return status;
    if (const int status = LoadEditableImage(image, *disk, err); status != kExitOk) return status;
    const std::vector<std::string> files(a.positional.begin() + 1, a.positional.end());
    // The names go out only once the image is written.
    std::ostringstream deleted;
    TrDosCatalogue catalogue;
    int status = kExitOk;
    if (ReadTrDosCatalogue(*disk, catalogue))
        status = DeleteTrDos(*disk, catalogue, files, deleted, err);
    else if (IsCpmImage(*disk))
        status = DeleteCpm(*disk, files, deleted, err);
    else
        return NoCatalogueFailure(image, err);
    if (status != kExitOk) return status;
    if (const int saved = SaveVerbImage(image, *disk, err); saved != kExitOk) return saved;
    out << deleted.str();
    return kExitOk;
}

}  // namespace morvane
