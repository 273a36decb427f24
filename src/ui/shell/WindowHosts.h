// The main window as the image edits, the image-file commands and the controller protocol
// see it: one small adapter per interface over the window's widgets and its asker, owned
// by the window, so the window itself stays a plain QMainWindow.
#pragma once

#include <functional>

#include "controller/ProtocolHost.h"
#include "model/ImageEditing.h"
#include "ui/shell/ImageFileCommands.h"

namespace morvane {

struct MainActions;
struct WindowViews;
class SettingsStore;
struct Settings;

// The map's and the sector view's edits: the log list to clear, the boxes.
class WindowImageEditHost : public ImageEditHost {
  public:
    WindowImageEditHost(const WindowViews& views, UserAsker& asker)
        : views_(views), asker_(asker) {}
    Answer Ask(const Question& question) override { return asker_.Ask(question); }
    void ClearAndShowLog() override;

  private:
    const WindowViews& views_;
    UserAsker& asker_;
};

// The load and save commands: the log, the image-file status panel, the map and the
// comment page.
class WindowImageCommandHost : public ImageCommandHost {
  public:
    WindowImageCommandHost(const WindowViews& views, UserAsker& asker)
        : views_(views), asker_(asker) {}
    Answer Ask(const Question& question) override { return asker_.Ask(question); }
    void ClearLog() override;
    void AddLogLine(const QString& line) override;
    void SetImageStatus(const QString& text) override;
    void ShowMapFromTop() override;
    void RefreshSelectedCell() override;
    void SetCommentLines(const QStringList& lines) override;
    void ShowCommentPage() override;
    void RereadZxCatalogue() override {}

  private:
    const WindowViews& views_;
    UserAsker& asker_;
};

// The controller protocol: the drive items' marks, the Drive setting, the status panels.
class WindowProtocolHost : public ProtocolHost {
  public:
    // linkFailed: what else the window does when the device fails under the link.
    WindowProtocolHost(const WindowViews& views, UserAsker& asker, const MainActions& actions,
                       Settings& settings, SettingsStore& store, std::function<void()> linkFailed)
        : views_(views),
          asker_(asker),
          actions_(actions),
          settings_(settings),
          store_(store),
          linkFailed_(std::move(linkFailed)) {}
    Answer Ask(const Question& question) override { return asker_.Ask(question); }
    void SetDriveMarks(bool driveA, bool driveB) override;
    void StoreDriveSetting(Drive drive) override;
    void ShowIdentification(const QString& text) override;
    void LinkFailed(const QString& reason) override;

  private:
    const WindowViews& views_;
    UserAsker& asker_;
    const MainActions& actions_;
    Settings& settings_;
    SettingsStore& store_;
    std::function<void()> linkFailed_;
};

}  // namespace morvane
