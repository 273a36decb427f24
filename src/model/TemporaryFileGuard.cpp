#include "model/TemporaryFileGuard.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace morvane {

namespace {

// What the handler reads: a fixed buffer with a flag that is set only once the path is
// complete and cleared before it changes, so a handler running in another thread never
// reads half a name.
struct WatchedFile {
    std::atomic<bool> set{false};
    char path[PATH_MAX] = {};
};

WatchedFile gWatched;
std::mutex gGuardMutex;

static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler reads these flags");

// Only async-signal-safe calls: unlink, sigaction, raise.
void RemoveWatchedAndEnd(int signal) {
    if (gWatched.set.load(std::memory_order_acquire)) ::unlink(gWatched.path);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    // The signal is blocked while its handler runs: it arrives again, with its default
    // action, as soon as the handler returns.
    ::raise(signal);
}

bool IsDefault(int signal, struct sigaction& current) {
    return ::sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
           current.sa_handler == SIG_DFL;
}

void SetHandler(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

TemporaryFileGuard::TemporaryFileGuard() : lock_(gGuardMutex) {
    struct sigaction current {};
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        if (!IsDefault(kEndingSignals[i], current)) continue;
        SetHandler(kEndingSignals[i], &RemoveWatchedAndEnd);
        installed_[i] = true;
    }
    if (IsDefault(SIGXFSZ, current)) {
        SetHandler(SIGXFSZ, SIG_IGN);
        sizeLimitIgnored_ = true;
    }
}

TemporaryFileGuard::~TemporaryFileGuard() {
    Forget();
    struct sigaction current {};
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        // Someone who set a handler of their own meanwhile keeps it.
        if (installed_[i] && ::sigaction(kEndingSignals[i], nullptr, &current) == 0 &&
            current.sa_handler == &RemoveWatchedAndEnd)
            SetHandler(kEndingSignals[i], SIG_DFL);
    }
    if (sizeLimitIgnored_ && ::sigaction(SIGXFSZ, nullptr, &current) == 0 &&
        current.sa_handler == SIG_IGN)
        SetHandler(SIGXFSZ, SIG_DFL);
}

void TemporaryFileGuard::Watch(const std::string& path) {
    gWatched.set.store(false, std::memory_order_release);
    if (path.size() >= sizeof gWatched.path) return;
    std::memcpy(gWatched.path, path.c_str(), path.size() + 1);
    gWatched.set.store(true, std::memory_order_release);
}

void TemporaryFileGuard::Forget() {
    gWatched.set.store(false, std::memory_order_release);
}

TemporaryFileGuard::SignalHold::SignalHold() {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kEndingSignals)
        sigaddset(&held, signal);
    ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

TemporaryFileGuard::SignalHold::~SignalHold() {
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace morvane
