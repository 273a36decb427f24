// The operation host of the command line: progress on stderr (a bar on a terminal, a line
// per track otherwise), the log lines with --verbose, message boxes as lines on stderr.
// Nobody answers questions here: a read error is skipped (Ignore), Yes/No is No.
#pragma once

#include <QString>

#include <iosfwd>
#include <string>

#include "controller/ProtocolHost.h"
#include "operations/OperationHost.h"

namespace morvane {

class CliOperationHost : public OperationHost, public ProtocolHost {
  public:
    CliOperationHost(std::ostream& err, bool terminal, bool verbose)
        : err_(err), terminal_(terminal), verbose_(verbose) {}

    // The last message shown: the reason a run stopped.
    const std::string& LastMessage() const { return lastMessage_; }
    void RequestCancel() { cancel_ = true; }

    // --- OperationHost
    void ClearLog() override {}
    void AppendLog(const QString& line) override;
    void ShowLogPage() override {}
    void SetTrackLabel(const QString&) override {}
    void SetSectorLabel(const QString&) override {}
    void ShowBytes(std::span<const std::uint8_t>) override {}
    void BeginRun(const QString& caption, int maximum) override;
    void SetRunTrack(const QString& text) override;
    void SetRunProgress(int position) override;
    bool CancelRequested() override { return cancel_; }
    void EndRun() override;
    void ScrollMapToTop() override {}

    // --- OperationHost and ProtocolHost: a line on stderr; a read error is skipped
    // (Ignore), any other question answered No.
    Answer Ask(const Question& question) override;

    // --- ProtocolHost
    void SetDriveMarks(bool, bool) override {}
    void StoreDriveSetting(Drive) override {}
    void ShowIdentification(const QString& text) override;

  private:
    void DrawBar();
    void EndBar();

    std::ostream& err_;
    bool terminal_;
    bool verbose_;
    bool cancel_ = false;
    bool barShown_ = false;
    int maximum_ = 0;
    int position_ = 0;
    std::string track_;
    std::string lastMessage_;
};

}  // namespace morvane
