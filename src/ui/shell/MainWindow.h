// TFMain: the program's main window. It owns the disk image and its map, the controller
// link and the settings, builds the menus, tool bar and status bar, decides what is
// enabled through the plain rules of MenuRules.h, and answers the questions of the layers
// below with message boxes.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

#include "controller/LinkClaim.h"
#include "controller/ProtocolHost.h"
#include "model/ImageEditing.h"
#include "model/ZxDisk.h"
#include "ui/shell/FileChooser.h"
#include "ui/shell/ImageChangeTracker.h"
#include "ui/shell/ImageFileCommands.h"
#include "ui/shell/MainActions.h"
#include "ui/shell/Settings.h"
#include "ui/shell/UserDialogs.h"
#include "ui/views/ScreenViewer.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QToolBar;

namespace morvane {

class DiskMapView;
class HexView;
class SectorView;
class FtdiDriver;
class ControllerLink;
class Tfmset;
class T_ZXCAT;
class T_cCat;
class CatalogueDialogs;
struct OperationContext;

// Runs a disk operation with the window's operation context (protocol, image, host).
using OperationRunner = std::function<void(const std::function<void(OperationContext&)>&)>;
class T_Prog;
class WindowOperationHost;
class DiskCommands;

// What the window takes from outside; tests replace the dialogs, the file chooser, the
// settings file and the hardware.
struct MainWindowOptions {
    QString iniPath;                       // empty: Morvane.ini next to the executable
    QString programFolder;                 // empty: the executable's folder
    FileChooser chooser;                   // empty: the file dialogs
    std::shared_ptr<UserDialogs> dialogs;  // empty: message boxes
    // The catalogue windows' questions and viewers; empty: dialogs on screen.
    std::shared_ptr<CatalogueDialogs> catalogueDialogs;
    // Makes the driver of the real hardware; empty: libftdi.
    std::function<std::unique_ptr<FtdiDriver>()> hardwareDriver;
    // Start-up raises the process to real-time priority; tests leave the priority alone.
    bool raisePriority = true;
};

class TFMain : public QMainWindow,
               public ImageEditHost,
               public ImageCommandHost,
               public ProtocolHost {
    Q_OBJECT
  public:
    explicit TFMain(MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~TFMain() override;

    TZX_Disk& Disk() { return *disk_; }
    const TSettings& Settings() const { return settings_; }
    SettingsStore& Store() { return *store_; }
    ControllerLink& Link() { return *link_; }
    ImageFileCommands& ImageCommands() { return *imageCommands_; }
    const MainActions& Actions() const { return actions_; }
    DiskMapView* Map() const { return diskMap_; }
    SectorView* Sectors() const { return sectorView_; }
    // The progress window of the whole-disk runs and the disk commands.
    T_Prog* ProgressWindow() const { return progress_; }
    DiskCommands& DiskOps() { return *diskCommands_; }
    bool StartedUp() const { return startedUp_; }
    // Status bar panels: 0 link state, 1 controller identification / image file, 2 which
    // link (hardware or virtual).
    QString StatusText(int panel) const;
    QStringList LogLines() const;

    // The settings dialog made by the program's start; made on first use otherwise.
    void SetSettingsDialog(Tfmset* dialog);
    // The screen viewer of the catalogue views: the one set here, or one made on first use
    // and kept.
    void SetScreenViewer(TFmScr* viewer) { screenViewer_ = viewer; }
    TFmScr* ScreenViewer();

    // Start-up as on the first showing; runs once.
    void StartUp();
    // Menu enabling as when each menu opens.
    void UpdateImageMenu();
    void UpdateDiskMenu();
    void UpdateControllerMenu();

    // Commands of the window itself.
    void StartStopUsb();
    void SelectDriveCommand(bool driveB);
    void ResetControllerCommand();
    void ClearImageCommand();
    void ProgramSettingsCommand();
    void SetVirtualController(bool enabled);
    void ChooseVirtualImageCommand();
    // Catalogues and new images ("Образ" menu).
    void ViewZxCatalogueCommand();
    void ViewCpmCatalogueCommand();
    void CreateTrdosImageCommand();
    // The name of a new TR-DOS disk, asked with the name dialog.
    QString AskNewTrDosName();
    void CreateCpmImageCommand();
    // "Считать ZX каталог"; does nothing until an operation runner is set.
    void ReadZxCatalogueCommand();
    void SetOperationRunner(OperationRunner runner) { operationRunner_ = std::move(runner); }
    // The catalogue windows, made on first use and kept.
    T_ZXCAT* ZxCatalogue();
    T_cCat* CpmCatalogue();
    // Puts the image file into the emulated drive (empty: the demonstration disk) and
    // remembers the choice. Returns whether the file could be read.
    bool PutImageIntoVirtualDrive(const QString& path);

    // ImageEditHost
    void ShowError(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ClearAndShowLog() override;

    // ImageCommandHost
    void ClearLog() override;
    void AddLogLine(const QString& line) override;
    void SetImageStatus(const QString& text) override;
    void ShowMapFromTop() override;
    void RefreshSelectedCell() override;
    void SetCommentLines(const QStringList& lines) override;
    void ShowCommentPage() override;
    void RereadZxCatalogue() override;
    bool Confirm(const QString& caption, const QString& text) override;
    void ShowBox(const QString& caption, const QString& text) override;

    // ProtocolHost
    void ShowMessage(const QString& text, const QString& caption) override;
    void SetDriveMarks(bool driveA, bool driveB) override;
    void StoreDriveSetting(Drive drive) override;
    void ShowIdentification(const QString& text) override;
    void LinkFailed(const QString& reason) override;

    UserDialogs& Dialogs() { return *dialogs_; }

    // Whether the image holds changes that no file has; the title shows it.
    ImageChangeTracker& Changes() { return *changes_; }

  protected:
    void showEvent(QShowEvent* event) override;
    // Quitting asks about unsaved changes first; Cancel keeps the program running.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Sized and placed to fit the screen's available area.
    void PlaceFirstWindow();
    void BuildLayout();
    QWidget* BuildLeftPart();
    QWidget* BuildRightPart();
    void BuildMenus();
    void BuildImageMenu();
    void BuildDiskMenu();
    void BuildControllerMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void ConnectMap();
    void BuildDiskCommands();
    void DisableMapDiskEntriesWhileBusy();
    void ShowCell(int column, int row);
    void ConnectComment();
    void CommitComment();
    void RevertComment();
    void ShowLinkKind();
    // The link for one of the window's controller commands; not held (and the user told
    // why) while another command or operation holds it.
    LinkClaim ClaimLink();
    void LoadRememberedVirtualDisk(Drive drive);
    void ClearViews();
    // False, and the user told why, while an operation holds the controller: it reads
    // into the image, which must stay the one it reads into.
    bool ImageMayChange();
    void ConnectCatalogues();
    // The image was changed by a catalogue command or replaced by a new one: the map, the
    // selected cell with its owner line and an open CP/M catalogue show it again.
    void ShowChangedImage();
    // Unsaved work: the tracker between the image and the map, the question before an
    // action that discards the image, and the title that shows the file and the mark.
    void TrackImageChanges();
    bool ConfirmDiscardImage();
    void LoadImageCommand(const std::function<bool()>& load);
    void ImageSaved(bool saved);
    // The image now is what a file or nothing holds (loaded, cleared, new).
    void ImageReplacedClean();
    void UpdateTitle();

    MainWindowOptions options_;
    std::shared_ptr<UserDialogs> dialogs_;
    std::unique_ptr<TZX_Disk> disk_;
    std::unique_ptr<SettingsStore> store_;
    TSettings settings_;
    std::unique_ptr<ControllerLink> link_;
    std::unique_ptr<ImageFileIo> fileIo_;
    std::unique_ptr<ImageFileCommands> imageCommands_;
    std::unique_ptr<ImageChangeTracker> changes_;
    QPointer<Tfmset> settingsDialog_;
    QPointer<TFmScr> screenViewer_;
    std::shared_ptr<CatalogueDialogs> catalogueDialogs_;
    QPointer<T_ZXCAT> trdosCatalogue_;
    QPointer<T_cCat> cpmCatalogue_;
    OperationRunner operationRunner_;
    MainActions actions_;
    bool startedUp_ = false;

    // Components by the names the program uses.
    DiskMapView* diskMap_ = nullptr;
    SectorView* sectorView_ = nullptr;
    HexView* hexView_ = nullptr;
    QListWidget* logList_ = nullptr;
    QPlainTextEdit* commentEdit_ = nullptr;
    QTabWidget* logPages_ = nullptr;
    QLabel* sectorLabel_ = nullptr;
    QLabel* trackLabel_ = nullptr;
    QWidget* ownerBar_ = nullptr;
    QLabel* ownerLine_ = nullptr;
    QLabel* crcLabel_ = nullptr;
    QLabel* offsetLabel_ = nullptr;
    QWidget* logPage_ = nullptr;
    QWidget* commentPage_ = nullptr;
    QAction* commentAccept_ = nullptr;
    QAction* commentCancel_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* statusPanels_[3] = {};

    // The disk operations' view of the window, and the commands that run them; they go
    // before the widgets and the link they refer to.
    T_Prog* progress_ = nullptr;
    std::unique_ptr<WindowOperationHost> opHost_;
    std::unique_ptr<DiskCommands> diskCommands_;
};

}  // namespace morvane
