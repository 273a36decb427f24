#include <QString>

#include <memory>
#include <ostream>

#include "MorvaneImg.h"
#include "WriteTarget.h"
#include "WriteVerbs.h"
#include "filesystems/NewImages.h"
#include "model/DiskImage.h"

namespace morvane {

namespace {

int Usage(std::ostream& err, const std::string& problem) {
    err << "morvane-img: " << problem << "\n" << WriteUsageText();
    return kExitUsage;
}

}  // namespace

int RunFormat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    WriteTarget target;
    std::optional<NewDiskKind> kind;
    std::string name(kNewTrDosDiskName), problem;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::optional<bool> taken = TakeTargetOption(args, i, target, problem);
        if (taken) {
            if (!*taken) return Usage(err, problem);
        } else if (args[i] == "--name") {
            if (i + 1 >= args.size()) return Usage(err, "--name needs a value");
            name = args[++i];
        } else if (args[i].starts_with("--")) {
            return Usage(err, "unknown option " + args[i]);
        } else if (!kind && (args[i] == "trdos" || args[i] == "cpm")) {
            kind = args[i] == "trdos" ? NewDiskKind::TrDos : NewDiskKind::Cpm;
        } else {
            return Usage(err, "format takes trdos or cpm");
        }
    }
    if (!kind) return Usage(err, "format takes trdos or cpm");
    auto unused = std::make_unique<DiskImage>();
    return RunOnTarget(
        target, *unused,
        [&](OperationContext& ctx) {
            return FormatWholeDisk(ctx, *kind, QString::fromStdString(name));
        },
        out, err);
}

}  // namespace morvane
