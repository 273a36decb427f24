// Adding files to a TR-DOS disk as TR-DOS itself does: each file takes the next catalogue
// entry (the first whose name begins with a zero byte, where TR-DOS ends the catalogue, or
// the first past its end) and consecutive sectors from the information sector's first free sector on; the
// information sector's first free sector and track, number of files and free sectors
// follow. Also reading the PC files that carry TR-DOS files: SCL archives and Hobeta files.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "filesystems/TrDosCatalogue.h"
#include "filesystems/TrDosFileSectors.h"
#include "formats/ImageFormat.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

// One TR-DOS file off the disk: its catalogue fields (first sector and track unused) and
// its sectors, entry.sectors * 256 bytes; for a file copied from another image, the state
// each sector had there (none: every sector good). Added, a bad sector keeps its data
// marked in error and a missing one becomes an ID without data.
struct TrDosFileData {
    TrDosEntry entry;
    Bytes data;
    std::vector<FileSectorState> states = {};
};

// The files of an SCL archive (format Scl) or a Hobeta file (Hobeta), in their order; for
// any other format, as its content says (an archive starts with "SINCLAIR"). False with
// error set for a file that is cut short or whose checksum does not match.
bool ParseTrDosFileSet(ImageFormat format, std::span<const std::uint8_t> bytes,
                       std::vector<TrDosFileData>& out, std::string& error);

// Whether TR-DOS reads every file's name as a name (TrDosNameRule.h): a name that begins
// with 0x01 or 0x00 would not be listed or exported. False with error naming the first
// such file and why.
bool CheckTrDosNames(std::span<const TrDosFileData> files, std::string& error);

// Whether the files fit the disk after its last file: the information sector's first free
// sector past track 0 and past the end of every entry, deleted ones included (not erased
// last files, whose names begin with a zero byte); free catalogue entries and free sectors
// (the information sector's count, and no further than the disk's last track). False with
// error saying what is wrong or short.
bool CheckTrDosRoom(const DiskImage& disk, std::span<const TrDosFileData> files, std::string& error);

// Checks the names and the room, then writes the files' entries and sectors and the
// information sector. False with error set, and the image not changed, when a name would
// not be listed, the image is no TR-DOS disk, a sector to be written is missing or the
// files do not fit.
bool AddTrDosFiles(DiskImage& disk, std::span<const TrDosFileData> files, std::string& error);

}  // namespace morvane
