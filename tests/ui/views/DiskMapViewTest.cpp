#include "ui/views/DiskMapView.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <set>

#include "ViewsTestData.h"
#include "ui/views/MapCells.h"
#include "ui/views/MapLegend.h"

namespace morvane {
namespace {

using testdata::MakeDisk;
using testdata::PresentTrack;
using testdata::PutSector;

struct ScriptedHost : ImageEditHost {
    bool answer = true;
    int logCleared = 0;
    std::vector<std::string> messages;
    Answer Ask(const Question& q) override {
        messages.push_back(q.caption + "|" + q.text);
        if (q.buttons == Buttons::Ok) return Answer::Ok;
        return answer ? Answer::Yes : Answer::No;
    }
    void ClearAndShowLog() override { ++logCleared; }
};

bool IsLight(QRgb c) {
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
}
bool IsDark(QRgb c) {
    return qRed(c) < 70 && qGreen(c) < 70 && qBlue(c) < 70;
}

class DiskMapViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        view = std::make_unique<DiskMapView>(*disk);
        view->resize(840, 320);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        view->setEditHost(&host);
    }
    QImage Render() const { return view->viewport()->grab().toImage(); }
    // Pixels of the cell's inside (the tile's edge lines left out) matching pred.
    template <typename Pred>
    int CountInside(const QImage& image, int column, int row, Pred pred) const {
        const QRect r = view->cellRect(column, row).adjusted(1, 1, -1, -1);
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += pred(image.pixel(x, y)) ? 1 : 0;
        return n;
    }
    int CountColour(const QImage& image, int column, int row, QColor colour) const {
        return CountInside(image, column, row, [&](QRgb c) { return c == colour.rgb(); });
    }
    QRgb CellPixel(const QImage& image, int column, int row, int dx, int dy) const {
        const QRect r = view->cellRect(column, row);
        return image.pixel(r.left() + dx, r.top() + dy);
    }
    int InsideArea(int column) const { return (ColumnWidth(column) - 2) * (kMapRowHeight - 2); }

    std::unique_ptr<DiskImage> disk = MakeDisk();
    std::unique_ptr<DiskMapView> view;
    ScriptedHost host;
};

TEST_F(DiskMapViewTest, CarriesItsObjectNameAndGridSize) {
    EXPECT_EQ(view->objectName(), "zxd");
    EXPECT_FALSE(view->showDisabledSectors());
    EXPECT_EQ(view->cellRect(0, 0).size(), QSize(50, 14));
    EXPECT_EQ(view->cellRect(3, 0).size(), QSize(30, 14));
    EXPECT_EQ(view->verticalScrollBar()->maximum(), kMapRows - view->visibleRowCount());
}

TEST_F(DiskMapViewTest, TrackWithRawImageIsWhiteTextOnBlueTile) {
    PresentTrack(*disk, 7, 6250);
    view->ImageChanged();
    const QImage image = Render();
    const int blue = CountColour(image, 0, 7, Qt::blue);
    const int light = CountInside(image, 0, 7, IsLight);
    EXPECT_GT(blue, InsideArea(0) / 2);
    EXPECT_GT(light, 10) << "the T007 text";
    EXPECT_EQ(CountInside(image, 0, 7, IsDark), 0);
    // Raised edges: white top-left, black bottom-right.
    EXPECT_EQ(CellPixel(image, 0, 7, 0, 0), QColor(Qt::white).rgb());
    EXPECT_EQ(CellPixel(image, 0, 7, 49, 13), QColor(Qt::black).rgb());
}

TEST_F(DiskMapViewTest, TrackWithoutRawImageIsBlackTextOnYellowTile) {
    PresentTrack(*disk, 7);
    view->ImageChanged();
    const QImage image = Render();
    EXPECT_GT(CountColour(image, 0, 7, Qt::yellow), InsideArea(0) / 2);
    EXPECT_GT(CountInside(image, 0, 7, IsDark), 10);
    EXPECT_EQ(CountInside(image, 0, 7, IsLight), 0);
}

