#include "ui/views/ScreenViewer.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "ui/views/OemText.h"
#include "ui/views/ZxScreen.h"

namespace morvane {
namespace {

std::vector<std::uint8_t> Screen(std::uint8_t bitmap, std::uint8_t attr) {
    std::vector<std::uint8_t> s(kZxScreenSize, attr);
    std::fill(s.begin(), s.begin() + kZxBitmapSize, bitmap);
    return s;
}

TEST(ZxScreenLayout, BitmapOffsetsFollowTheInterleave) {
    EXPECT_EQ(ZxBitmapOffset(0, 0), 0u);
    EXPECT_EQ(ZxBitmapOffset(1, 0), 0x100u);
    EXPECT_EQ(ZxBitmapOffset(8, 0), 0x20u);
    EXPECT_EQ(ZxBitmapOffset(64, 3), 0x803u);
    EXPECT_EQ(ZxBitmapOffset(191, 31), 6143u);
    EXPECT_EQ(ZxAttributeOffset(191, 31), 6911u);
}

TEST(ZxScreenPalette, PaperWhiteIsGrey228) {
    const QImage image = RenderZxScreen(Screen(0x00, 0x38));
    EXPECT_EQ(image.size(), QSize(256, 192));
    for (QPoint p : {QPoint(0, 0), QPoint(255, 191), QPoint(100, 77)})
        EXPECT_EQ(image.pixel(p), qRgb(228, 228, 228));
}

TEST(ZxScreenPalette, BrightInkAndPaper) {
    EXPECT_EQ(RenderZxScreen(Screen(0xFF, 0x47)).pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(RenderZxScreen(Screen(0x00, 0x47)).pixel(5, 5), qRgb(0, 0, 0));
}

TEST(ZxScreenPalette, FlashIsIgnoredBrightRedOnBlack) {
    const QImage image = RenderZxScreen(Screen(0xF0, 0xC2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(250, 88, 92));
    EXPECT_EQ(image.pixel(7, 0), qRgb(0, 0, 0));
}

TEST(ZxScreenPalette, PixelsLandWhereBitmapAndAttributesSay) {
    std::vector<std::uint8_t> s(kZxScreenSize, 0);
    s[ZxBitmapOffset(9, 2)] = 0x80;         // pixel (16, 9)
    s[ZxAttributeOffset(9, 2)] = 0x08 | 1;  // blue paper, blue ink
    s[ZxAttributeOffset(100, 30)] = 0x60;   // bright, paper 4 (green)
    const QImage image = RenderZxScreen(s);
    EXPECT_EQ(image.pixel(16, 9), qRgb(0, 82, 164));
    EXPECT_EQ(image.pixel(17, 9), qRgb(0, 82, 164));
    EXPECT_EQ(image.pixel(15, 9), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(245, 100), qRgb(83, 255, 83));
}

TEST(ZxScreenPalette, ShortInputCountsAsZeros) {
    const std::vector<std::uint8_t> s(100, 0xFF);
    const QImage image = RenderZxScreen(s);
    EXPECT_EQ(image.pixel(0, 191), qRgb(0, 0, 0));
}

TEST(Koi8ToAltTable, ConvertsAsTheTablesSay) {
    EXPECT_EQ(Koi8ToAlt(0xC1), 0xA0);  // small a
    EXPECT_EQ(Koi8ToAlt(0xE1), 0x80);  // capital A
    EXPECT_EQ(Koi8ToAlt(0xFF), 0x9A);  // capital hard sign
    EXPECT_EQ(Koi8ToAlt(0xA3), 0xD3);  // +0x30
    EXPECT_EQ(Koi8ToAlt(0x80), 0xB0);
    EXPECT_EQ(Koi8ToAlt(0xB3), 0xF3);  // +0x40
    for (int b = 0; b < 0x80; ++b)
        ASSERT_EQ(Koi8ToAlt(static_cast<std::uint8_t>(b)), b);
}

TEST(OemTextLines, SplitsAtCrLfCrAndLf) {
    const std::uint8_t text[] = {'a', '\r', '\n', 'b', '\n', 'c', '\r', 'd'};
    const auto lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], std::vector<std::uint8_t>{'b'});
    EXPECT_EQ(lines[3], std::vector<std::uint8_t>{'d'});
    const std::uint8_t alt[] = {0xA0, 'x', 0x01};
    EXPECT_EQ(Cp866ToText(alt), QString::fromUtf8("аx."));
}

class ScreenViewerTest : public ::testing::Test {
  protected:
    ScreenViewer viewer;
};

TEST_F(ScreenViewerTest, ScreenModeShowsOnlyThePicture) {
    viewer.PrepareScreen(Screen(0x00, 0x38));
    EXPECT_EQ(viewer.windowTitle(), "ZX Screen");
    EXPECT_EQ(viewer.size(), QSize(266, 221));
    EXPECT_FALSE(viewer.picture()->isHidden());
    EXPECT_TRUE(viewer.hexView()->isHidden());
    EXPECT_TRUE(viewer.textPane()->isHidden());
    EXPECT_EQ(viewer.pictureImage().pixel(10, 10), qRgb(228, 228, 228));
    EXPECT_EQ(viewer.picture()->pixmap().toImage().pixel(10, 10), qRgb(228, 228, 228));
}

TEST_F(ScreenViewerTest, HexAfterScreenShowsOnlyHex) {
    viewer.PrepareScreen(Screen(0x00, 0x38));
    const std::uint8_t bytes[] = {1, 2, 3};
    viewer.PrepareHex(bytes);
    EXPECT_EQ(viewer.windowTitle(), "Просмотр файла в HEX виде.");
    EXPECT_EQ(viewer.size(), viewer.hexView()->sizeHint());
    EXPECT_TRUE(viewer.picture()->isHidden());
    EXPECT_FALSE(viewer.hexView()->isHidden());
    EXPECT_EQ(viewer.hexView()->Size(), 3u);
    EXPECT_TRUE(viewer.hexView()->isReadOnly());
    viewer.PrepareScreen(Screen(0x00, 0x38));
    EXPECT_TRUE(viewer.hexView()->isHidden());
    EXPECT_EQ(viewer.windowTitle(), "ZX Screen");
}

TEST_F(ScreenViewerTest, HexWindowFitsWholeLinesAndCanBeResized) {
    const std::vector<std::uint8_t> bytes(4096, 0x41);
    viewer.PrepareHex(bytes);
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    EXPECT_EQ(viewer.hexView()->horizontalScrollBar()->maximum(), 0)
        << "offset, 16 bytes and their 16 characters fit";
    EXPECT_GE(viewer.hexView()->visibleLineCount(), 16);
    EXPECT_LT(viewer.minimumWidth(), viewer.maximumWidth());
    EXPECT_LT(viewer.minimumHeight(), viewer.maximumHeight());
    viewer.resize(viewer.width() + 100, viewer.height() + 80);
    EXPECT_EQ(viewer.hexView()->horizontalScrollBar()->maximum(), 0);
    viewer.close();
    EXPECT_EQ(viewer.minimumSize(), viewer.maximumSize()) << "fixed again once closed";
}

TEST_F(ScreenViewerTest, TextModeShowsLinesAndConvertsKoi8) {
    const std::uint8_t koi[] = {'O', 'K', ' ', 0xC1, '\r', '\n', 'l', 'i', 'n', 'e'};
    viewer.PrepareText(koi);
    EXPECT_EQ(viewer.windowTitle(), "Просмотр файла в TXT виде.");
    EXPECT_FALSE(viewer.textPane()->isHidden());
    EXPECT_TRUE(viewer.picture()->isHidden());
    EXPECT_TRUE(viewer.hexView()->isHidden());
    EXPECT_EQ(viewer.memo()->toPlainText(), QString::fromUtf8("OK ┴\nline"));  // 0xC1 in 866
    viewer.convertKoi8ToAlt();
    EXPECT_EQ(viewer.memo()->toPlainText(), QString::fromUtf8("OK а\nline"));
}

TEST_F(ScreenViewerTest, CopyEnabledOnlyWithSelection) {
    const std::uint8_t text[] = {'a', 'b', 'c'};
    viewer.PrepareText(text);
    EXPECT_FALSE(viewer.copyAction()->isEnabled());
    viewer.selectAllAction()->trigger();
    EXPECT_TRUE(viewer.copyAction()->isEnabled());
    EXPECT_EQ(viewer.selectAllAction()->text(), "Выделить все");
    EXPECT_EQ(viewer.copyAction()->text(), "Копировать");
}

TEST_F(ScreenViewerTest, ClosingHidesAllPanesAndFixesSize) {
    const std::uint8_t text[] = {'a'};
    QTimer::singleShot(0, &viewer, [this] {
        EXPECT_FALSE(viewer.textPane()->isHidden());
        viewer.resize(400, 300);
        viewer.close();
    });
    viewer.ShowText(text);
    EXPECT_TRUE(viewer.textPane()->isHidden());
    EXPECT_TRUE(viewer.picture()->isHidden());
    EXPECT_TRUE(viewer.hexView()->isHidden());
    EXPECT_EQ(viewer.minimumSize(), viewer.maximumSize());
}

struct ZoomCase {
    int zoom;
    qreal dpr;
    int side;  // display pixels a side of one screen pixel takes
};

// Every screen pixel becomes a whole square of display pixels at every zoom and scale,
// and the picture carries the display's ratio, so nothing scales or blurs it again.
TEST(ZxScreenZoom, EveryPixelBecomesAWholeSquare) {
    std::vector<std::uint8_t> screen = Screen(0xAA, 0x38);  // alternate ink and paper columns
    const QImage plain = RenderZxScreen(screen);
    const ZoomCase cases[] = {{1, 1.0, 1}, {2, 1.0, 2}, {4, 1.0, 4}, {1, 1.5, 2}, {2, 1.5, 3},
                              {3, 1.5, 5}, {1, 2.0, 2}, {4, 2.0, 8}, {0, 1.0, 1}, {9, 1.0, 4}};
    for (const ZoomCase& c : cases) {
        EXPECT_EQ(ZxPixelSide(c.zoom, c.dpr), c.side) << c.zoom << " at " << c.dpr;
        const QImage zoomed = ZoomedZxScreen(plain, c.zoom, c.dpr);
        EXPECT_EQ(zoomed.size(), QSize(256 * c.side, 192 * c.side));
        EXPECT_EQ(zoomed.devicePixelRatio(), c.dpr);
        for (QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(255, 191), QPoint(100, 77)})
            for (QPoint d : {QPoint(0, 0), QPoint(c.side - 1, c.side - 1)})
                EXPECT_EQ(zoomed.pixel(p * c.side + d), plain.pixel(p)) << c.zoom << " " << c.dpr;
    }
}

// Keys 1-4 (the menu's items), + and - change the zoom up to the largest that fits the
// screen; the window follows the picture. (ctest also runs this on a 1366 x 768 screen at
// the scales people set on it, and on a large screen where 4x fits.)
TEST_F(ScreenViewerTest, ZoomFromItsItemsAndKeys) {
    viewer.PrepareScreen(Screen(0x00, 0x38));
    const qreal dpr = viewer.devicePixelRatioF();
    const int most = viewer.maxZoom();
    std::vector<int> told;
    QObject::connect(&viewer, &ScreenViewer::zoomChanged, [&told](int z) { told.push_back(z); });
    for (int z = 1; z <= 4; ++z) {
        EXPECT_EQ(viewer.zoomAction(z)->shortcut(), QKeySequence(Qt::Key_0 + z));
        EXPECT_EQ(viewer.zoomAction(z)->isEnabled(), z <= most) << z;
    }
    const int three = std::min(3, most);
    viewer.zoomAction(4)->trigger();  // disabled when 4x does not fit: nothing changes
    EXPECT_EQ(viewer.zoom(), most == 4 ? 4 : 1);
    viewer.zoomAction(three)->trigger();
    EXPECT_EQ(viewer.zoom(), three);
    EXPECT_TRUE(viewer.zoomAction(three)->isChecked());
    EXPECT_EQ(viewer.zoomAction(1)->isChecked(), three == 1);
    const int side = ZxPixelSide(three, dpr);
    EXPECT_EQ(viewer.picture()->pixmap().size(), QSize(256 * side, 192 * side));
    EXPECT_EQ(viewer.size(), viewer.picture()->size() + QSize(10, 29));
    QTest::keyClick(&viewer, Qt::Key_Plus);
    QTest::keyClick(&viewer, Qt::Key_Plus);  // stays at the largest
    EXPECT_EQ(viewer.zoom(), std::min(4, most));
    QTest::keyClick(&viewer, Qt::Key_Minus);
    EXPECT_EQ(viewer.zoom(), std::max(1, std::min(4, most) - 1));
    viewer.setZoom(1);
    const QSize one = QSize(256, 192) * ZxPixelSide(1, dpr) / dpr;
    EXPECT_EQ(viewer.size(), one + QSize(10, 29));
    std::vector<int> expected;  // a step that leaves the zoom as it was tells nothing
    int previous = 1;
    for (int z :
         {most == 4 ? 4 : 1, three, std::min(4, most), std::max(1, std::min(4, most) - 1), 1}) {
        if (z != previous) expected.push_back(z);
        previous = z;
    }
    EXPECT_EQ(told, expected);
}

// At every zoom asked for, by item or key, the window with its title bar and borders lies
// inside the screen's available area.
TEST_F(ScreenViewerTest, ZoomedWindowStaysOnTheScreen) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QMargins frame(4, 30, 4, 4);
    viewer.PrepareScreen(Screen(0x00, 0x38));
    for (int z = 1; z <= 4; ++z) {
        viewer.zoomAction(z)->trigger();
        QTest::keyClick(&viewer, static_cast<Qt::Key>(Qt::Key_0 + z));
        viewer.setZoom(z);
        const QSize outer = viewer.size().grownBy(frame);
        EXPECT_TRUE(outer.width() <= available.width() && outer.height() <= available.height())
            << "zoom " << z << ": " << outer.width() << "x" << outer.height() << " on "
            << available.width() << "x" << available.height();
    }
}

struct FitCase {
    int width, height;
    qreal dpr;
    int zoom;
};

// The largest zoom whose picture fits the room left for it, at the display's scale.
TEST(ZxScreenZoom, LargestZoomThatFitsTheRoom) {
    const FitCase cases[] = {
        {1356, 700, 1.0, 3},  // 1366 x 768 less a task bar and a title bar
        {1356, 800, 1.0, 4}, {1024, 768, 1.0, 4}, {1023, 768, 1.0, 3}, {900, 500, 1.0, 2},
        {900, 500, 1.5, 2},  {673, 330, 2.0, 1},  {100, 100, 1.0, 1},
    };
    for (const FitCase& c : cases)
        EXPECT_EQ(LargestFittingZxZoom(QSize(c.width, c.height), c.dpr), c.zoom)
            << c.width << "x" << c.height << " at " << c.dpr;
}

}  // namespace
}  // namespace morvane
