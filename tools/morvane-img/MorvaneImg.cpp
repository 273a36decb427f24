#include "MorvaneImg.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CatalogueJson.h"
#include "FilesystemVerbs.h"
#include "VerbDevices.h"
#include "VerbMerge.h"
#include "VerbRead.h"
#include "VerbSupport.h"
#include "WriteVerbs.h"
#include "imagefiles/ImageFiles.h"
#include "model/Checksums.h"

namespace morvane {

namespace {

constexpr std::string_view kNoRestoreOption = "--no-restore-track";
constexpr std::string_view kCompressOption = "--compress";

std::string Hex8(std::uint32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(v));
    return text;
}

// "a, b and c".
std::string Listed(const std::vector<std::string_view>& items, std::string_view lastJoin) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? lastJoin : ", ";
        text += items[i];
    }
    return text;
}

// What the help says of the formats, from the format table: the disk images by their
// extensions, those of the window's format-choosing dialogs first, then the sets of TR-DOS
// files.
std::string FormatsHelp() {
    std::vector<std::string_view> images;
    std::vector<std::string_view> fileSets;
    std::vector<std::string_view> fileSetNames;
    for (const bool inDialogs : {true, false}) {
        for (const ImageFormatEntry& row : ImageFormats()) {
            if (row.loadAs != inDialogs) continue;
            if (row.fileSetName.empty()) {
                images.push_back(row.extension);
            } else {
                fileSets.push_back(row.fileSetName);
                fileSetNames.push_back(row.name);
            }
        }
    }
    return "Reads and writes " + Listed(images, " and ") + " images, " + Listed(fileSets, " and ") +
           "\n(by extension; an " + Listed(fileSetNames, " or ") +
           " file reads as a new TR-DOS disk of its files).\n";
}

// The extensions of the formats --compress applies to ("td0").
std::string CompressedFormats() {
    std::vector<std::string_view> extensions;
    for (const ImageFormatEntry& row : ImageFormats())
        if (row.writeCompressed != nullptr) extensions.push_back(row.extension);
    return Listed(extensions, " or ");
}

int Usage(std::ostream& err, const std::string& problem) {
    if (!problem.empty()) err << "morvane-img: " << problem << "\n";
    err << UsageText();
    return kExitUsage;
}

// Loads path by its extension into disk and says what the reader noted about the file;
// on failure says why on err.
bool Load(const std::string& path, DiskImage& disk, std::ostream& err) {
    if (LoadImageFile(path, disk)) {
        PrintLoadNotes(path, disk, err);
        return true;
    }
    err << "morvane-img: cannot load " << path << ": " << disk.LastError << "\n";
    return false;
}

// A file that lacks sectors was read with them missing: the verbs that read the whole
// image end as done with bad sectors left.
int LoadedStatus(const DiskImage& disk) {
    return AnySectorsMissing(disk.LoadNotes) ? kExitBadSectors : kExitOk;
}

int Info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool json = args.size() == 3 && args[1] == "--json";
    if (args.size() != 2 && !json) return Usage(err, "info takes one file");
    const std::string& path = args.back();
    const ImageFormat format = FormatFromPath(path);
    if (!CanReadFormat(format)) return Usage(err, "unknown image format: " + path);
    auto disk = std::make_unique<DiskImage>();
    if (!Load(path, *disk, err)) return kExitFailure;
    if (json) {
        PrintImageJson(*disk, FindImageFormat(format)->name, out);
        return LoadedStatus(*disk);
    }
    const ImageSummary s = Summarize(*disk);
    out << "format: " << FindImageFormat(format)->name << "\n"
        << "tracks: " << s.presentTracks << "\n"
        << "sectors: " << s.sectors << "\n"
        << "bad sectors: " << s.badSectors << "\n"
        << "raw tracks: " << s.rawTracks << "\n";
    return LoadedStatus(*disk);
}

int Sectors(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "sectors takes one file");
    if (!CanReadFormat(FormatFromPath(args[1])))
        return Usage(err, "unknown image format: " + args[1]);
    auto disk = std::make_unique<DiskImage>();
    if (!Load(args[1], *disk, err)) return kExitFailure;
    PrintSectors(*disk, out);
    return LoadedStatus(*disk);
}