TEST_F(DiskMapViewTest, SectorTilesFollowDataState) {
    PresentTrack(*disk, 2);
    PutSector(*disk, 2, 0, 1, 256, false);
    PutSector(*disk, 2, 1, 2, 256, true);
    PutSector(*disk, 2, 2, 3, 0, false);
    view->ImageChanged();
    const QImage image = Render();
    EXPECT_GT(CountColour(image, 1, 2, Qt::red), InsideArea(1) / 2);
    EXPECT_GT(CountInside(image, 1, 2, IsDark), 5) << "the s01 text";
    EXPECT_GT(CountColour(image, 2, 2, QColor(0, 255, 0)), InsideArea(2) / 2);
    EXPECT_GT(CountColour(image, 3, 2, Qt::yellow), InsideArea(3) / 2);
    EXPECT_EQ(CountColour(image, 4, 2, Qt::yellow), 0) << "slot 3 is empty";
}

TEST_F(DiskMapViewTest, CellShownBeforeIsRepaintedInItsNewState) {
    PresentTrack(*disk, 2);
    PutSector(*disk, 2, 0, 1, 256, false);
    view->ImageChanged();
    ASSERT_GT(CountColour(Render(), 1, 2, Qt::red), InsideArea(1) / 2);
    disk->GetTrack(2)->GetSlot(0)->DataGood = kDataGood;
    view->SectorCellChanged(2, 0);
    const QImage image = Render();
    EXPECT_GT(CountColour(image, 1, 2, QColor(0, 255, 0)), InsideArea(1) / 2);
    EXPECT_EQ(CountColour(image, 1, 2, Qt::red), 0);
}

TEST_F(DiskMapViewTest, EmptyImageShowsOnlyBackgroundUnlessDisabledShown) {
    const QColor face = view->palette().color(QPalette::Button);
    view->clearFocus();  // no focus frame on the current cell
    QImage image = Render();
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            ASSERT_EQ(image.pixel(x, y), face.rgb()) << x << "," << y;
    view->setShowDisabledSectors(true);
    image = Render();
    for (int c : {0, 5, 25}) {
        EXPECT_EQ(CellPixel(image, c, 10, 0, 0), QColor(Qt::white).rgb()) << c;
        EXPECT_EQ(CellPixel(image, c, 10, ColumnWidth(c) - 1, 13), QColor(Qt::black).rgb()) << c;
        EXPECT_EQ(CountColour(image, c, 10, face), InsideArea(c)) << "no text in column " << c;
    }
}

TEST_F(DiskMapViewTest, ThirtySectorsShowOnlyTwentyFive) {
    PresentTrack(*disk, 1);
    for (std::uint8_t s = 0; s < 30; ++s)
        PutSector(*disk, 1, s, static_cast<std::uint8_t>(s + 1), 256, true);
    view->ImageChanged();
    const QImage image = Render();
    EXPECT_GT(CountColour(image, 25, 1, QColor(0, 255, 0)), 0);
    const QColor face = view->palette().color(QPalette::Button);
    const int past = view->cellRect(25, 1).right() + 3;
    ASSERT_LT(past, image.width());
    EXPECT_EQ(image.pixel(past, view->cellRect(25, 1).center().y()), face.rgb());
}

TEST_F(DiskMapViewTest, RedrawBelowVisibleRowsScrollsByOneRow) {
    const int visible = view->visibleRowCount();
    ASSERT_GT(visible, 5);
    EXPECT_EQ(view->topRow(), 0);
    disk->RedrawSectorCell(static_cast<std::uint8_t>(visible + 1), 0);  // two rows below
    EXPECT_EQ(view->topRow(), 1);
    disk->RedrawTrackCell(static_cast<std::uint8_t>(visible + 1));
    EXPECT_EQ(view->topRow(), 2);
    disk->RedrawTrackCell(3);  // above the top: no scrolling up
    EXPECT_EQ(view->topRow(), 2);
    disk->ClearImage();
    EXPECT_EQ(view->topRow(), 0);
}

