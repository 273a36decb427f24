// The viewer window "ZX Screen": a file from a disk image as a ZX Spectrum screen, as hex
// or as text. One pane shows at a time; each Show* call is modal. The Prepare* calls do
// everything but the modal run (tests and callers that show it themselves use them).
// The screen is shown at 1x to 4x ("Масштаб" in the picture's menu, keys 1-4, + and -),
// drawn in the display's own pixels so it stays sharp on a scaled display, and never
// larger than the screen the window is on can show whole (4x of a 1366 x 768 laptop's).
#pragma once

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "ui/views/HexView.h"
#include "ui/views/ZxScreen.h"

namespace morvane {

class ScreenViewer : public QDialog {
    Q_OBJECT

  public:
    explicit ScreenViewer(QWidget* parent = nullptr);

    void PrepareScreen(std::span<const std::uint8_t> screen);
    void PrepareHex(std::span<const std::uint8_t> bytes);
    void PrepareText(std::span<const std::uint8_t> bytes);
    void ShowScreen(std::span<const std::uint8_t> screen);
    void ShowHex(std::span<const std::uint8_t> bytes);
    void ShowText(std::span<const std::uint8_t> bytes);

    // The CP/M catalogue sets "Terminal" here; the font stays for later hex displays.
    void setHexFont(const QFont& font) { screenHex_->setFont(font); }

    QLabel* picture() const { return picture_; }
    const QImage& pictureImage() const { return image_; }
    HexView* hexView() const { return screenHex_; }
    QWidget* textPane() const { return textPane_; }
    QPlainTextEdit* memo() const { return textMemo_; }
    QAction* selectAllAction() const { return selectAll_; }
    QAction* copyAction() const { return copy_; }
    // Zoom 1..maxZoom() (others are brought into that range); the picture follows at once.
    void setZoom(int zoom);
    int zoom() const { return zoom_; }
    // The largest zoom at which the window fits the available area of its screen; the
    // items above it are disabled.
    int maxZoom() const;
    QAction* zoomAction(int zoom) const {
        return zoomActions_[static_cast<std::size_t>(ClampZxZoom(zoom) - 1)];
    }

  signals:
    void zoomChanged(int zoom);

  public slots:
    // "KOI-8 -> ALT": every byte of 0x80 and above through the table, line by line.
    void convertKoi8ToAlt();
    // "Шрифт": a font dialog preset with the memo's font.
    void chooseMemoFont();

  protected:
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowPicture();
    void MarkZoomItems();
    void ShowPictureMenu(const QPoint& pos);
    void ShowMemoMenu(const QPoint& pos);
    void RefreshMemo();
    void HidePanes();

    QLabel* picture_;
    QImage image_;  // the screen at 256 x 192; shown zoomed
    int zoom_ = kZxMinZoom;
    std::array<QAction*, kZxMaxZoom> zoomActions_{};
    HexView* screenHex_;
    QWidget* textPane_;
    QPlainTextEdit* textMemo_;
    QAction* selectAll_;
    QAction* copy_;
    std::vector<std::vector<std::uint8_t>> lines_;  // the text pane's bytes, in 866
};

}  // namespace morvane
