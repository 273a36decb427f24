// The rows of the format table (ImageFormatTable.h). Adding a format: its enumerator in
// formats/ImageFormat.h, its reader and writer files, and its row here.
#pragma once

#include <array>
#include <string>

#include "filesystems/TrDosFileImages.h"
#include "formats/Fdi.h"
#include "formats/Native.h"
#include "formats/Trd.h"
#include "formats/td0/Td0.h"
#include "formats/td0/Td0Writer.h"
#include "formats/udi/Udi.h"
#include "imagefiles/ImageFormatTable.h"

namespace morvane {

inline std::string UdiBuildFailure(const DiskImage& disk) {
    return "UDI image cannot be built: track " + std::to_string(disk.FailTrack) + ", slot " +
           std::to_string(disk.FailSlot);
}

inline std::string TrdBuildFailure(const DiskImage&) {
    return "TRD image cannot be built: a track lacks one of sectors 1..16";
}

inline constexpr std::string_view kOverwriteCaption = "Внимание..!";

inline constexpr std::array<ImageFormatEntry, 7> kImageFormatRows{{
    {
        .format = ImageFormat::Udf,
        .name = "UDF",
        .extension = "udf",
        .filter = "Universal Disk Format (*.udf)|*.udf",
        .saveAs = true,
        .read = &ReadNative,
        .write = &WriteNative,
        .loadErrorPrefix = "Error load UDF -",
        .savesInPlace = true,
        .singleLoad = {.title = kLoadImageTitle},
        .singleSave = {.title = kSaveImageTitle, .overwriteCaption = kOverwriteCaption},
    },
    {
        .format = ImageFormat::Udi,
        .name = "UDI",
        .extension = "udi",
        .filter = "Универсальный образ диска (*.udi)|*.udi",
        .loadAs = true,
        .saveAs = true,
        .read = &ReadUdi,
        .write = &WriteUdi,
        .loadErrorPrefix = "Error load UDI - ",
        .writeFailure = &UdiBuildFailure,
        .buildFailedText = "Ошибка создания образа UDI",
        .savesInPlace = true,
        .restoreTrackSetting = true,
        .singleLoad = {.title = kLoadImageTitle,
                       .filter = "Universal Disk Image (*.udi)|*.udi",
                       .showsCommentPage = true},
        .singleSave = {.title = kSaveImageTitle,
                       .filter = "Ultra Disk Image (*.udi)|*.udi",
                       .overwriteCaption = kOverwriteCaption},
    },
    {
        .format = ImageFormat::Trd,
        .name = "TRD",
        .extension = "trd",
        .filter = "Файл образа TRDOS диска (*.trd)|*.trd",
        .loadAs = true,
        .saveAs = true,
        .read = &ReadTrd,
        .write = &WriteTrd,
        .loadErrorPrefix = "Error load TRD -",
        .writeFailure = &TrdBuildFailure,
        .sectorsOnly = true,
        .savesInPlace = true,
        .singleLoad = {.title = "Загрузить образ TRD диска из файла..", .mapBeforeReading = true},
        .singleSave = {.title = "Сохранить образ в TRD файл..",
                       .filter = "Образ стандартного TRDOS диска (*.trd)|*.trd",
                       .overwriteCaption = "Внимание!"},
    },
    {
        .format = ImageFormat::Td0,
        .name = "TD0",
        .extension = "td0",
        .filter = "Образ диска TeleDisk (*.td0)|*.td0",
        .loadAs = true,
        .saveAs = true,
        .read = &ReadTd0,
        .write = &WriteTd0,
        .writeCompressed = &WriteTd0Compressed,
        .compressQuestion = "Сохранить образ TD0 со сжатием (LZH)?",
        .loadErrorPrefix = "Error load TD0 -",
        .sectorsOnly = true,
        .singleLoad = {.title = "Загрузить образ Teledisk из файла..", .mapBeforeReading = true},
    },
    {
        .format = ImageFormat::Fdi,
        .name = "FDI",
        .extension = "fdi",
        .filter = "Полный образ диска (*.fdi)|*.fdi",
        .loadAs = true,
        .saveAs = true,
        .read = &ReadFdi,
        .write = &WriteFdi,
        .loadErrorPrefix = "Error load FDI -",
        .sectorsOnly = true,
        .singleLoad = {.title = "Загрузить образ FDI из файла..",
                       .filter = "Образ диска (*.fdi)|*.fdi",
                       .mapBeforeReading = true},
    },
    {
        .format = ImageFormat::Scl,
        .name = "SCL",
        .extension = "scl",
        .filter = "Архив файлов TR-DOS (*.scl)|*.scl",
        .loadAs = true,
        .saveAs = true,
        .read = &ReadSclImage,
        .write = &WriteSclImage,
        .loadErrorPrefix = "Error load SCL -",
        .sectorsOnly = true,
        .fileSetName = "SCL archives",
    },
    {
        .format = ImageFormat::Hobeta,
        .name = "Hobeta",
        .extension = "$?",
        .filter = "Файл Hobeta (*.$?)|*.$?",
        .loadAs = true,
        .saveAs = true,
        .read = &ReadHobetaImage,
        .write = &WriteHobetaImage,
        .loadErrorPrefix = "Error load Hobeta -",
        .sectorsOnly = true,
        .fileSetName = "Hobeta files",
    },
}};

}  // namespace morvane
