// The disk map: the grid view of the disk image, one row per track and one column per
// sector slot, painted from the model. It observes the container, so the disk operations'
// RedrawSectorCell / RedrawTrackCell repaint (and scroll) it as they go.
//
// Context menu commands:
// - disk work (reads, scans, writes, formats) is not done here: diskCommandRequested
//   carries the entry and the popup position for the window to run;
// - "Редактировать адрес сектора" emits editSectorAddressRequested (SectorView opens the
//   header editor);
// - the image edits ("Добавить дорожку", "Убрать дорожку", "Убрать сектор", "Очистить
//   дорожку", "Установить базовым трэком") and "Очистить Log дорожки" are carried out
//   here on the popup position through the functions of model/ImageEditing.h;
// - the remaining entries have no action.
#pragma once

#include <QAbstractScrollArea>
#include <QAction>
#include <QMenu>
#include <array>
#include <functional>
#include <memory>

#include "model/DiskObserver.h"
#include "model/ImageEditing.h"
#include "model/DiskImage.h"
#include "ui/views/MapCellCache.h"
#include "ui/views/MapMenuRules.h"

namespace morvane {

// The cell on which the context menu last opened; -1 when it opened outside the cells.
struct PopupPosition {
    int column = -1;
    int row = -1;
};

class DiskMapView : public QAbstractScrollArea, public DiskObserver {
    Q_OBJECT
    Q_PROPERTY(bool ShowDisabledSectors READ showDisabledSectors WRITE setShowDisabledSectors)

  public:
    // Registers itself as the disk's observer; unregisters on destruction, so the disk
    // must outlive the view.
    explicit DiskMapView(DiskImage& disk, QWidget* parent = nullptr);
    ~DiskMapView() override;

    bool showDisabledSectors() const { return showDisabled_; }
    void setShowDisabledSectors(bool show);

    int currentColumn() const { return currentColumn_; }
    int currentRow() const { return currentRow_; }
    void setCurrentCell(int column, int row);
    PopupPosition popupPosition() const { return popup_; }

    int topRow() const;
    int leftColumn() const;
    void setTopRow(int row);
    // Rows that fit entirely in the viewport.
    int visibleRowCount() const;
    // Grid cell under a viewport point, or {-1, -1}.
    PopupPosition cellAt(const QPoint& viewportPos) const;
    QRect cellRect(int column, int row) const;

    // Every column beside the vertical scroll bar.
    QSize sizeHint() const override;

    QMenu* contextMenu() const { return menu_; }
    // "Обозначения цветов...": the legend of the map's colours, made on first use.
    QAction* legendAction() const { return legendAction_; }
    void showLegend();
    QAction* menuAction(MapMenuEntry entry) const {
        return actions_[static_cast<std::size_t>(entry)];
    }
    // What a right click on the cell does before the menu shows: the cell becomes
    // current and the popup position, contextPopupOpened is emitted, the entries are
    // enabled. A cell of {-1, -1} stands for a click outside the cells.
    void prepareContextMenu(int column, int row);

    // Replaces the message-box host used by the image edits (tests script one); nullptr
    // restores the message boxes.
    void setEditHost(ImageEditHost* host) { editHost_ = host; }
    // Asked before an entry of the menu changes the image; false (the user told why)
    // refuses it.
    void setEditGate(std::function<bool()> gate) { editGate_ = std::move(gate); }

    // DiskObserver
    void SectorCellChanged(std::uint8_t track, std::uint8_t slot) override;
    void TrackCellChanged(std::uint8_t track) override;
    void ImageChanged() override;
    void ImageCleared() override;

  signals:
    void cellClicked(int column, int row);
    void cellDoubleClicked(int column, int row);
    // The context menu is about to open on this cell (-1, -1: outside the cells); the
    // window updates the track and sector labels as on a click.
    void contextPopupOpened(int column, int row);
    void diskCommandRequested(morvane::MapMenuEntry entry, int column, int row);
    void editSectorAddressRequested(int column, int row);
    // "Убрать сектор" empties the operation log and brings the "LOG" page to the front.
    void logClearRequested();
    // The caption of "Использовать базовый шаблон для всех дорожек" after a base track was set.
    void baseTemplateCaptionChanged(const QString& caption);
    // An image edit of the menu changed the image (the sector view may refresh).
    void imageEdited(int column, int row);
    // The image may have gained or lost tracks: a repaint was asked for, or the menu
    // edited it. The window keeps the enabling of its shortcut commands current by it.
    void imageContentChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void BuildMenu();
    void OnMenuEntry(MapMenuEntry entry);
    void RunImageEdit(MapMenuEntry entry);
    void UpdateScrollBars();
    void RepaintCellOrScroll(int track, int column);
    void EnsureVisible(int column, int row);
    void PaintCell(QPainter& painter, int column, int row, const QRect& rect) const;
    ImageEditHost& Host();

    DiskImage& disk_;
    // Painting reads the view's state only; the cache fills as cells are first shown.
    mutable MapCellCache cells_;
    bool showDisabled_ = false;
    int currentColumn_ = 0;
    int currentRow_ = 0;
    bool pressed_ = false;
    PopupPosition popup_;
    QMenu* menu_ = nullptr;
    std::array<QAction*, kMapMenuEntryCount> actions_{};
    QAction* legendAction_ = nullptr;
    QDialog* legend_ = nullptr;
    ImageEditHost* editHost_ = nullptr;
    std::function<bool()> editGate_;
    std::unique_ptr<ImageEditHost> boxHost_;
};

}  // namespace morvane
