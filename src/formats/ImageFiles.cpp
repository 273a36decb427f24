#include "formats/ImageFiles.h"

#include <array>
#include <cctype>

#include "formats/Fdi.h"
#include "formats/Native.h"
#include "formats/Trd.h"
#include "formats/td0/Td0.h"
#include "formats/td0/Td0Writer.h"
#include "formats/udi/Udi.h"
#include "model/RawSectorData.h"
#include "model/Refuse.h"

namespace morvane {

namespace {

std::array<ImageFormatEntry, 7> kFormats{{
    {ImageFormat::Udf, "UDF", &ReadNative, &WriteNative, "Error load UDF -"},
    {ImageFormat::Udi, "UDI", &ReadUdi, &WriteUdi, "Error load UDI - "},
    {ImageFormat::Trd, "TRD", &ReadTrd, &WriteTrd, "Error load TRD -", nullptr, true},
    {ImageFormat::Td0, "TD0", &ReadTd0, &WriteTd0, "Error load TD0 -", &WriteTd0Compressed, true},
    {ImageFormat::Fdi, "FDI", &ReadFdi, &WriteFdi, "Error load FDI -", nullptr, true},
    {ImageFormat::Scl, "SCL", nullptr, nullptr, "Error load SCL -", nullptr, true},
    {ImageFormat::Hobeta, "Hobeta", nullptr, nullptr, "Error load Hobeta -", nullptr, true},
}};

ImageFormatEntry* MutableEntry(ImageFormat format) {
    for (ImageFormatEntry& entry : kFormats) {
        if (entry.format == format) return &entry;
    }
    return nullptr;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::span<const ImageFormatEntry> ImageFormats() {
    return kFormats;
}

const ImageFormatEntry* FindImageFormat(ImageFormat format) {
    return MutableEntry(format);
}

void InstallImageFormat(ImageFormat format, ImageReader reader, ImageWriter writer) {
    ImageFormatEntry* entry = MutableEntry(format);
    if (entry == nullptr) return;
    entry->read = reader;
    entry->write = writer;
}

bool CanReadFormat(ImageFormat format) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    return entry != nullptr && entry->read != nullptr;
}

bool CanWriteFormat(ImageFormat format) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    return entry != nullptr && entry->write != nullptr;
}

bool CanCompressFormat(ImageFormat format) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    return entry != nullptr && entry->writeCompressed != nullptr;
}

ImageFormat FormatFromDialogName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return ImageFormat::Unknown;
    if (FormatFromPath(name) == ImageFormat::Hobeta) return ImageFormat::Hobeta;
    const std::string head = Upper(name.substr(dot + 1, 3));
    for (const ImageFormatEntry& entry : kFormats) {
        if (entry.format != ImageFormat::Udf && head == Upper(entry.name)) return entry.format;
    }
    return ImageFormat::Unknown;
}

bool LoadImageFile(const std::string& path, TZX_Disk& disk) {
    return LoadImageFileAs(path, FormatFromPath(path), disk);
}

bool LoadImageFileAs(const std::string& path, ImageFormat format, TZX_Disk& disk) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry == nullptr) return Refuse(disk, "unknown image format: " + path);
    if (entry->read == nullptr)
        return Refuse(disk, std::string(entry->name) + " files cannot be read by this program");
    Bytes file;
    if (path.empty() || !ReadWholeFile(path, file)) return Refuse(disk, "cannot read " + path);
    return entry->read(file, disk);
}

bool SaveImageFile(const std::string& path, TZX_Disk& disk, bool restoreTrack,
                   ImageCompression compression) {
    return SaveImageFileAs(path, FormatFromPath(path), disk, restoreTrack, compression);
}

