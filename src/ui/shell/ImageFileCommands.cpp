#include "ui/shell/ImageFileCommands.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

#include "imagefiles/ImageContent.h"
#include "model/ImageMerge.h"
#include "ui/shell/LoadSaveRules.h"
#include "ui/shell/Texts.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

QStringList ToQStringList(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines)
        out << QString::fromStdString(line);
    return out;
}

FileDialogRequest Request(FileDialogRequest::Kind kind, const QString& title, const QString& filter,
                          std::string_view suffix) {
    FileDialogRequest r;
    r.kind = kind;
    r.title = title;
    r.filter = filter;
    r.defaultSuffix = TableText(suffix);
    return r;
}

const ImageFormatEntry& NativeRow() {
    return *FindImageFormat(ImageFormat::Udf);
}

// ".udi": what the single-format commands give the names in their dialogs.
QString DotExtension(const ImageFormatEntry& row) {
    return QLatin1Char('.') + TableText(row.extension);
}

// Set before a write: a failure that leaves it was not in building a track.
constexpr std::uint8_t kNoFailTrack = 0xFF;

// A box text with the reason of the failure on a line of its own.
QString WithReason(const QString& text, const std::string& reason) {
    if (reason.empty()) return text;
    return text + QLatin1Char('\n') + QString::fromStdString(reason);
}

}  // namespace

ImageFormat ImageFileIo::Recognise(const QString& path) {
    return RecogniseImageFile(QFile::encodeName(path).toStdString());
}

ImageFileCommands::ImageFileCommands(DiskImage& disk, Settings& settings, SettingsStore& store,
                                     ImageCommandHost& host, ImageFileIo& io, FileChooser chooser)
    : disk_(disk),
      settings_(settings),
      store_(store),
      host_(host),
      io_(io),
      chooser_(std::move(chooser)) {}

QString ImageFileCommands::ChooseOpen(FileDialogRequest request) {
    const QString path = chooser_ ? chooser_(request).path : QString();
    if (!path.isEmpty()) openDialogName_ = path;
    if (path.isEmpty() || !QFileInfo(path).isFile()) return {};
    return path;
}

QString ImageFileCommands::ChooseSave(FileDialogRequest request, int* chosenEntry) {
    const FileDialogAnswer answer = chooser_ ? chooser_(request) : FileDialogAnswer();
    if (!answer.path.isEmpty()) saveDialogName_ = answer.path;
    if (chosenEntry != nullptr)
        *chosenEntry = answer.filterIndex > 0 ? answer.filterIndex : request.filterIndex;
    return answer.path;
}

// The dialogs of the single-format commands start at the name last used with them.
QString ImageFileCommands::ChooseSingleOpen(const ImageFormatEntry& row) {
    FileDialogRequest r = Request(FileDialogRequest::Kind::Open, TableText(row.singleLoad.title),
                                  SingleLoadFilterText(row.format), row.extension);
    r.fileName = openDialogName_;
    r.directory = SingleDialogFolder(openDialogName_);
    return ChooseOpen(r);
}

QString ImageFileCommands::ChooseSingleSave(const ImageFormatEntry& row) {
    FileDialogRequest r = Request(FileDialogRequest::Kind::Save, TableText(row.singleSave.title),
                                  SingleSaveFilterText(row.format), row.extension);
    r.fileName = saveDialogName_;
    r.directory = SingleDialogFolder(saveDialogName_);
    return ChooseSave(r);
}

bool ImageFileCommands::ConfirmOverwrite(const QString& path, const QString& caption) {
    if (!QFileInfo::exists(path)) return true;
    return host_.Ask({.caption = caption.toStdString(),
                      .text = kOverwriteQuestion,
                      .buttons = Buttons::YesNo}) == Answer::Yes;
}

