#include "ui/shell/ImageFileCommands.h"

#include <QFileInfo>

#include <memory>

#include "ui/shell/LoadSaveRules.h"
#include "ui/shell/Texts.h"

namespace morvane {

namespace {

QStringList ToQStringList(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines)
        out << QString::fromStdString(line);
    return out;
}

FileDialogRequest Request(FileDialogRequest::Kind kind, const char* title, const QString& filter,
                          const char* suffix) {
    FileDialogRequest r;
    r.kind = kind;
    r.title = QString::fromUtf8(title);
    r.filter = filter;
    r.defaultSuffix = QString::fromUtf8(suffix);
    return r;
}

// Set before a write: a failure that leaves it was not in building a track.
constexpr std::uint8_t kNoFailTrack = 0xFF;

// A box text with the reason of the failure on a line of its own.
QString WithReason(const QString& text, const std::string& reason) {
    if (reason.empty()) return text;
    return text + QLatin1Char('\n') + QString::fromStdString(reason);
}

}  // namespace

ImageFileCommands::ImageFileCommands(TZX_Disk& disk, TSettings& settings, SettingsStore& store,
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
QString ImageFileCommands::ChooseSingleOpen(const char* title, ImageFormat format,
                                            const char* suffix) {
    FileDialogRequest r =
        Request(FileDialogRequest::Kind::Open, title, SingleLoadFilterText(format), suffix);
    r.fileName = openDialogName_;
    r.directory = SingleDialogFolder(openDialogName_);
    return ChooseOpen(r);
}

QString ImageFileCommands::ChooseSingleSave(const char* title, ImageFormat format,
                                            const char* suffix) {
    FileDialogRequest r =
        Request(FileDialogRequest::Kind::Save, title, SingleSaveFilterText(format), suffix);
    r.fileName = saveDialogName_;
    r.directory = SingleDialogFolder(saveDialogName_);
    return ChooseSave(r);
}

bool ImageFileCommands::ConfirmOverwrite(const QString& path, const char* caption) {
    if (!QFileInfo::exists(path)) return true;
    return host_.Ask({.caption = caption, .text = kOverwriteQuestion, .buttons = Buttons::YesNo}) ==
           Answer::Yes;
}

bool ImageFileCommands::ReadImage(ImageFormat format, const QString& path) {
    auto fresh = std::make_unique<TZX_Disk>();
    // Only the native format carries this; the others keep what the image had.
    fresh->NoTrackRestore = disk_.NoTrackRestore;
    if (!io_.Read(format, path, *fresh)) {
        disk_.LastError = fresh->LastError;
        return false;
    }
    disk_.TakeImageFrom(*fresh);
    return true;
}

QString ImageFileCommands::ReportReadFailure(ImageFormat format) {
    const QString line = ReadErrorLine(format, disk_.LastError);
    host_.ClearLog();
    host_.AddLogLine(line);
    return line;
}

void ImageFileCommands::ShowStatusFor(const QString& path) {
    host_.SetImageStatus(ImageStatusText(path, disk_.CountTracks()));
}

// The comment page always shows the comment of the image now held, so the comment of an
// earlier image cannot slip into the next one through the page.
void ImageFileCommands::SetCommentsFromImage() {
    host_.SetCommentLines(ToQStringList(disk_.DiskLog));
}

void ImageFileCommands::RememberDirectory2(const QString& path) {
    settings_.Directory_2 = FolderOf(path);
    store_.WriteDirectory2(settings_.Directory_2);
}

void ImageFileCommands::RememberDirectory1(const QString& path) {
    settings_.Directory_1 = FolderOf(path);
    store_.WriteDirectory1(settings_.Directory_1);
}

bool ImageFileCommands::WriteImage(ImageFormat format, const QString& path, bool compress) {
    disk_.LastError.clear();
    disk_.FailTrack = kNoFailTrack;
    const bool written =
        compress ? io_.WriteCompressed(format, path, disk_) : io_.Write(format, path, disk_);
    if (written) return true;
    ReportWriteFailure(format, path);
    return false;
}

void ImageFileCommands::ReportWriteFailure(ImageFormat format, const QString& path) {
    if (format == ImageFormat::Udi) {
        const QString text = QString::fromUtf8(kUdiSaveFailedText.data(),
                                               static_cast<qsizetype>(kUdiSaveFailedText.size()));
        host_.Ask({.caption = kCaptionAttentionDots,
                   .text = WithReason(text, disk_.LastError).toStdString()});
        if (disk_.FailTrack == kNoFailTrack) return;  // the file, not the image, failed
        host_.ClearLog();
        host_.AddLogLine(UdiWriteFailLine(disk_));
        return;
    }
    host_.Ask({.caption = kCaptionError,
               .text = WithReason(QStringLiteral("Ошибка записи файла - ") + path, disk_.LastError)
                           .toStdString()});
}

QString ImageFileCommands::SingleDialogFolder(const QString& name) const {
    if (!name.isEmpty()) return FolderOf(name);
    return settings_.Directory_2;
}

void ImageFileCommands::PresetSaveNameForLoad(const char* extension) {
    if (!openDialogName_.isEmpty())
        saveDialogName_ = WithExtension(openDialogName_, QString::fromUtf8(extension));
}

bool ImageFileCommands::LoadAs() {
    FileDialogRequest r = Request(FileDialogRequest::Kind::Open, kLoadTitle, LoadAsFilter(), "");
    r.filterIndex = kLoadAsDefaultFilterIndex;
    r.directory = settings_.Directory_2;
    const QString path = ChooseOpen(r);
    if (path.isEmpty()) return false;

    const ImageFormat format = DispatchFormat(path);
    if (format == ImageFormat::Unknown) {
        host_.SetImageStatus(QString());
        return false;
    }
    if (!ReadImage(format, path)) {
        ReportReadFailure(format);
        return false;
    }
    SetCommentsFromImage();
    currentName_ = QFileInfo(path).fileName();
    RememberDirectory2(path);
    ShowStatusFor(path);
    host_.ShowMapFromTop();
    host_.ShowCommentPage();
    host_.RefreshSelectedCell();
    SetImageFile(path, format);
    return true;
}

bool ImageFileCommands::SaveAs() {
    FileDialogRequest r =
        Request(FileDialogRequest::Kind::Save, kSaveAsTitle, SaveAsFilter(), "udi");
    r.filterIndex = 1;
    r.directory = settings_.Directory_2;
    r.fileName = SaveAsStartName(currentName_);
    r.suffixForFilter = SaveAsSuffixForFilter;
    int entry = 0;
    const QString typed = ChooseSave(r, &entry);
    if (typed.isEmpty()) return false;
    const QString path = SaveAsTargetName(typed, entry);
    saveDialogName_ = path;

    const ImageFormat format = DispatchFormat(path);
    if (!CanWriteFormat(format)) {
        host_.Ask({.caption = kCaptionAttentionDots,
                   .text = SaveAsRefusalText(format, path).toStdString()});
        return false;
    }
    if (!ConfirmOverwrite(path, kCaptionAttentionDots)) return false;
    if (format == ImageFormat::Udi) disk_.NoTrackRestore = !settings_.RestoreTrack;
    const bool compress =
        CanCompressFormat(format) && host_.Ask({.caption = kCaptionAttentionDots,
                                                .text = kTd0CompressQuestion,
                                                .buttons = Buttons::YesNo}) == Answer::Yes;
    // A file that was not written does not become the image's file.
    if (!WriteImage(format, path, compress)) return false;
    currentName_ = QFileInfo(path).fileName();
    RememberDirectory2(path);
    SetImageFile(path, format);
    return true;
}

bool ImageFileCommands::LoadNative() {
    FileDialogRequest r = Request(FileDialogRequest::Kind::Open, kLoadTitle, NativeFilter(), "udf");
    r.directory = settings_.Directory_1;
    const QString path = ChooseOpen(r);
    if (path.isEmpty()) return false;
    if (!ReadImage(ImageFormat::Udf, path)) {
        host_.SetImageStatus(ReportReadFailure(ImageFormat::Udf));
        return false;
    }

    currentName_ = QFileInfo(path).fileName();
    RememberDirectory1(path);
    ShowStatusFor(path);
    host_.ShowMapFromTop();
    host_.RefreshSelectedCell();
    host_.SetCommentLines({});
    host_.RereadZxCatalogue();
    SetCommentsFromImage();
    host_.ShowCommentPage();
    SetImageFile(path, ImageFormat::Udf);
    return true;
}

bool ImageFileCommands::SaveNative() {
    FileDialogRequest r =
        Request(FileDialogRequest::Kind::Save, kSaveNativeTitle, NativeFilter(), "udf");
    r.directory = settings_.Directory_1;
    r.fileName = NativeSaveStartName(currentName_);
    const QString path = ChooseSave(r);
    if (path.isEmpty()) return false;
    if (!ConfirmOverwrite(path, kCaptionAttentionDots)) return false;
    if (!WriteImage(ImageFormat::Udf, path)) return false;
    currentName_ = QFileInfo(path).fileName();
    RememberDirectory1(path);
    SetImageFile(path, ImageFormat::Udf);
    return true;
}

bool ImageFileCommands::LoadUdi() {
    PresetSaveNameForLoad(".udi");
    const QString path = ChooseSingleOpen(kLoadTitle, ImageFormat::Udi, "udi");
    if (path.isEmpty()) return false;
    if (!ReadImage(ImageFormat::Udi, path)) {
        ReportReadFailure(ImageFormat::Udi);
        return false;
    }
    ShowStatusFor(path);
    host_.ShowMapFromTop();
    SetCommentsFromImage();
    host_.ShowCommentPage();
    SetImageFile(path, ImageFormat::Udi);
    return true;
}

bool ImageFileCommands::SaveUdi() {
    saveDialogName_ = SingleSaveStartName(saveDialogName_, openDialogName_, QStringLiteral(".udi"));
    const QString path = ChooseSingleSave(kSaveNativeTitle, ImageFormat::Udi, "udi");
    if (path.isEmpty()) return false;
    if (!ConfirmOverwrite(path, kCaptionAttentionDots)) return false;
    disk_.NoTrackRestore = !settings_.RestoreTrack;
    if (!WriteImage(ImageFormat::Udi, path)) return false;
    SetImageFile(path, ImageFormat::Udi);
    return true;
}

bool ImageFileCommands::LoadTrd() {
    PresetSaveNameForLoad(".trd");
    const QString path = ChooseSingleOpen(kLoadTrdTitle, ImageFormat::Trd, "trd");
    if (path.isEmpty()) return false;
    host_.ShowMapFromTop();
    if (!ReadImage(ImageFormat::Trd, path)) {
        ReportReadFailure(ImageFormat::Trd);
        return false;
    }
    ShowStatusFor(path);
    SetCommentsFromImage();
    host_.ShowMapFromTop();
    SetImageFile(path, ImageFormat::Trd);
    return true;
}

bool ImageFileCommands::SaveTrd() {
    saveDialogName_ = SingleSaveStartName(saveDialogName_, openDialogName_, QStringLiteral(".trd"));
    const QString path = ChooseSingleSave(kSaveTrdTitle, ImageFormat::Trd, "trd");
    if (path.isEmpty()) return false;
    if (!ConfirmOverwrite(path, kCaptionAttention)) return false;
    if (!WriteImage(ImageFormat::Trd, path)) return false;
    SetImageFile(path, ImageFormat::Trd);
    return true;
}

bool ImageFileCommands::LoadTd0() {
    PresetSaveNameForLoad(".td0");
    const QString path = ChooseSingleOpen(kLoadTd0Title, ImageFormat::Td0, "td0");
    if (path.isEmpty()) return false;
    host_.ShowMapFromTop();
    if (!ReadImage(ImageFormat::Td0, path)) {
        ReportReadFailure(ImageFormat::Td0);
        return false;
    }
    ShowStatusFor(path);
    SetCommentsFromImage();
    host_.ShowMapFromTop();
    SetImageFile(path, ImageFormat::Td0);
    return true;
}

bool ImageFileCommands::LoadFdi() {
    PresetSaveNameForLoad(".fdi");
    const QString path = ChooseSingleOpen(kLoadFdiTitle, ImageFormat::Fdi, "fdi");
    if (path.isEmpty()) return false;
    host_.ShowMapFromTop();
    if (!ReadImage(ImageFormat::Fdi, path)) {
        ReportReadFailure(ImageFormat::Fdi);
        return false;
    }
    ShowStatusFor(path);
    SetCommentsFromImage();
    host_.ShowMapFromTop();
    SetImageFile(path, ImageFormat::Fdi);
    return true;
}

namespace {

// Formats whose file keeps what the window shows of an image, so saving into the image's
// own file loses nothing the user could see; the others go through "Сохранить как...".
bool SavesInPlace(ImageFormat format) {
    return format == ImageFormat::Udf || format == ImageFormat::Udi || format == ImageFormat::Trd;
}

}  // namespace

bool ImageFileCommands::SaveToImageFile() {
    if (imageFile_.isEmpty() || !SavesInPlace(imageFileFormat_)) return SaveAs();
    if (imageFileFormat_ == ImageFormat::Udi) disk_.NoTrackRestore = !settings_.RestoreTrack;
    return WriteImage(imageFileFormat_, imageFile_);
}

}  // namespace morvane
