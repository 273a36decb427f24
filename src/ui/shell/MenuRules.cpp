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

QString LinkStatusText(bool wasActive, bool nowActive, StartFailure failure) {
    if (wasActive) return QString::fromUtf8(kUsbStoppedText);
    if (nowActive) return QString::fromUtf8(kDeviceDescription);
    return failure == StartFailure::NoPermission ? QString::fromUtf8(kUsbNoPermissionText)
                                                 : QString::fromUtf8(kUsbNotFoundText);
}

QString LinkStartHint(bool wasActive, bool nowActive, StartFailure failure) {
    if (wasActive || nowActive || failure != StartFailure::NoPermission) return {};
    return QString::fromStdString(NoPermissionHint());
}

}  // namespace morvane
