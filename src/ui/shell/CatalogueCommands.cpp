// The main window's catalogue commands: the TR-DOS and CP/M catalogue windows, the new
// TR-DOS and CP/M images, and the sector view's owner line.
#include <QAction>
#include <QLabel>
#include <QScrollBar>

#include "filesystems/CpmDirectory.h"
#include "filesystems/NewImages.h"
#include "filesystems/TrDosCatalogue.h"
#include "filesystems/TrDosWindowRules.h"
#include "model/Cp1251.h"
#include "ui/catalogue/CpmCatalogueWindow.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/catalogue/ZxCatalogueFromDisk.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/WidgetCatalogueDialogs.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/SectorView.h"

namespace morvane {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The owner of a sector, from the catalogue as the image holds it at this moment, so the
// line never lags a change of the image, whatever made it.
std::string CurrentSectorOwner(const TZX_Disk& disk, std::uint8_t track, std::uint8_t slot) {
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

void TFMain::ConnectCatalogues() {
    if (options_.catalogueDialogs) {
        catalogueDialogs_ = options_.catalogueDialogs;
    } else {
        FileChooser chooser = options_.chooser ? options_.chooser : MakeDialogChooser(this);
        catalogueDialogs_ = std::make_shared<WidgetCatalogueDialogs>(
            this, [this] { return ScreenViewer(); }, std::move(chooser));
    }
    sectorView_->setOwnerLookup(&CurrentSectorOwner);
    connect(actions_.viewZxCatalogue, &QAction::triggered, this, &TFMain::ViewZxCatalogueCommand);
    connect(actions_.viewCpmCatalogue, &QAction::triggered, this, &TFMain::ViewCpmCatalogueCommand);
    connect(actions_.createTrdos, &QAction::triggered, this, &TFMain::CreateTrdosImageCommand);
    connect(actions_.createCpm, &QAction::triggered, this, &TFMain::CreateCpmImageCommand);
    connect(actions_.readZxCatalogue, &QAction::triggered, this, &TFMain::ReadZxCatalogueCommand);
}

void TFMain::ReadZxCatalogueCommand() {
    if (!operationRunner_) return;
    operationRunner_([this](OperationContext& ctx) {
        T_ZXCAT* window = ZxCatalogue();
        if (ReadZxCatalogueFromDisk(ctx, *window)) window->exec();
    });
}

T_ZXCAT* TFMain::ZxCatalogue() {
    if (!trdosCatalogue_) {
        TrDosWindowContext c;
        c.disk = disk_.get();
        c.dialogs = catalogueDialogs_.get();
        c.hobetaDir = StoredFolder(settings_.HobetaDir, *store_, &SettingsStore::WriteHobetaDir);
        c.mayChangeImage = [this] { return ImageMayChange(); };
        c.sclDir = StoredFolder(settings_.SCLDir, *store_, &SettingsStore::WriteSCLDir);
        c.imageChanged = [this] {
            changes_->MarkChanged();
            ShowChangedImage();
        };
        trdosCatalogue_ = new T_ZXCAT(std::move(c), this);
    }
    return trdosCatalogue_;
}

T_cCat* TFMain::CpmCatalogue() {
    if (!cpmCatalogue_) {
        CpmWindowContext c;
        c.disk = disk_.get();
        c.dialogs = catalogueDialogs_.get();
        c.sclDir = StoredFolder(settings_.SCLDir, *store_, &SettingsStore::WriteSCLDir);
        c.mayChangeImage = [this] { return ImageMayChange(); };
        c.imageChanged = [this] {
            changes_->MarkChanged();
            ShowChangedImage();
        };
        cpmCatalogue_ = new T_cCat(std::move(c), this);
    }
    return cpmCatalogue_;
}

void TFMain::ViewZxCatalogueCommand() {
    T_ZXCAT* window = ZxCatalogue();
    if (!window->LoadFromImage()) {
        ShowBox(Q(kErrorCaption), Q(kNotTrDosImageText));
        return;
    }
    window->exec();
}

void TFMain::ViewCpmCatalogueCommand() {
    if (!IsCpmImage(*disk_)) {
        ShowBox(Q(kErrorCaption), Q(kNotCpmImageText));
        return;
    }
    T_cCat* window = CpmCatalogue();
    if (window->isVisible()) window->Fill();  // showing it fills it otherwise
    window->show();
    window->raise();
}

QString TFMain::AskNewTrDosName() {
    return catalogueDialogs_->DiskName(Q(kNewTrDosDiskName), true).value_or(Q(kNewTrDosDiskName));
}

void TFMain::CreateTrdosImageCommand() {
    if (!ImageMayChange() || !ConfirmDiscardImage()) return;
    const QString name = AskNewTrDosName();
    const Bytes bytes = Utf8ToCp1251(name.toStdString());
    CreateTrDosImage(*disk_, std::string(bytes.begin(), bytes.end()));
    ShowMapFromTop();
    ShowChangedImage();
    imageCommands_->ForgetImageFile();
    ImageReplacedClean();
}

void TFMain::CreateCpmImageCommand() {
    if (!ImageMayChange() || !ConfirmDiscardImage()) return;
    CreateCpmImage(*disk_);
    ShowMapFromTop();
    ShowChangedImage();
    imageCommands_->ForgetImageFile();
    ImageReplacedClean();
}

void TFMain::ShowChangedImage() {
    diskMap_->ImageChanged();
    RefreshSelectedCell();
    if (cpmCatalogue_ && cpmCatalogue_->isVisible()) cpmCatalogue_->Fill();
}

}  // namespace morvane
