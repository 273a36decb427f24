#include "ui/shell/LoadSaveRules.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace morvane {

ImageFormat DispatchFormat(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return ImageFormat::Unknown;
    const QString ext = name.mid(dot + 1, 3).toUpper();
    if (ext == QLatin1String("UDI")) return ImageFormat::Udi;
    if (ext == QLatin1String("TRD")) return ImageFormat::Trd;
    if (ext == QLatin1String("TD0")) return ImageFormat::Td0;
    if (ext == QLatin1String("FDI")) return ImageFormat::Fdi;
    return ImageFormat::Unknown;
}

QString SaveAsSuffixForFilter(int filterIndex) {
    switch (filterIndex) {
        case 1:
            return QStringLiteral("udi");
        case 2:
            return QStringLiteral("trd");
        case 3:
            return QStringLiteral("td0");
        case 4:
            return QStringLiteral("fdi");
        default:
            return {};
    }
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

QString UdiErrorLine(const QString& lastError) {
    return QStringLiteral("Error load UDI - \"") + lastError + QLatin1Char('"');
}

QString FdiErrorLine(const QString& lastError) {
    return QStringLiteral("Error load FDI -\"") + lastError + QLatin1Char('"');
}

QString Td0ErrorLine(const QString& lastError) {
    return QStringLiteral("Error load TD0 -\"") + lastError + QLatin1Char('"');
}

QString UdiWriteFailLine(unsigned failTrack, unsigned failSlot) {
    return QStringLiteral("Ошибка в дорожке - ") + QString::number(failTrack) +
           QStringLiteral(" / Сектор - ") + QString::number(failSlot);
}

QString ImageStatusText(const QString& fullFileName, unsigned presentTracks) {
    return QStringLiteral("Disk Image - ") + fullFileName + QStringLiteral(" (Дорожек - ") +
           QString::number(presentTracks) + QLatin1Char(')');
}

QStringList QtNameFilters(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString tail = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters << (description.endsWith(tail) ? description
                                               : description + QLatin1Char(' ') + tail);
    }
    return filters;
}

}  // namespace morvane