bool SaveImageFileAs(const std::string& path, ImageFormat format, TZX_Disk& disk, bool restoreTrack,
                     ImageCompression compression) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry == nullptr) return Refuse(disk, "unknown image format: " + path);
    const ImageWriter writer =
        compression == ImageCompression::None ? entry->write : entry->writeCompressed;
    if (entry->write == nullptr)
        return Refuse(disk, std::string(entry->name) + " images can only be read");
    if (writer == nullptr)
        return Refuse(disk, std::string(entry->name) + " images have no compressed form");
    if (format == ImageFormat::Udi) disk.NoTrackRestore = !restoreTrack;
    if (entry->sectorsOnly) TakeSectorDataFromRawTracks(disk);
    Bytes out;
    if (!writer(disk, out)) {
        if (format == ImageFormat::Udi)
            return Refuse(disk, "UDI image cannot be built: track " +
                                    std::to_string(disk.FailTrack) + ", slot " +
                                    std::to_string(disk.FailSlot));
        if (format == ImageFormat::Trd)
            return Refuse(disk, "TRD image cannot be built: a track lacks one of sectors 1..16");
        return false;  // the other writers leave their own message
    }
    if (!WriteFileAtomically(path, out)) return Refuse(disk, "cannot write " + path);
    return true;
}

std::string LoadErrorLine(ImageFormat format, std::string_view lastError) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry == nullptr || entry->loadErrorPrefix.empty()) return {};
    std::string line(entry->loadErrorPrefix);
    line += '"';
    line += lastError;
    line += '"';
    return line;
}

std::string UdiSaveFailedLine(const TZX_Disk& disk) {
    return "Ошибка в дорожке - " + std::to_string(disk.FailTrack) + " / Сектор - " +
           std::to_string(disk.FailSlot);
}

std::string_view SaveAsDefaultExtension(int filterIndex) {
    static constexpr std::array<ImageFormat, 4> kEntries{ImageFormat::Udi, ImageFormat::Trd,
                                                         ImageFormat::Td0, ImageFormat::Fdi};
    if (filterIndex < 1 || filterIndex > static_cast<int>(kEntries.size())) return {};
    return FormatExtension(kEntries[static_cast<std::size_t>(filterIndex - 1)]);
}

std::string_view SingleLoadFilter(ImageFormat format) {
    switch (format) {
        case ImageFormat::Udf:
            return kNativeFilter;
        case ImageFormat::Udi:
            return "Universal Disk Image (*.udi)|*.udi";
        case ImageFormat::Trd:
            return "Файл образа TRDOS диска (*.trd)|*.trd";
        case ImageFormat::Td0:
            return "Образ диска TeleDisk (*.td0)|*.td0";
        case ImageFormat::Fdi:
            return "Образ диска (*.fdi)|*.fdi";
        case ImageFormat::Scl:
        case ImageFormat::Hobeta:
        case ImageFormat::Unknown:
            break;
    }
    return {};
}

std::string_view SingleSaveFilter(ImageFormat format) {
    switch (format) {
        case ImageFormat::Udf:
            return kNativeFilter;
        case ImageFormat::Udi:
            return "Ultra Disk Image (*.udi)|*.udi";
        case ImageFormat::Trd:
            return "Образ стандартного TRDOS диска (*.trd)|*.trd";
        case ImageFormat::Td0:
        case ImageFormat::Fdi:
        case ImageFormat::Scl:
        case ImageFormat::Hobeta:
        case ImageFormat::Unknown:
            break;
    }
    return {};
}

std::vector<std::string> NameFilters(std::string_view filter) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (pos <= filter.size()) {
        const std::size_t bar = filter.find('|', pos);
        const std::size_t end = bar == std::string_view::npos ? filter.size() : bar;
        parts.push_back(filter.substr(pos, end - pos));
        pos = end + 1;
    }
    std::vector<std::string> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns(parts[i + 1]);
        for (char& c : patterns)
            if (c == ';') c = ' ';
        std::string entry(parts[i]);
        if (!entry.ends_with("(" + patterns + ")")) entry += " (" + patterns + ")";
        filters.push_back(std::move(entry));
    }
    return filters;
}

}  // namespace morvane
