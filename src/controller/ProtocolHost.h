// What the controller protocol needs from the screen. The main window implements it;
// tests use a recording fake. No Qt Widgets here: the window decides how to show things.
#pragma once

#include <QString>

#include "ControllerCommands.h"
#include "model/UserQuestion.h"

namespace morvane {

// Its questions: the protocol's failures, each a box with an OK button.
class ProtocolHost : public UserAsker {
  public:
    // Check marks of the menu items "Дисковод (А:)" and "Дисковод (В:)".
    virtual void SetDriveMarks(bool driveA, bool driveB) = 0;
    // Stores the chosen drive in the setting Drive (and writes the settings file).
    virtual void StoreDriveSetting(Drive drive) = 0;
    // The controller's identification text, for the second status bar panel.
    virtual void ShowIdentification(const QString& text) = 0;
    // The device failed under the link and the port closed it (reason: the failing call).
    // The window shows the stopped link in its status bar; the message box comes from
    // the protocol.
    virtual void LinkFailed(const QString& reason) { (void)reason; }
};

}  // namespace morvane
