#include "ui/shell/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextDocument>

#include "model/ImageEditing.h"
#include "model/DiskImage.h"
#include "operations/OperationContext.h"
#include "ui/shell/CatalogueCommands.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/DiskCommands.h"
#include "ui/shell/FormatsFileIo.h"
#include "ui/shell/ImageChangeTracker.h"
#include "ui/shell/ImageFileCommands.h"
#include "ui/shell/LinkCommands.h"
#include "ui/shell/LoadSaveRules.h"
#include "ui/shell/Priority.h"
#include "ui/shell/SettingsDialog.h"
#include "ui/shell/Texts.h"
#include "ui/shell/WidgetCatalogueDialogs.h"
#include "ui/shell/WindowHosts.h"
#include "ui/shell/WindowOperationHost.h"
#include "ui/shell/WindowPlacement.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/MessageBoxAsker.h"
#include "ui/views/ScreenViewer.h"
#include "ui/views/SectorView.h"
#include "ui/views/ShownText.h"

namespace morvane {

MainWindow::MainWindow(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QString::fromUtf8(kMainCaption));
    if (options_.iniPath.isEmpty()) options_.iniPath = DefaultIniPath();
    if (options_.programFolder.isEmpty()) options_.programFolder = ProgramFolder();
    asker_ = options_.dialogs ? options_.dialogs : std::make_shared<MessageBoxAsker>(this);
    if (!options_.chooser) options_.chooser = MakeDialogChooser(this);

    disk_ = std::make_unique<DiskImage>();
    store_ = std::make_unique<SettingsStore>(options_.iniPath);
    settings_.NativeImageFolder = settings_.ImageFolder = settings_.HobetaDir = settings_.SCLDir =
        WithTrailingSeparator(options_.programFolder);
    protocolHost_ = std::make_unique<WindowProtocolHost>(
        views_, *asker_, actions_, settings_, *store_, [this] { UpdateControllerMenu(); });
    editHost_ = std::make_unique<WindowImageEditHost>(views_, *asker_);
    commandHost_ = std::make_unique<WindowImageCommandHost>(views_, *asker_);
    operationHost_ = std::make_unique<WindowOperationHost>(views_, *asker_);
    link_ = std::make_unique<ControllerLink>(options_.hardwareDriver, protocolHost_.get());
    fileIo_ = std::make_unique<FormatsFileIo>();
    imageCommands_ = std::make_unique<ImageFileCommands>(*disk_, settings_, *store_, *commandHost_,
                                                         *fileIo_, options_.chooser);

    BuildLayout();
    TrackImageChanges();
    BuildCommands();
    BuildMenus();
    ConnectMap();
    ConnectDiskCommands();
    ConnectComment();
    linkCommands_->ShowLinkKind();
    PlaceFirstWindow();
}

MainWindow::~MainWindow() {
    // The map and the sector view refer to the container, which goes with the members:
    // they go first.
    std::unique_ptr<QWidget> central(takeCentralWidget());
}

void MainWindow::BuildCommands() {
    linkCommands_ = std::make_unique<LinkCommands>(
        LinkCommands::Parts{*link_, settings_, *store_, views_, *asker_, actions_, options_.chooser,
                            [this] { UpdateControllerMenu(); }});
    diskCommands_ = std::make_unique<DiskCommands>(link_->Protocol(), *disk_, *operationHost_,
                                                   *views_.progress);

    std::shared_ptr<CatalogueDialogs> dialogs = options_.catalogueDialogs;
    if (!dialogs)
        dialogs = std::make_shared<WidgetCatalogueDialogs>(
            this, *asker_, [this] { return ScreenViewerWindow(); }, options_.chooser);
    catalogueCommands_ = std::make_unique<CatalogueCommands>(CatalogueCommands::Parts{
        this, *disk_, settings_, *store_, views_, *asker_, *changes_, *imageCommands_,
        std::move(dialogs), [this] { return ImageMayChange(); },
        [this] { return ConfirmDiscardImage(); }, [this] { ImageReplacedClean(); }});
    // Commands of other windows (the catalogue read from the drive) run through the
    // operations' host; tests may put a runner of their own in its place.
    catalogueCommands_->SetOperationRunner(
        [this](const std::function<void(OperationContext&)>& operation) {
            OperationContext ctx{link_->Protocol(), *disk_, *operationHost_};
            operation(ctx);
        });
}

