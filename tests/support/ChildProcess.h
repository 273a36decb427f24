// A test's work done in a child process of its own: what a test needs to see a process end
// by a signal, to run several processes at once against one file, or to set limits
// (setrlimit) that must not touch the test program itself. The child reports through its
// exit code and a text it sends back.
#pragma once

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

namespace morvane::test {

class ChildProcess {
  public:
    // Starts body in a child; its return value is the child's exit code, said the text.
    explicit ChildProcess(const std::function<int(std::string& said)>& body) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        std::fflush(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            std::string said;
            const int code = body(said);
            for (std::size_t sent = 0; sent < said.size();) {
                const ssize_t n = ::write(fds[1], said.data() + sent, said.size() - sent);
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
            }
            ::_exit(code);  // nothing of the test program's own ending runs in the child
        }
        ::close(fds[1]);
        reader_ = fds[0];
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Wait(); }

    // Waits for the child to end: its wait status (-1 when it could not be started).
    int Wait() {
        if (reader_ >= 0) {
            char buffer[512];
            for (ssize_t n; (n = ::read(reader_, buffer, sizeof buffer)) > 0;)
                said_.append(buffer, static_cast<std::size_t>(n));
            ::close(reader_);
            reader_ = -1;
        }
        if (pid_ > 0 && ::waitpid(pid_, &status_, 0) == pid_) pid_ = 0;
        return pid_ == 0 ? status_ : -1;
    }
    const std::string& Said() const { return said_; }

  private:
    pid_t pid_ = -1;
    int reader_ = -1;
    int status_ = -1;
    std::string said_;
};

// In a child: files may grow to limit bytes, and reaching it raises signal (a file size
// limit alone gives SIGXFSZ), so that a signal arrives at a known point in the middle of a
// write.
inline void LimitFileSize(rlim_t limit, int signal = SIGXFSZ) {
    static int raised = SIGXFSZ;
    raised = signal;
    const struct rlimit bytes { limit, limit }, noCore{0, 0};
    ::setrlimit(RLIMIT_FSIZE, &bytes);
    ::setrlimit(RLIMIT_CORE, &noCore);
    // As in a program just started, whatever the test runner set (nohup ignores SIGHUP).
    std::signal(signal, SIG_DFL);
    if (signal != SIGXFSZ) std::signal(SIGXFSZ, [](int) { std::raise(raised); });
}

}  // namespace morvane::test
