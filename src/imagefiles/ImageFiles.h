// Loading and saving image files through the format table: the window, the command-line
// tool and the tests all go through here. Readers and writers work on bytes in memory;
// here the whole file is read, or built and then written atomically so a failed save
// leaves the old file as it was.
#pragma once

#include <string>
#include <string_view>

#include "imagefiles/ImageFormatTable.h"
#include "model/FileWrite.h"
#include "model/DiskImage.h"

namespace morvane {

enum class ImageCompression { None, Lzh };

// Reads the whole file and runs the reader of its extension's format. False with
// disk.LastError set when the extension is unknown, the file cannot be read or the reader
// refuses it (the reader's own message; the container then holds what the reader left).
bool LoadImageFile(const std::string& path, DiskImage& disk);
bool LoadImageFileAs(const std::string& path, ImageFormat format, DiskImage& disk);

// RestoreTrack setting's default: gaps of a full read are replaced by standard values.
inline constexpr bool kDefaultRestoreTrack = true;

// The RestoreTrack setting as a save into this format sees it: for a format whose row
// takes it (UDI), the image's NoTrackRestore becomes its inverse; others leave the image
// as it is.
void ApplyRestoreTrackSetting(ImageFormat format, DiskImage& disk, bool restoreTrack);

// Builds the file of the extension's format and replaces path with it. The RestoreTrack
// setting is applied first (ApplyRestoreTrackSetting); a format that holds sectors only
// then fills the sectors a raw read left without data from the raw images (in the image
// itself: the same bytes). ImageCompression::Lzh selects the format's compressed writer.
// False with disk.LastError set for an unknown or read-only format, compression asked of
// a format without it (nothing is written), a writer's refusal (for UDI also
// disk.FailTrack/FailSlot) or a file that cannot be written ("cannot write PATH: why").
// The file is written as WriteFileAtomically writes it, with options.
bool SaveImageFile(const std::string& path, DiskImage& disk,
                   bool restoreTrack = kDefaultRestoreTrack,
                   ImageCompression compression = ImageCompression::None,
                   FileWriteOptions options = {});
bool SaveImageFileAs(const std::string& path, ImageFormat format, DiskImage& disk,
                     bool restoreTrack = kDefaultRestoreTrack,
                     ImageCompression compression = ImageCompression::None,
                     FileWriteOptions options = {});

// The window's message-list line for a failed read: prefix, '"', message, '"'. Empty for
// Unknown.
std::string LoadErrorLine(ImageFormat format, std::string_view lastError);

// The message-list line of a failed save that could not build the image (a row with
// buildFailedText), with the failing track and slot.
std::string UdiSaveFailedLine(const DiskImage& disk);

}  // namespace morvane
