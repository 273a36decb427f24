// Which main-menu items are enabled, decided from the state alone so tests need no window.
#pragma once

#include <QString>

#include "controller/DeviceErrorText.h"

namespace morvane {

// "Образ": the items that need an image.
struct ImageMenuEnabling {
    bool save = false;              // "Сохранить"
    bool saveAs = false;            // "Сохранить как..."
    bool viewZxCatalogue = false;   // "Просмотреть ZX каталог"
    bool viewCpmCatalogue = false;  // "Просмотреть CP/M каталог"
    bool clearImage = false;        // "Очистить образ"
};
ImageMenuEnabling ImageMenuRule(unsigned presentTracks);

// "Диск": every disk command needs the link, and none starts while another exchange or
// operation holds the controller (busy).
bool DiskMenuRule(bool linkActive, bool busy = false);

// "Контроллер": drive items and the reset need the link; the start/stop item says what it
// will do. While the controller is busy no item that talks to it or changes the link is
// enabled: a command started from a wait's event loop would purge that exchange's records.
struct ControllerMenuState {
    bool drivesAndResetEnabled = false;
    QString startStopCaption;
    bool startStopEnabled = true;
    bool virtualItemsEnabled = true;  // "Виртуальный контроллер" and its drive's image
};
ControllerMenuState ControllerMenuRule(bool linkActive, bool busy = false);

// Status panel 0 after the start/stop command; failure says why a start left the link
// closed.
QString LinkStatusText(bool wasActive, bool nowActive, StartFailure failure = StartFailure::None);
// What the status bar adds after a start that failed: for want of permission, the udev
// rule and the group; nothing otherwise.
QString LinkStartHint(bool wasActive, bool nowActive, StartFailure failure);

}  // namespace morvane
