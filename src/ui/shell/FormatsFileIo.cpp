#include "ui/shell/FormatsFileIo.h"

#include <QFile>

#include "formats/Fdi.h"
#include "formats/Native.h"
#include "formats/Td0.h"
#include "formats/Trd.h"
#include "formats/Udi.h"
#include "model/Bytes.h"

namespace morvane {

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

bool FormatsFileIo::Read(ImageFormat format, const QString& path, TZX_Disk& disk) {
    Bytes file;
    if (!ReadWholeFile(LocalPath(path), file)) {
        disk.LastError = "cannot read the file";
        return false;
    }
    switch (format) {
        case ImageFormat::Udf:
            return ReadNative(file, disk);
        case ImageFormat::Udi:
            return ReadUdi(file, disk);
        case ImageFormat::Trd:
            return ReadTrd(file, disk);
        case ImageFormat::Td0:
            return ReadTd0(file, disk);
        case ImageFormat::Fdi:
            return ReadFdi(file, disk);
        case ImageFormat::Unknown:
            break;
    }
    return false;
}

bool FormatsFileIo::Write(ImageFormat format, const QString& path, TZX_Disk& disk) {
    Bytes out;
    bool built = false;
    switch (format) {
        case ImageFormat::Udf:
            built = WriteNative(disk, out);
            break;
        case ImageFormat::Udi:
            built = WriteUdi(disk, out);
            break;
        case ImageFormat::Trd:
            built = WriteTrd(disk, out);
            break;
        default:
            return false;
    }
    return built && WriteFileAtomically(LocalPath(path), out);
}

}  // namespace morvane
