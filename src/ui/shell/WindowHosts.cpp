#include "ui/shell/WindowHosts.h"

#include <QAction>
#include <QLabel>

#include "ui/shell/MainActions.h"
#include "ui/shell/Settings.h"
#include "ui/shell/Texts.h"
#include "ui/shell/WindowViews.h"
#include "ui/views/QtText.h"

namespace morvane {

void WindowImageEditHost::ClearAndShowLog() {
    views_.ClearLog();
    views_.ShowLogPage();
}

void WindowImageCommandHost::ClearLog() {
    views_.ClearLog();
}

void WindowImageCommandHost::AddLogLine(const QString& line) {
    views_.AppendLog(line);
}

void WindowImageCommandHost::SetImageStatus(const QString& text) {
    views_.statusPanels[1]->setText(text);
}

void WindowImageCommandHost::ShowMapFromTop() {
    views_.ShowMapFromTop();
}

void WindowImageCommandHost::RefreshSelectedCell() {
    views_.ShowSelectedCell();
}

void WindowImageCommandHost::SetCommentLines(const QStringList& lines) {
    views_.SetCommentLines(lines);
}

void WindowImageCommandHost::ShowCommentPage() {
    views_.ShowCommentPage();
}

void WindowProtocolHost::SetDriveMarks(bool driveA, bool driveB) {
    actions_.driveA->setChecked(driveA);
    actions_.driveB->setChecked(driveB);
}

void WindowProtocolHost::StoreDriveSetting(Drive drive) {
    settings_.Drive = drive == Drive::B ? QStringLiteral("B") : QStringLiteral("A");
    store_.WriteDrive(settings_.Drive);
}

void WindowProtocolHost::ShowIdentification(const QString& text) {
    views_.statusPanels[1]->setText(text);
}

void WindowProtocolHost::LinkFailed(const QString& reason) {
    (void)reason;  // the protocol's message box names it
    views_.statusPanels[0]->setText(UiText(kUsbStoppedText));
    if (linkFailed_) linkFailed_();
}

}  // namespace morvane
