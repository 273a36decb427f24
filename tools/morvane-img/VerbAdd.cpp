// morvane-img add: Hobeta files and SCL archives added to a TR-DOS image after its last
// file; the image is rewritten in its own format only when every file fits.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/TrDosAdding.h"
#include "imagefiles/ImageFiles.h"

namespace morvane {

int RunAdd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2) return VerbUsage(err, "add takes an image and files to add");
    const std::string& image = a.positional[0];
    if (!CanWriteFormat(FormatFromPath(image)))
        return VerbUsage(err, "cannot write this format: " + image);

    std::vector<TrDosFileData> files;
    for (std::size_t i = 1; i < a.positional.size(); ++i) {
        const std::string& path = a.positional[i];
        Bytes bytes;
        if (!ReadWholeFile(path, bytes)) return VerbFailure(err, "cannot read " + path);
        std::vector<TrDosFileData> some;
        if (!ParseTrDosFileSet(FormatFromPath(path), bytes, some, problem))
            return VerbFailure(err, path + ": " + problem);
        for (TrDosFileData& f : some)
            files.push_back(std::move(f));
    }
    auto disk = std::make_unique<TZX_Disk>();
    if (const int status = LoadVerbImage(image, *disk, err); status != kExitOk) return status;
    if (!AddTrDosFiles(*disk, files, problem))
        return VerbFailure(err, "cannot add to " + image + ": " + problem);
    if (!SaveImageFile(image, *disk))
        return VerbFailure(err, "cannot save " + image + ": " + disk->LastError);
    for (const TrDosFileData& f : files)
        out << TrimmedZxName(f.entry.name) << "." << static_cast<char>(f.entry.type) << "\n";
    return kExitOk;
}

}  // namespace morvane
