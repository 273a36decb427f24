#include "MorvaneImg.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>
#include <span>

#include "FilesystemVerbs.h"
#include "VerbDevices.h"
#include "VerbRead.h"
#include "WriteVerbs.h"
#include "filesystems/TrDosFileImages.h"
#include "formats/ImageFiles.h"
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

int Usage(std::ostream& err, const std::string& problem) {
    if (!problem.empty()) err << "morvane-img: " << problem << "\n";
    err << UsageText();
    return kExitUsage;
}

// Loads path by its extension into disk; on failure says why on err.
bool Load(const std::string& path, TZX_Disk& disk, std::ostream& err) {
    if (LoadImageFile(path, disk)) return true;
    err << "morvane-img: cannot load " << path << ": " << disk.LastError << "\n";
    return false;
}

int Info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "info takes one file");
    const ImageFormat format = FormatFromPath(args[1]);
    if (!CanReadFormat(format)) return Usage(err, "unknown image format: " + args[1]);
    auto disk = std::make_unique<TZX_Disk>();
    if (!Load(args[1], *disk, err)) return kExitFailure;
    const ImageSummary s = Summarize(*disk);
    out << "format: " << FindImageFormat(format)->name << "\n"
        << "tracks: " << s.presentTracks << "\n"
        << "sectors: " << s.sectors << "\n"
        << "bad sectors: " << s.badSectors << "\n"
        << "raw tracks: " << s.rawTracks << "\n";
    return kExitOk;
}

int Sectors(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "sectors takes one file");
    if (!CanReadFormat(FormatFromPath(args[1])))
        return Usage(err, "unknown image format: " + args[1]);
    auto disk = std::make_unique<TZX_Disk>();
    if (!Load(args[1], *disk, err)) return kExitFailure;
    PrintSectors(*disk, out);
    return kExitOk;
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
        return Usage(err, "--compress applies to a td0 output only: " + files[1]);
    auto disk = std::make_unique<TZX_Disk>();
    if (!Load(files[0], *disk, err)) return kExitFailure;
    if (!SaveImageFile(files[1], *disk, restoreTrack, compression)) {
        err << "morvane-img: cannot save " << files[1] << ": " << disk->LastError << "\n";
        return kExitFailure;
    }
    out << files[0] << " (" << FindImageFormat(in)->name << ", " << Summarize(*disk).presentTracks
        << " tracks) -> " << files[1] << " (" << FindImageFormat(outFormat)->name
        << (compress ? ", LZH" : "") << ")\n";
    return kExitOk;
}

}  // namespace

ImageSummary Summarize(const TZX_Disk& disk) {
    ImageSummary s;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const TTrack& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        ++s.presentTracks;
        if (track.RawLength > 0) ++s.rawTracks;
        for (const TSectorSlot& slot : track.Slots) {
            if (slot.Present == 0) continue;
            ++s.sectors;
            if (slot.DataGood == 0) ++s.badSectors;
        }
    }
    return s;
}

void PrintSectors(const TZX_Disk& disk, std::ostream& out) {
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const TTrack& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
            const TSectorSlot& slot = track.Slots[s];
            if (slot.Present == 0) continue;
            const std::size_t length = std::min<std::size_t>(slot.DataLength, kTrackBufferSize);
            const std::uint32_t crc = ImageCrc32(slot.Data.first(length));
            out << t << '\t' << s << '\t' << int{slot.Cylinder} << '\t' << int{slot.Head} << '\t'
                << int{slot.Sector} << '\t' << int{slot.SizeCode} << '\t' << int{slot.DataGood}
                << '\t' << slot.DataLength << '\t' << Hex8(crc) << '\n';
        }
    }
}

std::string UsageText() {
    return "usage: morvane-img info FILE\n"
           "       morvane-img sectors FILE\n"
           "       morvane-img convert [--no-restore-track] [--compress] IN OUT\n" +
           ReadUsageText() + WriteUsageText() + DevicesUsageText() +
           "       morvane-img cat IMAGE [--deleted] [--hidden]\n"
           "       morvane-img export-hob [--force] IMAGE DIR [FILE...]\n"
           "       morvane-img export-scl [--force] IMAGE OUT.scl [FILE...]\n"
           "       morvane-img cpm-get [--force] IMAGE [U:]NAME.EXT OUT\n"
           "       morvane-img cpm-get [--force] IMAGE --all DIR\n"
           "       morvane-img new trdos|cpm [--force] [--name NAME] OUT\n"
           "       morvane-img add IMAGE FILE.scl|FILE.$T...\n"
           "       morvane-img cpm-put IMAGE [U:]FILE...\n"
           "Reads and writes udi, trd, td0, fdi and udf images, SCL archives and Hobeta files\n"
           "(by extension; an SCL or Hobeta file reads as a new TR-DOS disk of its files).\n"
           "--no-restore-track keeps the gap bytes of full track reads in a UDI output.\n"
           "--compress writes a td0 output with LZH (TeleDisk \"advanced\") compression.\n"
           "FILE is a TR-DOS name without its trailing spaces, optionally .TYPE (boot.B); no\n"
           "FILE exports every file. Existing files are overwritten only with --force.\n";
}

int RunMorvaneImg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    InstallTrDosFileFormats();
    if (args.empty()) return Usage(err, "");
    const std::string& command = args[0];
    if (command == "-h" || command == "--help") {
        out << UsageText();
        return kExitOk;
    }
    if (command == "info") return Info(args, out, err);
    if (command == "sectors") return Sectors(args, out, err);
    if (command == "convert") return Convert(args, out, err);
    if (command == "read") return RunRead(args, out, err);
    if (command == "write" || command == "format")
        return (command == "write" ? RunWrite : RunFormat)(args, out, err);
    if (command == "cat") return RunCat(args, out, err);
    if (command == "export-hob") return RunExportHobeta(args, out, err);
    if (command == "export-scl") return RunExportScl(args, out, err);
    if (command == "cpm-get") return RunCpmGet(args, out, err);
    if (command == "new") return RunNewImage(args, out, err);
    if (command == "add") return RunAdd(args, out, err);
    if (command == "cpm-put") return RunCpmPut(args, out, err);
    if (command == "devices") return RunDevices(args, out, err);
    return Usage(err, "unknown command " + command);
}

}  // namespace morvane
