#include "ui/shell/MenuRules.h"

#include "ui/shell/Texts.h"

namespace morvane {

ImageMenuEnabling ImageMenuRule(unsigned presentTracks) {
    const bool any = presentTracks > 0;
    return {any, any, any, any, any};
}

bool DiskMenuRule(bool linkActive, bool busy) {
    return linkActive && !busy;
}

ControllerMenuState ControllerMenuRule(bool linkActive, bool busy) {
    return {linkActive && !busy,
            linkActive ? QString::fromUtf8(kStopUsbCaption) : QString::fromUtf8(kStartUsbCaption),
            !busy, !busy};
}

QString LinkStatusText(bool wasActive, bool nowActive) {
    if (wasActive) return QString::fromUtf8(kUsbStoppedText);
    return nowActive ? QString::fromUtf8(kDeviceDescription) : QString::fromUtf8(kUsbNotFoundText);
}

}  // namespace morvane
