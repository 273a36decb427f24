// The settings dialog "Настройки": six numbers and four flags of the settings record, and
// the window's language ("Язык интерфейса"), which takes effect at the next start.
// "Принять" appears only after something was changed; only an accepted dialog changes the
// record.
#pragma once

#include <QDialog>

#include "ui/shell/Settings.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace morvane {

class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    // Fills the fields from the record and clears the accepted mark.
    void Load(const Settings& s);
    // Copies the ten values of the fields and the language into the record (numbers cut
    // to 8 bits).
    void Store(Settings& s) const;
    bool IsAccepted() const { return accepted_; }
    // Load, show modally, and Store when accepted. Returns whether it was accepted.
    bool Edit(Settings& s);

    QPushButton* AcceptButton() const { return accept_; }
    QPushButton* CancelButton() const { return cancel_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void MarkChanged();

    QSpinBox* retryCount_;
    QSpinBox* retryCountWithReset_;
    QSpinBox* firstCylinder_;
    QSpinBox* lastCylinder_;
    QSpinBox* cycleRead_;
    QSpinBox* timeOut_;
    QCheckBox* restoreTrack_;
    QCheckBox* compressTd0_;
    QCheckBox* overlapTrackAndData_;
    QCheckBox* setSectorSizeFromHead_;
    QComboBox* language_;  // "cbLanguage": system, Russian, English
    QPushButton* accept_;
    QPushButton* cancel_;
    bool accepted_ = false;
    bool loading_ = false;
};

}  // namespace morvane