TEST_F(DiskMapViewTest, ClickAndDoubleClickReportTheCell) {
    std::vector<std::pair<int, int>> clicks;
    std::vector<std::pair<int, int>> doubles;
    QObject::connect(view.get(), &DiskMapView::cellClicked,
                     [&](int c, int r) { clicks.emplace_back(c, r); });
    QObject::connect(view.get(), &DiskMapView::cellDoubleClicked,
                     [&](int c, int r) { doubles.emplace_back(c, r); });
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cellRect(3, 2).center());
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(3, 2));
    EXPECT_EQ(view->currentColumn(), 3);
    EXPECT_EQ(view->currentRow(), 2);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->cellRect(0, 5).center());
    ASSERT_EQ(doubles.size(), 1u);
    EXPECT_EQ(doubles[0], std::make_pair(0, 5));
}

TEST_F(DiskMapViewTest, ContextMenuRemembersPopupAndEnablesEntries) {
    PresentTrack(*disk, 4, 100);
    PutSector(*disk, 4, 0, 1, 256, true);
    std::vector<std::pair<int, int>> opened;
    QObject::connect(view.get(), &DiskMapView::contextPopupOpened,
                     [&](int c, int r) { opened.emplace_back(c, r); });
    view->prepareContextMenu(0, 4);
    EXPECT_EQ(view->popupPosition().column, 0);
    EXPECT_EQ(view->popupPosition().row, 4);
    EXPECT_EQ(view->currentRow(), 4);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(view->menuAction(MapMenuEntry::ReadRawTrack)->isEnabled());
    EXPECT_TRUE(view->menuAction(MapMenuEntry::SetBaseTrack)->isEnabled());
    EXPECT_FALSE(view->menuAction(MapMenuEntry::ReadSector)->isEnabled());
    EXPECT_EQ(view->menuAction(MapMenuEntry::ReadRawTrack)->text(), "Считать RAW дорожки");

    view->prepareContextMenu(-1, -1);
    EXPECT_EQ(view->popupPosition().column, -1);
    EXPECT_FALSE(view->menuAction(MapMenuEntry::ReadRawTrack)->isEnabled());
    EXPECT_EQ(opened.back(), std::make_pair(-1, -1));
}

// A right click delivered the way the window system does: to the viewport, in its
// coordinates.
void RightClickViewport(DiskMapView& view, QPoint pos) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view.viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view.viewport(), &event);
    view.contextMenu()->hide();
}

TEST_F(DiskMapViewTest, RightClickAtCellEdgesPicksThatCell) {
    ASSERT_GT(view->frameWidth(), 0) << "the shift to guard against is the frame's";
    struct Case {
        int column, row;
        QPoint (*corner)(const QRect&);
    };
    const Case cases[] = {
        {3, 5, [](const QRect& r) { return r.topLeft(); }},
        {3, 5, [](const QRect& r) { return r.bottomRight(); }},
        {0, 9, [](const QRect& r) { return r.topLeft(); }},
        {1, 0, [](const QRect& r) { return r.topLeft(); }},
        {7, 12, [](const QRect& r) { return QPoint(r.left(), r.bottom()); }},
    };
    for (const Case& c : cases) {
        RightClickViewport(*view, c.corner(view->cellRect(c.column, c.row)));
        EXPECT_EQ(view->popupPosition().column, c.column) << c.column << "," << c.row;
        EXPECT_EQ(view->popupPosition().row, c.row) << c.column << "," << c.row;
        EXPECT_EQ(view->currentRow(), c.row);
    }
}

TEST_F(DiskMapViewTest, MenuKeyOpensTheMenuForTheSelectedCell) {
    PresentTrack(*disk, 40);
    PutSector(*disk, 40, 8, 9, 256, true);
    view->setCurrentCell(9, 40);
    // What the window system sends for the Menu key: the widget's centre, keyboard reason.
    const QPoint centre = view->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, centre, view->mapToGlobal(centre));
    QApplication::sendEvent(view.get(), &event);
    EXPECT_TRUE(view->contextMenu()->isVisible());
    view->contextMenu()->hide();
    EXPECT_EQ(view->popupPosition().column, 9);
    EXPECT_EQ(view->popupPosition().row, 40);
    EXPECT_TRUE(view->menuAction(MapMenuEntry::ReadSector)->isEnabled());
}

