#include "ui/shell/WindowOperationHost.h"

#include <QLabel>
#include <QListWidget>
#include <QTabWidget>

#include "ui/shell/ProgressWindow.h"
#include "ui/shell/UserDialogs.h"
#include "ui/views/HexView.h"

namespace morvane {

WindowOperationHost::WindowOperationHost(OperationWidgets widgets, UserDialogs& dialogs)
    : w_(std::move(widgets)), dialogs_(dialogs) {}

void WindowOperationHost::ClearLog() {
    w_.log->clear();
}

void WindowOperationHost::AppendLog(const QString& line) {
    w_.log->addItem(line);
    w_.log->setCurrentRow(w_.log->count() - 1);
}

void WindowOperationHost::ShowLogPage() {
    w_.pages->setCurrentWidget(w_.logPage);
}

void WindowOperationHost::SetTrackLabel(const QString& text) {
    w_.trackLabel->setText(text);
}

void WindowOperationHost::SetSectorLabel(const QString& text) {
    w_.sectorLabel->setText(text);
}

void WindowOperationHost::ShowBytes(std::span<const std::uint8_t> bytes) {
    w_.hex->LoadBytes(bytes);
    // What an operation shows is not the copy of a map cell: "Принять" must not write it
    // into whichever cell the sector view showed last.
    w_.hex->setReadOnly(true);
}

void WindowOperationHost::ShowMessage(const QString& text, const QString& caption) {
    dialogs_.Message(KindForCaption(caption), caption, text);
}

MessageAnswer WindowOperationHost::AskYesNo(const QString& text, const QString& caption) {
    return dialogs_.YesNo(caption, text) ? MessageAnswer::Yes : MessageAnswer::No;
}

MessageAnswer WindowOperationHost::AskAbortRetryIgnore(const QString& text,
                                                       const QString& caption) {
    switch (dialogs_.AbortRetryIgnore(caption, text)) {
        case UserDialogs::ReadErrorAnswer::Retry:
            return MessageAnswer::Retry;
        case UserDialogs::ReadErrorAnswer::Ignore:
            return MessageAnswer::Ignore;
        case UserDialogs::ReadErrorAnswer::Abort:
            break;
    }
    return MessageAnswer::Abort;
}

// The window's own runs open T_Prog themselves (its timer starts the worker); these two
// serve a run started through RunDisk, which brackets the worker with them.
void WindowOperationHost::BeginRun(const QString& caption, int maximum) {
    ScrollMapToTop();
    w_.progress->Prepare(caption, maximum);
}

void WindowOperationHost::EndRun() {
    w_.repaintMap();
}

void WindowOperationHost::SetRunTrack(const QString& text) {
    w_.progress->SetTrack(text);
}

void WindowOperationHost::SetRunProgress(int position) {
    w_.progress->SetProgress(position);
}

bool WindowOperationHost::CancelRequested() {
    // The flag stays from the last run until the next one starts; outside a run nobody
    // asked to cancel (the bad-sector re-read looks too).
    return w_.progress->Running() && w_.progress->CancelRequested();
}

void WindowOperationHost::ScrollMapToTop() {
    w_.showMapFromTop();
}

}  // namespace morvane
