#include "ui/shell/MainWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextDocument>

#include "ui/shell/ControllerLink.h"
#include "ui/shell/DiskCommands.h"
#include "ui/shell/FormatsFileIo.h"
#include "ui/shell/LoadSaveRules.h"
#include "ui/shell/Priority.h"
#include "ui/shell/SettingsDialog.h"
#include "ui/shell/Texts.h"
#include "ui/shell/VirtualDrive.h"
#include "ui/shell/WindowOperationHost.h"
#include "ui/shell/WindowPlacement.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/HexView.h"
#include "ui/views/SectorView.h"

namespace morvane {

TFMain::TFMain(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QString::fromUtf8(kMainCaption));
    if (options_.iniPath.isEmpty()) options_.iniPath = DefaultIniPath();
    if (options_.programFolder.isEmpty()) options_.programFolder = ProgramFolder();
    dialogs_ = options_.dialogs ? options_.dialogs : std::make_shared<MessageBoxDialogs>(this);
    FileChooser chooser = options_.chooser ? options_.chooser : MakeDialogChooser(this);

    disk_ = std::make_unique<TZX_Disk>();
    store_ = std::make_unique<SettingsStore>(options_.iniPath);
    settings_.Directory_1 = settings_.Directory_2 = settings_.HobetaDir = settings_.SCLDir =
        WithTrailingSeparator(options_.programFolder);
    link_ = std::make_unique<ControllerLink>(options_.hardwareDriver, this);
    fileIo_ = std::make_unique<FormatsFileIo>();
    imageCommands_ = std::make_unique<ImageFileCommands>(*disk_, settings_, *store_, *this,
                                                         *fileIo_, std::move(chooser));

    BuildLayout();
    TrackImageChanges();
    BuildMenus();
    ConnectMap();
    ConnectCatalogues();
    BuildDiskCommands();
    ConnectComment();
    ShowLinkKind();
    PlaceFirstWindow();
}

void TFMain::PlaceFirstWindow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        resize(kPreferredMainWindowSize);
        return;
    }
    setGeometry(FirstWindowGeometry(kPreferredMainWindowSize, kTypicalWindowFrame,
                                    screen->availableGeometry()));
}

TFMain::~TFMain() {
    // The map and the sector view refer to the container, which goes with the members:
    // they go first.
    std::unique_ptr<QWidget> views(takeCentralWidget());
}

void TFMain::SetSettingsDialog(Tfmset* dialog) {
    settingsDialog_ = dialog;
}

TFmScr* TFMain::ScreenViewer() {
    if (!screenViewer_) screenViewer_ = new TFmScr(this);
    return screenViewer_;
}

QString TFMain::StatusText(int panel) const {
    if (panel < 0 || panel > 2) return {};
    return statusPanels_[panel]->text();
}

QStringList TFMain::LogLines() const {
    QStringList lines;
    for (int i = 0; i < logList_->count(); ++i)
        lines << logList_->item(i)->text();
    return lines;
}

void TFMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!startedUp_) StartUp();
}

void TFMain::StartUp() {
    if (startedUp_) return;
    startedUp_ = true;

    // Which link to start on is this program's own choice, kept beside the settings.
    const VirtualControllerChoice choice = store_->ReadVirtualController();
    if (choice.Enabled) link_->UseVirtual(true);
    StartStopUsb();
    if (options_.raisePriority) RaiseProcessPriority();
    settings_ = store_->LoadAndRepair(options_.programFolder);
    sectorView_->setSizeFromHead(settings_.SetSectorSizeFromHead);
    const Drive drive = settings_.Drive == QLatin1String("B") ? Drive::B : Drive::A;
    if (choice.Enabled) LoadRememberedVirtualDisk(drive);
    ShowLinkKind();

    SetDriveMarks(drive == Drive::A, drive == Drive::B);
    link_->Protocol().SelectDrive(drive);
    if (link_->Active()) link_->Protocol().FirstContact(drive);
}

// The remembered file goes into the drive the program works on; a file that has gone
// leaves the demonstration disk there.
void TFMain::LoadRememberedVirtualDisk(Drive drive) {
    const VirtualControllerChoice choice = store_->ReadVirtualController();
    if (!LoadVirtualDrive(*link_, choice.ImagePath, drive, nullptr))
        LoadVirtualDrive(*link_, QString(), drive, nullptr);
}

// The window's own controller commands hold the link for their whole length; while an
// operation or an exchange holds it (a wait keeps the window live), they are refused.
LinkClaim TFMain::ClaimLink() {
    LinkClaim claim = link_->Protocol().Claim();
    if (!claim)
        ShowBox(QString::fromUtf8(kErrorBoxCaption), QString::fromUtf8(kControllerBusyText));
    return claim;
}

void TFMain::StartStopUsb() {
    {
        const LinkClaim claim = ClaimLink();
        if (!claim) return;
        statusPanels_[0]->setText(link_->StartStop());
    }
    UpdateControllerMenu();
}

void TFMain::SelectDriveCommand(bool driveB) {
    const LinkClaim claim = ClaimLink();
    if (!claim) return;
    link_->Protocol().SelectDrive(driveB ? Drive::B : Drive::A);
}