int Convert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool restoreTrack = kDefaultRestoreTrack;
    ImageCompression compression = ImageCompression::None;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == kNoRestoreOption) {
            restoreTrack = false;
        } else if (args[i] == kCompressOption) {
            compression = ImageCompression::Lzh;
        } else if (args[i].starts_with("--")) {
            return Usage(err, "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return Usage(err, "convert takes an input and an output file");
    const ImageFormat in = FormatFromPath(files[0]);
    const ImageFormat outFormat = FormatFromPath(files[1]);
    if (!CanReadFormat(in)) return Usage(err, "unknown image format: " + files[0]);
    if (!CanWriteFormat(outFormat)) return Usage(err, "cannot write this format: " + files[1]);
    const bool compress = compression != ImageCompression::None;
    if (compress && !CanCompressFormat(outFormat))
        return Usage(
            err, "--compress applies to a " + CompressedFormats() + " output only: " + files[1]);
    if (!CheckOutputIsNotInput({files[0]}, files[1], err)) return kExitFailure;
    auto disk = std::make_unique<DiskImage>();
    if (!Load(files[0], *disk, err)) return kExitFailure;
    if (!SaveImageFile(files[1], *disk, restoreTrack, compression)) {
        err << "morvane-img: cannot save " << files[1] << ": " << disk->LastError << "\n";
        return kExitFailure;
    }
    out << files[0] << " (" << FindImageFormat(in)->name << ", " << Summarize(*disk).presentTracks
        << " tracks) -> " << files[1] << " (" << FindImageFormat(outFormat)->name
        << (compress ? ", LZH" : "") << ")\n";
    return LoadedStatus(*disk);
}

}  // namespace

ImageSummary Summarize(const DiskImage& disk) {
    ImageSummary s;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        ++s.presentTracks;
        if (track.RawLength > 0) ++s.rawTracks;
        for (const SectorSlot& slot : track.Slots) {
            if (slot.Present == 0) continue;
            ++s.sectors;
            if (slot.DataGood == 0) ++s.badSectors;
        }
    }
    return s;
}

void PrintLoadNotes(const std::string& path, const DiskImage& disk, std::ostream& err) {
    for (const LoadNote& note : disk.LoadNotes)
        err << "morvane-img: " << path << ": " << note.text << "\n";
}

void PrintSectors(const DiskImage& disk, std::ostream& out) {
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
            const SectorSlot& slot = track.Slots[s];
            if (slot.Present == 0) continue;
            const std::size_t length = std::min<std::size_t>(slot.DataLength, kTrackBufferSize);
            const std::uint32_t crc = ImageCrc32(slot.Data.first(length));
            out << t << '\t' << s << '\t' << int{slot.Cylinder} << '\t' << int{slot.Head} << '\t'
                << int{slot.Sector} << '\t' << int{slot.SizeCode} << '\t' << int{slot.DataGood}
                << '\t' << slot.DataLength << '\t' << Hex8(crc) << '\n';
        }
    }
}

