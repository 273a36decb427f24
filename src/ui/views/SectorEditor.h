// The dialog "Редактор сектора": a sector's ID field and its data in an editable hex
// view. "Принять" copies the edited bytes back into the slot (at most DataLength).
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "model/SectorSlot.h"
#include "ui/views/HexView.h"

namespace morvane {

class SectorEditor : public QDialog {
    Q_OBJECT

  public:
    explicit SectorEditor(QWidget* parent = nullptr);

    void LoadFrom(const SectorSlot& slot);
    // Copies the hex view's bytes, at most DataLength, into the slot's data; returns
    // how many.
    std::size_t ApplyTo(SectorSlot& slot) const;
    // Loads, shows modally and on "Принять" applies. Returns whether it was accepted.
    bool Edit(SectorSlot& slot);

    HexView* hexView() const { return hex_; }
    QLabel* valueLabel(int index) const { return values_[static_cast<std::size_t>(index)]; }
    QPushButton* acceptButton() const { return accept_; }

  private:
    std::array<QLabel*, 5> values_{};
    HexView* hex_;
    QPushButton* accept_;
    QPushButton* cancel_;
};

}  // namespace morvane
