#include "ui/shell/WindowOperationHost.h"

#include <QLabel>

#include "ui/shell/ProgressWindow.h"
#include "ui/shell/WindowViews.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/HexView.h"

namespace morvane {

void WindowOperationHost::ClearLog() {
    views_.ClearLog();
}

void WindowOperationHost::AppendLog(const QString& line) {
    views_.AppendLog(line);
}

void WindowOperationHost::ShowLogPage() {
    views_.ShowLogPage();
}

void WindowOperationHost::SetTrackLabel(const QString& text) {
    views_.trackLabel->setText(text);
}

void WindowOperationHost::SetSectorLabel(const QString& text) {
    views_.sectorLabel->setText(text);
}

void WindowOperationHost::ShowBytes(std::span<const std::uint8_t> bytes) {
    views_.hexView->LoadBytes(bytes);
    // What an operation shows is not the copy of a map cell: "Принять" must not write it
    // into whichever cell the sector view showed last.
    views_.hexView->setReadOnly(true);
}

// The window's own runs open ProgressWindow themselves (its timer starts the worker); these two
// serve a run started through RunDisk, which brackets the worker with them.
void WindowOperationHost::BeginRun(const QString& caption, int maximum) {
    ScrollMapToTop();
    views_.progress->Prepare(caption, maximum);
}

void WindowOperationHost::EndRun() {
    views_.diskMap->ImageChanged();
}

void WindowOperationHost::SetRunTrack(const QString& text) {
    views_.progress->SetTrack(text);
}

void WindowOperationHost::SetRunProgress(int position) {
    views_.progress->SetProgress(position);
}

bool WindowOperationHost::CancelRequested() {
    // The flag stays from the last run until the next one starts; outside a run nobody
    // asked to cancel (the bad-sector re-read looks too).
    return views_.progress->Running() && views_.progress->CancelRequested();
}

void WindowOperationHost::ScrollMapToTop() {
    views_.ShowMapFromTop();
}

}  // namespace morvane
