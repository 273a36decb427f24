// The main window as the disk operations see it: the operation log list Lzx1 and its "LOG"
// page, the labels l1 and l2, the hex view s1, the window's message boxes (UserDialogs, so
// tests answer with a script) and the progress window T_Prog of the whole-disk runs. A
// small adapter over those widgets, owned by the window.
#pragma once

#include <functional>

#include "operations/OperationHost.h"

class QLabel;
class QListWidget;
class QTabWidget;
class QWidget;

namespace morvane {

class HexView;
class T_Prog;
class UserDialogs;

struct OperationWidgets {
    QListWidget* log = nullptr;     // Lzx1
    QTabWidget* pages = nullptr;    // pc1
    QWidget* logPage = nullptr;     // its "LOG" page
    QLabel* sectorLabel = nullptr;  // l1
    QLabel* trackLabel = nullptr;   // l2
    HexView* hex = nullptr;         // s1
    T_Prog* progress = nullptr;
    // Scrolls the disk map to its top-left cell and repaints it.
    std::function<void()> showMapFromTop;
    // Repaints the whole disk map.
    std::function<void()> repaintMap;
};

class WindowOperationHost : public OperationHost {
  public:
    WindowOperationHost(OperationWidgets widgets, UserDialogs& dialogs);

    void ClearLog() override;
    void AppendLog(const QString& line) override;
    void ShowLogPage() override;
    void SetTrackLabel(const QString& text) override;
    void SetSectorLabel(const QString& text) override;
    void ShowBytes(std::span<const std::uint8_t> bytes) override;
    void ShowMessage(const QString& text, const QString& caption) override;
    MessageAnswer AskYesNo(const QString& text, const QString& caption) override;
    MessageAnswer AskAbortRetryIgnore(const QString& text, const QString& caption) override;
    void BeginRun(const QString& caption, int maximum) override;
    void SetRunTrack(const QString& text) override;
    void SetRunProgress(int position) override;
    bool CancelRequested() override;
    void EndRun() override;
    void ScrollMapToTop() override;

  private:
    OperationWidgets w_;
    UserDialogs& dialogs_;
};

}  // namespace morvane