bool ImageFileCommands::ReadImage(ImageFormat format, const QString& path) {
    auto fresh = std::make_unique<DiskImage>();
    // Only the native format carries this; the others keep what the image had.
    fresh->NoTrackRestore = disk_.NoTrackRestore;
    if (!io_.Read(format, path, *fresh)) {
        disk_.LastError = fresh->LastError;
        return false;
    }
    disk_.TakeImageFrom(*fresh);
    return true;
}

QString ImageFileCommands::ReportReadFailure(ImageFormat format, const QString& path) {
    const QString line = ReadErrorLine(format, disk_.LastError);
    host_.ClearLog();
    host_.AddLogLine(line);
    host_.Ask(
        {.caption = kCaptionError, .text = ReadFailureText(path, disk_.LastError).toStdString()});
    return line;
}

void ImageFileCommands::ReportLoadNotes(const std::vector<LoadNote>& notes, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    QStringList missing;
    for (const LoadNote& note : notes) {
        const QString text = QString::fromStdString(note.text);
        host_.AddLogLine(name + QStringLiteral(": ") + text);
        if (note.sectorsMissing) missing << text;
    }
    if (missing.isEmpty()) return;
    host_.Ask({.caption = kCaptionAttentionDots,
               .text = (Ui::tr("Файл образа неполон: ") + name + QLatin1Char('\n') +
                        missing.join(QLatin1Char('\n')))
                           .toStdString()});
}

void ImageFileCommands::ShowStatusFor(const QString& path) {
    host_.SetImageStatus(ImageStatusText(path, disk_.CountTracks()));
}

// The comment page always shows the comment of the image now held, so the comment of an
// earlier image cannot slip into the next one through the page.
void ImageFileCommands::SetCommentsFromImage() {
    host_.SetCommentLines(ToQStringList(disk_.DiskLog));
}

void ImageFileCommands::RememberImageFolder(const QString& path) {
    settings_.ImageFolder = FolderOf(path);
    store_.WriteImageFolder(settings_.ImageFolder);
}

void ImageFileCommands::RememberNativeImageFolder(const QString& path) {
    settings_.NativeImageFolder = FolderOf(path);
    store_.WriteNativeImageFolder(settings_.NativeImageFolder);
}

bool ImageFileCommands::WriteImage(ImageFormat format, const QString& path, bool compress) {
    ApplyRestoreTrackSetting(format, disk_, settings_.RestoreTrack);
    disk_.LastError.clear();
    disk_.FailTrack = kNoFailTrack;
    const bool written =
        compress ? io_.WriteCompressed(format, path, disk_) : io_.Write(format, path, disk_);
    if (written) return true;
    ReportWriteFailure(format, path);
    return false;
}

void ImageFileCommands::ReportWriteFailure(ImageFormat format, const QString& path) {
    const ImageFormatEntry* row = FindImageFormat(format);
    if (row != nullptr && !row->buildFailedText.empty()) {
        host_.Ask(
            {.caption = kCaptionAttentionDots,
             .text = WithReason(TableText(row->buildFailedText), disk_.LastError).toStdString()});
        if (disk_.FailTrack == kNoFailTrack) return;  // the file, not the image, failed
        host_.ClearLog();
        host_.AddLogLine(UdiWriteFailLine(disk_));
        return;
    }
    host_.Ask(
        {.caption = kCaptionError,
         .text =
             WithReason(Ui::tr("Ошибка записи файла - ") + path, disk_.LastError).toStdString()});
}

QString ImageFileCommands::SingleDialogFolder(const QString& name) const {
    if (!name.isEmpty()) return FolderOf(name);
    return settings_.ImageFolder;
}

void ImageFileCommands::PresetSaveNameForLoad(const ImageFormatEntry& row) {
    if (!openDialogName_.isEmpty())
        saveDialogName_ = WithExtension(openDialogName_, DotExtension(row));
}

