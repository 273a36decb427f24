#include "VerbMerge.h"

#include <memory>
#include <ostream>

#include "MorvaneImg.h"
#include "VerbRead.h"
#include "VerbSupport.h"
#include "imagefiles/ImageFiles.h"
#include "model/ImageMerge.h"

namespace morvane {

std::string MergeUsageText() {
    return "morvane-img merge -o OUT IN1 IN2 [IN...]\n";
}

int RunMerge(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string output;
    std::vector<std::string> inputs;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) return VerbUsage(err, "-o needs a value");
            if (!output.empty()) return VerbUsage(err, "merge takes one -o");
            output = args[++i];
        } else if (args[i].starts_with("-")) {
            return VerbUsage(err, "unknown option " + args[i]);
        } else {
            inputs.push_back(args[i]);
        }
    }
    if (output.empty()) return VerbUsage(err, "merge needs -o OUT");
    if (inputs.size() < 2) return VerbUsage(err, "merge takes two or more images");
    if (!CanWriteFormat(FormatFromPath(output)))
        return VerbUsage(err, "cannot write this format: " + output);
    for (const std::string& path : inputs)
        if (!CanReadFormat(FormatFromPath(path)))
            return VerbUsage(err, "unknown image format: " + path);
    if (!CheckOutputIsNotInput(inputs, output, err)) return kExitFailure;

    std::vector<std::unique_ptr<DiskImage>> disks;
    std::vector<const DiskImage*> views;
    for (const std::string& path : inputs) {
        disks.push_back(std::make_unique<DiskImage>());
        if (const int status = LoadVerbImage(path, *disks.back(), err); status != kExitOk)
            return status;
        views.push_back(disks.back().get());
    }
    auto merged = std::make_unique<DiskImage>();
    merged->DiskLog = disks.front()->DiskLog;
    merged->ImagePath = disks.front()->ImagePath;
    const MergeReport report = MergeImages(views, *merged);
    if (!SaveImageFile(output, *merged))
        return VerbFailure(err, "cannot save " + output + ": " + merged->LastError);
    for (const std::string& line : MergeReportLines(report, kMergeWordsEnglish))
        out << line << "\n";
    return report.BadLeft() > 0 ? kExitBadSectors : kExitOk;
}

}  // namespace morvane