void MainWindow::PlaceFirstWindow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        resize(kPreferredMainWindowSize);
        return;
    }
    setGeometry(FirstWindowGeometry(kPreferredMainWindowSize, kTypicalWindowFrame,
                                    screen->availableGeometry()));
}

void MainWindow::SetSettingsDialog(SettingsDialog* dialog) {
    settingsDialog_ = dialog;
}

ScreenViewer* MainWindow::ScreenViewerWindow() {
    if (!screenViewer_) {
        screenViewer_ = new ScreenViewer(this);
        screenViewer_->setZoom(store_->ReadScreenZoom());
        connect(screenViewer_, &ScreenViewer::zoomChanged, this,
                [this](int zoom) { store_->WriteScreenZoom(zoom); });
    }
    return screenViewer_;
}

QString MainWindow::StatusText(int panel) const {
    if (panel < 0 || panel > 2) return {};
    return views_.statusPanels[static_cast<std::size_t>(panel)]->text();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!startedUp_) StartUp();
}

void MainWindow::StartUp() {
    if (startedUp_) return;
    startedUp_ = true;

    // Which link to start on is this program's own choice, kept beside the settings.
    const VirtualControllerChoice choice = store_->ReadVirtualController();
    if (choice.Enabled) link_->UseVirtual(true);
    linkCommands_->StartStopUsb();
    if (options_.raisePriority) RaiseProcessPriority();
    settings_ = store_->LoadAndRepair(options_.programFolder);
    views_.sectorView->setSizeFromHead(settings_.SetSectorSizeFromHead);
    const Drive drive = settings_.Drive == QLatin1String("B") ? Drive::B : Drive::A;
    if (choice.Enabled) linkCommands_->LoadRememberedVirtualDisk(drive);
    linkCommands_->ShowLinkKind();

    protocolHost_->SetDriveMarks(drive == Drive::A, drive == Drive::B);
    link_->Protocol().SelectDrive(drive);
    if (link_->Active()) link_->Protocol().FirstContact(drive);
}

bool MainWindow::ImageMayChange() {
    if (!link_->Protocol().Busy()) return true;
    asker_->Ask({.caption = kCaptionError, .text = kControllerBusyText});
    return false;
}

void MainWindow::ClearImageCommand() {
    if (!ImageMayChange() || !ConfirmDiscardImage()) return;
    if (!ConfirmAndClearImage(*disk_, *editHost_)) return;
    views_.sectorLabel->clear();
    views_.trackLabel->clear();
    views_.SetCommentLines({});
    views_.ClearLog();
    views_.sectorView->clearView();
    imageCommands_->ForgetCurrentName();
    if (IsImageStatusText(views_.statusPanels[1]->text())) views_.statusPanels[1]->clear();
    ImageReplacedClean();
}

void MainWindow::ProgramSettingsCommand() {
    if (!settingsDialog_) settingsDialog_ = new SettingsDialog(this);
    const LanguageChoice language = settings_.Language;
    if (!settingsDialog_->Edit(settings_)) return;
    store_->WriteDialogValues(settings_);
    if (settings_.Language != language) {
        store_->WriteLanguage(settings_.Language);
        asker_->Ask({.caption = kCaptionAttention,
                     .text = QT_TRANSLATE_NOOP("morvane::Ui",
                                               "Язык интерфейса сменится при следующем запуске "
                                               "программы.")});
    }
    views_.sectorView->setSizeFromHead(settings_.SetSectorSizeFromHead);
}

