#include "ui/shell/WindowPlacement.h"

#include <algorithm>

namespace morvane {

QRect FirstWindowGeometry(QSize wanted, QMargins frame, const QRect& available) {
    const int roomW = available.width() - frame.left() - frame.right();
    const int roomH = available.height() - frame.top() - frame.bottom();
    const int w = std::max(1, std::min(wanted.width(), roomW));
    const int h = std::max(1, std::min(wanted.height(), roomH));
    const int x = available.x() + frame.left() + std::max(0, (roomW - w) / 2);
    const int y = available.y() + frame.top() + std::max(0, (roomH - h) / 2);
    return {x, y, w, h};
}

}  // namespace morvane
