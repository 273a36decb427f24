#include "ui/shell/VirtualDrive.h"

#include <QFile>
#include <QFileInfo>

#include "controller/virtual/VirtualController.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/FormatsFileIo.h"
#include "ui/shell/LoadSaveRules.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

constexpr std::uint8_t kDriveBit = 0x01;

virt::Drive ToVirtual(Drive drive) {
    return drive == Drive::B ? virt::Drive::B : virt::Drive::A;
}

// Any format the program reads may go into the drive: those of the format-choosing
// dialogs by their rule, the others (the native one) by their extension.
ImageFormat ReadableFormat(const QString& path) {
    const ImageFormat byName = FormatFromPath(QFile::encodeName(path).toStdString());
    const ImageFormatEntry* row = FindImageFormat(byName);
    if (row != nullptr && !row->loadAs) return byName;
    return DispatchFormat(path);
}

}  // namespace

std::unique_ptr<FtdiDriver> MakeVirtualDriver(virt::VirtualController*& made) {
    auto controller = std::make_unique<virt::VirtualController>();
    made = controller.get();
    return controller;
}

Drive VirtualCurrentDrive(ControllerLink& link) {
    return (link.Virtual().Register(kDriveControlRegister) & kDriveBit) != 0 ? Drive::B : Drive::A;
}

bool LoadVirtualDrive(ControllerLink& link, const QString& path, Drive drive, QString* error) {
    virt::VirtualController& controller = link.Virtual();
    if (path.isEmpty()) {
        controller.InsertDemoDisk(ToVirtual(drive));
        return true;
    }
    const ImageFormat format = ReadableFormat(path);
    auto image = std::make_unique<DiskImage>();
    FormatsFileIo io;
    if (format == ImageFormat::Unknown || !QFileInfo(path).isFile() ||
        !io.Read(format, path, *image)) {
        if (error) {
            *error = Ui::tr("Не удалось загрузить образ в виртуальный дисковод: ") + path;
            if (!image->LastError.empty())
                *error += QStringLiteral(" (") + QString::fromStdString(image->LastError) +
                          QLatin1Char(')');
        }
        return false;
    }
    controller.LoadImage(ToVirtual(drive), *image);
    return true;
}

QString LinkKindText(bool virtualLink, const QString& imagePath) {
    if (!virtualLink) return Ui::tr("Контроллер: USB");
    const QString disk =
        imagePath.isEmpty() ? Ui::tr("демонстрационный диск") : QFileInfo(imagePath).fileName();
    return Ui::tr("Виртуальный контроллер: ") + disk;
}

}  // namespace morvane