TEST_F(DiskMapViewTest, UnchangedEntriesKeepTheirLastState) {
    PresentTrack(*disk, 4);
    PutSector(*disk, 4, 0, 1, 256, true);
    view->prepareContextMenu(2, 4);  // empty slot: "Добавить сектор" on
    view->prepareContextMenu(1, 4);  // present slot: left as it was
    EXPECT_TRUE(view->menuAction(MapMenuEntry::AddSector)->isEnabled());
    view->prepareContextMenu(-1, -1);
    view->prepareContextMenu(1, 4);
    EXPECT_FALSE(view->menuAction(MapMenuEntry::AddSector)->isEnabled());
}

TEST_F(DiskMapViewTest, DiskCommandsAreSignalledWithPopupPosition) {
    PresentTrack(*disk, 6, 100);
    PutSector(*disk, 6, 2, 3, 256, true);
    std::vector<std::tuple<MapMenuEntry, int, int>> commands;
    QObject::connect(view.get(), &DiskMapView::diskCommandRequested,
                     [&](MapMenuEntry e, int c, int r) { commands.emplace_back(e, c, r); });
    std::vector<std::pair<int, int>> edits;
    QObject::connect(view.get(), &DiskMapView::editSectorAddressRequested,
                     [&](int c, int r) { edits.emplace_back(c, r); });
    view->prepareContextMenu(0, 6);
    view->menuAction(MapMenuEntry::ReadRawTrack)->trigger();
    view->prepareContextMenu(3, 6);
    view->menuAction(MapMenuEntry::WriteSector)->trigger();
    view->menuAction(MapMenuEntry::EditSectorAddress)->trigger();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], std::make_tuple(MapMenuEntry::ReadRawTrack, 0, 6));
    EXPECT_EQ(commands[1], std::make_tuple(MapMenuEntry::WriteSector, 3, 6));
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0], std::make_pair(3, 6));
}

TEST_F(DiskMapViewTest, RemoveAndAddTrackActOnPopupPosition) {
    PresentTrack(*disk, 8, 100);
    PutSector(*disk, 8, 0, 1, 256, true);
    view->prepareContextMenu(0, 8);
    view->setCurrentCell(5, 30);  // the selection may move; the popup position stays
    view->menuAction(MapMenuEntry::RemoveTrack)->trigger();
    EXPECT_EQ(disk->GetTrack(8)->Present, 0);
    view->setTopRow(0);
    QImage image = Render();
    EXPECT_EQ(CountColour(image, 1, 8, QColor(0, 255, 0)), 0) << "removed track shows empty";
    EXPECT_EQ(disk->GetTrack(8)->GetSlot(0)->Present, kPresent) << "slots stay in the model";
    view->prepareContextMenu(0, 8);
    ASSERT_TRUE(view->menuAction(MapMenuEntry::AddTrack)->isEnabled());
    view->menuAction(MapMenuEntry::AddTrack)->trigger();
    EXPECT_EQ(disk->GetTrack(8)->Present, kPresent);
    image = Render();
    EXPECT_GT(CountColour(image, 1, 8, QColor(0, 255, 0)), 0);
}

TEST_F(DiskMapViewTest, RemoveSectorClearsLogThroughHost) {
    PresentTrack(*disk, 8);
    PutSector(*disk, 8, 1, 2, 256, true);
    view->prepareContextMenu(2, 8);
    view->menuAction(MapMenuEntry::RemoveSector)->trigger();
    EXPECT_EQ(host.logCleared, 1);
    EXPECT_EQ(disk->GetTrack(8)->GetSlot(1)->Present, 0);
}

TEST_F(DiskMapViewTest, ClearTrackAsksAndKeepsRawOnNo) {
    PresentTrack(*disk, 8, 500);
    view->prepareContextMenu(0, 8);
    host.answer = false;
    view->menuAction(MapMenuEntry::ClearTrack)->trigger();
    EXPECT_EQ(disk->GetTrack(8)->RawLength, 500);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "Очиска RAW дорожки!|Вы действительно хотите удалить данные дорожки?");
    host.answer = true;
    view->menuAction(MapMenuEntry::ClearTrack)->trigger();
    EXPECT_EQ(disk->GetTrack(8)->RawLength, 0);
    EXPECT_EQ(disk->GetTrack(8)->RawValid, 0);
    const QImage image = Render();
    EXPECT_GT(CountColour(image, 0, 8, Qt::yellow), 0) << "label turns to the no-raw colour";
}

