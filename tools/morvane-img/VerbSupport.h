// What the filesystem verbs of morvane-img share: options, loading the image, refusing to
// overwrite files, atomic writes, and the TR-DOS files named on the command line.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filesystems/TrDosCatalogue.h"
#include "model/FileLock.h"
#include "model/DiskImage.h"

namespace morvane {

struct VerbArgs {
    std::vector<std::string> positional;        // the verb excluded
    std::set<std::string> flags;                // "--force"
    std::map<std::string, std::string> values;  // "--name" -> "DISK"
    bool Has(std::string_view flag) const { return flags.count(std::string(flag)) != 0; }
};

// Splits args (verb first) into positional arguments, the allowed flags and the allowed
// options that take a value. False with problem set for anything else.
bool ParseVerbArgs(const std::vector<std::string>& args, std::span<const std::string_view> flags,
                   std::span<const std::string_view> valued, VerbArgs& out, std::string& problem);

// "morvane-img: problem" and the usage text on err; returns the usage status.
int VerbUsage(std::ostream& err, const std::string& problem);
// "morvane-img: reason" on err; returns the failure status.
int VerbFailure(std::ostream& err, const std::string& reason);

// Loads an image by its extension, saying on err what the reader noted about the file
// (PrintLoadNotes). Returns 0 when loaded, otherwise the status to exit with (usage for an
// unknown extension), the reason already on err.
int LoadVerbImage(const std::string& path, DiskImage& disk, std::ostream& err);

// Without force, refuses when a target exists or one name is written twice; says why. A
// path the file system refuses (a loop of links, a name too long) is refused with its
// reason, force or not.
bool CheckTargets(const std::vector<std::string>& paths, bool force, std::ostream& err);
// Writes an output file atomically. Without force an existing file is never replaced, not
// even one made after CheckTargets looked. False with the reason on err.
bool WriteVerbOutput(const std::string& path, std::span<const std::uint8_t> bytes,
                     std::ostream& err, bool force = false);
// Refuses (the reason on err) when output is one of inputs: the same name, or a link to
// the same file.
bool CheckOutputIsNotInput(const std::vector<std::string>& inputs, const std::string& output,
                           std::ostream& err);

// The start of every verb that reads an image to write it back: refuses (as wrong usage) an
// image of a format the tool cannot write, and one that may not be replaced (read-only,
// hard links; CheckReplaceable), and locks it for the rest of
// the verb, waiting kImageLockWait for another edit to finish. Returns 0, or the failure
// status with the reason on err. An image that does not exist is left to the loader.
int LockEditedImage(const std::string& path, FileLock& lock, std::ostream& err);

// The entry index of "#N" (N from 1, at most three digits), nothing for any other text.
std::optional<std::size_t> CataloguePosition(std::string_view argument);

// The listed files (deleted ones left out) named by the arguments, in argument order; all
// listed files when there are none. An argument is a name (EntryMatchesArgument), a
// pattern (boot*, *.C: every file it matches, in catalogue order) or "#N", the N-th
// catalogue entry counted from 1. A file named twice is taken once. False with the reason
// on err for an argument that names no file.
bool SelectTrDosEntries(const TrDosCatalogue& catalogue, const std::vector<std::string>& names,
                        std::vector<std::size_t>& out, std::ostream& err);
bool SelectTrDosFiles(const TrDosCatalogue& catalogue, const std::vector<std::string>& names,
                      std::vector<TrDosEntry>& out, std::ostream& err);

// The export verbs' start: the image (first argument) loaded into disk, and the TR-DOS files
// named after the second argument, all when none is. Returns 0, or the status to exit with,
// the reason already on err.
int LoadTrDosFiles(const VerbArgs& a, DiskImage& disk, std::vector<TrDosEntry>& files,
                   std::ostream& err);

// The verbs that change an image of either filesystem: the image loaded. Returns 0, or the
// status to exit with, the reason already on err; an image the tool cannot write back is
// refused before it is read.
int LoadEditableImage(const std::string& path, DiskImage& disk, std::ostream& err);
// "PATH: holds neither a TR-DOS nor a CP/M catalogue" on err; the failure status.
int NoCatalogueFailure(const std::string& path, std::ostream& err);

// The verbs that change a TR-DOS image: the image loaded with its catalogue. Returns 0,
// or the status to exit with, the reason already on err; an image the tool cannot write
// back is refused before anything is done.
int LoadTrDosImage(const std::string& path, DiskImage& disk, TrDosCatalogue& catalogue,
                   std::ostream& err);
// Writes the changed image back in its own format (atomically); 0, or the failure status.
int SaveVerbImage(const std::string& path, DiskImage& disk, std::ostream& err);

}  // namespace morvane