bool ImageFileCommands::MergeWith() {
    FileDialogRequest r =
        Request(FileDialogRequest::Kind::Open, Ui::tr("Объединить с образом"), LoadAsFilter(), "");
    r.filterIndex = kLoadAsDefaultFilterIndex;
    r.directory = settings_.ImageFolder;
    const QString path = ChooseOpen(r);
    if (path.isEmpty()) return false;
    const ImageFormat format = DispatchFormat(path);
    if (format == ImageFormat::Unknown) return false;
    auto other = std::make_unique<DiskImage>();
    if (!io_.Read(format, path, *other)) {
        disk_.LastError = other->LastError;
        ReportReadFailure(format, path);
        return false;
    }
    const DiskImage* inputs[] = {&disk_, other.get()};
    const MergeReport report = MergeImages(inputs, disk_);
    host_.ClearLog();
    host_.AddLogLine(QStringLiteral("Объединение с образом ") + QFileInfo(path).fileName());
    for (const std::string& line : MergeReportLines(report, kMergeWordsRussian))
        host_.AddLogLine(QString::fromStdString(line));
    host_.ShowMapFromTop();
    host_.RefreshSelectedCell();
    ReportLoadNotes(other->LoadNotes, path);
    return true;
}

bool ImageFileCommands::LoadAs() {
    FileDialogRequest r =
        Request(FileDialogRequest::Kind::Open, QString::fromUtf8(kLoadTitle), LoadAsFilter(), "");
    r.filterIndex = kLoadAsDefaultFilterIndex;
    r.directory = settings_.ImageFolder;
    const QString path = ChooseOpen(r);
    if (path.isEmpty()) return false;

    const ImageFormat format = DispatchFormat(path);
    if (format == ImageFormat::Unknown) {
        host_.SetImageStatus(QString());
        return false;
    }
    if (!ReadImage(format, path)) {
        ReportReadFailure(format, path);
        return false;
    }
    SetCommentsFromImage();
    currentName_ = QFileInfo(path).fileName();
    RememberImageFolder(path);
    ShowStatusFor(path);
    host_.ShowMapFromTop();
    host_.ShowCommentPage();
    host_.RefreshSelectedCell();
    SetImageFile(path, format);
    ReportLoadNotes(disk_.LoadNotes, path);
    return true;
}

bool ImageFileCommands::SaveAs() {
    FileDialogRequest r = Request(FileDialogRequest::Kind::Save, UiText(kSaveAsTitle),
                                  SaveAsFilter(), SaveAsDefaultExtension(1));
    r.filterIndex = 1;
    r.directory = settings_.ImageFolder;
    r.fileName = SaveAsStartName(currentName_);
    r.suffixForFilter = [this](int index) { return SaveAsSuffixForImage(index, disk_); };
    int entry = 0;
    const QString typed = ChooseSave(r, &entry);
    if (typed.isEmpty()) return false;
    const QString path = SaveAsTargetName(typed, SaveAsSuffixForImage(entry, disk_));
    saveDialogName_ = path;

    const ImageFormat format = SaveAsFormat(path);
    if (!CanWriteFormat(format)) {
        host_.Ask({.caption = kCaptionAttentionDots,
                   .text = SaveAsRefusalText(format, path).toStdString()});
        return false;
    }
    if (!ConfirmOverwrite(path, QString::fromUtf8(kCaptionAttentionDots))) return false;
    const bool compress = CanCompressFormat(format) &&
                          host_.Ask({.caption = kCaptionAttentionDots,
                                     .text = std::string(FindImageFormat(format)->compressQuestion),
                                     .buttons = Buttons::YesNo}) == Answer::Yes;
    // A file that was not written does not become the image's file.
    if (!WriteImage(format, path, compress)) return false;
    currentName_ = QFileInfo(path).fileName();
    RememberImageFolder(path);
    Saved(path, format);
    return true;
}

