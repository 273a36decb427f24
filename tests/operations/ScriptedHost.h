// An OperationHost that records what an operation shows and answers its questions from a
// script ("Retry, then Ignore"). Hooks let a test act in the middle of a run.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "operations/OperationHost.h"

namespace morvane::test {

struct ScriptedHost : OperationHost {
    struct Message {
        std::string text;
        std::string caption;
        bool operator==(const Message&) const = default;
    };

    std::vector<std::string> log;  // Lzx1 since the last clear
    int logClears = 0;
    int logPageShown = 0;
    std::string trackLabel, sectorLabel;
    std::vector<std::uint8_t> shownBytes;
    int bytesShown = 0;
    std::vector<Message> messages;
    std::vector<Message> questions;
    std::deque<Answer> answers;   // scripted; Abort when empty
    std::vector<std::string> runEvents;  // begin:caption:max, track:T, progress:P, end
    int cancelChecks = 0;
    bool cancel = false;
    int mapScrolls = 0;
    // Called with each run track shown (Vr1), to act in the middle of a run.
    std::function<void(const std::string&)> onRunTrack;

    void ClearLog() override {
        log.clear();
        ++logClears;
    }
    void AppendLog(const QString& line) override { log.push_back(line.toStdString()); }
    void ShowLogPage() override { ++logPageShown; }
    void SetTrackLabel(const QString& text) override { trackLabel = text.toStdString(); }
    void SetSectorLabel(const QString& text) override { sectorLabel = text.toStdString(); }
    void ShowBytes(std::span<const std::uint8_t> bytes) override {
        shownBytes.assign(bytes.begin(), bytes.end());
        ++bytesShown;
    }
    // OK boxes go to messages; questions take the next scripted answer, or say No (Abort
    // to a read error) when the script has run out.
    Answer Ask(const Question& q) override {
        if (q.buttons == Buttons::Ok) {
            messages.push_back({q.text, q.caption});
            return Answer::Ok;
        }
        questions.push_back({q.text, q.caption});
        if (answers.empty())
            return q.buttons == Buttons::AbortRetryIgnore ? Answer::Abort : Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void BeginRun(const QString& caption, int maximum) override {
        runEvents.push_back("begin:" + caption.toStdString() + ":" + std::to_string(maximum));
        cancel = false;
    }
    void SetRunTrack(const QString& text) override {
        runEvents.push_back("track:" + text.toStdString());
        if (onRunTrack) onRunTrack(text.toStdString());
    }
    void SetRunProgress(int position) override {
        runEvents.push_back("progress:" + std::to_string(position));
    }
    bool CancelRequested() override {
        ++cancelChecks;
        return cancel;
    }
    void EndRun() override { runEvents.push_back("end"); }
    void ScrollMapToTop() override { ++mapScrolls; }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const Message& m : messages)
            texts.push_back(m.text);
        return texts;
    }

};

}  // namespace morvane::test
