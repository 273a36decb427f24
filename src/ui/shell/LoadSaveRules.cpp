#include "ui/shell/LoadSaveRules.h"

#include <QFile>

#include <algorithm>

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

QString SaveAsTargetName(const QString& typed, int filterIndex) {
    if (DispatchFormat(typed) != ImageFormat::Unknown) return typed;
    const QString extension = SaveAsSuffixForFilter(filterIndex);
    return extension.isEmpty() ? typed : typed + QLatin1Char('.') + extension;
}

QString SaveAsRefusalText(ImageFormat format, const QString& path) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry == nullptr) return Ui::tr("Неизвестный формат файла - ") + path;
    return Ui::tr("Запись образа в формате %1 не поддерживается").arg(QText(entry->name));
}

QString SaveAsStartName(const QString& currentName) {
    return currentName.left(std::max<qsizetype>(0, currentName.size() - 4));
}

QString NativeSaveStartName(const QString& currentName) {
    if (currentName.isEmpty()) return {};
    return currentName.left(std::max<qsizetype>(0, currentName.size() - 3)) + QStringLiteral("udf");
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

QString UdiWriteFailLine(const TZX_Disk& disk) {
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
