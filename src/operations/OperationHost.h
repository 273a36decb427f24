// What the disk operations need from the screen: the operation log list (Lzx1) and its
// "LOG" page, the track and sector labels (l2, l1), the hex view (s1), message boxes that
// return the user's answer, and the progress window of a whole-disk run with its cancel
// button. The main window implements it; tests use a scripted fake; the command-line tool
// prints. Map cells are repainted through the image container's observer, not here.
#pragma once

#include <QString>

#include <cstdint>
#include <span>

#include "model/UserQuestion.h"

namespace morvane {

// Its questions (Ask): the operations' failures and the read-error question.
class OperationHost : public UserAsker {
  public:

    // --- Operation log list Lzx1
    virtual void ClearLog() = 0;
    // Appends a line and makes it the list's selected (visible) line.
    virtual void AppendLog(const QString& line) = 0;
    // Brings the "LOG" page of the page control to the front.
    virtual void ShowLogPage() = 0;

    // --- Labels and hex view
    virtual void SetTrackLabel(const QString& text) = 0;   // l2
    virtual void SetSectorLabel(const QString& text) = 0;  // l1
    // Shows the bytes in the hex view s1 (a copy: the span need not outlive the call).
    virtual void ShowBytes(std::span<const std::uint8_t> bytes) = 0;

    // --- Progress of a whole-disk run (the ProgressWindow window)
    // The run starts: caption, progress maximum (the track count), position 0, the cancel
    // request cleared, the map scrolled to its top-left cell and repainted.
    virtual void BeginRun(const QString& caption, int maximum) = 0;
    virtual void SetRunTrack(const QString& text) = 0;  // Vr1
    virtual void SetRunProgress(int position) = 0;      // VrPb
    // Whether the user asked to cancel since BeginRun; looked at between the phases of a
    // track, never inside an exchange.
    virtual bool CancelRequested() = 0;
    // The run ended however it ended: repaint the map and close the window.
    virtual void EndRun() = 0;

    // Scrolls the disk map to its top-left cell and repaints it (bad-sector reread).
    virtual void ScrollMapToTop() = 0;
};

}  // namespace morvane
