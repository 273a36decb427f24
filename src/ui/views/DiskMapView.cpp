#include "ui/views/DiskMapView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "ui/views/MapCells.h"
#include "ui/views/MapLegend.h"
#include "ui/views/MessageBoxHost.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

int MaxLeftColumn(int viewportWidth) {
    int width = 0;
    for (int c = kMapColumns - 1; c >= 0; --c) {
        width += ColumnWidth(c);
        if (width > viewportWidth) return std::min(c + 1, kMapColumns - 1);
    }
    return 0;
}

}  // namespace

DiskMapView::DiskMapView(DiskImage& disk, QWidget* parent)
    : QAbstractScrollArea(parent), disk_(disk), cells_(palette().color(QPalette::Button)) {
    setObjectName(QStringLiteral("zxd"));
    setFocusPolicy(Qt::StrongFocus);
    // The paint event fills the background with the button face itself.
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    BuildMenu();
    UpdateScrollBars();
    disk_.SetObserver(this);
}

DiskMapView::~DiskMapView() {
    disk_.SetObserver(nullptr);
}

void DiskMapView::BuildMenu() {
    menu_ = new QMenu(this);
    for (std::size_t i = 0; i < kMapMenuEntryCount; ++i) {
        const auto entry = static_cast<MapMenuEntry>(i);
        auto* action = new QAction(UiText(MapMenuCaption(entry)), this);
        connect(action, &QAction::triggered, this, [this, entry] { OnMenuEntry(entry); });
        actions_[i] = action;
    }
    auto add = [this](QMenu* m, MapMenuEntry e) { m->addAction(menuAction(e)); };
    add(menu_, MapMenuEntry::ReadSector);
    add(menu_, MapMenuEntry::ReadRawTrack);
    add(menu_, MapMenuEntry::ReadTrackSectors);
    add(menu_, MapMenuEntry::ScanTrack);
    menu_->addSeparator();
    add(menu_, MapMenuEntry::EditSectorAddress);
    QMenu* image = menu_->addMenu(Ui::tr("Операци с образом"));
    menu_->addSeparator();
    add(menu_, MapMenuEntry::WriteSector);
    add(menu_, MapMenuEntry::WriteTrack);
    add(menu_, MapMenuEntry::FormatTrack);

    add(image, MapMenuEntry::SetBaseTrack);
    add(image, MapMenuEntry::RemoveTrack);
    add(image, MapMenuEntry::AddTrack);
    add(image, MapMenuEntry::RemoveSector);
    add(image, MapMenuEntry::AddSector);
    image->addSeparator();
    add(image, MapMenuEntry::SectorDataToRaw);
    add(image, MapMenuEntry::RawToSectorHeaders);
    image->addSeparator();
    add(image, MapMenuEntry::ClearTrack);
    add(image, MapMenuEntry::ClearSectorData);
    add(image, MapMenuEntry::ClearSectorsData);
    add(image, MapMenuEntry::ClearSectorHeader);
    add(image, MapMenuEntry::ClearSectorHeaders);
    add(image, MapMenuEntry::ClearTrackLog);

    menu_->addSeparator();
    legendAction_ = menu_->addAction(Ui::tr("Обозначения цветов..."));
    legendAction_->setObjectName(QStringLiteral("actMapLegend"));
    connect(legendAction_, &QAction::triggered, this, &DiskMapView::showLegend);
}

void DiskMapView::showLegend() {
    if (!legend_) legend_ = new MapLegend(cells_, this);
    legend_->show();
    legend_->raise();
}

void DiskMapView::setShowDisabledSectors(bool show) {
    showDisabled_ = show;
    viewport()->update();
}

void DiskMapView::setCurrentCell(int column, int row) {
    if (column < 0 || column >= kMapColumns || row < 0 || row >= kMapRows) return;
    const QRect old = cellRect(currentColumn_, currentRow_);
    currentColumn_ = column;
    currentRow_ = row;
    EnsureVisible(column, row);
    viewport()->update(old);
    viewport()->update(cellRect(column, row));
}

int DiskMapView::topRow() const {
    return verticalScrollBar()->value();
}

int DiskMapView::leftColumn() const {
    return horizontalScrollBar()->value();
}

void DiskMapView::setTopRow(int row) {
    verticalScrollBar()->setValue(row);
}

int DiskMapView::visibleRowCount() const {
    return viewport()->height() / kMapRowHeight;
}

