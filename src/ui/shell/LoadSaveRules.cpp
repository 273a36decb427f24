#include "ui/shell/LoadSaveRules.h"

#include <QFile>

#include <algorithm>
#include <vector>

#include "filesystems/Hobeta.h"
#include "filesystems/TrDosCatalogue.h"

#include "ui/views/QtText.h"

namespace morvane {

namespace {

QString ImageStatusStart() {
    return QStringLiteral("Disk Image - ");
}

}  // namespace

ImageFormat DispatchFormat(const QString& fileName) {
    return FormatFromDialogName(QFile::encodeName(fileName).toStdString());
}

QString LoadAsFilter() {
    return QText(kLoadAsFilter);
}

QString SaveAsFilter() {
    return QText(kSaveAsFilter);
}

QString NativeFilter() {
    return QText(kNativeFilter);
}

QString OpenAnyFilter() {
    return QText(kAllFormatsFilter);
}

QString SingleLoadFilterText(ImageFormat format) {
    return QText(SingleLoadFilter(format));
}

QString SingleSaveFilterText(ImageFormat format) {
    return QText(SingleSaveFilter(format));
}

QString TableText(std::string_view utf8) {
    return QText(utf8);
}

QString SaveAsSuffixForFilter(int filterIndex) {
    return QText(SaveAsDefaultExtension(filterIndex));
}

QString SaveAsSuffixForImage(int filterIndex, const DiskImage& image) {
    QString suffix = SaveAsSuffixForFilter(filterIndex);
    const qsizetype any = suffix.indexOf(QLatin1Char('?'));
    if (any < 0) return suffix;
    QString type = QStringLiteral("C");
    TrDosCatalogue catalogue;
    std::vector<TrDosEntry> files;
    if (ReadTrDosCatalogue(image, catalogue)) {
        for (const TrDosEntry& entry : catalogue.entries)
            if (entry.IsListed()) files.push_back(entry);
    }
    if (files.size() == 1) {
        const std::string extension = HobetaFileName(files.front()).extension;  // "$B"
        if (extension.size() > 1) type = QText(std::string_view(extension).substr(1));
    }
    return suffix.replace(any, 1, type);
}

ImageFormat SaveAsFormat(const QString& fileName) {
    const ImageFormat named = FormatFromPath(QFile::encodeName(fileName).toStdString());
    return named != ImageFormat::Unknown ? named : DispatchFormat(fileName);
}

QString SaveAsTargetName(const QString& typed, const QString& entryExtension) {
    if (SaveAsFormat(typed) != ImageFormat::Unknown) return typed;
    return entryExtension.isEmpty() ? typed : typed + QLatin1Char('.') + entryExtension;
}

QString SaveAsRefusalText(ImageFormat format, const QString& path) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry == nullptr) return UnknownFormatText(path);
    return Ui::tr("Запись образа в формате %1 не поддерживается").arg(QText(entry->name));
}

QString UnknownFormatText(const QString& path) {
    return Ui::tr("Неизвестный формат файла - ") + path;
}

QString ReadFailureText(const QString& path, const std::string& lastError) {
    QString text = Ui::tr("Не удалось загрузить образ из файла %1").arg(path);
    if (!lastError.empty()) text += QLatin1Char('\n') + QString::fromStdString(lastError);
    return text;
}

QString SaveAsStartName(const QString& currentName) {
    return currentName.left(std::max<qsizetype>(0, currentName.size() - 4));
}

QString NativeSaveStartName(const QString& currentName) {
    if (currentName.isEmpty()) return {};
    return WithExtension(currentName, QStringLiteral(".udf"));
}

QString WithExtension(const QString& name, const QString& extension) {
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash ? name.left(dot) : name;
    return stem + extension;
}

QString SingleSaveStartName(const QString& saveDialogName, const QString& openDialogName,
                            const QString& extension) {
    if (!saveDialogName.isEmpty()) return WithExtension(saveDialogName, extension);
    if (!openDialogName.isEmpty()) return WithExtension(openDialogName, extension);
    return {};
}

QString ReadErrorLine(ImageFormat format, const std::string& lastError) {
    return QString::fromStdString(LoadErrorLine(format, lastError));
}

QString UdiWriteFailLine(const DiskImage& disk) {
    return QString::fromStdString(UdiSaveFailedLine(disk));
}

QString ImageStatusText(const QString& fullFileName, unsigned presentTracks) {
    return ImageStatusStart() + fullFileName + Ui::tr(" (Дорожек - %1)").arg(presentTracks);
}

bool IsImageStatusText(const QString& text) {
    return text.startsWith(ImageStatusStart());
}

QStringList QtNameFilters(const QString& pipeFilter) {
    QStringList out;
    for (const std::string& f : NameFilters(pipeFilter.toStdString()))
        out << QString::fromStdString(f);
    return out;
}

}  // namespace morvane
