// ProgressWindow: the small modal window a whole-disk run works in. It shows the track being read
// (Vr1), the progress over the run's tracks (VrPb) and "Отмена" (bb1). Its timer t1 starts
// the worker 100 ms after the window is on screen, so the window is drawn before the first
// exchange; the window closes when the worker returns. Made once and reused.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace morvane {

inline constexpr int kProgressStartDelayMs = 100;

class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    // Shows the window modally with this caption and progress maximum, runs the worker once
    // the window is on screen and returns after the worker has returned and the window
    // has closed.
    void Run(const QString& caption, int maximum, std::function<void()> worker);

    // What showing the window does: caption, maximum, track "0" and position 0, the
    // cancel request cleared, "Отмена" enabled.
    void Prepare(const QString& caption, int maximum);
    void SetTrack(const QString& text);
    void SetProgress(int position);
    bool CancelRequested() const { return cancelRequested_; }
    // The worker is running.
    bool Running() const { return running_; }

    QLabel* TrackValue() const { return trackValue_; }
    QProgressBar* ProgressBar() const { return progressBar_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    QTimer* StartTimer() const { return startTimer_; }

    // Escape during a run asks for the cancel, as "Отмена" does.
    void reject() override;

  signals:
    // The window is being shown for a run: the owner brings the disk map to its top-left
    // cell.
    void runShowing();

  protected:
    void showEvent(QShowEvent* event) override;
    // Closing the window during a run asks for the cancel: the worker must return before
    // the window may go.
    void closeEvent(QCloseEvent* event) override;

  private:
    void RequestCancel();
    void StartWorker();

    QLabel* trackValue_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QTimer* startTimer_ = nullptr;
    std::function<void()> worker_;
    QString caption_;
    int maximum_ = 0;
    bool cancelRequested_ = false;
    bool running_ = false;
    bool startPending_ = false;  // Run() was called and the worker has not been started
};

}  // namespace morvane
