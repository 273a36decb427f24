#include "ui/views/MapCellCache.h"

#include <gtest/gtest.h>
#include <QImage>

namespace morvane {
namespace {

const QColor kFace(240, 240, 240);

MapCellLook Look(MapTile tile, const char* text, bool whiteText = false) {
    return MapCellLook{tile, text, whiteText};
}

int CountColour(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    return n;
}

TEST(MapCellCache, SameLookIsPaintedOnceAndReused) {
    MapCellCache cache(kFace);
    const qint64 first = cache.Cell(Look(MapTile::SectorGood, "s01"), 1).cacheKey();
    EXPECT_EQ(cache.Cell(Look(MapTile::SectorGood, "s01"), 1).cacheKey(), first);
    EXPECT_EQ(cache.Size(), 1u);
}

struct DistinctLooks {
    MapCellLook a;
    MapCellLook b;
};

class MapCellCacheDistinct : public ::testing::TestWithParam<DistinctLooks> {};

TEST_P(MapCellCacheDistinct, LooksDifferingInOnePartGetTheirOwnPictures) {
    MapCellCache cache(kFace);
    const QImage a = cache.Cell(GetParam().a, 1).toImage();
    const QImage b = cache.Cell(GetParam().b, 1).toImage();
    EXPECT_EQ(cache.Size(), 2u);
    EXPECT_NE(a, b);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, MapCellCacheDistinct,
    ::testing::Values(
        DistinctLooks{Look(MapTile::SectorGood, "s01"), Look(MapTile::SectorBad, "s01")},
        DistinctLooks{Look(MapTile::SectorGood, "s01"), Look(MapTile::SectorGood, "s02")},
        DistinctLooks{Look(MapTile::LabelRaw, "T001", true), Look(MapTile::LabelRaw, "T001")},
        DistinctLooks{Look(MapTile::SectorDisabled, ""), Look(MapTile::SectorHeaderOnly, "")}));

TEST(MapCellCache, BackgroundOnlyCellHasNoPicture) {
    MapCellCache cache(kFace);
    EXPECT_TRUE(cache.Cell(Look(MapTile::None, ""), 1).isNull());
    EXPECT_EQ(cache.Size(), 0u);
}

TEST(MapCellCache, PictureIsTheTileWithItsLabel) {
    MapCellCache cache(kFace);
    const QImage cell = cache.Cell(Look(MapTile::SectorBad, "s07"), 1).toImage();
    ASSERT_EQ(cell.size(), QSize(kMapSectorWidth, kMapRowHeight));
    EXPECT_EQ(cell.pixel(0, 0), QColor(Qt::white).rgb());
    EXPECT_EQ(cell.pixel(kMapSectorWidth - 1, kMapRowHeight - 1), QColor(Qt::black).rgb());
    const int inside = (kMapSectorWidth - 2) * (kMapRowHeight - 2);
    const int red = CountColour(cell, Qt::red);
    EXPECT_GT(red, inside / 2);
    EXPECT_LT(red, inside) << "the label covers part of the tile";
}

TEST(MapCellCache, PicturesFollowThePixelRatioOfTheDevice) {
    MapCellCache cache(kFace);
    cache.Cell(Look(MapTile::SectorGood, "s01"), 1);
    const QPixmap& sharp = cache.Cell(Look(MapTile::SectorGood, "s01"), 2);
    EXPECT_EQ(sharp.size(), QSize(2 * kMapSectorWidth, 2 * kMapRowHeight));
    EXPECT_EQ(sharp.devicePixelRatio(), 2);
    EXPECT_EQ(cache.Size(), 1u) << "pictures of the other ratio are dropped";
}

// At 1, 1.5 and 2 device pixels per pixel a tile is drawn in the screen's pixels: the
// picture has the screen's resolution, and holds only the fill and the two edge colours
// (a scaled 1x bitmap would blend them), with edges a whole number of pixels wide.
TEST(MapCellCache, TilesAreSharpAtFractionalAndDoubleScale) {
    MapCellCache cache(kFace);
    const QSize base = cache.Cell(Look(MapTile::SectorGood, ""), 1).size();
    for (const qreal dpr : {1.0, 1.5, 2.0}) {
        const QPixmap& cell = cache.Cell(Look(MapTile::SectorGood, ""), dpr);
        EXPECT_EQ(cell.devicePixelRatio(), dpr);
        EXPECT_EQ(cell.size(), QSize(qRound(base.width() * dpr), qRound(base.height() * dpr)));
        const QImage image = cell.toImage();
        const int all = image.width() * image.height();
        EXPECT_EQ(CountColour(image, Qt::white) + CountColour(image, Qt::black) +
                      CountColour(image, QColor(0, 255, 0)),
                  all)
            << dpr;
        const int line = qRound(dpr);
        EXPECT_EQ(image.pixelColor(line - 1, line - 1), QColor(Qt::white)) << dpr;
        EXPECT_EQ(image.pixelColor(line, line), QColor(0, 255, 0)) << dpr;
        EXPECT_EQ(image.pixelColor(image.width() - line, image.height() / 2), QColor(Qt::black))
            << dpr;
    }
}

}  // namespace
}  // namespace morvane
