#include "CliOperationHost.h"

#include <ostream>

namespace morvane {

namespace {

constexpr int kBarWidth = 40;

}  // namespace

void CliOperationHost::AppendLog(const QString& line) {
    if (!verbose_) return;
    EndBar();
    err_ << line.toStdString() << "\n";
}

Answer CliOperationHost::Ask(const Question& question) {
    EndBar();
    lastMessage_ = question.text;
    err_ << "morvane-img: " << question.caption << " " << lastMessage_ << "\n";
    switch (question.buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::AbortRetryIgnore:
            return Answer::Ignore;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            break;
    }
    return Answer::No;
}

void CliOperationHost::BeginRun(const QString& caption, int maximum) {
    maximum_ = maximum;
    position_ = 0;
    cancel_ = false;
    err_ << caption.toStdString() << "\n";
}

void CliOperationHost::SetRunTrack(const QString& text) {
    track_ = text.toStdString();
    if (terminal_) DrawBar();
}

void CliOperationHost::SetRunProgress(int position) {
    position_ = position;
    if (terminal_) {
        DrawBar();
    } else {
        err_ << "track " << track_ << " read (" << position_ << "/" << maximum_ << ")\n";
    }
}

void CliOperationHost::EndRun() {
    if (terminal_ && barShown_) {
        DrawBar();
        EndBar();
    }
}

void CliOperationHost::ShowIdentification(const QString& text) {
    if (verbose_) err_ << "controller: " << text.toStdString() << "\n";
}

void CliOperationHost::DrawBar() {
    const int filled = maximum_ > 0 ? position_ * kBarWidth / maximum_ : 0;
    err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << position_
         << "/" << maximum_ << " track " << track_ << "   " << std::flush;
    barShown_ = true;
}

void CliOperationHost::EndBar() {
    if (!barShown_) return;
    err_ << "\n";
    barShown_ = false;
}

}  // namespace morvane
