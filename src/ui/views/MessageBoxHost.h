// The questions and messages of the views as message boxes. Tests put a scripted host in
// its place.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "model/ImageEditing.h"

namespace morvane {

class MessageBoxHost : public ImageEditHost {
  public:
    explicit MessageBoxHost(QWidget* parent, std::function<void()> clearLog = {})
        : parent_(parent), clearLog_(std::move(clearLog)) {}

    void ShowError(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ClearAndShowLog() override;

  private:
    QPointer<QWidget> parent_;
    std::function<void()> clearLog_;
};

}  // namespace morvane
