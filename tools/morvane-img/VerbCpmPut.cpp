// morvane-img cpm-put: PC files stored on a Profi CP/M image under their names (upper-cased,
// 8.3); the image is rewritten in its own format only when every file went in.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmEditing.h"
#include "filesystems/CpmWindowRules.h"
#include "formats/ImageFiles.h"

namespace morvane {

int RunCpmPut(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2) return VerbUsage(err, "cpm-put takes an image and files to add");
    const std::string& image = a.positional[0];
    if (!CanWriteFormat(FormatFromPath(image)))
        return VerbUsage(err, "cannot write this format: " + image);
    for (std::size_t i = 1; i < a.positional.size(); ++i)
        if (!CpmNameForPcFile(a.positional[i]))
            return VerbUsage(err, "not a CP/M file name (8.3): " + a.positional[i]);

    auto disk = std::make_unique<TZX_Disk>();
    if (const int status = LoadVerbImage(image, *disk, err); status != kExitOk) return status;
    if (!IsCpmImage(*disk)) return VerbFailure(err, std::string(kNotCpmImageText));
    for (std::size_t i = 1; i < a.positional.size(); ++i) {
        const std::string& path = a.positional[i];
        Bytes bytes;
        if (!ReadWholeFile(path, bytes)) return VerbFailure(err, "cannot read " + path);
        if (!AddCpmFile(*disk, *CpmNameForPcFile(path), bytes, problem))
            return VerbFailure(err, "cannot add " + path + ": " + problem);
    }
    if (!SaveImageFile(image, *disk))
        return VerbFailure(err, "cannot save " + image + ": " + disk->LastError);
    for (std::size_t i = 1; i < a.positional.size(); ++i) {
        const CpmName name = *CpmNameForPcFile(a.positional[i]);
        out << std::string(name.begin(), name.end()) << "\n";
    }
    return kExitOk;
}

}  // namespace morvane