void MainWindow::ConnectMap() {
    DiskMapView* diskMap = views_.diskMap;
    SectorView* sectorView = views_.sectorView;
    diskMap->setEditHost(editHost_.get());
    diskMap->setEditGate([this] { return ImageMayChange(); });
    sectorView->setEditGate([this] { return ImageMayChange(); });
    sectorView->setQuestionHost(editHost_.get());
    connect(diskMap, &DiskMapView::cellClicked, sectorView, &SectorView::showCell);
    connect(diskMap, &DiskMapView::cellDoubleClicked, sectorView, &SectorView::openSectorEditor);
    connect(diskMap, &DiskMapView::contextPopupOpened, sectorView, &SectorView::showCellLabels);
    connect(diskMap, &DiskMapView::editSectorAddressRequested, sectorView,
            &SectorView::editSectorAddress);
    connect(diskMap, &DiskMapView::imageEdited, sectorView, &SectorView::refreshAfterImageEdit);
    // Some edits of the map's menu (the base track, a track's log) repaint nothing.
    connect(diskMap, &DiskMapView::imageEdited, this, [this] { changes_->MarkChanged(); });
    connect(diskMap, &DiskMapView::logClearRequested, this,
            [this] { editHost_->ClearAndShowLog(); });
    connect(diskMap, &DiskMapView::baseTemplateCaptionChanged, this,
            [this](const QString& caption) {
                actions_.useBaseTemplate->setText(ShownText(caption.toStdString()));
            });

    connect(sectorView, &SectorView::trackLabelChanged, views_.trackLabel, &QLabel::setText);
    connect(sectorView, &SectorView::sectorLabelChanged, views_.sectorLabel, &QLabel::setText);
    connect(sectorView, &SectorView::ownerTextChanged, views_.ownerLine, &QLabel::setText);
    connect(sectorView, &SectorView::ownerBarVisibilityChanged, views_.ownerBar,
            &QWidget::setVisible);
    connect(sectorView, &SectorView::logPageRequested, this, [this] { views_.ShowLogPage(); });
    connect(sectorView, &SectorView::logLinesChanged, this, [this](const QStringList& lines) {
        views_.ClearLog();
        views_.logList->addItems(lines);
    });
    connect(sectorView, &SectorView::slotEdited, this, [this](int, int) {
        changes_->MarkChanged();
        views_.diskMap->ImageChanged();
    });
}

void MainWindow::ConnectComment() {
    // The comment buttons come alive with an edit: "Принять" keeps it at once, "Отменить"
    // brings back the image's comment.
    connect(views_.commentEdit->document(), &QTextDocument::modificationChanged, this,
            [this](bool changed) {
                views_.commentAccept->setEnabled(changed);
                views_.commentCancel->setEnabled(changed);
            });
    connect(views_.commentAccept, &QAction::triggered, this, &MainWindow::CommitComment);
    connect(views_.commentCancel, &QAction::triggered, this, &MainWindow::RevertComment);
}

void MainWindow::CommitComment() {
    std::vector<std::string> lines;
    const QString text = views_.commentEdit->toPlainText();
    if (!text.isEmpty()) {
        for (const QString& line : text.split(QLatin1Char('\n')))
            lines.push_back(line.toStdString());
    }
    // The native image keeps the comment, so a new one is a change of the image.
    if (lines != disk_->DiskLog) changes_->MarkChanged();
    disk_->DiskLog = std::move(lines);
    views_.commentEdit->document()->setModified(false);
    views_.commentAccept->setEnabled(false);
    views_.commentCancel->setEnabled(false);
}

void MainWindow::RevertComment() {
    QStringList lines;
    for (const std::string& line : disk_->DiskLog)
        lines << QString::fromStdString(line);
    views_.SetCommentLines(lines);
    views_.commentAccept->setEnabled(false);
    views_.commentCancel->setEnabled(false);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == views_.commentEdit && event->type() == QEvent::FocusOut) CommitComment();
    return QMainWindow::eventFilter(watched, event);
}

// --- Unsaved work

void MainWindow::TrackImageChanges() {
    // The map registered itself as the image's observer; the tracker takes its place and
    // passes every notification on to it.
    changes_ = std::make_unique<ImageChangeTracker>(views_.diskMap);
    disk_->SetObserver(changes_.get());
    changes_->SetMarkListener([this] { UpdateTitle(); });
    UpdateTitle();
}

bool MainWindow::ConfirmDiscardImage() {
    return changes_->ConfirmDiscard(*asker_, [this] {
        const bool saved = imageCommands_->SaveToImageFile();
        ImageSaved(saved);
        return saved;
    });
}

void MainWindow::LoadImageCommand(const std::function<bool()>& load) {
    if (!ImageMayChange() || !ConfirmDiscardImage()) return;
    if (load()) ImageReplacedClean();
}

void MainWindow::ImageSaved(bool saved) {
    if (saved) changes_->MarkClean();
    UpdateTitle();
}

void MainWindow::ImageReplacedClean() {
    changes_->MarkClean();
    UpdateTitle();
}

void MainWindow::UpdateTitle() {
    setWindowTitle(MainWindowTitle(QString::fromUtf8(kMainCaption), imageCommands_->ImageFile(),
                                   changes_->Changed()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!ConfirmDiscardImage()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace morvane
