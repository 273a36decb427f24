// The dialog "Заголовок": edits a sector's ID field (C, H, R, N), its data status and
// shows the ID field CRC as it will be stored.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>

#include "model/SectorSlot.h"

namespace morvane {

class SectorHeaderEditor : public QDialog {
    Q_OBJECT

  public:
    explicit SectorHeaderEditor(QWidget* parent = nullptr);

    // Fills the fields from the slot; the accept button starts disabled.
    void LoadFrom(const SectorSlot& slot);
    // Stores C, R, H, N, the data status and the last computed CRC.
    void ApplyTo(SectorSlot& slot) const;
    // Loads, shows modally, stores on "Принять". Returns whether it was accepted.
    bool Edit(SectorSlot& slot);

    std::uint16_t ComputedCrc() const { return crc_; }

    QLineEdit* cylinderField() const { return cylinderField_; }
    QLineEdit* sectorField() const { return sectorField_; }
    QComboBox* headList() const { return headList_; }
    QComboBox* sizeList() const { return sizeList_; }
    QCheckBox* noErrorsBox() const { return noErrors_; }
    QLabel* crcLabel() const { return crcLabel_; }
    QPushButton* acceptButton() const { return accept_; }

  private:
    void OnFieldChanged();
    static void FillList(QComboBox* list, const QStringList& items, int value,
                         const QString& extraText);

    QLineEdit* cylinderField_;
    QLineEdit* sectorField_;
    QComboBox* headList_;
    QComboBox* sizeList_;
    QCheckBox* noErrors_;
    QLabel* crcLabel_;
    QPushButton* accept_;
    QPushButton* cancel_;
    // The ID field the shown CRC was computed from; accepting stores exactly this, so a
    // field emptied after the last computation cannot pair a header with a wrong CRC.
    std::uint8_t c_ = 0, h_ = 0, r_ = 0, n_ = 0;
    std::uint16_t crc_ = 0;
};

}  // namespace morvane
