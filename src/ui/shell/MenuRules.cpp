#include "ui/shell/MenuRules.h"

#include "ui/shell/Texts.h"
#include "ui/views/QtText.h"
#include "ui/views/ShownText.h"

namespace morvane {

ImageMenuEnabling ImageMenuRule(unsigned presentTracks) {
    const bool any = presentTracks > 0;
    return {any, any, any, any, any};
}

bool DiskMenuRule(bool linkActive, bool busy) {
    return linkActive && !busy;
}

ControllerMenuState ControllerMenuRule(bool linkActive, bool busy) {
    return {linkActive && !busy, linkActive ? UiText(kStopUsbCaption) : UiText(kStartUsbCaption),
            !busy, !busy};
}

QString LinkStatusText(bool wasActive, bool nowActive, StartFailure failure) {
    if (wasActive) return UiText(kUsbStoppedText);
    if (nowActive) return QString::fromUtf8(kDeviceDescription);
    return failure == StartFailure::NoPermission ? ShownText(kUsbNoPermissionText)
                                                 : UiText(kUsbNotFoundText);
}

QString LinkStartHint(bool wasActive, bool nowActive, StartFailure failure) {
    if (wasActive || nowActive || failure != StartFailure::NoPermission) return {};
    return ShownText(NoPermissionHint());
}

}  // namespace morvane
