// A ProtocolHost that records what the protocol would show.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controller/ProtocolHost.h"

namespace morvane::test {

struct RecordingHost : ProtocolHost {
    struct Message {
        std::string text;
        std::string caption;
        bool operator==(const Message&) const = default;
    };
    std::vector<Message> messages;
    std::vector<std::pair<bool, bool>> marks;
    std::optional<Drive> storedDrive;
    std::vector<std::string> identifications;
    std::vector<std::string> linkFailures;

    Answer Ask(const Question& q) override {
        messages.push_back({q.text, q.caption});
        return Answer::Ok;
    }
    void SetDriveMarks(bool driveA, bool driveB) override { marks.emplace_back(driveA, driveB); }
    void StoreDriveSetting(Drive drive) override { storedDrive = drive; }
    void ShowIdentification(const QString& text) override {
        identifications.push_back(text.toStdString());
    }
    void LinkFailed(const QString& reason) override {
        linkFailures.push_back(reason.toStdString());
    }
};

}  // namespace morvane::test
