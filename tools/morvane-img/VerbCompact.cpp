// morvane-img compact: the catalogue window's "Уплотнить": live files moved down over the
// space of deleted ones, the deleted entries dropped. A Profi CP/M disk is refused: its
// erased files' blocks are free as soon as they are erased and files need no contiguous
// space, so it has nothing to compact.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmDirectory.h"
#include "filesystems/TrDosEditing.h"

namespace morvane {

int RunCompact(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() != 1) return VerbUsage(err, "compact takes one image");
    const std::string& image = a.positional[0];
    auto disk = std::make_unique<DiskImage>();
    FileLock lock;
    if (const int status = LockEditedImage(image, lock, err); status != kExitOk) return status;
    if (const int status = LoadEditableImage(image, *disk, err); status != kExitOk) return status;
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(*disk, catalogue)) {
        if (!IsCpmImage(*disk)) return NoCatalogueFailure(image, err);
        return VerbFailure(err, image +
                                    ": a CP/M disk has nothing to compact: the blocks of an "
                                    "erased file are free at once");
    }
    const std::uint16_t before = catalogue.freeSectors;
    if (const TrDosEditResult r = CompactDisk(*disk, catalogue); !r.ok)
        return VerbFailure(err, r.error);
    if (const int status = SaveVerbImage(image, *disk, err); status != kExitOk) return status;
    out << image << ": " << catalogue.freeSectors << " free sectors (" << before << " before)\n";
    return kExitOk;
}

}  // namespace morvane
