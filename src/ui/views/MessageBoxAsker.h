// The program's questions as message boxes: an icon after the caption ("Ошибка..." an
// error, "Внимание..." a warning), the buttons the question offers.
#pragma once

#include <QPointer>
#include <QWidget>

#include "model/UserQuestion.h"

namespace morvane {

class MessageBoxAsker : public UserAsker {
  public:
    explicit MessageBoxAsker(QWidget* parent) : parent_(parent) {}
    Answer Ask(const Question& question) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace morvane
