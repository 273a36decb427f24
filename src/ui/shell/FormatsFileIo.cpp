#include "ui/shell/FormatsFileIo.h"

#include <QFile>

#include "imagefiles/ImageFiles.h"

namespace morvane {

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

bool FormatsFileIo::Read(ImageFormat format, const QString& path, TZX_Disk& disk) {
    return LoadImageFileAs(LocalPath(path), format, disk);
}

// The commands have already applied the RestoreTrack setting to the image (WriteImage); the
// NoTrackRestore it left is passed on as that setting.
bool FormatsFileIo::Write(ImageFormat format, const QString& path, TZX_Disk& disk) {
    return SaveImageFileAs(LocalPath(path), format, disk, !disk.NoTrackRestore);
}

bool FormatsFileIo::WriteCompressed(ImageFormat format, const QString& path, TZX_Disk& disk) {
    return SaveImageFileAs(LocalPath(path), format, disk, !disk.NoTrackRestore,
                           ImageCompression::Lzh);
}

}  // namespace morvane
