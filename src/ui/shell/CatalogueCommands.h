// The window's catalogue commands: the TR-DOS and CP/M catalogue windows (made on first
// use and kept), the new TR-DOS and CP/M images, the catalogue read from the drive, and
// the sector view's owner line.
#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace morvane {

class CatalogueDialogs;
class ImageChangeTracker;
class ImageFileCommands;
class SettingsStore;
class TrDosCatalogueWindow;
class CpmCatalogueWindow;
class DiskImage;
class UserAsker;
struct OperationContext;
struct Settings;
struct WindowViews;

// Runs a disk operation with the window's operation context (protocol, image, host).
using OperationRunner = std::function<void(const std::function<void(OperationContext&)>&)>;

class CatalogueCommands {
  public:
    struct Parts {
        QWidget* window;  // parent of the catalogue windows
        DiskImage& disk;
        Settings& settings;
        SettingsStore& store;
        const WindowViews& views;
        UserAsker& asker;
        ImageChangeTracker& changes;
        ImageFileCommands& files;
        std::shared_ptr<CatalogueDialogs> dialogs;
        // False, the user told why, while an operation reads into the image.
        std::function<bool()> imageMayChange;
        // The unsaved-work question before the image is replaced; false stops.
        std::function<bool()> confirmDiscard;
        // The image now is one no file holds and that holds no unsaved work.
        std::function<void()> imageReplacedClean;
    };
    explicit CatalogueCommands(Parts parts);
    ~CatalogueCommands();
    CatalogueCommands(const CatalogueCommands&) = delete;
    CatalogueCommands& operator=(const CatalogueCommands&) = delete;

    // The catalogue windows, made on first use and kept.
    TrDosCatalogueWindow* ZxCatalogue();
    CpmCatalogueWindow* CpmCatalogue();
    // "Просмотреть ZX каталог", "Просмотреть CP/M каталог"
    void ViewZxCatalogueCommand();
    void ViewCpmCatalogueCommand();
    // "Создать образ" → "TR-DOS диска" / "CP/M диска (Profi)"
    void CreateTrdosImageCommand();
    void CreateCpmImageCommand();
    // The name of a new TR-DOS disk, asked with the name dialog.
    QString AskNewTrDosName();
    // The name of the TR-DOS disk "Форматировать диск" is about to make; the dialog offers
    // Cancel, and nothing comes back when it is cancelled.
    std::optional<QString> AskFormatTrDosName();
    // "Считать ZX каталог"; does nothing until an operation runner is set.
    void ReadZxCatalogueCommand();
    void SetOperationRunner(OperationRunner runner) { runner_ = std::move(runner); }
    bool HasOperationRunner() const { return static_cast<bool>(runner_); }
    // The image was changed by a catalogue command or replaced by a new one: the map, the
    // selected cell with its owner line and an open CP/M catalogue show it again.
    void ShowChangedImage();

  private:
    Parts p_;
    OperationRunner runner_;
    QPointer<TrDosCatalogueWindow> zxCatalogue_;
    QPointer<CpmCatalogueWindow> cpmCatalogue_;
};

}  // namespace morvane
