// The image files as the format table (src/imagefiles) reads and writes them.
#pragma once

#include <chrono>

#include "imagefiles/ImageFiles.h"
#include "model/FileLock.h"
#include "ui/shell/ImageFileCommands.h"

namespace morvane {

class FormatsFileIo : public ImageFileIo {
  public:
    // A save locks the file it replaces, as morvane-img's edits do, waiting up to lockWait
    // for an edit that holds it.
    explicit FormatsFileIo(std::chrono::milliseconds lockWait = kImageLockWait)
        : lockWait_(lockWait) {}

    bool Read(ImageFormat format, const QString& path, DiskImage& disk) override;
    bool Write(ImageFormat format, const QString& path, DiskImage& disk) override;
    bool WriteCompressed(ImageFormat format, const QString& path, DiskImage& disk) override;

  private:
    bool Save(ImageFormat format, const QString& path, DiskImage& disk,
              ImageCompression compression);

    std::chrono::milliseconds lockWait_;
};

}  // namespace morvane
