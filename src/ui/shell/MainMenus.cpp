// The main menu, the tool bar and the enabling of the menu items when a menu opens.
#include <QApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "model/ImageEditing.h"
#include "model/DiskImage.h"
#include "ui/shell/CatalogueCommands.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/DiskCommands.h"
#include "ui/shell/ImageChangeTracker.h"
#include "ui/shell/ImageFileCommands.h"
#include "ui/shell/LinkCommands.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/MenuRules.h"
#include "ui/shell/Texts.h"
#include "ui/shell/ToolBarIcons.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/QtText.h"
#include "ui/views/ShownText.h"

namespace morvane {

namespace {

QAction* Item(QMenu* menu, const QString& caption, const char* name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QAction* Hidden(QAction* action) {
    action->setVisible(false);
    return action;
}

// A caption with its mnemonic before the character at `at` (the caption is shown as is).
QString Marked(const char* caption, int at) {
    return UiText(caption).insert(at, QLatin1Char('&'));
}

// The platform's keys for a standard command, or `fallback` where it has none (some
// platforms bind nothing to "save as" or "quit").
void SetStandardShortcut(QAction* action, QKeySequence::StandardKey key, QKeySequence fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty()) keys << fallback;
    action->setShortcuts(keys);
}

}  // namespace

void MainWindow::BuildMenus() {
    BuildImageMenu();
    BuildDiskMenu();
    BuildControllerMenu();
    MainActions& a = actions_;
    a.settingsMenu = menuBar()->addMenu(Ui::tr("&Настройки"));
    a.settingsMenu->setObjectName(QStringLiteral("mSettings"));
    a.programSettings = Item(a.settingsMenu, Ui::tr("&Настройки программы"), "N29");
    connect(a.programSettings, &QAction::triggered, this, &MainWindow::ProgramSettingsCommand);
    BuildToolBar();
}

void MainWindow::BuildImageMenu() {
    MainActions& a = actions_;
    QMenu* m = menuBar()->addMenu(Ui::tr("&Образ"));
    m->setObjectName(QStringLiteral("mImage"));
    a.imageMenu = m;
    a.createImageMenu = m->addMenu(Ui::tr("Соз&дать образ"));
    a.createImageMenu->setObjectName(QStringLiteral("mCreateImage"));
    a.createTrdos = Item(a.createImageMenu, Ui::tr("&TR-DOS диска"), "actCreateTrdos");
    a.createCpm = Item(a.createImageMenu, Ui::tr("&CP/M диска (Profi)"), "actCreateCpm");
    a.loadNative = Item(m, Ui::tr("&Загрузить"), "actLoadNative");
    a.loadAs = Item(m, Ui::tr("Загрузить &как..."), "actLoadAs");
    a.mergeImage = Item(m, Ui::tr("Объ&единить с образом..."), "actMergeImage");
    m->addSeparator();
    a.loadUdi = Hidden(Item(m, Ui::tr("Загрузить UDI"), "actLoadUdi"));
    a.loadTrd = Hidden(Item(m, Ui::tr("Загрузить TRD"), "actLoadTrd"));
    a.loadTd0 = Hidden(Item(m, Ui::tr("Загрузить TD0"), "actLoadTd0"));
    a.loadFdi = Hidden(Item(m, Ui::tr("Загрузить FDI"), "actLoadFdi"));
    a.clearImage = Item(m, Ui::tr("&Очистить образ"), "actClearImage");
    a.templatesMenu = m->addMenu(Ui::tr("&Шаблон дорожек"));
    a.templatesMenu->setObjectName(QStringLiteral("mTemplates"));
    a.templatesMenu->setEnabled(false);
    a.editBaseTemplate =
        Item(a.templatesMenu, Ui::tr("Редактировать базовый шаблон"), "actEditBase");
    a.useBaseTemplate = Item(a.templatesMenu, ShownText(kUseBaseTemplateCaption), "actUseBase");
    a.useBaseTemplate->setCheckable(true);
    a.useBaseTemplate->setChecked(true);
    a.viewZxCatalogue = Item(m, Ui::tr("Просмотреть &ZX каталог"), "actViewZxCat");
    a.viewCpmCatalogue = Item(m, Ui::tr("Просмотреть &CP/M каталог"), "actViewCpmCat");
    m->addSeparator();
    a.saveNative = Item(m, Ui::tr("&Сохранить"), "actSaveNative");
    a.saveAs = Item(m, Ui::tr("Сохранить к&ак..."), "actSaveAs");
    a.saveUdi = Hidden(Item(m, Ui::tr("Сохранить UDI"), "actSaveUdi"));
    a.saveTrd = Hidden(Item(m, Ui::tr("Сохранить TRD"), "actSaveTrd"));
    a.saveTd0 = Hidden(Item(m, Ui::tr("Сохранить TD0"), "actSaveTd0"));
    a.saveFdi = Hidden(Item(m, Ui::tr("Сохранить FDI"), "actSaveFdi"));
    m->addSeparator();
    a.exit = Item(m, Ui::tr("&Выход"), "actExit");
    SetStandardShortcut(a.loadNative, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    SetStandardShortcut(a.saveNative, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    SetStandardShortcut(a.saveAs, QKeySequence::SaveAs,
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    SetStandardShortcut(a.exit, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));

    ImageFileCommands* files = imageCommands_.get();
    const std::pair<QAction*, bool (ImageFileCommands::*)()> loads[] = {
        {a.loadNative, &ImageFileCommands::LoadNative},
        {a.loadAs, &ImageFileCommands::LoadAs},
    };
    for (const auto& [action, load] : loads) {
        connect(action, &QAction::triggered, this, [this, files, load = load] {
            LoadImageCommand([files, load] { return (files->*load)(); });
        });
    }
    const std::pair<QAction*, ImageFormat> singleLoads[] = {
        {a.loadUdi, ImageFormat::Udi},
        {a.loadTrd, ImageFormat::Trd},
        {a.loadTd0, ImageFormat::Td0},
        {a.loadFdi, ImageFormat::Fdi},
    };
    for (const auto& [action, format] : singleLoads) {
        connect(action, &QAction::triggered, this, [this, files, format = format] {
            LoadImageCommand([files, format] { return files->LoadSingle(format); });
        });
    }
    const std::pair<QAction*, bool (ImageFileCommands::*)()> saves[] = {
        {a.saveNative, &ImageFileCommands::SaveNative},
        {a.saveAs, &ImageFileCommands::SaveAs},
    };
    for (const auto& [action, save] : saves) {
        connect(action, &QAction::triggered, this,
                [this, files, save = save] { ImageSaved((files->*save)()); });
    }
    const std::pair<QAction*, ImageFormat> singleSaves[] = {
        {a.saveUdi, ImageFormat::Udi},
        {a.saveTrd, ImageFormat::Trd},
    };
    for (const auto& [action, format] : singleSaves) {
        connect(action, &QAction::triggered, this,
                [this, files, format = format] { ImageSaved(files->SaveSingle(format)); });
    }
    connect(a.mergeImage, &QAction::triggered, this, [this, files] {
        if (files->MergeWith()) changes_->MarkChanged();
    });
    connect(a.clearImage, &QAction::triggered, this, &MainWindow::ClearImageCommand);
    CatalogueCommands* catalogues = catalogueCommands_.get();
    connect(a.viewZxCatalogue, &QAction::triggered, this,
            [catalogues] { catalogues->ViewZxCatalogueCommand(); });
    connect(a.viewCpmCatalogue, &QAction::triggered, this,
            [catalogues] { catalogues->ViewCpmCatalogueCommand(); });
    connect(a.createTrdos, &QAction::triggered, this,
            [catalogues] { catalogues->CreateTrdosImageCommand(); });
    connect(a.createCpm, &QAction::triggered, this,
            [catalogues] { catalogues->CreateCpmImageCommand(); });
    connect(a.useBaseTemplate, &QAction::triggered, this, [this] {
        // The action has already flipped its mark; the rule wants the state before.
        const bool wasChecked = !actions_.useBaseTemplate->isChecked();
        const bool before = disk_->UseBaseTrack;
        actions_.useBaseTemplate->setChecked(ToggleUseBaseTrack(*disk_, wasChecked));
        if (disk_->UseBaseTrack != before) changes_->MarkChanged();
    });
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(m, &QMenu::aboutToShow, this, &MainWindow::UpdateImageMenu);
    // The shortcuts reach "Сохранить" and "Сохранить как..." without the menu opening, so
    // their enabling also follows the image as it changes.
    connect(views_.diskMap, &DiskMapView::imageContentChanged, this, &MainWindow::UpdateImageMenu);
}

void MainWindow::BuildDiskMenu() {
    MainActions& a = actions_;
    QMenu* m = menuBar()->addMenu(Ui::tr("&Диск"));
    m->setObjectName(QStringLiteral("mDisk"));
    a.diskMenu = m;
    a.fullRead = Item(m, Ui::tr("&Полное чтение диска"), "actFullRead");
    a.rawRead = Item(m, Ui::tr("Чтение &сырых данных"), "actRawRead");
    a.trackScan = Item(m, Ui::tr("Сканирование &дорожек"), "actTrackScan");
    a.readByMarks = Item(m, Ui::tr("Чтение секторов по  &меткам"), "actReadByMarks");
    a.scanAndRead = Item(m, Ui::tr("Сканирование и &чтение секторов диска"), "actScanAndRead");
    a.fastRead = Item(m, Ui::tr("&Быстрое чтение диска"), "actFastRead");
    a.rereadFailed = Item(m, Ui::tr("П&еречитать сбойные сектора"), "actRereadFailed");
    a.recoverFailed = Item(m, Ui::tr("&Восстановить сбойные сектора..."), "actRecoverFailed");
    m->addSeparator();
    a.formatDisk = Item(m, Ui::tr("&Форматировать диск"), "actFormatDisk");
    a.writeDisk = Item(m, Ui::tr("&Записать диск"), "actWriteDisk");
    m->addSeparator();
    a.readZxCatalogue = Item(m, Ui::tr("Считать ZX &каталог"), "actReadZxCat");
    connect(a.readZxCatalogue, &QAction::triggered, this,
            [this] { catalogueCommands_->ReadZxCatalogueCommand(); });
    connect(m, &QMenu::aboutToShow, this, &MainWindow::UpdateDiskMenu);
}

void MainWindow::BuildControllerMenu() {
    MainActions& a = actions_;
    QMenu* m = menuBar()->addMenu(Ui::tr("&Контроллер"));
    m->setObjectName(QStringLiteral("mController"));
    a.controllerMenu = m;
    a.searchUsb = Hidden(Item(m, Ui::tr("Поиск USB устройства"), "actSearchUsb"));
    a.startStopUsb = Item(m, UiText(kStartUsbCaption), "actStartStopUsb");
    a.startStopUsb->setText(Marked(kStartUsbCaption, 0));
    a.resetController = Item(m, Ui::tr("Сб&росить ZX контроллер"), "actResetController");
    m->addSeparator();
    a.driveA = Item(m, Ui::tr("Дисковод (&А:)"), "actDriveA");
    a.driveB = Item(m, Ui::tr("Дисковод (&В:)"), "actDriveB");
    a.driveA->setCheckable(true);
    a.driveB->setCheckable(true);
    m->addSeparator();
    a.virtualController = Item(m, UiText(kVirtualControllerCaption), "actVirtualController");
    a.virtualController->setText(Marked(kVirtualControllerCaption, 1));
    a.virtualController->setCheckable(true);
    a.virtualImage = Item(m, UiText(kVirtualImageCaption), "actVirtualImage");
    a.virtualImage->setText(Marked(kVirtualImageCaption, 0));

    LinkCommands* link = linkCommands_.get();
    connect(a.startStopUsb, &QAction::triggered, this, [link] { link->StartStopUsb(); });
    connect(a.resetController, &QAction::triggered, this,
            [link] { link->ResetControllerCommand(); });
    // The marks change only when the controller confirms the new drive.
    connect(a.driveA, &QAction::triggered, this, [this, link] {
        actions_.driveA->setChecked(!actions_.driveA->isChecked());
        link->SelectDriveCommand(false);
    });
    connect(a.driveB, &QAction::triggered, this, [this, link] {
        actions_.driveB->setChecked(!actions_.driveB->isChecked());
        link->SelectDriveCommand(true);
    });
    connect(a.virtualController, &QAction::triggered, this,
            [link](bool enabled) { link->SetVirtualController(enabled); });
    connect(a.virtualImage, &QAction::triggered, this,
            [link] { link->ChooseVirtualImageCommand(); });
    connect(m, &QMenu::aboutToShow, this, &MainWindow::UpdateControllerMenu);
}

void MainWindow::BuildToolBar() {
    MainActions& a = actions_;
    QToolBar* toolBar = addToolBar(QStringLiteral("ToolBar1"));
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setMovable(false);
    a.toolSave = toolBar->addAction(MakeToolIcon(ToolPicture::Save), Ui::tr("Сохранить образ"));
    a.toolSave->setObjectName(QStringLiteral("tbSave"));
    a.toolSaveUdi =
        toolBar->addAction(MakeToolIcon(ToolPicture::SaveUdi), Ui::tr("Сохранить в формате UDI"));
    a.toolSaveUdi->setObjectName(QStringLiteral("tbSaveUdi"));
    toolBar->addSeparator();
    a.toolClear = toolBar->addAction(MakeToolIcon(ToolPicture::Clear), Ui::tr("Очистить образ"));
    a.toolClear->setObjectName(QStringLiteral("tbClear"));
    toolBar->addSeparator();
    // The fourth button has no hint.
    a.toolScanAndRead = toolBar->addAction(MakeToolIcon(ToolPicture::ScanAndRead), QString());
    a.toolScanAndRead->setObjectName(QStringLiteral("tb4"));
    a.toolScanAndRead->setToolTip(QString());

    // Tool buttons run their commands whatever the menu items' last enabling was.
    ImageFileCommands* files = imageCommands_.get();
    connect(a.toolSave, &QAction::triggered, this,
            [this, files] { ImageSaved(files->SaveNative()); });
    connect(a.toolSaveUdi, &QAction::triggered, this,
            [this, files] { ImageSaved(files->SaveSingle(ImageFormat::Udi)); });
    connect(a.toolClear, &QAction::triggered, this, &MainWindow::ClearImageCommand);
}

void MainWindow::UpdateImageMenu() {
    const ImageMenuEnabling e = ImageMenuRule(disk_->CountTracks());
    actions_.saveNative->setEnabled(e.save);
    actions_.saveAs->setEnabled(e.saveAs);
    actions_.viewZxCatalogue->setEnabled(e.viewZxCatalogue);
    actions_.viewCpmCatalogue->setEnabled(e.viewCpmCatalogue);
    actions_.clearImage->setEnabled(e.clearImage);
}

void MainWindow::UpdateDiskMenu() {
    const bool on = DiskMenuRule(link_->Active(), link_->Protocol().Busy());
    for (QAction* item :
         {actions_.fullRead, actions_.rawRead, actions_.trackScan, actions_.readByMarks,
          actions_.scanAndRead, actions_.fastRead, actions_.rereadFailed, actions_.recoverFailed,
          actions_.formatDisk, actions_.writeDisk, actions_.readZxCatalogue}) {
        item->setEnabled(on);
    }
}

void MainWindow::UpdateControllerMenu() {
    const ControllerMenuState state = ControllerMenuRule(link_->Active(), link_->Protocol().Busy());
    actions_.driveA->setEnabled(state.drivesAndResetEnabled);
    actions_.driveB->setEnabled(state.drivesAndResetEnabled);
    actions_.resetController->setEnabled(state.drivesAndResetEnabled);
    actions_.startStopUsb->setText(QLatin1Char('&') + state.startStopCaption);
    actions_.startStopUsb->setEnabled(state.startStopEnabled);
    actions_.virtualController->setEnabled(state.virtualItemsEnabled);
    actions_.virtualImage->setEnabled(state.virtualItemsEnabled);
    actions_.virtualController->setChecked(link_->IsVirtual());
}

// The disk commands of the "Диск" menu, the tool button tb4 and the map's context menu.
void MainWindow::ConnectDiskCommands() {
    diskCommands_->SetTrDosNameAsker([this] { return catalogueCommands_->AskFormatTrDosName(); });
    diskCommands_->SetDriveInUse(
        [this] { return settings_.Drive == QLatin1String("B") ? Drive::B : Drive::A; });
    diskCommands_->SetReadIntoImageConfirm([this] { return ConfirmDiscardImage(); });
    diskCommands_->SetPassesAsker([this] {
        bool ok = false;
        const int passes = QInputDialog::getInt(this, Ui::tr("Восстановить сбойные сектора"),
                                                Ui::tr("Число проходов:"), kDefaultRecoveryPasses,
                                                1, kMostRecoveryPasses, 1, &ok);
        return ok ? passes : 0;
    });
    diskCommands_->ConnectMenu(actions_, this);
    DiskCommands* commands = diskCommands_.get();
    connect(views_.diskMap, &DiskMapView::diskCommandRequested, this,
            [commands](MapMenuEntry entry, int column, int row) {
                commands->RunMapEntry(entry, column, row);
            });
    connect(views_.diskMap->contextMenu(), &QMenu::aboutToShow, this,
            &MainWindow::DisableMapEntriesWhileBusy);
}

// The map's own rules enable the entries by the cell; a command in progress disables them
// all on top of them: each either talks to the controller or changes the image the command
// reads into.
void MainWindow::DisableMapEntriesWhileBusy() {
    if (!link_->Protocol().Busy()) return;
    for (std::size_t i = 0; i < kMapMenuEntryCount; ++i)
        views_.diskMap->menuAction(static_cast<MapMenuEntry>(i))->setEnabled(false);
}

}  // namespace morvane
