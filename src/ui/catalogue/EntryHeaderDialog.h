// "Редактировать заголовок": one TR-DOS catalogue entry's name, type letter, start and
// length (both in hex, as the list shows them).
#pragma once

#include <QDialog>

#include "filesystems/TrDosEditing.h"

class QLineEdit;
class QSpinBox;

namespace morvane {

class EntryHeaderDialog : public QDialog {
    Q_OBJECT
  public:
    explicit EntryHeaderDialog(const TrDosEntryEdit& edit, QWidget* parent = nullptr);
    TrDosEntryEdit Result() const;

    QLineEdit* NameEdit() const { return name_; }
    QLineEdit* TypeEdit() const { return type_; }
    QSpinBox* StartEdit() const { return start_; }
    QSpinBox* LengthEdit() const { return length_; }

  private:
    TrDosName shownName_;  // what the name field started from
    QLineEdit* name_;
    QLineEdit* type_;
    QSpinBox* start_;
    QSpinBox* length_;
};

}  // namespace morvane
