// Which main-menu items are enabled, decided from the state alone so tests need no window.
#pragma once

#include <QString>

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
// will do.
struct ControllerMenuState {
    bool drivesAndResetEnabled = false;
    QString startStopCaption;
};
ControllerMenuState ControllerMenuRule(bool linkActive);

// Status panel 0 after the start/stop command.
QString LinkStatusText(bool wasActive, bool nowActive);

}  // namespace morvane
