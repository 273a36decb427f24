// The split between the sector view (left) and the disk map (right). The map pane gets
// its natural width, every column of the map, as far as the window has room for it beside
// the width the sector view wants; the sector view takes the rest. Once the user drags the
// handle, that split is kept and window resizes go to the sector view.
#pragma once

#include <QSplitter>

namespace morvane {

// Width of the map pane in a splitter `available` pixels wide (handle excluded).
int MapPaneWidth(int available, int leftWanted, int mapNatural, int mapMinimum);

class PaneSplitter : public QSplitter {
    Q_OBJECT

  public:
    PaneSplitter(QWidget* left, QWidget* map, QWidget* parent = nullptr);
    bool userMoved() const { return userMoved_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FitMapPane();

    bool userMoved_ = false;
};

}  // namespace morvane
