// The sector view beside the disk map: the hex view s1, the header group gb1 with the
// values an1..an6 and the buttons "Принять" (pnb1), "Сохранить" (pnb2), "Загрузить" (pnb3).
// What lives in the main window (l1, l2, the log list Lzx1 and its "LOG" page, the owner
// bar trp1 / mml1) is driven through the signals below.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "model/ImageEditing.h"
#include "model/DiskImage.h"
#include "ui/views/HexView.h"
#include "ui/views/SectorViewRules.h"

namespace morvane {

class SectorEditor;
class SectorHeaderEditor;

class SectorView : public QWidget {
    Q_OBJECT

  public:
    explicit SectorView(DiskImage& disk, QWidget* parent = nullptr);
    ~SectorView() override;

    // The SetSectorSizeFromHead setting.
    void setSizeFromHead(bool on) { inputs_.sizeFromHead = on; }
    // The TR-DOS sector owner lookup; without one the owner bar stays hidden.
    void setOwnerLookup(SectorOwnerLookup lookup) { inputs_.ownerLookup = std::move(lookup); }
    // Replaces the UDI writer's builder used for tracks without a raw image.
    void setRawBuilder(RawTrackBuilder builder) { inputs_.rawBuilder = std::move(builder); }
    // Replaces the message boxes (tests script one); nullptr restores them.
    void setQuestionHost(ImageEditHost* host) { host_ = host; }
    // Asked before an edit changes the image; false (the user told why) refuses it.
    void setEditGate(std::function<bool()> gate) { editGate_ = std::move(gate); }

    HexView* hexView() const { return hexView_; }
    QGroupBox* headerGroup() const { return headerGroup_; }
    QLabel* headerValue(int index) const { return headerValues_[static_cast<std::size_t>(index)]; }
    QPushButton* acceptButton() const { return acceptButton_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* loadButton() const { return loadButton_; }
    // The header group counts while hidden, so that showing it does not squeeze the hex
    // view.
    QSize sizeHint() const override;
    int shownColumn() const { return column_; }
    int shownRow() const { return row_; }

    // Dialogs, created on first use and kept.
    SectorHeaderEditor* headerEditor();
    SectorEditor* sectorEditor();

  public slots:
    // A click on a map cell.
    void showCell(int column, int row);
    // Only the track and sector labels, as on a click (the context menu opening).
    void showCellLabels(int column, int row);
    // The map's menu changed the image at this cell: the labels follow that cell, the view
    // shows its own cell again. The log stays as the edit left it, and unaccepted edits
    // stay while the bytes they belong to are still there.
    void refreshAfterImageEdit(int column, int row);
    // Empties the hex view and hides the header (the image was cleared).
    void clearView();
    // "Принять": asks, then copies the edited bytes into the shown sector or track.
    void acceptEdits();
    // "Сохранить" / "Загрузить" with their file dialogs.
    void saveShown();
    void loadIntoView();
    // The work behind them, for a chosen file. saveToFile asks before overwriting.
    bool saveToFile(const QString& path);
    bool loadFromFile(const QString& path);
    // Double click: the sector editor on a present slot.
    void openSectorEditor(int column, int row);
    // "Редактировать адрес сектора": the header editor on the slot.
    void editSectorAddress(int column, int row);

  signals:
    void trackLabelChanged(const QString& text);     // l2
    void sectorLabelChanged(const QString& text);    // l1
    void ownerTextChanged(const QString& text);      // mml1
    void ownerBarVisibilityChanged(bool visible);    // trp1
    void dataCrcLabelChanged(const QString& text);   // "CRC - #E122" above the hex view
    void logPageRequested();                         // bring the "LOG" page to the front
    void logLinesChanged(const QStringList& lines);  // replaces Lzx1 (empty: emptied)
    // The sector editor, the header editor or the hex view's "Принять" changed a slot
    // (column 0: the track's raw image).
    void slotEdited(int column, int row);

  private:
    void Apply(const SectorCellView& view, bool labels = true);
    ImageEditHost& Host();

    DiskImage& disk_;
    SectorViewInputs inputs_;
    HexView* hexView_;
    QGroupBox* headerGroup_;
    std::array<QLabel*, 6> headerValues_{};
    QPushButton* acceptButton_;
    QPushButton* saveButton_;
    QPushButton* loadButton_;
    QPointer<SectorHeaderEditor> headerEditor_;
    QPointer<SectorEditor> sectorEditor_;
    int column_ = -1;
    int row_ = -1;
    ImageEditHost* host_ = nullptr;
    std::unique_ptr<ImageEditHost> boxHost_;
    std::function<bool()> editGate_;

    bool MayEdit() const { return !editGate_ || editGate_(); }
};

}  // namespace morvane
