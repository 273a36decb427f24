// The questions and messages of the views as message boxes. Tests put a scripted host in
// its place.
#pragma once

#include <QWidget>
#include <functional>

#include "model/ImageEditing.h"
#include "ui/views/MessageBoxAsker.h"

namespace morvane {

class MessageBoxHost : public ImageEditHost {
  public:
    explicit MessageBoxHost(QWidget* parent, std::function<void()> clearLog = {})
        : boxes_(parent), clearLog_(std::move(clearLog)) {}

    Answer Ask(const Question& question) override { return boxes_.Ask(question); }
    void ClearAndShowLog() override {
        if (clearLog_) clearLog_();
    }

  private:
    MessageBoxAsker boxes_;
    std::function<void()> clearLog_;
};

}  // namespace morvane
