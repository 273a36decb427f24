// morvane-img copy: files from one image into another, TR-DOS to TR-DOS (whole sectors,
// after the destination's last file) or Profi CP/M to CP/M (the same user area and name).
// Every file is checked to fit before the destination is written, so a refusal leaves it
// as it was. A TR-DOS file with bad or missing sectors is copied only with --force, its
// sectors keeping their state where the destination's format can hold it.
#include <memory>
#include <ostream>
#include <sstream>

#include "CpmSelection.h"
#include "DamagedFiles.h"
#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmEditing.h"
#include "filesystems/CpmListing.h"
#include "filesystems/TrDosAdding.h"
#include "filesystems/TrDosListing.h"
#include "imagefiles/ImageFiles.h"

namespace morvane {

namespace {

constexpr std::string_view kCopyFlags[] = {"--force"};

// A file with bad or missing sectors goes only with force, each sector keeping its state.
int CopyTrDos(const DiskImage& source, const TrDosCatalogue& catalogue,
              const std::vector<std::string>& names, bool force, DiskImage& dest,
              std::ostream& out, std::ostream& err) {
    std::vector<TrDosEntry> entries;
    if (!SelectTrDosFiles(catalogue, names, entries, err)) return kExitFailure;
    std::vector<TrDosFileSectors> read;
    if (const int status = ReadFilesAsTheyAre(source, entries, force, "copied", read, err);
        status != kExitOk)
        return status;
    std::vector<TrDosFileData> files;
    for (std::size_t i = 0; i < entries.size(); ++i)
        files.push_back({entries[i], read[i].data, read[i].States()});
    std::string problem;
    if (!AddTrDosFiles(dest, files, problem)) return VerbFailure(err, problem);
    for (const TrDosEntry& e : entries)
        out << TrimmedZxName(e.name) << "." << static_cast<char>(e.type) << "\n";
    return DamagedFilesStatus(read);
}

int CopyCpm(const DiskImage& source, const std::vector<std::string>& names, DiskImage& dest,
            std::ostream& out, std::ostream& err) {
    std::vector<CpmFile> files;
    if (!SelectCpmFiles(ReadCpmCatalogue(source, false, true), names, files, err))
        return kExitFailure;
    for (const CpmFile& f : files) {
        std::string problem;
        if (!AddCpmFile(dest, f.user, f.name, ReadCpmFile(source, f), problem))
            return VerbFailure(err, problem);
    }
    for (const CpmFile& f : files)
        out << CpmFileText(f.user, f.name) << "\n";
    return kExitOk;
}

}  // namespace

int RunCopy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kCopyFlags, {}, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2)
        return VerbUsage(err, "copy takes a source and a destination image");
    const std::string& target = a.positional[1];
    if (!CanWriteFormat(FormatFromPath(target)))
        return VerbUsage(err, "cannot write this format: " + target);
    if (!CheckOutputIsNotInput({a.positional[0]}, target, err)) return kExitFailure;
    FileLock lock;
    if (const int status = LockEditedImage(target, lock, err); status != kExitOk) return status;
    auto source = std::make_unique<DiskImage>();
    auto dest = std::make_unique<DiskImage>();
    if (const int status = LoadVerbImage(a.positional[0], *source, err); status != kExitOk)
        return status;
    if (const int status = LoadVerbImage(target, *dest, err); status != kExitOk) return status;
    const std::vector<std::string> names(a.positional.begin() + 2, a.positional.end());
    TrDosCatalogue sourceCatalogue, destCatalogue;
    // The files' names go out only once the destination is written.
    std::ostringstream copied;
    int status = kExitOk;
    if (ReadTrDosCatalogue(*source, sourceCatalogue)) {
        if (!ReadTrDosCatalogue(*dest, destCatalogue))
            return VerbFailure(err, target + ": " + std::string(kNotTrDosImageText));
        status = CopyTrDos(*source, sourceCatalogue, names, a.Has("--force"), *dest, copied, err);
    } else if (IsCpmImage(*source)) {
        if (!IsCpmImage(*dest))
            return VerbFailure(err, target + ": " + std::string(kNotCpmImageText));
        status = CopyCpm(*source, names, *dest, copied, err);
    } else {
        return NoCatalogueFailure(a.positional[0], err);
    }
    if (status != kExitOk && status != kExitBadSectors) return status;
    if (const int saved = SaveVerbImage(target, *dest, err); saved != kExitOk) return saved;
    out << copied.str();
    return status;
}

}  // namespace morvane
