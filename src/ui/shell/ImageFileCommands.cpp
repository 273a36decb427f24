#include "ui/shell/ImageFileCommands.h"

#include <QFileInfo>

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
    const QString path = chooser_ ? chooser_(request) : QString();
    if (!path.isEmpty()) openDialogName_ = path;
    if (path.isEmpty() || !QFileInfo(path).isFile()) return {};
    return path;
}

QString ImageFileCommands::ChooseSave(FileDialogRequest request) {
    const QString path = chooser_ ? chooser_(request) : QString();
    if (!path.isEmpty()) saveDialogName_ = path;
    return path;
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
    return host_.Confirm(QString::fromUtf8(caption), QString::fromUtf8(kOverwriteQuestion));
}

void ImageFileCommands::ReportReadFailure(ImageFormat format) {
    const QString line = ReadErrorLine(format, disk_.LastError);
    if (line.isEmpty()) return;  // TRD reading reports nothing
    host_.ClearLog();
    host_.AddLogLine(line);
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

void ImageFileCommands::ReportWriteFailure(ImageFormat format, const QString& path) {
    if (format == ImageFormat::Udi) {
        host_.ShowBox(QString::fromUtf8(kAttentionCaption2),
                      QString::fromUtf8(kUdiSaveFailedText.data(),
                                        static_cast<qsizetype>(kUdiSaveFailedText.size())));
        host_.ClearLog();
        host_.AddLogLine(UdiWriteFailLine(disk_));
        return;
    }
    host_.ShowBox(QString::fromUtf8(kErrorCaption),
                  QStringLiteral("Ошибка записи файла - ") + path);
}

QString ImageFileCommands::SingleDialogFolder(const QString& name) const {
    if (!name.isEmpty()) return FolderOf(name);
    return settings_.Directory_2;
}

void ImageFileCommands::PresetSaveNameForLoad(const char* extension) {
    if (!openDialogName_.isEmpty())
        saveDialogName_ = WithExtension(openDialogName_, QString::fromUtf8(extension));
}

void ImageFileCommands::LoadAs() {
    FileDialogRequest r = Request(FileDialogRequest::Kind::Open, kLoadTitle, LoadAsFilter(), "");
    r.filterIndex = kLoadAsDefaultFilterIndex;
    r.directory = settings_.Directory_2;
    const QString path = ChooseOpen(r);
    if (path.isEmpty()) return;

    const ImageFormat format = DispatchFormat(path);
    if (format == ImageFormat::Unknown) {
        host_.SetImageStatus(QString());
        return;
    }
    const bool ok = io_.Read(format, path, disk_);
    if (!ok) ReportReadFailure(format);
    SetCommentsFromImage();
    currentName_ = QFileInfo(path).fileName();
    RememberDirectory2(path);
    ShowStatusFor(path);
    host_.ShowMapFromTop();
    host_.ShowCommentPage();
    host_.RefreshSelectedCell();
}

void ImageFileCommands::SaveAs() {
    FileDialogRequest r =
        Request(FileDialogRequest::Kind::Save, kSaveAsTitle, SaveAsFilter(), "udi");
    r.filterIndex = 1;
    r.directory = settings_.Directory_2;
    r.fileName = SaveAsStartName(currentName_);
    r.suffixForFilter = SaveAsSuffixForFilter;
    const QString path = ChooseSave(r);
    if (path.isEmpty()) return;
    if (!ConfirmOverwrite(path, kAttentionCaption2)) return;

    const ImageFormat format = DispatchFormat(path);
    if (!CanWriteFormat(format)) return;
    if (format == ImageFormat::Udi) disk_.NoTrackRestore = !settings_.RestoreTrack;
    const bool compress =
        CanCompressFormat(format) && host_.Confirm(QString::fromUtf8(kAttentionCaption2),
                                                   QString::fromUtf8(kTd0CompressQuestion));
    const bool written =
        compress ? io_.WriteCompressed(format, path, disk_) : io_.Write(format, path, disk_);
    if (!written) ReportWriteFailure(format, path);
    currentName_ = QFileInfo(path).fileName();
    RememberDirectory2(path);
}

void ImageFileCommands::LoadNative() {
    FileDialogRequest r = Request(FileDialogRequest::Kind::Open, kLoadTitle, NativeFilter(), "udf");
    r.directory = settings_.Directory_1;
    const QString path = ChooseOpen(r);
    if (path.isEmpty()) return;
    if (!io_.Read(ImageFormat::Udf, path, disk_)) return;

    currentName_ = QFileInfo(path).fileName();
    RememberDirectory1(path);
    ShowStatusFor(path);
    host_.ShowMapFromTop();
    host_.RefreshSelectedCell();
    host_.SetCommentLines({});
    host_.RereadZxCatalogue();
    SetCommentsFromImage();
    host_.ShowCommentPage();
}

void ImageFileCommands::SaveNative() {
    FileDialogRequest r =
        Request(FileDialogRequest::Kind::Save, kSaveNativeTitle, NativeFilter(), "udf");
    r.directory = settings_.Directory_1;
    r.fileName = NativeSaveStartName(currentName_);
    const QString path = ChooseSave(r);
    if (path.isEmpty()) return;
    if (!ConfirmOverwrite(path, kAttentionCaption2)) return;
    if (!io_.Write(ImageFormat::Udf, path, disk_)) {
        ReportWriteFailure(ImageFormat::Udf, path);
        return;
    }
    currentName_ = QFileInfo(path).fileName();
    RememberDirectory1(path);
}

void ImageFileCommands::LoadUdi() {
    PresetSaveNameForLoad(".udi");
    const QString path = ChooseSingleOpen(kLoadTitle, ImageFormat::Udi, "udi");
    if (path.isEmpty()) return;
    if (!io_.Read(ImageFormat::Udi, path, disk_)) ReportReadFailure(ImageFormat::Udi);
    ShowStatusFor(path);
    host_.ShowMapFromTop();
    SetCommentsFromImage();
    host_.ShowCommentPage();
}

void ImageFileCommands::SaveUdi() {
    saveDialogName_ = SingleSaveStartName(saveDialogName_, openDialogName_, QStringLiteral(".udi"));
    const QString path = ChooseSingleSave(kSaveNativeTitle, ImageFormat::Udi, "udi");
    if (path.isEmpty()) return;
    if (!ConfirmOverwrite(path, kAttentionCaption2)) return;
    disk_.NoTrackRestore = !settings_.RestoreTrack;
    if (!io_.Write(ImageFormat::Udi, path, disk_)) ReportWriteFailure(ImageFormat::Udi, path);
}

void ImageFileCommands::LoadTrd() {
    PresetSaveNameForLoad(".trd");
    const QString path = ChooseSingleOpen(kLoadTrdTitle, ImageFormat::Trd, "trd");
    if (path.isEmpty()) return;
    host_.ShowMapFromTop();
    io_.Read(ImageFormat::Trd, path, disk_);
    ShowStatusFor(path);
    SetCommentsFromImage();
    host_.ShowMapFromTop();
}

void ImageFileCommands::SaveTrd() {
    saveDialogName_ = SingleSaveStartName(saveDialogName_, openDialogName_, QStringLiteral(".trd"));
    const QString path = ChooseSingleSave(kSaveTrdTitle, ImageFormat::Trd, "trd");
    if (path.isEmpty()) return;
    if (!ConfirmOverwrite(path, kAttentionCaption)) return;
    if (!io_.Write(ImageFormat::Trd, path, disk_)) ReportWriteFailure(ImageFormat::Trd, path);
}

void ImageFileCommands::LoadTd0() {
    PresetSaveNameForLoad(".td0");
    const QString path = ChooseSingleOpen(kLoadTd0Title, ImageFormat::Td0, "td0");
    if (path.isEmpty()) return;
    host_.ShowMapFromTop();
    if (!io_.Read(ImageFormat::Td0, path, disk_)) ReportReadFailure(ImageFormat::Td0);
    ShowStatusFor(path);
    SetCommentsFromImage();
    host_.ShowMapFromTop();
}

void ImageFileCommands::LoadFdi() {
    PresetSaveNameForLoad(".fdi");
    const QString path = ChooseSingleOpen(kLoadFdiTitle, ImageFormat::Fdi, "fdi");
    if (path.isEmpty()) return;
    host_.ShowMapFromTop();
    if (!io_.Read(ImageFormat::Fdi, path, disk_)) ReportReadFailure(ImageFormat::Fdi);
    ShowStatusFor(path);
    SetCommentsFromImage();
    host_.ShowMapFromTop();
}

}  // namespace morvane