void TFMain::ResetControllerCommand() {
    const LinkClaim claim = ClaimLink();
    if (!claim) return;
    link_->Protocol().ResetController();
}

void TFMain::SetVirtualController(bool enabled) {
    LinkClaim claim = ClaimLink();
    if (!claim) {
        actions_.virtualController->setChecked(link_->IsVirtual());
        return;
    }
    if (link_->Active()) link_->StartStop();
    link_->UseVirtual(enabled);
    VirtualControllerChoice choice = store_->ReadVirtualController();
    choice.Enabled = enabled;
    store_->WriteVirtualController(choice);
    const Drive drive = settings_.Drive == QLatin1String("B") ? Drive::B : Drive::A;
    if (enabled) LoadRememberedVirtualDisk(drive);
    ShowLinkKind();
    statusPanels_[1]->clear();
    statusPanels_[0]->setText(link_->StartStop());
    if (link_->Active()) link_->Protocol().FirstContact(drive);
    claim.Release();
    UpdateControllerMenu();
    actions_.virtualController->setChecked(link_->IsVirtual());
}

void TFMain::ChooseVirtualImageCommand() {
    if (link_->Protocol().Busy()) {
        ClaimLink();  // says why
        return;
    }
    FileDialogRequest r;
    r.kind = FileDialogRequest::Kind::Open;
    r.title = QString::fromUtf8(kVirtualImageCaption);
    r.filter = QString::fromUtf8(kVirtualDriveFilter);
    r.filterIndex = 1;
    r.directory = settings_.Directory_2;
    FileChooser chooser = options_.chooser ? options_.chooser : MakeDialogChooser(this);
    const QString path = chooser(r).path;
    if (path.isEmpty()) return;
    PutImageIntoVirtualDrive(path);
}

bool TFMain::PutImageIntoVirtualDrive(const QString& path) {
    // A disk changed under a running read would mix two disks in one image.
    const LinkClaim claim = ClaimLink();
    if (!claim) return false;
    QString error;
    if (!LoadVirtualDrive(*link_, path, VirtualCurrentDrive(*link_), &error)) {
        ShowBox(QString::fromUtf8(kErrorBoxCaption), error);
        return false;
    }
    VirtualControllerChoice choice = store_->ReadVirtualController();
    choice.ImagePath = path;
    store_->WriteVirtualController(choice);
    ShowLinkKind();
    return true;
}

void TFMain::ShowLinkKind() {
    statusPanels_[2]->setText(
        LinkKindText(link_->IsVirtual(), store_->ReadVirtualController().ImagePath));
}

bool TFMain::ImageMayChange() {
    if (!link_->Protocol().Busy()) return true;
    ShowBox(QString::fromUtf8(kErrorBoxCaption), QString::fromUtf8(kControllerBusyText));
    return false;
}

void TFMain::ClearImageCommand() {
    if (!ImageMayChange() || !ConfirmDiscardImage()) return;
    if (!ConfirmAndClearImage(*disk_, *this)) return;
    ClearViews();
    imageCommands_->ForgetCurrentName();
    if (IsImageStatusText(statusPanels_[1]->text())) statusPanels_[1]->clear();
    ImageReplacedClean();
}

void TFMain::ClearViews() {
    sectorLabel_->clear();
    trackLabel_->clear();
    SetCommentLines({});
    logList_->clear();
    sectorView_->clearView();
}

void TFMain::ProgramSettingsCommand() {
    if (!settingsDialog_) settingsDialog_ = new Tfmset(this);
    if (!settingsDialog_->Edit(settings_)) return;
    store_->WriteDialogValues(settings_);
    sectorView_->setSizeFromHead(settings_.SetSectorSizeFromHead);
}

void TFMain::ConnectMap() {
    diskMap_->setEditHost(this);
    diskMap_->setEditGate([this] { return ImageMayChange(); });
    sectorView_->setEditGate([this] { return ImageMayChange(); });
    sectorView_->setQuestionHost(this);
    connect(diskMap_, &DiskMapView::cellClicked, sectorView_, &SectorView::showCell);
    connect(diskMap_, &DiskMapView::cellDoubleClicked, sectorView_, &SectorView::openSectorEditor);
    connect(diskMap_, &DiskMapView::contextPopupOpened, sectorView_, &SectorView::showCellLabels);
    connect(diskMap_, &DiskMapView::editSectorAddressRequested, sectorView_,
            &SectorView::editSectorAddress);
    connect(diskMap_, &DiskMapView::imageEdited, sectorView_, &SectorView::refreshAfterImageEdit);
    // Some edits of the map's menu (the base track, a track's log) repaint nothing.
    connect(diskMap_, &DiskMapView::imageEdited, this, [this] { changes_->MarkChanged(); });
    connect(diskMap_, &DiskMapView::logClearRequested, this, &TFMain::ClearAndShowLog);
    connect(diskMap_, &DiskMapView::baseTemplateCaptionChanged, this,
            [this](const QString& caption) { actions_.useBaseTemplate->setText(caption); });

    connect(sectorView_, &SectorView::trackLabelChanged, trackLabel_, &QLabel::setText);
    connect(sectorView_, &SectorView::sectorLabelChanged, sectorLabel_, &QLabel::setText);
    connect(sectorView_, &SectorView::ownerTextChanged, ownerLine_, &QLabel::setText);
    connect(sectorView_, &SectorView::ownerBarVisibilityChanged, ownerBar_, &QWidget::setVisible);
    connect(sectorView_, &SectorView::logPageRequested, this,
            [this] { logPages_->setCurrentWidget(logPage_); });
    connect(sectorView_, &SectorView::logLinesChanged, this, [this](const QStringList& lines) {
        logList_->clear();
        logList_->addItems(lines);
    });
    connect(sectorView_, &SectorView::slotEdited, this, [this](int, int) {
        changes_->MarkChanged();
        diskMap_->ImageChanged();
    });
}

