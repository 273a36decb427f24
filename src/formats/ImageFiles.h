// The one table that maps an image format to its reader and writer, and the file-level
// load and save that the window, the command-line tool and the tests all go through.
// Readers and writers work on bytes in memory; here the whole file is read, or built
// and then written atomically so a failed save leaves the old file as it was.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ImageFormat.h"
#include "model/Bytes.h"
#include "model/ZxDisk.h"

namespace morvane {

using ImageReader = bool (*)(std::span<const std::uint8_t> file, TZX_Disk& disk);
using ImageWriter = bool (*)(TZX_Disk& disk, Bytes& out);

struct ImageFormatEntry {
    ImageFormat format;
    std::string_view name;  // "UDI", shown by the tool and in messages
    ImageReader read;
    ImageWriter write;  // nullptr: the format is read only
    // Start of the message-list line for a failed read ("Error load UDI - "). TRD and
    // the native image have lines of the TD0 and FDI shape, so no failure goes unsaid.
    std::string_view loadErrorPrefix;
    // The compressed form's writer (TD0's LZH "advanced" compression); nullptr where the
    // format has none.
    ImageWriter writeCompressed = nullptr;
    // The file holds sectors only, no raw tracks: before it is written, sectors known only
    // from a track's raw image (a raw read) take their data from there.
    bool sectorsOnly = false;
};

enum class ImageCompression { None, Lzh };

// Every known format, Unknown excluded, in the order udf, udi, trd, td0, fdi, scl, hobeta.
std::span<const ImageFormatEntry> ImageFormats();

// SCL archives and Hobeta files load as new TR-DOS disks. Laying files out on a TR-DOS disk
// is the filesystems layer's work, and that layer sits above this one, so their entries
// start without a reader and the filesystems layer installs its own at program start
// (InstallTrDosFileFormats in filesystems/TrDosFileImages.h). Until then they cannot be
// read; LoadImageFileAs says so.
void InstallImageFormat(ImageFormat format, ImageReader reader, ImageWriter writer);
// nullptr for Unknown.
const ImageFormatEntry* FindImageFormat(ImageFormat format);
bool CanReadFormat(ImageFormat format);
bool CanWriteFormat(ImageFormat format);
bool CanCompressFormat(ImageFormat format);

// The window's "load as"/"save as" rule: the extension after the last dot, upper-cased,
// compared by its first three characters, so "disk.udif" is a UDI image; "$" and one
// character is a Hobeta file.
ImageFormat FormatFromDialogName(std::string_view path);

// Reads the whole file and runs the reader of its extension's format. False with
// disk.LastError set when the extension is unknown, the file cannot be read or the reader
// refuses it (the reader's own message; the container then holds what the reader left).
bool LoadImageFile(const std::string& path, TZX_Disk& disk);
bool LoadImageFileAs(const std::string& path, ImageFormat format, TZX_Disk& disk);

// RestoreTrack setting's default: gaps of a full read are replaced by standard values.
inline constexpr bool kDefaultRestoreTrack = true;

// Builds the file of the extension's format and replaces path with it. A format that holds
// sectors only first fills the sectors a raw read left without data from the raw images
// (in the image itself: the same bytes). A UDI save first sets disk.NoTrackRestore to the
// inverse of restoreTrack; ImageCompression::Lzh selects
// the format's compressed writer. False with disk.LastError set for an unknown or
// read-only format, compression asked of a format without it (nothing is written), a
// writer's refusal (for UDI also disk.FailTrack/FailSlot) or a file that cannot be
// written.
bool SaveImageFile(const std::string& path, TZX_Disk& disk,
                   bool restoreTrack = kDefaultRestoreTrack,
                   ImageCompression compression = ImageCompression::None);
bool SaveImageFileAs(const std::string& path, ImageFormat format, TZX_Disk& disk,
                     bool restoreTrack = kDefaultRestoreTrack,
                     ImageCompression compression = ImageCompression::None);

// The window's message-list line for a failed read: prefix, '"', message, '"'. Empty for
// Unknown.
std::string LoadErrorLine(ImageFormat format, std::string_view lastError);

// A failed UDI save: the box text and the message-list line with the failing track and
// slot.
inline constexpr std::string_view kUdiSaveFailedText = "Ошибка создания образа UDI";
std::string UdiSaveFailedLine(const TZX_Disk& disk);

// File dialog filters, "description|pattern|..." pairs as the window's dialogs list them.
inline constexpr std::string_view kLoadAsFilter =
    "Универсальный образ диска (*.udi)|*.udi|Файл образа TRDOS диска (*.trd)|*.trd|"
    "Образ диска TeleDisk (*.td0)|*.td0|Полный образ диска (*.fdi)|*.fdi|"
    "Архив файлов TR-DOS (*.scl)|*.scl|Файл Hobeta (*.$?)|*.$?|"
    "Поддерживаемые форматы (*.udi,*.trd,*.td0,*.fdi,*.scl,*.$?)|"
    "*.fdi;*.trd;*.udi;*.td0;*.scl;*.$?";
inline constexpr int kLoadAsDefaultFilterIndex = 7;  // 1-based: "supported formats"
inline constexpr std::string_view kSaveAsFilter =
    "Универсальный образ диска (*.udi)|*.udi|Файл образа TRDOS диска (*.trd)|*.trd|"
    "Образ диска TeleDisk (*.td0)|*.td0|Полный образ диска (*.fdi)|*.fdi";
inline constexpr std::string_view kNativeFilter = "Universal Disk Format (*.udf)|*.udf";
// The save-as dialog's default extension for its 1-based filter entry; empty outside 1..4.
std::string_view SaveAsDefaultExtension(int filterIndex);
// Filters of the single-format commands ("Загрузить UDI", "Сохранить TRD", ...); empty
// where the command does not exist or does nothing (saving TD0 or FDI).
std::string_view SingleLoadFilter(ImageFormat format);
std::string_view SingleSaveFilter(ImageFormat format);
// One name filter per entry of a "description|pattern|..." filter, in the form toolkits
// such as Qt take: "description (pattern pattern)". A description that already ends with
// its patterns in parentheses is kept as it is; otherwise the patterns (';'-separated in
// the entry) are appended, so "A (*.x,*.y)|*.x;*.y" gives "A (*.x,*.y) (*.x *.y)".
std::vector<std::string> NameFilters(std::string_view filter);

}  // namespace morvane
