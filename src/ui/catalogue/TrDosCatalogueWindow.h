// TrDosCatalogueWindow, "Каталог диска TR-DOS": the TR-DOS catalogue of the image (or of the disk in
// the drive) with its description, and the file commands of its context menu. The rules
// and changes live in src/filesystems; this window shows them and asks the questions.
#pragma once

#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "filesystems/TrDosCatalogue.h"
#include "filesystems/TrDosFileSectors.h"
#include "model/DiskImage.h"
#include "ui/catalogue/CatalogueDialogs.h"
#include "ui/catalogue/TrDosWindowRules.h"

class QAction;
class QLabel;
class QMenu;
class QTreeWidget;

namespace morvane {

struct TrDosWindowContext {
    DiskImage* disk = nullptr;
    CatalogueDialogs* dialogs = nullptr;
    RememberedFolder hobetaDir;
    RememberedFolder sclDir;
    // Called after each change the window makes to the image.
    std::function<void()> imageChanged;
    // Asked before each change the window makes to the image; false (the user told
    // why) refuses it. Empty: every change may go ahead.
    std::function<bool()> mayChangeImage = {};
};

class TrDosCatalogueWindow : public QDialog {
    Q_OBJECT
  public:
    explicit TrDosCatalogueWindow(TrDosWindowContext context, QWidget* parent = nullptr);

    // Reads the catalogue from the image and fills the window; false (window unchanged)
    // when the image holds no TR-DOS catalogue.
    bool LoadFromImage();
    // Takes sectors 1..10 of track 0 read from the drive; the file commands stay off.
    bool LoadFromDisk(std::span<const std::uint8_t> track0);

    const TrDosCatalogue& Catalogue() const { return catalogue_; }
    bool FromImage() const { return fromImage_; }
    QTreeWidget* List() const { return fileList_; }
    QMenu* ContextMenu() const { return menu_; }
    QStringList DescriptionValues() const;
    // Applies the enabling rules as when the menu opens.
    void UpdateMenu();
    QAction* Action(std::string_view caption) const;

    void SelectRows(const std::vector<int>& rows);

    // The context menu's commands.
    void ViewScreen();
    void ViewHex();
    void Compact();
    void RenameDisk();
    void SetShowDeleted(bool show);
    void SaveHobeta();
    void SaveScl();
    void EditHeader();
    // Hobeta files and SCL archives chosen by the user, after the last file; all or none.
    void AddFiles();
    void DeleteFiles();
    // A type B file's program as text, in the listing viewer.
    void ViewBasic();
    // The selected files as plain bytes (NAME.T in a folder) or as one tape file.
    void SaveBin();
    void SaveTap();
    // Plain PC files, each with the name, type and start the user gives it, after the last
    // file; all or none.
    void AddPlainFiles();

  private:
    void BuildMenu();
    void Fill();
    std::vector<std::size_t> SelectedEntries() const;
    // The selected files' sectors as the image holds them. When a file has sectors read in
    // error or not read, asks whether to save the files as they are, naming those sectors;
    // nothing when the user says no.
    std::optional<std::vector<TrDosFileSectors>> ReadFilesToSave(
        const std::vector<TrDosEntry>& selected);
    // One file of a folder export, made of the entry's sectors; `name` is the file's name
    // within the folder.
    using FolderFileMaker =
        std::function<void(const TrDosEntry& entry, std::span<const std::uint8_t> sectors,
                           std::size_t index, Bytes& file, QString& name)>;
    // Writes each of `selected` into `folder`, asking before an existing file is replaced,
    // and remembers the folder.
    void WriteFilesToFolder(const QString& folder, const std::vector<TrDosEntry>& selected,
                            const FolderFileMaker& make);
    // Makes one file of all the selected files (an SCL archive, a tape file) from their
    // sectors.
    using OneFileMaker = std::function<void(const std::vector<TrDosEntry>& selected,
                                            const std::vector<Bytes>& sectors, Bytes& file)>;
    // Asks for the file (with `request`'s title and filter, in the archive folder), asks
    // before replacing it, writes it and remembers its folder.
    void SaveSelectionAsOneFile(SaveFileRequest request, const OneFileMaker& make);
    const TrDosEntry* SingleSelectedEntry() const;
    // After a change: the record again from the image, the list and the owner's views.
    bool MayChangeImage() const;
    void Changed();

    TrDosWindowContext context_;
    TrDosCatalogue catalogue_;
    bool fromImage_ = true;
    bool showDeleted_ = false;
    QTreeWidget* fileList_ = nullptr;
    std::vector<QLabel*> values_;
    QMenu* menu_ = nullptr;
    std::vector<QAction*> actions_;
};

}  // namespace morvane
