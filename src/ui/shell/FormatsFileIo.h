// The image files as the format table (src/imagefiles) reads and writes them.
#pragma once

#include "ui/shell/ImageFileCommands.h"

namespace morvane {

class FormatsFileIo : public ImageFileIo {
  public:
    bool Read(ImageFormat format, const QString& path, TZX_Disk& disk) override;
    bool Write(ImageFormat format, const QString& path, TZX_Disk& disk) override;
    bool WriteCompressed(ImageFormat format, const QString& path, TZX_Disk& disk) override;
};

}  // namespace morvane
