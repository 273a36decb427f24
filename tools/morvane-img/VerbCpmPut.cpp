// morvane-img cpm-put: PC files stored on a Profi CP/M image under their names (upper-cased,
// 8.3), in user area 0 or, for a file given as U:PATH, in user area U; the image is
// rewritten in its own format only when every file went in.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmEditing.h"
#include "filesystems/CpmListing.h"
#include "imagefiles/ImageFiles.h"

namespace morvane {

int RunCpmPut(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2) return VerbUsage(err, "cpm-put takes an image and files to add");
    const std::string& image = a.positional[0];
    if (!CanWriteFormat(FormatFromPath(image)))
        return VerbUsage(err, "cannot write this format: " + image);
    std::vector<CpmFileArgument> files;
    for (std::size_t i = 1; i < a.positional.size(); ++i) {
        const std::optional<CpmFileArgument> file = SplitCpmUser(a.positional[i]);
        if (!file) return VerbUsage(err, "not a user area 0..15: " + a.positional[i]);
        if (!CpmNameForPcFile(file->name))
            return VerbUsage(err, "not a CP/M file name (8.3): " + a.positional[i]);
        files.push_back(*file);
    }

    FileLock lock;
    if (const int status = LockEditedImage(image, lock, err); status != kExitOk) return status;
    auto disk = std::make_unique<DiskImage>();
    if (const int status = LoadVerbImage(image, *disk, err); status != kExitOk) return status;
    if (!IsCpmImage(*disk)) return VerbFailure(err, std::string(kNotCpmImageText));
    for (const CpmFileArgument& file : files) {
        const std::string path(file.name);
        Bytes bytes;
        if (!ReadWholeFile(path, bytes)) return VerbFailure(err, "cannot read " + path);
        if (!AddCpmFile(*disk, file.user, *CpmNameForPcFile(path), bytes, problem))
            return VerbFailure(err, "cannot add " + path + ": " + problem);
    }
    if (!SaveImageFile(image, *disk))
        return VerbFailure(err, "cannot save " + image + ": " + disk->LastError);
    for (const CpmFileArgument& file : files) {
        const CpmName name = *CpmNameForPcFile(file.name);
        out << (file.user != 0 ? std::to_string(file.user) + ":" : "")
            << std::string(name.begin(), name.end()) << "\n";
    }
    return kExitOk;
}

}  // namespace morvane
