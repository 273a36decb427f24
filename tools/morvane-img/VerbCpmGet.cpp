// morvane-img cpm-get: files of a Profi CP/M disk as plain bytes (their records x 128): one
// named file ([U:]NAME.EXT, user 0 when no user is given) into a file of its own; the files
// named, patterns and #N taken, into a folder; or, with --all, every file that is not erased
// into a folder. In a folder the files of user area U go into its subfolder U/.
#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>

#include "CpmSelection.h"
#include "FilesystemVerbs.h"
#include "MorvaneImg.h"
#include "VerbSupport.h"
#include "filesystems/CpmListing.h"

namespace morvane {

namespace {

constexpr std::string_view kCpmGetFlags[] = {"--force"};
constexpr std::string_view kCpmGetValued[] = {"--all"};
constexpr std::string_view kReservedInFileNames = "\"*/:<>?\\|";

// NAME.EXT without the padding; attribute bits of the name bytes are dropped and bytes that
// cannot stand in a file name become '_'.
std::string PcFileName(const CpmName& name) {
    auto part = [&](std::size_t from, std::size_t count) {
        std::string text;
        for (std::size_t i = from; i < from + count; ++i) {
            const char c = static_cast<char>(name[i] & 0x7F);
            text += c < 0x20 || c == 0x7F || kReservedInFileNames.find(c) != std::string_view::npos
                        ? '_'
                        : c;
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text;
    };
    const std::string base = part(0, 8);
    const std::string type = part(8, 3);
    return type.empty() ? base : base + "." + type;
}

int GetInto(const DiskImage& disk, const std::string& image, const std::vector<CpmFile>& files,
            const std::string& folder, bool force, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return VerbFailure(err, "no folder " + folder + (ec ? ": " + ec.message() : ""));
    std::vector<std::string> paths;
    std::vector<Bytes> contents;
    for (const CpmFile& file : files) {
        // Names repeat across user areas, so each area other than 0 has a folder of its own.
        std::filesystem::path where(folder);
        if (file.user != 0) where /= std::to_string(file.user);
        paths.push_back((where / PcFileName(file.name)).string());
        contents.push_back(ReadCpmFile(disk, file));
    }
    for (const std::string& path : paths)
        if (!CheckOutputIsNotInput({image}, path, err)) return kExitFailure;
    if (!CheckTargets(paths, force, err)) return kExitFailure;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // A folder that cannot be made is named by the write's failure.
        std::filesystem::create_directories(std::filesystem::path(paths[i]).parent_path(), ec);
        if (!WriteVerbOutput(paths[i], contents[i], err, force)) return kExitFailure;
        out << paths[i] << "\n";
    }
    return kExitOk;
}

// cpm-get IMAGE DIR FILE... rather than IMAGE NAME OUT: more than one file, a pattern or #N
// after the second argument, or a folder as the second.
bool IntoFolder(const VerbArgs& a) {
    std::error_code ec;
    return a.positional.size() > 3 ||
           (a.positional.size() == 3 && (IsCpmSelection(a.positional[2]) ||
                                         std::filesystem::is_directory(a.positional[1], ec)));
}

}  // namespace

int RunCpmGet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    VerbArgs a;
    std::string problem;
    if (!ParseVerbArgs(args, kCpmGetFlags, kCpmGetValued, a, problem))
        return VerbUsage(err, problem);
    const bool all = a.values.count("--all") != 0;
    const bool intoFolder = !all && IntoFolder(a);
    if (all ? a.positional.size() != 1 : !intoFolder && a.positional.size() != 3)
        return VerbUsage(err,
                         "cpm-get takes an image and [U:]NAME.EXT OUT, DIR FILE..., or --all DIR");
    std::optional<CpmFileArgument> wanted;
    std::optional<CpmName> name;
    if (!all && !intoFolder) {
        if (IsCpmSelection(a.positional[1]))
            return VerbUsage(err, "a pattern or #N takes a folder first: " + a.positional[1]);
        wanted = SplitCpmUser(a.positional[1]);
        if (!wanted) return VerbUsage(err, "not a user area 0..15: " + a.positional[1]);
        if (!(name = CpmNameFromText(wanted->name)))
            return VerbUsage(err, "not a CP/M file name: " + a.positional[1]);
    }
    auto disk = std::make_unique<DiskImage>();
    if (const int status = LoadVerbImage(a.positional[0], *disk, err); status != kExitOk)
        return status;
    if (!IsCpmImage(*disk)) return VerbFailure(err, std::string(kNotCpmImageText));
    if (all || intoFolder) {
        const std::vector<std::string> names(a.positional.begin() + (all ? 1 : 2),
                                             a.positional.end());
        std::vector<CpmFile> files;
        if (!SelectCpmFiles(ReadCpmCatalogue(*disk, false, true), names, files, err))
            return kExitFailure;
        return GetInto(*disk, a.positional[0], files, all ? a.values["--all"] : a.positional[1],
                       a.Has("--force"), out, err);
    }

    const auto file =
        FindCpmFile(ParseCpmDirectory(ReadCpmDirectoryBytes(*disk)), wanted->user, *name);
    if (!file) return VerbFailure(err, "no file " + a.positional[1] + " in the CP/M catalogue");
    const std::string& target = a.positional[2];
    if (!CheckOutputIsNotInput({a.positional[0]}, target, err) ||
        !CheckTargets({target}, a.Has("--force"), err))
        return kExitFailure;
    const Bytes data = ReadCpmFile(*disk, *file);
    if (!WriteVerbOutput(target, data, err, a.Has("--force"))) return kExitFailure;
    out << target << " (" << data.size() << " bytes)\n";
    return kExitOk;
}

}  // namespace morvane