void TFMain::ConnectComment() {
    // The comment buttons come alive with an edit: "Принять" keeps it at once, "Отменить"
    // brings back the image's comment.
    connect(commentEdit_->document(), &QTextDocument::modificationChanged, this, [this](bool changed) {
        commentAccept_->setEnabled(changed);
        commentCancel_->setEnabled(changed);
    });
    connect(commentAccept_, &QAction::triggered, this, &TFMain::CommitComment);
    connect(commentCancel_, &QAction::triggered, this, &TFMain::RevertComment);
}

void TFMain::ShowCell(int column, int row) {
    sectorView_->showCell(column, row);
}

void TFMain::CommitComment() {
    std::vector<std::string> lines;
    const QString text = commentEdit_->toPlainText();
    if (!text.isEmpty()) {
        for (const QString& line : text.split(QLatin1Char('\n')))
            lines.push_back(line.toStdString());
    }
    // The native image keeps the comment, so a new one is a change of the image.
    if (lines != disk_->DiskLog) changes_->MarkChanged();
    disk_->DiskLog = std::move(lines);
    commentEdit_->document()->setModified(false);
    commentAccept_->setEnabled(false);
    commentCancel_->setEnabled(false);
}

void TFMain::RevertComment() {
    QStringList lines;
    for (const std::string& line : disk_->DiskLog)
        lines << QString::fromStdString(line);
    SetCommentLines(lines);
    commentAccept_->setEnabled(false);
    commentCancel_->setEnabled(false);
}

bool TFMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == commentEdit_ && event->type() == QEvent::FocusOut) CommitComment();
    return QMainWindow::eventFilter(watched, event);
}

// ImageEditHost

void TFMain::ShowError(const std::string& caption, const std::string& text) {
    ShowBox(QString::fromStdString(caption), QString::fromStdString(text));
}

bool TFMain::AskYesNo(const std::string& caption, const std::string& text) {
    return Confirm(QString::fromStdString(caption), QString::fromStdString(text));
}

void TFMain::ClearAndShowLog() {
    logList_->clear();
    logPages_->setCurrentWidget(logPage_);
}

// ImageCommandHost

void TFMain::ClearLog() {
    logList_->clear();
}

void TFMain::AddLogLine(const QString& line) {
    logList_->addItem(line);
    logList_->setCurrentRow(logList_->count() - 1);
}

void TFMain::SetImageStatus(const QString& text) {
    statusPanels_[1]->setText(text);
}

void TFMain::ShowMapFromTop() {
    diskMap_->setTopRow(0);
    diskMap_->horizontalScrollBar()->setValue(0);
    diskMap_->ImageChanged();
}

void TFMain::RefreshSelectedCell() {
    ShowCell(diskMap_->currentColumn(), diskMap_->currentRow());
}

void TFMain::SetCommentLines(const QStringList& lines) {
    commentEdit_->setPlainText(lines.join(QLatin1Char('\n')));
    commentEdit_->document()->setModified(false);
}

void TFMain::ShowCommentPage() {
    logPages_->setCurrentWidget(commentPage_);
}

void TFMain::RereadZxCatalogue() {}

bool TFMain::Confirm(const QString& caption, const QString& text) {
    return dialogs_->YesNo(caption, text);
}

void TFMain::ShowBox(const QString& caption, const QString& text) {
    dialogs_->Message(KindForCaption(caption), caption, text);
}

// ProtocolHost

void TFMain::ShowMessage(const QString& text, const QString& caption) {
    ShowBox(caption, text);
}

void TFMain::LinkFailed(const QString& reason) {
    (void)reason;  // the protocol's message box names it
    statusPanels_[0]->setText(QString::fromUtf8(kUsbStoppedText));
    UpdateControllerMenu();
}

void TFMain::SetDriveMarks(bool driveA, bool driveB) {
    actions_.driveA->setChecked(driveA);
    actions_.driveB->setChecked(driveB);
}

void TFMain::StoreDriveSetting(Drive drive) {
    settings_.Drive = drive == Drive::B ? QStringLiteral("B") : QStringLiteral("A");
    store_->WriteDrive(settings_.Drive);
}

void TFMain::ShowIdentification(const QString& text) {
    statusPanels_[1]->setText(text);
}

}  // namespace morvane