PopupPosition DiskMapView::cellAt(const QPoint& pos) const {
    if (pos.x() < 0 || pos.y() < 0) return {};
    const int row = topRow() + pos.y() / kMapRowHeight;
    const int x = pos.x() + ColumnLeft(leftColumn());
    int column = -1;
    for (int c = leftColumn(); c < kMapColumns; ++c) {
        if (x >= ColumnLeft(c) && x < ColumnLeft(c) + ColumnWidth(c)) {
            column = c;
            break;
        }
    }
    if (column < 0 || row >= kMapRows) return {};
    return {column, row};
}

QSize DiskMapView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(frame + ColumnLeft(kMapColumns) + verticalScrollBar()->sizeHint().width(),
                 frame + 30 * kMapRowHeight);
}

QRect DiskMapView::cellRect(int column, int row) const {
    return QRect(ColumnLeft(column) - ColumnLeft(leftColumn()), (row - topRow()) * kMapRowHeight,
                 ColumnWidth(column), kMapRowHeight);
}

void DiskMapView::UpdateScrollBars() {
    const int visible = std::max(1, visibleRowCount());
    verticalScrollBar()->setRange(0, std::max(0, kMapRows - visible));
    verticalScrollBar()->setPageStep(visible);
    horizontalScrollBar()->setRange(0, MaxLeftColumn(viewport()->width()));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width() / kMapSectorWidth));
}

void DiskMapView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void DiskMapView::scrollContentsBy(int, int) {
    viewport()->update();
}

void DiskMapView::EnsureVisible(int column, int row) {
    const int visible = std::max(1, visibleRowCount());
    if (row < topRow())
        setTopRow(row);
    else if (row >= topRow() + visible)
        setTopRow(row - visible + 1);
    if (column < leftColumn()) {
        horizontalScrollBar()->setValue(column);
    } else {
        while (leftColumn() < column &&
               ColumnLeft(column + 1) - ColumnLeft(leftColumn()) > viewport()->width()) {
            const int before = leftColumn();
            horizontalScrollBar()->setValue(before + 1);
            if (leftColumn() == before) break;
        }
    }
}

void DiskMapView::PaintCell(QPainter& painter, int column, int row, const QRect& rect) const {
    const MapCellLook look = LookOfCell(disk_, column, row, showDisabled_);
    const QPixmap& cell = cells_.Cell(look, painter.device()->devicePixelRatioF());
    if (!cell.isNull()) painter.drawPixmap(rect.topLeft(), cell);
}

void DiskMapView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, cells_.Fill(MapTile::None));
    const int rows = viewport()->height() / kMapRowHeight + 1;
    for (int r = topRow(); r < std::min(kMapRows, topRow() + rows); ++r) {
        for (int c = leftColumn(); c < kMapColumns; ++c) {
            const QRect rect = cellRect(c, r);
            if (rect.left() > viewport()->width()) break;
            if (rect.intersects(dirty)) PaintCell(painter, c, r, rect);
        }
    }
    if (hasFocus()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cellRect(currentColumn_, currentRow_).adjusted(1, 1, -2, -2));
    }
}

void DiskMapView::RepaintCellOrScroll(int track, int column) {
    const int maxTop = verticalScrollBar()->maximum();
    const int newTop = TopRowAfterRedraw(topRow(), visibleRowCount(), track, maxTop);
    if (newTop != topRow()) {
        setTopRow(newTop);
        viewport()->update();
        return;
    }
    if (column >= 0 && column < kMapColumns) viewport()->update(cellRect(column, track));
}

void DiskMapView::SectorCellChanged(std::uint8_t track, std::uint8_t slot) {
    RepaintCellOrScroll(track, slot + 1);
}

void DiskMapView::TrackCellChanged(std::uint8_t track) {
    RepaintCellOrScroll(track, 0);
    emit imageContentChanged();
}

void DiskMapView::ImageChanged() {
    viewport()->update();
    emit imageContentChanged();
}

void DiskMapView::ImageCleared() {
    setTopRow(0);
    viewport()->update();
    emit imageContentChanged();
}

void DiskMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    const PopupPosition cell = cellAt(event->position().toPoint());
    pressed_ = cell.column >= 0;
    if (pressed_) setCurrentCell(cell.column, cell.row);
}

void DiskMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    pressed_ = false;
    emit cellClicked(currentColumn_, currentRow_);
}

void DiskMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const PopupPosition cell = cellAt(event->position().toPoint());
    if (cell.column >= 0) emit cellDoubleClicked(cell.column, cell.row);
}

