// While a file is written under a temporary name, a signal that ends the program (Ctrl+C,
// kill, a closed terminal) must not leave that file behind. A TemporaryFileGuard names the
// files to remove if that happens: the handler it installs removes them and then ends the
// program as the signal itself would have. Only signals left at their default action are
// taken over, so a program that handles one itself keeps its handler. A file size limit
// ends nothing while a guard lives: SIGXFSZ is ignored, so the write fails with EFBIG and
// its caller removes the file and says why.
#pragma once

#include <csignal>
#include <iterator>
#include <mutex>
#include <string>

namespace morvane {

class TemporaryFileGuard {
  public:
    // The signals whose default action ends the program and that a guard takes over.
    static constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

    // One guard lives at a time; a second one (another thread's write) waits for it.
    TemporaryFileGuard();
    ~TemporaryFileGuard();
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

    // Removes path if a signal ends the program from now on (a path too long for any file
    // call is not kept). Forget: nothing is removed any more.
    void Watch(const std::string& path);
    void Forget();

    // Holds the ending signals back in this thread while it lives, so that creating a file
    // and watching it (or renaming it and forgetting it) happen as one step.
    class SignalHold {
      public:
        SignalHold();
        ~SignalHold();
        SignalHold(const SignalHold&) = delete;
        SignalHold& operator=(const SignalHold&) = delete;

      private:
        sigset_t previous_;
    };

  private:
    std::unique_lock<std::mutex> lock_;
    bool installed_[std::size(kEndingSignals)] = {};
    bool sizeLimitIgnored_ = false;
};

}  // namespace morvane
