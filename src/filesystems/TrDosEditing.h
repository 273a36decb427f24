// Changes the catalogue window makes to a TR-DOS image: delete, rename the disk, compact,
// edit one entry. Each writes the sectors of the image at once, keeps the information
// sector's counters right and reads the catalogue record again from the image, so the
// window and later commands never act on a stale record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "filesystems/TrDosCatalogue.h"
#include "model/DiskImage.h"

namespace morvane {

// ok false: error holds the message box text (caption "Ошибка..!"); changes made before
// the failure stay in the image.
struct TrDosEditResult {
    bool ok = true;
    std::string error;
};

// Marks the entries deleted (first name byte 0x01), last index first.
TrDosEditResult DeleteEntries(DiskImage& disk, TrDosCatalogue& catalogue,
                              std::span<const std::size_t> entries);

// Whether an accepted rename changes anything: the entered text differs from the current
// name with its trailing spaces and control bytes dropped.
bool RenameNeeded(const TrDosName& current, std::string_view entered);
// Zeroes the name field of the information sector and copies the first 8 bytes of name
// into it (a shorter name is followed by zero bytes). False when sector 9 is missing.
bool RenameDisk(DiskImage& disk, TrDosCatalogue& catalogue, std::string_view name);

// Moves the live files down over the space of deleted ones, in the order of their position
// on the disk (files sharing sectors together, by one offset), drops the deleted entries
// from the catalogue and sets the free-space fields.
TrDosEditResult CompactDisk(DiskImage& disk, TrDosCatalogue& catalogue);

// "Редактировать заголовок": the fields a user may change in one entry.
struct TrDosEntryEdit {
    TrDosName name{};
    std::uint8_t type = 0;
    std::uint16_t start = 0;
    std::uint16_t length = 0;
};
// The entry's name bytes for a text: the first 8 bytes, space padded.
TrDosName TrDosNameFromText(std::string_view text);
// Writes the fields into the entry. A new name TR-DOS would not read as a name
// (TrDosNameRefusal) is refused with the reason, the image unchanged.
TrDosEditResult EditEntry(DiskImage& disk, TrDosCatalogue& catalogue, std::size_t entry,
                          const TrDosEntryEdit& edit);

// Writes the number of files and of deleted files (first name byte 0x01) into the
// information sector, as TR-DOS counts them: of the catalogue entries before the first
// whose name begins with a zero byte. False when a catalogue
// sector or sector 9 is not readable.
bool RecountTrDosInfo(DiskImage& disk);

}  // namespace morvane
