// morvane-img add: files added to a TR-DOS image after its last file: Hobeta files, SCL
// archives, every file of a .tap tape file, and plain files (FILE.bin or any other) made
// TR-DOS files by --name, --type and --start. The image is rewritten in its own format
// only when every file fits.
#include <charconv>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/TrDosAdding.h"
#include "filesystems/TrDosPlainFiles.h"
#include "filesystems/ZxTape.h"
#include "imagefiles/ImageFiles.h"

namespace morvane {

namespace {

constexpr std::string_view kAddValued[] = {"--name", "--type", "--start"};

// 0..65535, decimal or with 0x in front.
std::optional<std::uint16_t> ParseWord(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

bool IsFileSet(const std::string& path) {
    const ImageFormat f = FormatFromPath(path);
    return f == ImageFormat::Scl || f == ImageFormat::Hobeta;
}

// The type and start of the plain files from the options.
int PlainOptions(VerbArgs& a, PlainFileFields& fields, std::ostream& err) {
    if (a.values.count("--type")) {
        const std::string& type = a.values["--type"];
        if (type.size() != 1) return VerbUsage(err, "--type takes one letter: " + type);
        fields.type = static_cast<std::uint8_t>(type[0]);
    }
    if (a.values.count("--start")) {
        fields.start = ParseWord(a.values["--start"]);
        if (!fields.start) return VerbUsage(err, "--start takes 0..65535: " + a.values["--start"]);
    }
    return kExitOk;
}

}  // namespace

int RunAdd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, {}, kAddValued, a, problem)) return VerbUsage(err, problem);
    if (a.positional.size() < 2) return VerbUsage(err, "add takes an image and files to add");
    const std::string& image = a.positional[0];
    if (!CanWriteFormat(FormatFromPath(image)))
        return VerbUsage(err, "cannot write this format: " + image);
    std::size_t plainCount = 0;
    for (std::size_t i = 1; i < a.positional.size(); ++i)
        if (!IsTapFileName(a.positional[i]) && !IsFileSet(a.positional[i])) ++plainCount;
    if (plainCount > 1 && a.values.count("--name"))
        return VerbUsage(err, "--name names one plain file, not " + std::to_string(plainCount));
    if (plainCount == 0 && !a.values.empty())
        return VerbUsage(err, "--name, --type and --start are for plain files, and none is given");
    PlainFileFields plain;
    if (const int status = PlainOptions(a, plain, err); status != kExitOk) return status;

    std::vector<TrDosFileData> files;
    for (std::size_t i = 1; i < a.positional.size(); ++i) {
        const std::string& path = a.positional[i];
        Bytes bytes;
        if (!ReadWholeFile(path, bytes)) return VerbFailure(err, "cannot read " + path);
        std::vector<TrDosFileData> some(1);
        bool ok = false;
        if (IsTapFileName(path)) {
            ok = TrDosFilesOfTap(bytes, some, problem);
        } else if (IsFileSet(path)) {
            ok = ParseTrDosFileSet(FormatFromPath(path), bytes, some, problem);
        } else {
            // The name is the PC file's own unless --name gives one.
            PlainFileFields fields = plain;
            fields.name = TrDosNameFromArgument(a.values.count("--name")
                                                    ? a.values["--name"]
                                                    : std::filesystem::path(path).stem().string());
            ok = MakeTrDosFile(fields, bytes, some[0], problem);
        }
        if (!ok) return VerbFailure(err, path + ": " + problem);
        for (TrDosFileData& f : some)
            files.push_back(std::move(f));
    }
    FileLock lock;
    if (const int status = LockEditedImage(image, lock, err); status != kExitOk) return status;
    auto disk = std::make_unique<DiskImage>();
    if (const int status = LoadVerbImage(image, *disk, err); status != kExitOk) return status;
    if (!AddTrDosFiles(*disk, files, problem))
        return VerbFailure(err, "cannot add to " + image + ": " + problem);
    if (const int status = SaveVerbImage(image, *disk, err); status != kExitOk) return status;
    for (const TrDosFileData& f : files)
        out << TrimmedZxName(f.entry.name) << "." << static_cast<char>(f.entry.type) << "\n";
    return kExitOk;
}

}  // namespace morvane