bool ImageFileCommands::LoadNative() {
    const ImageFormatEntry& native = NativeRow();
    FileDialogRequest r = Request(FileDialogRequest::Kind::Open, TableText(native.singleLoad.title),
                                  OpenAnyFilter(), native.extension);
    r.directory = settings_.NativeImageFolder;
    const QString path = ChooseOpen(r);
    if (path.isEmpty()) return false;
    const ImageFormat format = io_.Recognise(path);
    if (format == ImageFormat::Unknown) {
        host_.Ask({.caption = kCaptionError, .text = UnknownFormatText(path).toStdString()});
        return false;
    }
    if (!ReadImage(format, path)) {
        host_.SetImageStatus(ReportReadFailure(format, path));
        return false;
    }

    currentName_ = QFileInfo(path).fileName();
    RememberNativeImageFolder(path);
    ShowStatusFor(path);
    host_.ShowMapFromTop();
    host_.RefreshSelectedCell();
    host_.SetCommentLines({});
    host_.RereadZxCatalogue();
    SetCommentsFromImage();
    host_.ShowCommentPage();
    SetImageFile(path, format);
    ReportLoadNotes(disk_.LoadNotes, path);
    return true;
}

bool ImageFileCommands::SaveNative() {
    const ImageFormatEntry& native = NativeRow();
    FileDialogRequest r = Request(FileDialogRequest::Kind::Save, TableText(native.singleSave.title),
                                  NativeFilter(), native.extension);
    // Beside the image's file, under its name: a native file of that disk.
    r.directory = imageFile_.isEmpty() ? settings_.NativeImageFolder : FolderOf(imageFile_);
    r.fileName =
        NativeSaveStartName(imageFile_.isEmpty() ? currentName_ : QFileInfo(imageFile_).fileName());
    const QString path = ChooseSave(r);
    if (path.isEmpty()) return false;
    if (!ConfirmOverwrite(path, TableText(native.singleSave.overwriteCaption))) return false;
    if (!WriteImage(ImageFormat::Udf, path)) return false;
    currentName_ = QFileInfo(path).fileName();
    RememberNativeImageFolder(path);
    Saved(path, ImageFormat::Udf);
    return true;
}

bool ImageFileCommands::LoadSingle(ImageFormat format) {
    const ImageFormatEntry* row = FindImageFormat(format);
    if (row == nullptr || row->singleLoad.title.empty()) return false;
    const SingleLoadCommand& load = row->singleLoad;
    PresetSaveNameForLoad(*row);
    const QString path = ChooseSingleOpen(*row);
    if (path.isEmpty()) return false;
    if (load.mapBeforeReading) host_.ShowMapFromTop();
    if (!ReadImage(format, path)) {
        ReportReadFailure(format, path);
        return false;
    }
    ShowStatusFor(path);
    if (load.mapBeforeReading) {
        SetCommentsFromImage();
        host_.ShowMapFromTop();
    } else {
        host_.ShowMapFromTop();
        SetCommentsFromImage();
    }
    if (load.showsCommentPage) host_.ShowCommentPage();
    SetImageFile(path, format);
    ReportLoadNotes(disk_.LoadNotes, path);
    return true;
}

bool ImageFileCommands::SaveSingle(ImageFormat format) {
    const ImageFormatEntry* row = FindImageFormat(format);
    if (row == nullptr || row->singleSave.title.empty()) return false;
    saveDialogName_ = SingleSaveStartName(saveDialogName_, openDialogName_, DotExtension(*row));
    const QString path = ChooseSingleSave(*row);
    if (path.isEmpty()) return false;
    if (!ConfirmOverwrite(path, TableText(row->singleSave.overwriteCaption))) return false;
    if (!WriteImage(format, path)) return false;
    Saved(path, format);
    return true;
}

bool ImageFileCommands::SaveToImageFile() {
    const ImageFormatEntry* row = FindImageFormat(imageFileFormat_);
    if (imageFile_.isEmpty() || row == nullptr || !row->savesInPlace) return SaveAs();
    if (!WriteImage(imageFileFormat_, imageFile_)) return false;
    Saved(imageFile_, imageFileFormat_);
    return true;
}

void ImageFileCommands::Saved(const QString& path, ImageFormat format) {
    SetImageFile(path, format);
    ShowStatusFor(path);
}

}  // namespace morvane
