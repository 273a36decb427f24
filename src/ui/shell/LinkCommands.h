// The window's commands on the controller link, the "Контроллер" menu: start and stop the
// USB device, choose the drive, reset the controller, switch to the emulated controller and
// choose the image in its drive. Each holds the link for its whole length and is refused
// aloud while an operation or an exchange holds it (a wait keeps the window live).
#pragma once

#include <QString>

#include <functional>

#include "controller/ControllerCommands.h"
#include "controller/LinkClaim.h"
#include "ui/shell/FileChooser.h"

namespace morvane {

class ControllerLink;
class SettingsStore;
class UserAsker;
struct MainActions;
struct Settings;
struct WindowViews;

class LinkCommands {
  public:
    struct Parts {
        ControllerLink& link;
        Settings& settings;
        SettingsStore& store;
        const WindowViews& views;
        UserAsker& asker;
        const MainActions& actions;
        FileChooser chooser;
        // The controller menu's enabling, again after a command changed the link.
        std::function<void()> updateMenu;
    };
    explicit LinkCommands(Parts parts) : p_(std::move(parts)) {}

    // "Старт/Стоп USB устройства"
    void StartStopUsb();
    // "Дисковод (А:)" / "Дисковод (В:)"
    void SelectDriveCommand(bool driveB);
    // "Сбросить ZX контроллер"
    void ResetControllerCommand();
    // "Виртуальный контроллер": switches the link and remembers the choice.
    void SetVirtualController(bool enabled);
    // "Образ в виртуальном дисководе..."
    void ChooseVirtualImageCommand();
    // Puts the image file into the emulated drive (empty: the demonstration disk) and
    // remembers the choice. Returns whether the file could be read.
    bool PutImageIntoVirtualDrive(const QString& path);
    // The remembered image goes into the drive the program works on; a file that has gone
    // leaves the demonstration disk there.
    void LoadRememberedVirtualDisk(Drive drive);
    // Status panel 2: which link is in use.
    void ShowLinkKind();
    // The link for one command; not held, and the user told why, while another command or
    // operation holds it.
    LinkClaim ClaimLink();

  private:
    // Starts or stops the link and shows the outcome: status panel 0, and for a start
    // refused for want of permission the rule and the group in panel 1 and the tooltip.
    void StartStopAndShow();
    Drive SettingsDrive() const;

    Parts p_;
};

}  // namespace morvane
