// morvane-img list: the listing of a TR-DOS BASIC file (type B), line by line, as
// "Просмотр BASIC" of the catalogue window shows it; the variables after the program are
// left out.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/TrDosListing.h"
#include "filesystems/TrDosPlainFiles.h"
#include "filesystems/TrDosSectors.h"
#include "filesystems/ZxBasic.h"

namespace morvane {

int RunList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() != 2) return VerbUsage(err, "list takes an image and a file");
    auto disk = std::make_unique<DiskImage>();
    std::vector<TrDosEntry> files;
    if (const int status = LoadVerbImage(a.positional[0], *disk, err); status != kExitOk)
        return status;
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(*disk, catalogue))
        return VerbFailure(err, std::string(kNotTrDosImageText));
    if (!SelectTrDosFiles(catalogue, {a.positional[1]}, files, err)) return kExitFailure;
    if (files.size() != 1)
        return VerbFailure(err, a.positional[1] + " names " + std::to_string(files.size()) +
                                    " files; list takes one");
    const TrDosEntry& e = files[0];
    if (e.type != kTrDosBasic)
        return VerbFailure(
            err, a.positional[1] + " is no BASIC program (type " + static_cast<char>(e.type) + ")");
    const std::string listing = TrDosBasicListing(*disk, e, problem);
    if (!problem.empty()) return VerbFailure(err, problem);
    out << listing;
    return kExitOk;
}

}  // namespace morvane
