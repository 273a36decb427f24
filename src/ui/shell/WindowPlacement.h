// Where the first main window goes: the size the layout was drawn for, cut to the screen's
// available area (a 1366 x 768 laptop with its panel keeps the status bar and the bottom of
// the log on screen), and centred in it.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace morvane {

// The size the window's parts were laid out for on a large screen.
inline constexpr QSize kPreferredMainWindowSize{1270, 860};
// What a window manager usually adds around a window (title bar, borders), counted before
// the window is shown, when its real frame is not known yet.
inline constexpr QMargins kTypicalWindowFrame{4, 30, 4, 4};

// The client-area geometry: at most wanted, so that with the frame around it the window
// lies inside available; centred there.
QRect FirstWindowGeometry(QSize wanted, QMargins frame, const QRect& available);

}  // namespace morvane
