// morvane-img new: an empty formatted TR-DOS or Profi CP/M image, saved in the format of the
// output's extension.
#include <memory>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/NewImages.h"
#include "imagefiles/ImageFiles.h"
#include "model/Cp1251.h"

namespace morvane {

namespace {
constexpr std::string_view kNewFlags[] = {"--force"};
constexpr std::string_view kNewValued[] = {"--name"};
}  // namespace

int RunNewImage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kNewFlags, kNewValued, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() != 2)
        return VerbUsage(err, "new takes trdos or cpm and an output file");
    const std::string& kind = a.positional[0];
    const std::string& target = a.positional[1];
    if (kind != "trdos" && kind != "cpm")
        return VerbUsage(err, "new makes trdos or cpm, not " + kind);
    if (kind == "cpm" && a.values.count("--name") != 0)
        return VerbUsage(err, "a CP/M disk has no name");
    if (!CanWriteFormat(FormatFromPath(target)))
        return VerbUsage(err, "cannot write this format: " + target);
    if (!CheckTargets({target}, a.Has("--force"), err)) return kExitFailure;

    auto disk = std::make_unique<DiskImage>();
    if (kind == "trdos") {
        const auto name = a.values.find("--name");
        // The disk keeps its name in Windows-1251, as the catalogue shows it.
        const Bytes bytes =
            Utf8ToCp1251(name != a.values.end() ? name->second : std::string(kNewTrDosDiskName));
        CreateTrDosImage(*disk, std::string(bytes.begin(), bytes.end()));
    } else {
        CreateCpmImage(*disk);
    }
    // Without --force, never over a file made since CheckTargets looked.
    if (!SaveImageFile(target, *disk, kDefaultRestoreTrack, ImageCompression::None,
                       {.replace = a.Has("--force")}))
        return VerbFailure(err, "cannot save " + target + ": " + disk->LastError);
    out << target << "\n";
    return kExitOk;
}

}  // namespace morvane
