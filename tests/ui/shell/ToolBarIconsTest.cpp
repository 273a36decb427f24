#include "ui/shell/ToolBarIcons.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace morvane {
namespace {

QImage Picture(ToolPicture picture, QIcon::Mode mode = QIcon::Normal) {
    return MakeToolIcon(picture).pixmap(QSize(24, 24), mode).toImage();
}

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 255;
    return count;
}

class ToolBarIconsTest : public ::testing::TestWithParam<ToolPicture> {};

TEST_P(ToolBarIconsTest, DrawsOnATransparentGround) {
    const QImage image = Picture(GetParam());
    ASSERT_EQ(image.size(), QSize(24, 24));
    EXPECT_EQ(qAlpha(image.pixel(0, 23)), 0);
    EXPECT_EQ(qAlpha(image.pixel(23, 23)), 0);
    EXPECT_GT(OpaquePixels(image), 20);
}

TEST_P(ToolBarIconsTest, DisabledPictureDiffers) {
    EXPECT_NE(Picture(GetParam()), Picture(GetParam(), QIcon::Disabled));
}

TEST_P(ToolBarIconsTest, HighDensityPixmapHasAllItsPixels) {
    const QPixmap pixmap = MakeToolIcon(GetParam()).pixmap(QSize(24, 24), 2.0);
    EXPECT_EQ(pixmap.size(), QSize(48, 48));
    EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), 2.0);
    EXPECT_GT(OpaquePixels(pixmap.toImage()), 4 * 20);
}

INSTANTIATE_TEST_SUITE_P(EveryPicture, ToolBarIconsTest,
                         ::testing::Values(ToolPicture::Save, ToolPicture::SaveUdi,
                                           ToolPicture::Clear, ToolPicture::ScanAndRead,
                                           ToolPicture::MoreRight, ToolPicture::MoreDown));

TEST(ToolBarIconsDistinct, EveryPictureIsItsOwn) {
    const ToolPicture all[] = {ToolPicture::Save,      ToolPicture::SaveUdi,
                               ToolPicture::Clear,     ToolPicture::ScanAndRead,
                               ToolPicture::MoreRight, ToolPicture::MoreDown};
    for (ToolPicture a : all) {
        for (ToolPicture b : all) {
            if (a == b) continue;
            EXPECT_NE(Picture(a), Picture(b));
        }
    }
}

}  // namespace
}  // namespace morvane
