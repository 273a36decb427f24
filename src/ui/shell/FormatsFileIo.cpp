#include "ui/shell/FormatsFileIo.h"

#include <QFile>

#include "model/Refuse.h"

namespace morvane {

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

bool FormatsFileIo::Read(ImageFormat format, const QString& path, DiskImage& disk) {
    return LoadImageFileAs(LocalPath(path), format, disk);
}

// The commands have already applied the RestoreTrack setting to the image (WriteImage); the
// NoTrackRestore it left is passed on as that setting.
bool FormatsFileIo::Write(ImageFormat format, const QString& path, DiskImage& disk) {
    return Save(format, path, disk, ImageCompression::None);
}

bool FormatsFileIo::WriteCompressed(ImageFormat format, const QString& path, DiskImage& disk) {
    return Save(format, path, disk, ImageCompression::Lzh);
}

// A file that does not exist yet has nothing to lock.
bool FormatsFileIo::Save(ImageFormat format, const QString& path, DiskImage& disk,
                         ImageCompression compression) {
    const std::string local = LocalPath(path);
    FileLock lock;
    if (lock.Acquire(local, lockWait_) == FileLockResult::Busy)
        return Refuse(disk, FileInUseText(local));
    return SaveImageFileAs(local, format, disk, !disk.NoTrackRestore, compression);
}

}  // namespace morvane
