// The main window as the disk operations see it: the operation log list Lzx1 and its "LOG"
// page, the labels l1 and l2, the hex view s1, the window's asker (its message boxes, or a
// test's script) and the progress window ProgressWindow of the whole-disk runs. A small adapter
// over those widgets, owned by the window.
#pragma once

#include "operations/OperationHost.h"

namespace morvane {

struct WindowViews;

class WindowOperationHost : public OperationHost {
  public:
    WindowOperationHost(const WindowViews& views, UserAsker& asker)
        : views_(views), asker_(asker) {}

    Answer Ask(const Question& question) override { return asker_.Ask(question); }
    void ClearLog() override;
    void AppendLog(const QString& line) override;
    void ShowLogPage() override;
    void SetTrackLabel(const QString& text) override;
    void SetSectorLabel(const QString& text) override;
    void ShowBytes(std::span<const std::uint8_t> bytes) override;
    void BeginRun(const QString& caption, int maximum) override;
    void SetRunTrack(const QString& text) override;
    void SetRunProgress(int position) override;
    bool CancelRequested() override;
    void EndRun() override;
    void ScrollMapToTop() override;

  private:
    const WindowViews& views_;
    UserAsker& asker_;
};

}  // namespace morvane
