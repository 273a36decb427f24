#include "ui/shell/LoadSaveRules.h"

#include <QFile>

#include <algorithm>

namespace morvane {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ImageStatusStart() {
    return QStringLiteral("Disk Image - ");
}

}  // namespace

ImageFormat DispatchFormat(const QString& fileName) {
    return FormatFromDialogName(QFile::encodeName(fileName).toStdString());
}

QString LoadAsFilter() {
    return Q(kLoadAsFilter);
}

QString SaveAsFilter() {
    return Q(kSaveAsFilter);
}

QString NativeFilter() {
    return Q(kNativeFilter);
}

QString SingleLoadFilterText(ImageFormat format) {
    return Q(SingleLoadFilter(format));
}

QString SingleSaveFilterText(ImageFormat format) {
    return Q(SingleSaveFilter(format));
}

QString TableText(std::string_view utf8) {
    return Q(utf8);
}

QString SaveAsSuffixForFilter(int filterIndex) {
    return Q(SaveAsDefaultExtension(filterIndex));
}

QString SaveAsTargetName(const QString& typed, int filterIndex) {
    if (DispatchFormat(typed) != ImageFormat::Unknown) return typed;
    const QString extension = SaveAsSuffixForFilter(filterIndex);
    return extension.isEmpty() ? typed : typed + QLatin1Char('.') + extension;
}

QString SaveAsRefusalText(ImageFormat format, const QString& path) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    if (entry == nullptr) return QStringLiteral("Неизвестный формат файла - ") + path;
    return QStringLiteral("Запись образа в формате ") + Q(entry->name) +
           QStringLiteral(" не поддерживается");
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
    return ImageStatusStart() + fullFileName + QStringLiteral(" (Дорожек - ") +
           QString::number(presentTracks) + QLatin1Char(')');
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