TEST_F(DiskMapViewTest, SetBaseTrackReportsNewCaption) {
    PresentTrack(*disk, 12, 6000);
    QString caption;
    QObject::connect(view.get(), &DiskMapView::baseTemplateCaptionChanged,
                     [&](const QString& c) { caption = c; });
    view->prepareContextMenu(0, 12);
    view->menuAction(MapMenuEntry::SetBaseTrack)->trigger();
    EXPECT_EQ(disk->BaseTrack, 12);
    EXPECT_TRUE(disk->UseBaseTrack);
    EXPECT_EQ(caption, "Использовать базовый шаблон для всех дорожек (Трэк - 12)");
}

TEST_F(DiskMapViewTest, ClearTrackLogEmptiesTheTracksLog) {
    PresentTrack(*disk, 14);
    disk->GetTrack(14)->Log = {"a", "b"};
    view->prepareContextMenu(0, 14);
    ASSERT_TRUE(view->menuAction(MapMenuEntry::ClearTrackLog)->isEnabled());
    view->menuAction(MapMenuEntry::ClearTrackLog)->trigger();
    EXPECT_TRUE(disk->GetTrack(14)->Log.empty());
}

TEST_F(DiskMapViewTest, KeyboardMovesCurrentCellAndReportsIt) {
    std::vector<std::pair<int, int>> clicks;
    QObject::connect(view.get(), &DiskMapView::cellClicked,
                     [&](int c, int r) { clicks.emplace_back(c, r); });
    view->setCurrentCell(0, 0);
    QTest::keyClick(view.get(), Qt::Key_Right);
    QTest::keyClick(view.get(), Qt::Key_Down);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks.back(), std::make_pair(1, 1));
}

TEST(DiskMapObserver, ViewUnregistersOnDestruction) {
    auto disk = MakeDisk();
    {
        DiskMapView view(*disk);
        disk->RedrawTrackCell(3);
    }
    // These would reach the destroyed view if it had stayed registered (the sanitizer
    // build stops on that).
    disk->RedrawSectorCell(3, 0);
    disk->ClearImage();
    EXPECT_EQ(disk->GetTrack(3)->Number, 3);
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

// The map's menu opens the legend: one row per colour the map uses, each drawn as the
// map draws that cell, each with its own meaning.
TEST(MapLegendTest, MenuOpensOneRowPerColourOfTheMap) {
    DiskImage disk;
    DiskMapView map(disk);
    ASSERT_NE(map.legendAction(), nullptr);
    EXPECT_TRUE(map.contextMenu()->actions().contains(map.legendAction()));
    map.legendAction()->trigger();
    const auto* legend = map.findChild<MapLegend*>(QStringLiteral("MapLegend"));
    ASSERT_NE(legend, nullptr);
    EXPECT_TRUE(legend->isVisible());
    const std::vector<MapLegendRow> rows = MapLegendRows();
    std::set<MapTile> tiles;
    std::set<std::string> meanings;
    MapCellCache cache(map.palette().color(QPalette::Button));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        tiles.insert(rows[i].look.tile);
        meanings.insert(rows[i].meaning);
        const auto* swatch = legend->findChild<QLabel*>(QStringLiteral("legendCell%1").arg(i));
        ASSERT_NE(swatch, nullptr) << i;
        const QImage shown = swatch->pixmap().toImage();
        EXPECT_EQ(shown, cache.Cell(rows[i].look, shown.devicePixelRatio()).toImage()) << i;
        EXPECT_EQ(shown.pixelColor(2, shown.height() / 2), cache.Fill(rows[i].look.tile)) << i;
    }
    // Every tile the window shows (disabled ones are never switched on there).
    EXPECT_EQ(tiles, (std::set<MapTile>{MapTile::LabelRaw, MapTile::LabelNoRaw, MapTile::SectorGood,
                                        MapTile::SectorBad, MapTile::SectorHeaderOnly,
                                        MapTile::SectorVoted, MapTile::SectorBestGuess}));
    EXPECT_EQ(meanings.size(), rows.size());
}

}  // namespace
}  // namespace morvane
