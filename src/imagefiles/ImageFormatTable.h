// The format table: one row per image file format, saying how its files are named, how
// the file dialogs list them, how they are read and written and what the window's commands
// do with them. The rows are in ImageFormatRows.h; everything else that depends on the
// formats (choosing one by a file's name, loading and saving, the dialogs' filters,
// morvane-img's list) is read from them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "formats/ImageFormat.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

using ImageReader = bool (*)(std::span<const std::uint8_t> file, DiskImage& disk);
using ImageWriter = bool (*)(DiskImage& disk, Bytes& out);
// Why a writer that leaves no message of its own failed, from what it left in the image.
using WriteFailureText = std::string (*)(const DiskImage& disk);

// Titles that the single-format commands share with others.
inline constexpr std::string_view kLoadImageTitle = "Загрузить образ диска из файла..";
inline constexpr std::string_view kSaveImageTitle = "Сохранить образ диска в файл..";

// A format's item among the window's single-format load commands ("Загрузить UDI", ...).
// The native format's is "Загрузить".
struct SingleLoadCommand {
    std::string_view title = {};   // of its dialog; empty: the format has no such command
    std::string_view filter = {};  // of its dialog; empty: the row's filter
    // TRD, TD0 and FDI scroll the map to its top before reading and show it again after
    // setting the comments; UDI shows the map before the comments.
    bool mapBeforeReading = false;
    // Brings the comment page to the front after loading (UDI).
    bool showsCommentPage = false;
};

// A format's item among the single-format save commands ("Сохранить UDI", ...). The
// native format's is "Сохранить".
struct SingleSaveCommand {
    std::string_view title = {};             // empty: the format has no such command
    std::string_view filter = {};            // empty: the row's filter
    std::string_view overwriteCaption = {};  // of the box that asks before replacing a file
};

struct ImageFormatEntry {
    ImageFormat format = ImageFormat::Unknown;
    std::string_view name = {};  // "UDI": shown by morvane-img and in messages
    // Lower-case, without the dot; '?' stands for any one character ("$?": a Hobeta
    // file's '$' and its TR-DOS type letter).
    std::string_view extension = {};
    // "description (*.ext)|*.ext": the format's entry in the dialogs that list several.
    std::string_view filter = {};
    // Listed by "Загрузить как..." and chosen by name there and in "Сохранить как...".
    bool loadAs = false;
    // An entry of "Сохранить как...", which then gives its extension: every format with a
    // writer. The native format's entry comes last there, after the formats of the files
    // other programs exchange.
    bool saveAs = false;

    ImageReader read = nullptr;
    ImageWriter write = nullptr;  // nullptr: the format is read only
    // The compressed form's writer (TD0's LZH "advanced" compression), and what
    // "Сохранить как..." asks before using it.
    ImageWriter writeCompressed = nullptr;
    std::string_view compressQuestion = {};

    // Start of the message-list line for a failed read ("Error load UDI - ").
    std::string_view loadErrorPrefix = {};
    // For a writer that fails without a message: the LastError a failed save leaves.
    WriteFailureText writeFailure = nullptr;
    // The window's box text for a failed save of an image that could not be built; the
    // failing track and slot then go into the message list (UDI). Empty: the box says the
    // file could not be written.
    std::string_view buildFailedText = {};

    // The file holds sectors only, no raw tracks: before it is written, sectors known only
    // from a track's raw image (a raw read) take their data from there.
    bool sectorsOnly = false;
    // The file keeps what the window shows of an image, so saving into the image's own
    // file loses nothing the user could see; the others go through "Сохранить как...".
    bool savesInPlace = false;
    // A save first sets the image's NoTrackRestore from the RestoreTrack setting (UDI).
    bool restoreTrackSetting = false;
    // A set of TR-DOS files rather than a disk: how morvane-img's help names such files
    // ("SCL archives"). Empty for a disk image.
    std::string_view fileSetName = {};

    SingleLoadCommand singleLoad = {};
    SingleSaveCommand singleSave = {};
};

// Every row, in the order udf, udi, trd, td0, fdi, scl, hobeta.
std::span<const ImageFormatEntry> ImageFormats();
// nullptr for Unknown.
const ImageFormatEntry* FindImageFormat(ImageFormat format);
bool CanReadFormat(ImageFormat format);
bool CanWriteFormat(ImageFormat format);
bool CanCompressFormat(ImageFormat format);

// By the extension of the path's file name, case-insensitive ("a.TRD" -> Trd). A Hobeta
// file's extension is '$' and its TR-DOS type letter ("boot.$B").
ImageFormat FormatFromPath(std::string_view path);
// Lower-case extension without the dot ("trd"); empty for Unknown; "$?" for Hobeta.
std::string_view FormatExtension(ImageFormat format);
// The window's "load as"/"save as" rule: the first three characters of the extension,
// case-insensitive, against the extensions of the formats those dialogs list, so
// "disk.udif" is a UDI image and "disk.udf" none of them.
ImageFormat FormatFromDialogName(std::string_view path);

}  // namespace morvane
