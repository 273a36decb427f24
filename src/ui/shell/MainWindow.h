// MainWindow: the program's main window. It owns the disk image, the controller link and the
// settings, lays out the widgets, builds the menus, tool bar and status bar and decides
// what is enabled through the plain rules of MenuRules.h. The work goes to command
// objects (link, disk, image files, catalogues) and the layers below see the window
// through small host adapters; the window wires them together.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

#include "model/UserQuestion.h"
#include "ui/shell/FileChooser.h"
#include "ui/shell/MainActions.h"
#include "ui/shell/Settings.h"
#include "ui/shell/WindowViews.h"
#include "ui/shell/SettingsDialog.h"
#include "ui/views/ScreenViewer.h"

namespace morvane {

class CatalogueCommands;
class CatalogueDialogs;
class ControllerLink;
class DiskCommands;
class FtdiDriver;
class ImageChangeTracker;
class ImageFileCommands;
class ImageFileIo;
class LinkCommands;
class DiskImage;
class WindowImageCommandHost;
class WindowImageEditHost;
class WindowOperationHost;
class WindowProtocolHost;

// What the window takes from outside; tests replace the dialogs, the file chooser, the
// settings file and the hardware.
struct MainWindowOptions {
    QString iniPath;                     // empty: Morvane.ini next to the executable
    QString programFolder;               // empty: the executable's folder
    FileChooser chooser;                 // empty: the file dialogs
    std::shared_ptr<UserAsker> dialogs;  // empty: message boxes
    // The catalogue windows' dialogs and viewers; empty: dialogs on screen, their questions
    // through the window's asker.
    std::shared_ptr<CatalogueDialogs> catalogueDialogs;
    // Makes the driver of the real hardware; empty: libftdi.
    std::function<std::unique_ptr<FtdiDriver>()> hardwareDriver;
    // Start-up raises the process to real-time priority; tests leave the priority alone.
    bool raisePriority = true;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The parts.
    DiskImage& Disk() { return *disk_; }
    const Settings& CurrentSettings() const { return settings_; }
    SettingsStore& Store() { return *store_; }
    ControllerLink& Link() { return *link_; }
    UserAsker& Asker() { return *asker_; }
    const MainActions& Actions() const { return actions_; }
    const WindowViews& Views() const { return views_; }
    DiskMapView* Map() const { return views_.diskMap; }
    SectorView* Sectors() const { return views_.sectorView; }
    // The progress window of the whole-disk runs and the disk commands.
    ProgressWindow* Progress() const { return views_.progress; }
    // Whether the image holds changes that no file has; the title shows it.
    ImageChangeTracker& Changes() { return *changes_; }

    // The commands, by the menu they serve.
    LinkCommands& LinkOps() { return *linkCommands_; }
    DiskCommands& DiskOps() { return *diskCommands_; }
    ImageFileCommands& ImageCommands() { return *imageCommands_; }
    CatalogueCommands& Catalogues() { return *catalogueCommands_; }

    bool StartedUp() const { return startedUp_; }
    // Start-up as on the first showing; runs once.
    void StartUp();
    // Status bar panels: 0 link state, 1 controller identification / image file, 2 which
    // link (hardware or virtual).
    QString StatusText(int panel) const;
    QStringList LogLines() const { return views_.LogLines(); }

    // Menu enabling as when each menu opens.
    void UpdateImageMenu();
    void UpdateDiskMenu();
    void UpdateControllerMenu();

    // "Очистить образ" (menu and tool button).
    void ClearImageCommand();
    // "Настройки программы"; the dialog made by the program's start, or on first use.
    void ProgramSettingsCommand();
    void SetSettingsDialog(SettingsDialog* dialog);
    // The screen viewer of the catalogue views: the one set here, or one made on first use
    // and kept.
    void SetScreenViewer(ScreenViewer* viewer) { screenViewer_ = viewer; }
    ScreenViewer* ScreenViewerWindow();

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
    void BuildStatusBar();
    void BuildMenus();
    void BuildImageMenu();
    void BuildDiskMenu();
    void BuildControllerMenu();
    void BuildToolBar();
    void BuildCommands();
    void ConnectMap();
    void ConnectComment();
    void ConnectDiskCommands();
    void DisableMapEntriesWhileBusy();
    void CommitComment();
    void RevertComment();
    // False, and the user told why, while an operation holds the controller: it reads
    // into the image, which must stay the one it reads into.
    bool ImageMayChange();
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
    std::shared_ptr<UserAsker> asker_;
    std::unique_ptr<DiskImage> disk_;
    std::unique_ptr<SettingsStore> store_;
    Settings settings_;
    MainActions actions_;
    WindowViews views_;
    QPointer<SettingsDialog> settingsDialog_;
    QPointer<ScreenViewer> screenViewer_;
    bool startedUp_ = false;

    // The host adapters go before the link and the commands that refer to them.
    std::unique_ptr<WindowProtocolHost> protocolHost_;
    std::unique_ptr<WindowImageEditHost> editHost_;
    std::unique_ptr<WindowImageCommandHost> commandHost_;
    std::unique_ptr<WindowOperationHost> operationHost_;
    std::unique_ptr<ControllerLink> link_;
    std::unique_ptr<ImageFileIo> fileIo_;
    std::unique_ptr<ImageFileCommands> imageCommands_;
    std::unique_ptr<ImageChangeTracker> changes_;
    std::unique_ptr<LinkCommands> linkCommands_;
    std::unique_ptr<DiskCommands> diskCommands_;
    std::unique_ptr<CatalogueCommands> catalogueCommands_;
};

}  // namespace morvane
