#include "ui/views/MessageBoxHost.h"

#include <QMessageBox>

namespace morvane {

void MessageBoxHost::ShowError(const std::string& caption, const std::string& text) {
    QMessageBox::critical(parent_, QString::fromStdString(caption), QString::fromStdString(text),
                          QMessageBox::Ok);
}

bool MessageBoxHost::AskYesNo(const std::string& caption, const std::string& text) {
    return QMessageBox::question(parent_, QString::fromStdString(caption),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxHost::ClearAndShowLog() {
    if (clearLog_) clearLog_();
}

}  // namespace morvane
