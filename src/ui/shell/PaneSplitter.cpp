#include "ui/shell/PaneSplitter.h"

#include <algorithm>

namespace morvane {

int MapPaneWidth(int available, int leftWanted, int mapNatural, int mapMinimum) {
    const int room = available - leftWanted;
    return std::max(mapMinimum, std::min(mapNatural, room));
}

PaneSplitter::PaneSplitter(QWidget* left, QWidget* map, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("spMain"));
    setChildrenCollapsible(false);
    addWidget(left);
    addWidget(map);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
    // Only a drag of the handle emits this; the splitter's own sizing does not.
    connect(this, &QSplitter::splitterMoved, this, [this] { userMoved_ = true; });
}

void PaneSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    if (!userMoved_) FitMapPane();
}

void PaneSplitter::FitMapPane() {
    if (count() != 2) return;
    const int available = width() - handleWidth();
    const int map = MapPaneWidth(available, widget(0)->sizeHint().width(),
                                 widget(1)->sizeHint().width(), widget(1)->minimumWidth());
    setSizes({available - map, map});
}

}  // namespace morvane
