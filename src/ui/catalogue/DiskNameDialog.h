// "Имя диска!": asks for a TR-DOS disk name of at most 8 characters. Renaming offers
// "&Принять" and "&Отменить"; a new disk only "&Ok".
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace morvane {

class DiskNameDialog : public QDialog {
    Q_OBJECT
  public:
    DiskNameDialog(const QString& preset, bool okOnly, QWidget* parent = nullptr);
    QString Text() const;
    QLineEdit* Edit() const { return edit_; }

  private:
    QLineEdit* edit_;
};

}  // namespace morvane
