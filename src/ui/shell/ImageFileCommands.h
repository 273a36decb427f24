// The main window's image load and save commands: the native format, the format-choosing
// "Загрузить как..." / "Сохранить как..." and the single-format items. They talk to the
// window through ImageCommandHost and to the files through ImageFileIo, so tests run them
// with fakes and a scripted file chooser. What differs between formats (titles, filters,
// the single-format items' steps) comes from the format table (imagefiles/).
#pragma once

#include <QString>
#include <QStringList>

#include "imagefiles/ImageFormatTable.h"
#include "model/DiskImage.h"
#include "ui/shell/FileChooser.h"
#include "model/UserQuestion.h"
#include "ui/shell/Settings.h"

namespace morvane {

// Its questions (Ask): the overwrite and compression questions, the load and save failures.
class ImageCommandHost : public UserAsker {
  public:
    virtual void ClearLog() = 0;
    // Appends a line to the operation log and makes it the selected line.
    virtual void AddLogLine(const QString& line) = 0;
    // Status bar panel 1.
    virtual void SetImageStatus(const QString& text) = 0;
    // Scrolls the disk map to its first row and column and repaints it.
    virtual void ShowMapFromTop() = 0;
    // Shows the map's current cell again, as after a click on it.
    virtual void RefreshSelectedCell() = 0;
    // Replaces the disk comment page's lines (an empty list empties it).
    virtual void SetCommentLines(const QStringList& lines) = 0;
    virtual void ShowCommentPage() = 0;
    // Reads the TR-DOS catalogue of the image again, if its window needs it.
    virtual void RereadZxCatalogue() = 0;
};

// Whole-file reading and writing of one format into or out of the container.
class ImageFileIo {
  public:
    virtual ~ImageFileIo() = default;
    // False when the file cannot be read or is wrong; disk.LastError then says why (for
    // the formats that report).
    virtual bool Read(ImageFormat format, const QString& path, DiskImage& disk) = 0;
    // False when nothing valid was written; the previous file is then left as it was.
    virtual bool Write(ImageFormat format, const QString& path, DiskImage& disk) = 0;
    // The same in the format's compressed form (TD0 with LZH compression).
    virtual bool WriteCompressed(ImageFormat format, const QString& path, DiskImage& disk) = 0;
    // The format to read the file with, by its content and its name (ImageContent.h).
    virtual ImageFormat Recognise(const QString& path);
};

class ImageFileCommands {
  public:
    ImageFileCommands(DiskImage& disk, Settings& settings, SettingsStore& store,
                      ImageCommandHost& host, ImageFileIo& io, FileChooser chooser);

    // The load commands return whether the image was replaced, the save commands whether
    // a file was written.
    bool LoadAs();
    bool SaveAs();
    // "Загрузить": an image of any format the table reads, known by its content where its
    // name says another format or none.
    bool LoadNative();
    // "Сохранить": the native format, the dialog starting beside the image's file.
    bool SaveNative();
    // The single-format items "Загрузить UDI", "Загрузить TRD", ... and "Сохранить UDI",
    // "Сохранить TRD": the steps their format's row gives. A format without such an item
    // (saving TD0 or FDI) does nothing. The native format's items are LoadNative and
    // SaveNative, which also remember the file's name and folder.
    bool LoadSingle(ImageFormat format);
    bool SaveSingle(ImageFormat format);
    // Saves the image into the file it was last loaded from or saved to, in that file's
    // format, without a dialog; "Сохранить как..." when it has no such file or the file's
    // format keeps less than the image (a TD0, FDI, SCL or Hobeta file). True when a file
    // was written.
    bool SaveToImageFile();
    // "Объединить с образом...": a chosen image file of the same disk merged into the
    // image (model/ImageMerge.h), the merge's table in the log. True when merged.
    bool MergeWith();

    // Name and extension of the image file last loaded or saved by the format-choosing or
    // native commands; empty at first.
    const QString& CurrentName() const { return currentName_; }
    // The file the image was last loaded from or saved to by any command (full path);
    // empty when it has none.
    const QString& ImageFile() const { return imageFile_; }
    // The image was cleared: no file is its file any more.
    void ForgetCurrentName() {
        currentName_.clear();
        ForgetImageFile();
    }
    // The image was replaced by one that no file holds; the dialogs keep their names.
    void ForgetImageFile() {
        imageFile_.clear();
        imageFileFormat_ = ImageFormat::Unknown;
    }
    void SetChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

  private:
    QString ChooseOpen(FileDialogRequest request);
    // chosenEntry, when given, receives the 1-based filter entry the dialog ended on.
    QString ChooseSave(FileDialogRequest request, int* chosenEntry = nullptr);
    QString ChooseSingleOpen(const ImageFormatEntry& row);
    QString ChooseSingleSave(const ImageFormatEntry& row);
    bool ConfirmOverwrite(const QString& path, const QString& caption);
    // Reads the file into a fresh container and takes that over only on success, so a
    // failed read leaves the image as it was; the reader's message is then in LastError.
    bool ReadImage(ImageFormat format, const QString& path);
    // Clears the log and adds the failure's line, which it returns, and says why in a box.
    QString ReportReadFailure(ImageFormat format, const QString& path);
    // What the reader noted about the file it loaded: a log line each, after the views
    // were refreshed, and a box when the file lacks sectors.
    void ReportLoadNotes(const std::vector<LoadNote>& notes, const QString& path);
    void ShowStatusFor(const QString& path);
    void SetCommentsFromImage();
    void RememberImageFolder(const QString& path);
    void RememberNativeImageFolder(const QString& path);
    // Writes the image, with the RestoreTrack setting applied as the format's row says; a
    // failure is reported with the writer's reason.
    bool WriteImage(ImageFormat format, const QString& path, bool compress = false);
    void ReportWriteFailure(ImageFormat format, const QString& path);
    // Directory for a single-format dialog: that of its last name, else ImageFolder.
    QString SingleDialogFolder(const QString& name) const;
    void PresetSaveNameForLoad(const ImageFormatEntry& row);
    void SetImageFile(const QString& path, ImageFormat format) {
        imageFile_ = path;
        imageFileFormat_ = format;
    }
    // The image was written to path: it is the image's file now, and the status bar says so.
    void Saved(const QString& path, ImageFormat format);

    DiskImage& disk_;
    Settings& settings_;
    SettingsStore& store_;
    ImageCommandHost& host_;
    ImageFileIo& io_;
    FileChooser chooser_;
    QString currentName_;
    QString openDialogName_;  // what the open dialog last returned (full path)
    QString saveDialogName_;  // what the save dialog last returned or was preset to
    QString imageFile_;
    ImageFormat imageFileFormat_ = ImageFormat::Unknown;
};

}  // namespace morvane