void DiskMapView::keyPressEvent(QKeyEvent* event) {
    int column = currentColumn_;
    int row = currentRow_;
    const int page = std::max(1, visibleRowCount());
    switch (event->key()) {
        case Qt::Key_Left:
            column = std::max(0, column - 1);
            break;
        case Qt::Key_Right:
            column = std::min(kMapColumns - 1, column + 1);
            break;
        case Qt::Key_Up:
            row = std::max(0, row - 1);
            break;
        case Qt::Key_Down:
            row = std::min(kMapRows - 1, row + 1);
            break;
        case Qt::Key_PageUp:
            row = std::max(0, row - page);
            break;
        case Qt::Key_PageDown:
            row = std::min(kMapRows - 1, row + page);
            break;
        case Qt::Key_Home:
            column = 0;
            break;
        case Qt::Key_End:
            column = kMapColumns - 1;
            break;
        default:
            return QAbstractScrollArea::keyPressEvent(event);
    }
    if (column == currentColumn_ && row == currentRow_) return;
    setCurrentCell(column, row);
    emit cellClicked(currentColumn_, currentRow_);
}

void DiskMapView::prepareContextMenu(int column, int row) {
    const bool inside = column >= 0 && column < kMapColumns && row >= 0 && row < kMapRows;
    popup_ = inside ? PopupPosition{column, row} : PopupPosition{};
    if (inside) setCurrentCell(column, row);
    emit contextPopupOpened(popup_.column, popup_.row);
    const MapMenuEnabling enabling =
        MapMenuEnablingFor(DescribeMenuCell(disk_, popup_.column, popup_.row));
    for (std::size_t i = 0; i < kMapMenuEntryCount; ++i) {
        if (enabling[i] != EntryState::Unchanged)
            actions_[i]->setEnabled(enabling[i] == EntryState::Enabled);
    }
}

void DiskMapView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // The Menu key: the selected cell, not the one under the widget's centre.
        prepareContextMenu(currentColumn_, currentRow_);
        const QRect cell = cellRect(currentColumn_, currentRow_);
        menu_->popup(viewport()->mapToGlobal(cell.bottomLeft()));
        return;
    }
    // A click reaches here through the viewport (its coordinates) or on the frame (ours);
    // the pointer's global position means the same in both cases.
    const PopupPosition cell = cellAt(viewport()->mapFromGlobal(event->globalPos()));
    prepareContextMenu(cell.column, cell.row);
    menu_->popup(event->globalPos());
}

ImageEditHost& DiskMapView::Host() {
    if (editHost_ != nullptr) return *editHost_;
    if (!boxHost_)
        boxHost_ = std::make_unique<MessageBoxHost>(this, [this] { emit logClearRequested(); });
    return *boxHost_;
}

void DiskMapView::OnMenuEntry(MapMenuEntry entry) {
    switch (entry) {
        case MapMenuEntry::ReadSector:
        case MapMenuEntry::ReadRawTrack:
        case MapMenuEntry::ReadTrackSectors:
        case MapMenuEntry::ScanTrack:
        case MapMenuEntry::WriteSector:
        case MapMenuEntry::WriteTrack:
        case MapMenuEntry::FormatTrack:
            emit diskCommandRequested(entry, popup_.column, popup_.row);
            break;
        case MapMenuEntry::EditSectorAddress:
            if (popup_.column >= 1) emit editSectorAddressRequested(popup_.column, popup_.row);
            break;
        case MapMenuEntry::AddTrack:
        case MapMenuEntry::RemoveTrack:
        case MapMenuEntry::RemoveSector:
        case MapMenuEntry::ClearTrack:
        case MapMenuEntry::SetBaseTrack:
        case MapMenuEntry::ClearTrackLog:
            RunImageEdit(entry);
            break;
        default:
            break;  // entries without an action
    }
}

void DiskMapView::RunImageEdit(MapMenuEntry entry) {
    // Every edit acts on the popup position; a menu opened outside the cells has its
    // entries disabled, but a stale trigger must still do nothing.
    if (popup_.row < 0 || popup_.column < 0) return;
    if (editGate_ && !editGate_()) return;
    const auto track = static_cast<std::uint8_t>(popup_.row);
    const MapCell cell{track, popup_.column};
    switch (entry) {
        case MapMenuEntry::AddTrack:
            AddTrack(disk_, track);
            break;
        case MapMenuEntry::RemoveTrack:
            RemoveTrack(disk_, track);
            break;
        case MapMenuEntry::RemoveSector:
            RemoveSector(disk_, Host(), cell);
            break;
        case MapMenuEntry::ClearTrack:
            if (!ClearRawTrack(disk_, Host(), cell)) return;
            break;
        case MapMenuEntry::SetBaseTrack:
            emit baseTemplateCaptionChanged(QString::fromStdString(SetBaseTrack(disk_, track)));
            break;
        case MapMenuEntry::ClearTrackLog:
            if (Track* t = disk_.GetTrack(track)) t->Log.clear();
            break;
        default:
            return;
    }
    emit imageEdited(popup_.column, popup_.row);
    emit imageContentChanged();
}

}  // namespace morvane
