// The catalogue windows' questions through the window's asker (its message boxes), the
// dialogs on screen, the viewers through the screen viewer ScreenViewer and the save dialog
// through the window's file chooser.
#pragma once

#include <QPointer>

#include <functional>

#include "ui/catalogue/CatalogueDialogs.h"
#include "ui/shell/FileChooser.h"
#include "ui/views/ScreenViewer.h"

namespace morvane {

class WidgetCatalogueDialogs : public CatalogueDialogs {
  public:
    // viewer: the program's screen viewer, made on first use when it gives none.
    WidgetCatalogueDialogs(QWidget* parent, UserAsker& asker, std::function<ScreenViewer*()> viewer,
                           FileChooser chooser)
        : parent_(parent),
          asker_(asker),
          viewer_(std::move(viewer)),
          chooser_(std::move(chooser)) {}

    Answer Ask(const Question& question) override { return asker_.Ask(question); }
    std::optional<QString> DiskName(const QString& preset, bool okOnly) override;
    QString ChooseFolder(const QString& title, const QString& start) override;
    QString ChooseSaveFile(const SaveFileRequest& request) override;
    QStringList ChooseOpenFiles(const OpenFilesRequest& request) override;
    std::optional<QString> AskText(const QString& caption, const QString& label,
                                   const QString& preset) override;
    bool EditHeader(TrDosEntryEdit& edit) override;
    void ShowScreen(std::span<const std::uint8_t> screen) override;
    void ShowHex(std::span<const std::uint8_t> bytes, bool terminalFont) override;
    void ShowText(std::span<const std::uint8_t> bytes) override;
    void ShowListing(const QString& caption, const QString& text, const QString& fileName) override;

  private:
    ScreenViewer* Viewer();

    QWidget* parent_;
    UserAsker& asker_;
    std::function<ScreenViewer*()> viewer_;
    FileChooser chooser_;
    QPointer<ScreenViewer> own_;
};

}  // namespace morvane