namespace {

using VerbRun = int (*)(const std::vector<std::string>& args, std::ostream& out,
                        std::ostream& err);

// Every verb: its name, what runs it and its usage lines. A new verb is one row here and
// its Run function in a file of its own.
struct VerbRow {
    std::string_view name;
    VerbRun run;
    std::string (*usage)();  // nothing for a verb whose lines another row prints
};

const VerbRow kVerbs[] = {
    {"info", &Info, [] { return std::string("morvane-img info [--json] FILE\n"); }},
    {"sectors", &Sectors, [] { return std::string("morvane-img sectors FILE\n"); }},
    {"convert", &Convert,
     [] { return std::string("morvane-img convert [--no-restore-track] [--compress] IN OUT\n"); }},
    {"merge", &RunMerge, &MergeUsageText},
    {"read", &RunRead, &ReadUsageText},
    {"write", &RunWrite, &WriteUsageText},
    {"format", &RunFormat, nullptr},  // with write
    {"devices", &RunDevices, &DevicesUsageText},
    {"cat", &RunCat,
     [] { return std::string("morvane-img cat IMAGE [--deleted] [--hidden] [--json]\n"); }},
    {"list", &RunList, [] { return std::string("morvane-img list IMAGE FILE\n"); }},
    {"export-hob", &RunExportHobeta,
     [] { return std::string("morvane-img export-hob [--force] IMAGE DIR [FILE...]\n"); }},
    {"export-scl", &RunExportScl,
     [] { return std::string("morvane-img export-scl [--force] IMAGE OUT.scl [FILE...]\n"); }},
    {"export-bin", &RunExportBin,
     [] { return std::string("morvane-img export-bin [--force] IMAGE DIR [FILE...]\n"); }},
    {"export-tap", &RunExportTap,
     [] { return std::string("morvane-img export-tap [--force] IMAGE OUT.tap [FILE...]\n"); }},
    {"cpm-get", &RunCpmGet,
     [] {
         return std::string(
             "morvane-img cpm-get [--force] IMAGE [U:]NAME.EXT OUT\n"
             "       morvane-img cpm-get [--force] IMAGE DIR FILE...\n"
             "       morvane-img cpm-get [--force] IMAGE --all DIR\n");
     }},
    {"new", &RunNewImage,
     [] { return std::string("morvane-img new trdos|cpm [--force] [--name NAME] OUT\n"); }},
    {"add", &RunAdd,
     [] {
         return std::string(
             "morvane-img add IMAGE FILE.scl|FILE.$T|FILE.tap...\n"
             "       morvane-img add IMAGE FILE.bin [--name NAME] [--type C|B|D] [--start N]\n");
     }},
    {"copy", &RunCopy,
     [] { return std::string("morvane-img copy [--force] SRC DEST [FILE...]\n"); }},
    {"delete", &RunDelete, [] { return std::string("morvane-img delete IMAGE FILE...\n"); }},
    {"rename", &RunRename,
     [] { return std::string("morvane-img rename IMAGE FILE NEWNAME [--type T]\n"); }},
    {"compact", &RunCompact, [] { return std::string("morvane-img compact IMAGE\n"); }},
    {"cpm-put", &RunCpmPut,
     [] { return std::string("morvane-img cpm-put IMAGE [U:]FILE...\n"); }},
};

}  // namespace

std::string UsageText() {
    std::string text;
    for (const VerbRow& verb : kVerbs) {
        if (verb.usage == nullptr) continue;
        std::string lines = verb.usage();
        // The first line of all carries "usage:", the others line up under it; the device
        // verbs' lines come indented already.
        if (lines.starts_with("morvane-img"))
            lines.insert(0, text.empty() ? "usage: " : "       ");
        else if (text.empty())
            lines.replace(0, 7, "usage: ");
        text += lines;
    }
    return text + FormatsHelp() +
           "--no-restore-track keeps the gap bytes of full track reads in a UDI output.\n"
           "--compress writes a td0 output with LZH (TeleDisk \"advanced\") compression.\n"
           "FILE is a TR-DOS name without its trailing spaces, optionally .TYPE (boot.B), a\n"
           "pattern (boot*, *.C) or #N (catalogue entry N); no FILE takes every file.\n"
           "On a CP/M disk FILE is [U:]NAME.EXT or [U:]pattern (user area U, 0 without;\n"
           "letter case aside) or #N (directory entry N).\n"
           "Existing files are overwritten only with --force.\n"
           "A TR-DOS file with bad or missing sectors is exported or copied only with\n"
           "--force (exit 3), its sectors as the image holds them.\n";
}

int RunMorvaneImg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return Usage(err, "");
    const std::string& command = args[0];
    if (command == "-h" || command == "--help") {
        out << UsageText();
        return kExitOk;
    }
    for (const VerbRow& verb : kVerbs)
        if (command == verb.name) return verb.run(args, out, err);
    return Usage(err, "unknown command " + command);
}

}  // namespace morvane
