// The emulated controller as the window uses it: made on demand, its current drive
// loaded from an image file or with the built-in demonstration disk, and the status bar
// text that says which link is in use.
#pragma once

#include <QString>

#include <memory>
#include <string_view>

#include "controller/ControllerCommands.h"
#include "imagefiles/DialogFilters.h"
#include "ui/shell/Settings.h"

namespace morvane {

class ControllerLink;
class FtdiDriver;
namespace virt {
class VirtualController;
}

// Every format the program reads; SCL archives and Hobeta files go in as the new TR-DOS
// disk that loading them makes.
inline constexpr const std::string_view& kVirtualDriveFilter = kAllFormatsFilter;

// A new emulated controller; `made` points at it while the returned driver lives.
std::unique_ptr<FtdiDriver> MakeVirtualDriver(virt::VirtualController*& made);

// The drive the emulated controller has selected (bit 0 of its register 0x28).
Drive VirtualCurrentDrive(ControllerLink& link);

// Puts the image file into the drive, or the demonstration disk when path is empty.
// False, with the reason in error, when the file cannot be read; the drive keeps its disk.
bool LoadVirtualDrive(ControllerLink& link, const QString& path, Drive drive, QString* error);

// The third status panel: which link is in use and, for the emulated one, its disk.
QString LinkKindText(bool virtualLink, const QString& imagePath);

}  // namespace morvane
