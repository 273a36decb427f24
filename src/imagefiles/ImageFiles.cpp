#include "imagefiles/ImageFiles.h"

#include "model/RawSectorData.h"
#include "model/Refuse.h"

namespace morvane {

bool LoadImageFile(const std::string& path, DiskImage& disk) {
    return LoadImageFileAs(path, FormatFromPath(path), disk);
}

bool LoadImageFileAs(const std::string& path, ImageFormat format, DiskImage& disk) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry == nullptr) return Refuse(disk, "unknown image format: " + path);
    if (entry->read == nullptr)
        return Refuse(disk, std::string(entry->name) + " files cannot be read by this program");
    Bytes file;
    if (path.empty() || !ReadWholeFile(path, file)) return Refuse(disk, "cannot read " + path);
    return entry->read(file, disk);
}

void ApplyRestoreTrackSetting(ImageFormat format, DiskImage& disk, bool restoreTrack) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry != nullptr && entry->restoreTrackSetting) disk.NoTrackRestore = !restoreTrack;
}

bool SaveImageFile(const std::string& path, DiskImage& disk, bool restoreTrack,
                   ImageCompression compression, FileWriteOptions options) {
    return SaveImageFileAs(path, FormatFromPath(path), disk, restoreTrack, compression, options);
}

bool SaveImageFileAs(const std::string& path, ImageFormat format, DiskImage& disk, bool restoreTrack,
                     ImageCompression compression, FileWriteOptions options) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry == nullptr) return Refuse(disk, "unknown image format: " + path);
    const ImageWriter writer =
        compression == ImageCompression::None ? entry->write : entry->writeCompressed;
    if (entry->write == nullptr)
        return Refuse(disk, std::string(entry->name) + " images can only be read");
    if (writer == nullptr)
        return Refuse(disk, std::string(entry->name) + " images have no compressed form");
    ApplyRestoreTrackSetting(format, disk, restoreTrack);
    if (entry->sectorsOnly) TakeSectorDataFromRawTracks(disk);
    Bytes out;
    if (!writer(disk, out)) {
        // The other writers leave their own message.
        if (entry->writeFailure != nullptr) return Refuse(disk, entry->writeFailure(disk));
        return false;
    }
    if (const FileWriteResult written = WriteFileAtomically(path, out, options); !written)
        return Refuse(disk, "cannot write " + path + ": " + written.reason);
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

std::string UdiSaveFailedLine(const DiskImage& disk) {
    return "Ошибка в дорожке - " + std::to_string(disk.FailTrack) + " / Сектор - " +
           std::to_string(disk.FailSlot);
}

}  // namespace morvane
