#include <memory>
#include <ostream>

#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "WriteTarget.h"
#include "WriteVerbs.h"
#include "imagefiles/ImageFiles.h"
#include "model/DiskImage.h"

namespace morvane {

namespace {

int Usage(std::ostream& err, const std::string& problem) {
    err << "morvane-img: " << problem << "\n" << WriteUsageText();
    return kExitUsage;
}

}  // namespace

int RunWrite(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    WriteTarget target;
    DiskWriteOptions options;
    std::string input, problem;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::optional<bool> taken = TakeTargetOption(args, i, target, problem);
        if (taken) {
            if (!*taken) return Usage(err, problem);
        } else if (args[i] == "--no-verify") {
            options.verify = false;
        } else if (args[i].starts_with("--")) {
            return Usage(err, "unknown option " + args[i]);
        } else if (input.empty()) {
            input = args[i];
        } else {
            return Usage(err, "write takes one image");
        }
    }
    if (input.empty()) return Usage(err, "write takes one image");
    if (!CanReadFormat(FormatFromPath(input))) return Usage(err, "unknown image format: " + input);
    if (!target.virtualOut.empty() && !CheckOutputIsNotInput({input}, target.virtualOut, err))
        return kExitFailure;
    auto image = std::make_unique<DiskImage>();
    if (!LoadImageFile(input, *image)) {
        err << "morvane-img: cannot load " << input << ": " << image->LastError << "\n";
        return kExitFailure;
    }
    return RunOnTarget(
        target, *image, [&](OperationContext& ctx) { return WriteWholeDisk(ctx, options); }, out,
        err);
}

}  // namespace morvane
