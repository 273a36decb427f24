#include "ui/shell/LinkCommands.h"

#include <QAction>
#include <QLabel>

#include "model/UserQuestion.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/MainActions.h"
#include "ui/shell/MenuRules.h"
#include "ui/shell/Settings.h"
#include "ui/shell/Texts.h"
#include "ui/shell/VirtualDrive.h"
#include "ui/shell/WindowViews.h"
#include "ui/views/QtText.h"
#include "ui/views/ShownText.h"

namespace morvane {

Drive LinkCommands::SettingsDrive() const {
    return p_.settings.Drive == QLatin1String("B") ? Drive::B : Drive::A;
}

LinkClaim LinkCommands::ClaimLink() {
    LinkClaim claim = p_.link.Protocol().Claim();
    if (!claim) p_.asker.Ask({.caption = kCaptionError, .text = kControllerBusyText});
    return claim;
}

void LinkCommands::LoadRememberedVirtualDisk(Drive drive) {
    const VirtualControllerChoice choice = p_.store.ReadVirtualController();
    if (!LoadVirtualDrive(p_.link, choice.ImagePath, drive, nullptr))
        LoadVirtualDrive(p_.link, QString(), drive, nullptr);
}

void LinkCommands::StartStopAndShow() {
    QLabel* panel = p_.views.statusPanels[0];
    const bool wasActive = p_.link.Active();
    panel->setText(p_.link.StartStop());
    const QString hint = LinkStartHint(wasActive, p_.link.Active(), p_.link.LastStartFailure());
    panel->setToolTip(hint);
    // Panel 1 holds the controller's identification once a link is up; an earlier hint
    // goes when the start no longer needs it.
    QLabel* detail = p_.views.statusPanels[1];
    if (!hint.isEmpty())
        detail->setText(hint);
    else if (detail->text() == ShownText(NoPermissionHint()))
        detail->clear();
}

void LinkCommands::StartStopUsb() {
    {
        const LinkClaim claim = ClaimLink();
        if (!claim) return;
        StartStopAndShow();
    }
    p_.updateMenu();
}

void LinkCommands::SelectDriveCommand(bool driveB) {
    const LinkClaim claim = ClaimLink();
    if (!claim) return;
    p_.link.Protocol().SelectDrive(driveB ? Drive::B : Drive::A);
}

void LinkCommands::ResetControllerCommand() {
    const LinkClaim claim = ClaimLink();
    if (!claim) return;
    p_.link.Protocol().ResetController();
}

void LinkCommands::SetVirtualController(bool enabled) {
    LinkClaim claim = ClaimLink();
    if (!claim) {
        p_.actions.virtualController->setChecked(p_.link.IsVirtual());
        return;
    }
    if (p_.link.Active()) p_.link.StartStop();
    p_.link.UseVirtual(enabled);
    VirtualControllerChoice choice = p_.store.ReadVirtualController();
    choice.Enabled = enabled;
    p_.store.WriteVirtualController(choice);
    const Drive drive = SettingsDrive();
    if (enabled) LoadRememberedVirtualDisk(drive);
    ShowLinkKind();
    p_.views.statusPanels[1]->clear();
    StartStopAndShow();
    if (p_.link.Active()) p_.link.Protocol().FirstContact(drive);
    claim.Release();
    p_.updateMenu();
    p_.actions.virtualController->setChecked(p_.link.IsVirtual());
}

void LinkCommands::ChooseVirtualImageCommand() {
    if (p_.link.Protocol().Busy()) {
        ClaimLink();  // says why
        return;
    }
    FileDialogRequest r;
    r.kind = FileDialogRequest::Kind::Open;
    r.title = UiText(kVirtualImageCaption);
    r.filter = QString::fromUtf8(kVirtualDriveFilter);
    r.filterIndex = 1;
    r.directory = p_.settings.ImageFolder;
    const QString path = p_.chooser(r).path;
    if (path.isEmpty()) return;
    PutImageIntoVirtualDrive(path);
}

bool LinkCommands::PutImageIntoVirtualDrive(const QString& path) {
    // A disk changed under a running read would mix two disks in one image.
    const LinkClaim claim = ClaimLink();
    if (!claim) return false;
    QString error;
    if (!LoadVirtualDrive(p_.link, path, VirtualCurrentDrive(p_.link), &error)) {
        p_.asker.Ask({.caption = kCaptionError, .text = error.toStdString()});
        return false;
    }
    VirtualControllerChoice choice = p_.store.ReadVirtualController();
    choice.ImagePath = path;
    p_.store.WriteVirtualController(choice);
    ShowLinkKind();
    return true;
}

void LinkCommands::ShowLinkKind() {
    p_.views.statusPanels[2]->setText(
        LinkKindText(p_.link.IsVirtual(), p_.store.ReadVirtualController().ImagePath));
}

}  // namespace morvane
