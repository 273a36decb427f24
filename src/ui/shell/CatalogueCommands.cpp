#include "ui/shell/CatalogueCommands.h"

#include "filesystems/CpmDirectory.h"
#include "filesystems/NewImages.h"
#include "filesystems/TrDosCatalogue.h"
#include "model/Cp1251.h"
#include "model/UserQuestion.h"
#include "ui/catalogue/CatalogueDialogs.h"
#include "ui/catalogue/CpmCatalogueWindow.h"
#include "ui/catalogue/CpmWindowRules.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/catalogue/TrDosWindowRules.h"
#include "ui/catalogue/ZxCatalogueFromDisk.h"
#include "ui/shell/ImageChangeTracker.h"
#include "ui/shell/ImageFileCommands.h"
#include "ui/shell/Settings.h"
#include "ui/shell/WindowViews.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/QtText.h"
#include "ui/views/SectorView.h"

namespace morvane {

namespace {

// The owner of a sector, from the catalogue as the image holds it at this moment, so the
// line never lags a change of the image, whatever made it.
std::string CurrentSectorOwner(const DiskImage& disk, std::uint8_t track, std::uint8_t slot) {
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(disk, catalogue)) return {};
    return SlotOwnerText(disk, catalogue, track, slot);
}

// A folder the catalogue windows start their dialogs in, written back to the ini file as
// soon as it changes.
RememberedFolder StoredFolder(QString& folder, SettingsStore& store,
                              void (SettingsStore::*write)(const QString&)) {
    return {[&folder] { return folder; },
            [&folder, &store, write](const QString& chosen) {
                folder = chosen;
                (store.*write)(chosen);
            }};
}

}  // namespace

CatalogueCommands::CatalogueCommands(Parts parts) : p_(std::move(parts)) {
    p_.views.sectorView->setOwnerLookup(&CurrentSectorOwner);
}

CatalogueCommands::~CatalogueCommands() = default;

void CatalogueCommands::ReadZxCatalogueCommand() {
    if (!runner_) return;
    runner_([this](OperationContext& ctx) {
        TrDosCatalogueWindow* window = ZxCatalogue();
        if (ReadZxCatalogueFromDisk(ctx, *window)) window->exec();
    });
}

TrDosCatalogueWindow* CatalogueCommands::ZxCatalogue() {
    if (!zxCatalogue_) {
        TrDosWindowContext c;
        c.disk = &p_.disk;
        c.dialogs = p_.dialogs.get();
        c.hobetaDir = StoredFolder(p_.settings.HobetaDir, p_.store, &SettingsStore::WriteHobetaDir);
        c.sclDir = StoredFolder(p_.settings.SCLDir, p_.store, &SettingsStore::WriteSCLDir);
        c.mayChangeImage = p_.imageMayChange;
        c.imageChanged = [this] {
            p_.changes.MarkChanged();
            ShowChangedImage();
        };
        zxCatalogue_ = new TrDosCatalogueWindow(std::move(c), p_.window);
    }
    return zxCatalogue_;
}

CpmCatalogueWindow* CatalogueCommands::CpmCatalogue() {
    if (!cpmCatalogue_) {
        CpmWindowContext c;
        c.disk = &p_.disk;
        c.dialogs = p_.dialogs.get();
        c.sclDir = StoredFolder(p_.settings.SCLDir, p_.store, &SettingsStore::WriteSCLDir);
        c.mayChangeImage = p_.imageMayChange;
        c.imageChanged = [this] {
            p_.changes.MarkChanged();
            ShowChangedImage();
        };
        cpmCatalogue_ = new CpmCatalogueWindow(std::move(c), p_.window);
    }
    return cpmCatalogue_;
}

void CatalogueCommands::ViewZxCatalogueCommand() {
    TrDosCatalogueWindow* window = ZxCatalogue();
    if (!window->LoadFromImage()) {
        p_.asker.Ask({.caption = kCaptionError, .text = std::string(kNotTrDosImageText)});
        return;
    }
    window->exec();
}

void CatalogueCommands::ViewCpmCatalogueCommand() {
    if (!IsCpmImage(p_.disk)) {
        p_.asker.Ask({.caption = kCaptionError, .text = std::string(kNotCpmImageText)});
        return;
    }
    CpmCatalogueWindow* window = CpmCatalogue();
    if (window->isVisible()) window->Fill();  // showing it fills it otherwise
    window->show();
    window->raise();
}

QString CatalogueCommands::AskNewTrDosName() {
    return p_.dialogs->DiskName(QText(kNewTrDosDiskName), true).value_or(QText(kNewTrDosDiskName));
}

std::optional<QString> CatalogueCommands::AskFormatTrDosName() {
    return p_.dialogs->DiskName(QText(kNewTrDosDiskName), false);
}

void CatalogueCommands::CreateTrdosImageCommand() {
    if (!p_.imageMayChange() || !p_.confirmDiscard()) return;
    const QString name = AskNewTrDosName();
    const Bytes bytes = Utf8ToCp1251(name.toStdString());
    CreateTrDosImage(p_.disk, std::string(bytes.begin(), bytes.end()));
    p_.views.ShowMapFromTop();
    ShowChangedImage();
    p_.files.ForgetImageFile();
    p_.imageReplacedClean();
}

void CatalogueCommands::CreateCpmImageCommand() {
    if (!p_.imageMayChange() || !p_.confirmDiscard()) return;
    CreateCpmImage(p_.disk);
    p_.views.ShowMapFromTop();
    ShowChangedImage();
    p_.files.ForgetImageFile();
    p_.imageReplacedClean();
}

void CatalogueCommands::ShowChangedImage() {
    p_.views.diskMap->ImageChanged();
    p_.views.ShowSelectedCell();
    if (cpmCatalogue_ && cpmCatalogue_->isVisible()) cpmCatalogue_->Fill();
}

}  // namespace morvane
