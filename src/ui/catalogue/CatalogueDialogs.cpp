#include "ui/catalogue/CatalogueDialogs.h"

#include <QDir>
#include <QFileInfo>

#include "model/Bytes.h"

namespace morvane {

QString FolderWithSeparator(const QString& folder) {
    QString f = folder;
    while (f.size() > 1 && (f.endsWith(QLatin1Char('/')) || f.endsWith(QLatin1Char('\\'))))
        f.chop(1);
    if (f == QLatin1String("/")) return f;
    return f + QLatin1Char('/');
}

QString FolderOfFile(const QString& path) {
    return FolderWithSeparator(QFileInfo(path).absolutePath());
}

FileWriteResult WriteWholeFile(const QString& path, std::span<const std::uint8_t> bytes) {
    return WriteFileAtomically(QFile::encodeName(path).toStdString(), bytes);
}

}  // namespace morvane
