#include "ui/shell/WindowViews.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextDocument>

#include "ui/views/DiskMapView.h"
#include "ui/views/SectorView.h"

namespace morvane {

void WindowViews::ClearLog() const {
    logList->clear();
}

void WindowViews::AppendLog(const QString& line) const {
    logList->addItem(line);
    logList->setCurrentRow(logList->count() - 1);
}

QStringList WindowViews::LogLines() const {
    QStringList lines;
    for (int i = 0; i < logList->count(); ++i)
        lines << logList->item(i)->text();
    return lines;
}

void WindowViews::ShowLogPage() const {
    logPages->setCurrentWidget(logPage);
}

void WindowViews::ShowCommentPage() const {
    logPages->setCurrentWidget(commentPage);
}

void WindowViews::SetCommentLines(const QStringList& lines) const {
    commentEdit->setPlainText(lines.join(QLatin1Char('\n')));
    commentEdit->document()->setModified(false);
}

void WindowViews::ShowMapFromTop() const {
    diskMap->setTopRow(0);
    diskMap->horizontalScrollBar()->setValue(0);
    diskMap->ImageChanged();
}

void WindowViews::ShowSelectedCell() const {
    sectorView->showCell(diskMap->currentColumn(), diskMap->currentRow());
}

}  // namespace morvane
