// The operation host of the fault soak: it shows nothing, counts what a run shows, answers
// every question from a seeded script, and presses cancel when a chosen track comes up.
#pragma once

#include <QString>

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <span>
#include <string>

#include "operations/OperationHost.h"

namespace morvane::soak {

class SoakHost : public OperationHost {
  public:
    explicit SoakHost(std::uint32_t seed) : random_(seed) {}

    // The cancel button is pressed once the run shows this track.
    void CancelAtTrack(int track) { cancelAt_ = track; }

    int logLines = 0;
    int messages = 0;
    int questions = 0;
    int progress = 0;  // the last progress position the run showed
    std::string lastMessage;

    void ClearLog() override {}
    void AppendLog(const QString&) override { ++logLines; }
    void ShowLogPage() override {}
    void SetTrackLabel(const QString&) override {}
    void SetSectorLabel(const QString&) override {}
    void ShowBytes(std::span<const std::uint8_t>) override {}
    // A box with OK only is a message; every other question draws its answer: one of
    // abort, retry and ignore, or yes or no (no operation offers cancel as well).
    Answer Ask(const Question& question) override {
        if (question.buttons == Buttons::Ok) {
            ++messages;
            lastMessage = question.text;
            return Answer::Ok;
        }
        ++questions;
        if (question.buttons == Buttons::AbortRetryIgnore) {
            static constexpr Answer kAnswers[] = {Answer::Abort, Answer::Retry, Answer::Ignore};
            return kAnswers[Draw(0, 2)];
        }
        return Draw(0, 1) == 0 ? Answer::Yes : Answer::No;
    }
    void BeginRun(const QString&, int) override {
        cancel_ = false;
        progress = 0;
    }
    void SetRunTrack(const QString& text) override {
        if (cancelAt_ && text == QString::number(*cancelAt_)) cancel_ = true;
    }
    void SetRunProgress(int position) override { progress = position; }
    bool CancelRequested() override { return cancel_; }
    void EndRun() override {}
    void ScrollMapToTop() override {}

  private:
    int Draw(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::mt19937 random_;
    std::optional<int> cancelAt_;
    bool cancel_ = false;
};

}  // namespace morvane::soak
