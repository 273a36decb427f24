#include "VerbSupport.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

#include "MorvaneImg.h"
#include "filesystems/NamePatterns.h"
#include "filesystems/TrDosListing.h"
#include "imagefiles/ImageFiles.h"
#include "model/Bytes.h"

namespace morvane {

bool ParseVerbArgs(const std::vector<std::string>& args, std::span<const std::string_view> flags,
                   std::span<const std::string_view> valued, VerbArgs& out, std::string& problem) {
    out = VerbArgs{};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!a.starts_with("--")) {
            out.positional.push_back(a);
        } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
            out.flags.insert(a);
        } else if (std::find(valued.begin(), valued.end(), a) != valued.end()) {
            if (i + 1 >= args.size()) {
                problem = a + " needs a value";
                return false;
            }
            out.values[a] = args[++i];
        } else {
            problem = "unknown option " + a;
            return false;
        }
    }
    return true;
}

int VerbUsage(std::ostream& err, const std::string& problem) {
    err << "morvane-img: " << problem << "\n" << UsageText();
    return kExitUsage;
}

int VerbFailure(std::ostream& err, const std::string& reason) {
    err << "morvane-img: " << reason << "\n";
    return kExitFailure;
}

int LoadVerbImage(const std::string& path, DiskImage& disk, std::ostream& err) {
    if (!CanReadFormat(FormatFromPath(path)))
        return VerbUsage(err, "unknown image format: " + path);
    if (LoadImageFile(path, disk)) {
        PrintLoadNotes(path, disk, err);
        return kExitOk;
    }
    return VerbFailure(err, "cannot load " + path + ": " + disk.LastError);
}

bool CheckTargets(const std::vector<std::string>& paths, bool force, std::ostream& err) {
    for (const std::string& p : paths) {
        std::error_code ec;
        const bool exists = std::filesystem::exists(p, ec);
        if (ec) {
            VerbFailure(err, "cannot write " + p + ": " + ec.message());
            return false;
        }
        if (exists && !force) {
            VerbFailure(err, p + " exists; --force overwrites it");
            return false;
        }
    }
    if (force) return true;
    std::set<std::string> seen;
    for (const std::string& p : paths) {
        if (!seen.insert(p).second) {
            VerbFailure(err, "two files would be written to " + p + "; --force lets the last win");
            return false;
        }
    }
    return true;
}

bool WriteVerbOutput(const std::string& path, std::span<const std::uint8_t> bytes,
                     std::ostream& err, bool force) {
    const FileWriteResult written = WriteFileAtomically(path, bytes, {.replace = force});
    if (written) return true;
    if (written.error == EEXIST && !force)
        VerbFailure(err, path + " exists; --force overwrites it");
    else
        VerbFailure(err, "cannot write " + path + ": " + written.reason);
    return false;
}

bool CheckOutputIsNotInput(const std::vector<std::string>& inputs, const std::string& output,
                           std::ostream& err) {
    for (const std::string& input : inputs) {
        if (!SameFile(input, output)) continue;
        VerbFailure(err, output + " is the input " + input + "; write the output to another file");
        return false;
    }
    return true;
}

int LockEditedImage(const std::string& path, FileLock& lock, std::ostream& err) {
    if (!CanWriteFormat(FormatFromPath(path)))
        return VerbUsage(err, "cannot write this format: " + path);
    if (const FileWriteResult replaceable = CheckReplaceable(path); !replaceable) {
        if (replaceable.error == ENOENT) return kExitOk;
        return VerbFailure(err, "cannot change " + path + ": " + replaceable.reason);
    }
    if (lock.Acquire(path, kImageLockWait) == FileLockResult::Busy)
        return VerbFailure(err, FileInUseText(path));
    return kExitOk;
}

std::optional<std::size_t> CataloguePosition(std::string_view argument) {
    if (argument.size() < 2 || argument.size() > 4 || argument[0] != '#') return std::nullopt;
    std::size_t n = 0;
    for (char c : argument.substr(1)) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (n == 0) return std::nullopt;
    return n - 1;
}

bool SelectTrDosEntries(const TrDosCatalogue& catalogue, const std::vector<std::string>& names,
                        std::vector<std::size_t>& out, std::ostream& err) {
    out.clear();
    const std::vector<std::size_t> listed = ListedEntries(catalogue, false);
    if (names.empty()) {
        out = listed;
        return true;
    }
    auto take = [&out](std::size_t entry) {
        if (std::find(out.begin(), out.end(), entry) == out.end()) out.push_back(entry);
    };
    for (const std::string& name : names) {
        auto found = std::find_if(listed.begin(), listed.end(), [&](std::size_t i) {
            return EntryMatchesArgument(catalogue.entries[i], name);
        });
        // "#N": the N-th catalogue entry, counted from 1, deleted ones included (the row of
        // cat --deleted); a file of that very name comes first.
        if (const std::optional<std::size_t> at = CataloguePosition(name);
            found == listed.end() && at)
            found = std::find(listed.begin(), listed.end(), *at);
        if (found != listed.end()) {
            take(*found);
            continue;
        }
        bool matched = false;
        if (IsNamePattern(name)) {
            for (std::size_t i : listed) {
                if (!EntryMatchesPattern(catalogue.entries[i], name)) continue;
                take(i);
                matched = true;
            }
        }
        if (!matched) {
            VerbFailure(err, "no file " + name + " in the catalogue");
            return false;
        }
    }
    return true;
}

bool SelectTrDosFiles(const TrDosCatalogue& catalogue, const std::vector<std::string>& names,
                      std::vector<TrDosEntry>& out, std::ostream& err) {
    out.clear();
    std::vector<std::size_t> entries;
    if (!SelectTrDosEntries(catalogue, names, entries, err)) return false;
    for (std::size_t i : entries)
        out.push_back(catalogue.entries[i]);
    return true;
}

int LoadTrDosFiles(const VerbArgs& a, DiskImage& disk, std::vector<TrDosEntry>& files,
                   std::ostream& err) {
    if (const int status = LoadVerbImage(a.positional[0], disk, err); status != kExitOk)
        return status;
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(disk, catalogue))
        return VerbFailure(err, std::string(kNotTrDosImageText));
    const std::vector<std::string> names(a.positional.begin() + 2, a.positional.end());
    return SelectTrDosFiles(catalogue, names, files, err) ? kExitOk : kExitFailure;
}

int LoadEditableImage(const std::string& path, DiskImage& disk, std::ostream& err) {
    if (!CanWriteFormat(FormatFromPath(path)))
        return VerbUsage(err, "cannot write this format: " + path);
    return LoadVerbImage(path, disk, err);
}

int NoCatalogueFailure(const std::string& path, std::ostream& err) {
    return VerbFailure(err, path + ": holds neither a TR-DOS nor a CP/M catalogue");
}

int LoadTrDosImage(const std::string& path, DiskImage& disk, TrDosCatalogue& catalogue,
                   std::ostream& err) {
    if (const int status = LoadEditableImage(path, disk, err); status != kExitOk) return status;
    if (!ReadTrDosCatalogue(disk, catalogue))
        return VerbFailure(err, std::string(kNotTrDosImageText));
    return kExitOk;
}

int SaveVerbImage(const std::string& path, DiskImage& disk, std::ostream& err) {
    if (SaveImageFile(path, disk)) return kExitOk;
    return VerbFailure(err, "cannot save " + path + ": " + disk.LastError);
}

}  // namespace morvane
