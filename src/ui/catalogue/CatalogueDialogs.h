// The questions, dialogs and viewers the catalogue windows use, behind one interface so
// tests answer them with a script and the windows never block on a box on screen.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "filesystems/TrDosEditing.h"
#include "model/FileWrite.h"
#include "model/UserQuestion.h"

namespace morvane {

struct SaveFileRequest {
    QString title;
    QString filter;  // "description|pattern" form
    QString defaultSuffix;
    QString directory;
    QString fileName;
};

struct OpenFilesRequest {
    QString title;
    QString filter;  // "description|pattern" form
    QString directory;
};

// Its questions and messages (Ask) and the dialogs and viewers below.
class CatalogueDialogs : public UserAsker {
  public:
    // The disk name dialog; nothing when cancelled. okOnly: the form of a new disk, whose
    // single button "&Ok" always takes the text.
    virtual std::optional<QString> DiskName(const QString& preset, bool okOnly) = 0;
    // Empty when cancelled.
    virtual QString ChooseFolder(const QString& title, const QString& start) = 0;
    virtual QString ChooseSaveFile(const SaveFileRequest& request) = 0;
    // One or more existing files; empty when cancelled.
    virtual QStringList ChooseOpenFiles(const OpenFilesRequest& request) = 0;
    // A line of text, such as a file's new name; nothing when cancelled.
    virtual std::optional<QString> AskText(const QString& caption, const QString& label,
                                           const QString& preset) = 0;
    // One catalogue entry's header; false when cancelled.
    virtual bool EditHeader(TrDosEntryEdit& edit) = 0;
    // The screen viewer, modal.
    virtual void ShowScreen(std::span<const std::uint8_t> screen) = 0;
    virtual void ShowHex(std::span<const std::uint8_t> bytes, bool terminalFont) = 0;
    virtual void ShowText(std::span<const std::uint8_t> bytes) = 0;
    // A text listing (a BASIC program) in a viewer that can copy and save it; fileName is
    // what its save dialog proposes. A host without such a viewer shows nothing.
    virtual void ShowListing(const QString& caption, const QString& text, const QString& fileName) {
        (void)caption, (void)text, (void)fileName;
    }
};

// A folder setting the windows start their dialogs in and write back: HobetaDir, SCLDir.
struct RememberedFolder {
    std::function<QString()> get;
    std::function<void(const QString&)> set;
};

// The folder of a file, or a folder, with exactly one trailing "/".
QString FolderWithSeparator(const QString& folder);
QString FolderOfFile(const QString& path);
// Writes the bytes atomically; a failure (false as a bool) says why.
FileWriteResult WriteWholeFile(const QString& path, std::span<const std::uint8_t> bytes);

}  // namespace morvane
