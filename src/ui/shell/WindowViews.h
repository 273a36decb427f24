// The main window's widgets by what they show, and the few things every part of the
// window does with them (the log list, the comment page, the map's view). The layout fills
// it; the window's host adapters and commands use it. The widgets carry the program's
// object names (given in the comments), which the tests find them by.
#pragma once

#include <QString>
#include <QStringList>

#include <array>

class QAction;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

namespace morvane {

class DiskMapView;
class HexView;
class SectorView;
class ProgressWindow;

struct WindowViews {
    DiskMapView* diskMap = nullptr;         // zxd
    SectorView* sectorView = nullptr;       // the hex view s1 and the header group gb1
    HexView* hexView = nullptr;             // s1
    QListWidget* logList = nullptr;         // Lzx1
    QTabWidget* logPages = nullptr;         // pc1
    QWidget* logPage = nullptr;             // its "LOG" page
    QWidget* commentPage = nullptr;         // its "Комментарии к диску" page
    QPlainTextEdit* commentEdit = nullptr;  // lb1
    QAction* commentAccept = nullptr;
    QAction* commentCancel = nullptr;
    QLabel* sectorLabel = nullptr;  // l1
    QLabel* trackLabel = nullptr;   // l2
    QWidget* ownerBar = nullptr;    // trp1
    QLabel* ownerLine = nullptr;    // mml1
    QLabel* crcLabel = nullptr;
    QLabel* offsetLabel = nullptr;
    // The status bar's panels: 0 the link, 1 the controller or the image file, 2 which link.
    std::array<QLabel*, 3> statusPanels{};
    ProgressWindow* progress = nullptr;  // ProgressWindow

    void ClearLog() const;
    // Appends a line and makes it the selected (visible) one.
    void AppendLog(const QString& line) const;
    QStringList LogLines() const;
    void ShowLogPage() const;
    void ShowCommentPage() const;
    // Replaces the comment page's lines; the page counts as unedited.
    void SetCommentLines(const QStringList& lines) const;
    // Scrolls the map to its first row and column and repaints it.
    void ShowMapFromTop() const;
    // Shows the map's current cell again, as after a click on it.
    void ShowSelectedCell() const;
};

}  // namespace morvane
