// CpmCatalogueWindow, "Каталог диска CP/M": the directory of a Profi CP/M image with its extents and
// block use; viewing, saving, renaming, deleting and adding files. The changes themselves
// live in src/filesystems; this window asks the questions and shows the result.
#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

#include "filesystems/CpmDirectory.h"
#include "model/DiskImage.h"
#include "ui/catalogue/CatalogueDialogs.h"
#include "ui/catalogue/CpmWindowRules.h"

class QAction;
class QLabel;
class QMenu;
class QTreeWidget;

namespace morvane {

struct CpmWindowContext {
    DiskImage* disk = nullptr;
    CatalogueDialogs* dialogs = nullptr;
    RememberedFolder sclDir;
    // Called after each change the window makes to the image.
    std::function<void()> imageChanged;
    // Asked before each change the window makes to the image; false (the user told
    // why) refuses it. Empty: every change may go ahead.
    std::function<bool()> mayChangeImage = {};
};

class CpmCatalogueWindow : public QDialog {
    Q_OBJECT
  public:
    explicit CpmCatalogueWindow(CpmWindowContext context, QWidget* parent = nullptr);

    // Reads the directory from the image and fills the list and the description.
    void Fill();

    const CpmCatalogue& Catalogue() const { return catalogue_; }
    QTreeWidget* List() const { return fileList_; }
    QMenu* ContextMenu() const { return menu_; }
    QStringList DescriptionValues() const;
    void UpdateMenu();
    QAction* Action(std::string_view caption) const;
    void SelectRows(const std::vector<int>& rows);

    void ViewHex();
    void ViewText();
    void SetShowErased(bool show);
    void SetShowHidden(bool show);
    void SaveAs();
    // The selected row's file under a name the user types; refused when the name exists.
    void Rename();
    // The selected rows' files, after a Yes/No question.
    void DeleteFiles();
    // PC files chosen by the user, each under its own name; all or none.
    void AddFiles();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildMenu();
    int FirstSelectedRow() const;
    // The selected row's file, looked up again in the image's directory: nothing when
    // the image no longer holds it.
    std::optional<CpmFile> SelectedFile() const;
    // The first extents of the selected rows' files; nothing when one of them is no longer
    // where the list found it.
    std::optional<std::vector<std::size_t>> SelectedFirstExtents() const;
    // After a change: the list again from the image, and the owner's views.
    bool MayChangeImage() const;
    void Changed();

    CpmWindowContext context_;
    CpmCatalogue catalogue_;
    bool showErased_ = false;
    bool showHidden_ = false;
    QTreeWidget* fileList_ = nullptr;
    std::vector<QLabel*> values_;
    QMenu* menu_ = nullptr;
    std::vector<QAction*> actions_;
};

}  // namespace morvane
