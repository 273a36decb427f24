#include <memory>
#include <ostream>

#include "MorvaneImg.h"
#include "WriteTarget.h"
#include "WriteVerbs.h"
#include "formats/ImageFiles.h"
#include "model/ZxDisk.h"

namespace morvane {

namespace {

int Usage(std::ostream& err, const std::string& problem) {
    err << "morvane-img: " << problem << "\n" << WriteUsageText();
    return kExitUsage;
}

}  // namespace

std::string WriteUsageText() {
    return "       morvane-img write IMAGE [--drive A|B] [--no-verify] [--virtual-out OUT]\n"
           "            [--fault crc:T:R[:READS] | missing:T:R]... [--verbose]\n"
           "       morvane-img format trdos|cpm [--name NAME] [--drive A|B]\n"
           "            [--virtual-out OUT] [--verbose]\n"
           "write: formats every track of IMAGE after its layout on the disk in the drive,\n"
           "writes its sectors and reads them back. format: an empty TR-DOS (16 x 256) or\n"
           "CP/M (5 x 1024) disk of 160 tracks. --virtual-out uses the emulated controller\n"
           "with a blank disk (--fault on it) and saves what it holds into OUT. Exit 0\n"
           "written and verified, 3 sectors failed, 1 stopped.\n";
}

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
    auto image = std::make_unique<TZX_Disk>();
    if (!LoadImageFile(input, *image)) {
        err << "morvane-img: cannot load " << input << ": " << image->LastError << "\n";
        return kExitFailure;
    }
    return RunOnTarget(
        target, *image, [&](OperationContext& ctx) { return WriteWholeDisk(ctx, options); }, out,
        err);
}

}  // namespace morvane
