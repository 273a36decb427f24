// The main window's map and sector view together: the split between them, the labels
// above the hex view, image edits from the map's menu, and keyboard use.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <set>

#include "NoDeviceDriver.h"
#include "support/ScriptedAsker.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/PaneSplitter.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/HexView.h"
#include "ui/views/MapCells.h"
#include "ui/views/SectorView.h"

namespace morvane {
namespace {

using QuietDialogs = test::ScriptedAsker;

class MainWindowViewsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainWindowOptions o;
        o.iniPath = dir.filePath(QStringLiteral("Morvane.ini"));
        o.programFolder = dir.path();
        o.dialogs = dialogs;
        o.chooser = [this](const FileDialogRequest& r) {
            requests.push_back(r);
            if (answers.empty()) return QString();
            QString a = answers.front();
            answers.pop_front();
            return a;
        };
        o.hardwareDriver = [] { return std::make_unique<test::NoDeviceDriver>(); };
        o.raisePriority = false;
        window = std::make_unique<MainWindow>(std::move(o));
    }
    void ShowAt(int width, int height) {
        window->resize(width, height);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    // A present track with one sector of `fill` bytes in slot `slot` (256 bytes, N = 1).
    SectorSlot& Sector(std::uint8_t track, std::uint8_t slot, std::uint8_t fill) {
        Track& t = *window->Disk().GetTrack(track);
        t.Present = kPresent;
        SectorSlot& s = *t.GetSlot(slot);
        s.Present = kPresent;
        s.Sector = static_cast<std::uint8_t>(slot + 1);
        s.SizeCode = 1;
        s.DataLength = 256;
        s.DataGood = kDataGood;
        s.Data.fill(fill);
        t.CountSectors();
        return s;
    }
    HexView* Hex() const { return window->Sectors()->hexView(); }
    QString Label(const char* name) const {
        return window->findChild<QLabel*>(QLatin1String(name))->text();
    }
    void RunMapEntry(int column, int row, MapMenuEntry entry) {
        window->Map()->prepareContextMenu(column, row);
        window->Map()->menuAction(entry)->trigger();
    }

    QTemporaryDir dir;
    std::shared_ptr<QuietDialogs> dialogs = std::make_shared<QuietDialogs>();
    std::deque<QString> answers;
    std::vector<FileDialogRequest> requests;
    std::unique_ptr<MainWindow> window;
};

// --- the split between the sector view and the map

int MapColumnsShown(const DiskMapView& map) {
    int columns = 0;
    while (columns < kMapColumns && ColumnLeft(columns + 1) <= map.viewport()->width())
        ++columns;
    return columns;
}

TEST(MapPaneWidth, NaturalWhenThereIsRoomElseWhatIsLeftNeverBelowTheMinimum) {
    const struct {
        int available, leftWanted, natural, minimum, expected;
    } cases[] = {
        {1900, 700, 817, 350, 817},  // room for both
        {1356, 700, 817, 350, 656},  // the map gives way
        {900, 700, 817, 350, 350},   // never below its minimum
        {1517, 700, 817, 350, 817},  // exactly enough
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapPaneWidth(c.available, c.leftWanted, c.natural, c.minimum), c.expected)
            << c.available;
}

TEST_F(MainWindowViewsTest, At1366x768TheMapShowsSixteenSectorsUnscrolled) {
    ShowAt(1366, 768);
    EXPECT_GE(MapColumnsShown(*window->Map()), 17) << "label and 16 sectors";
    EXPECT_EQ(window->Map()->leftColumn(), 0);
    EXPECT_EQ(Hex()->horizontalScrollBar()->maximum(), 0) << "a whole hex line still fits";
}

TEST_F(MainWindowViewsTest, AWideWindowGivesTheMapItsNaturalWidth) {
    ShowAt(1900, 900);
    EXPECT_EQ(MapColumnsShown(*window->Map()), kMapColumns);
    EXPECT_EQ(window->Map()->horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(window->Map()->viewport()->width(), ColumnLeft(kMapColumns) + 10)
        << "the extra width goes to the sector view";
}

TEST_F(MainWindowViewsTest, TheUserMovesTheSplitAndItStays) {
    ShowAt(1366, 768);
    auto* splitter = window->findChild<QSplitter*>(QStringLiteral("spMain"));
    ASSERT_NE(splitter, nullptr);
    ASSERT_EQ(splitter->count(), 2);
    QSplitterHandle* handle = splitter->handle(1);
    const int mapBefore = splitter->sizes()[1];
    const QPoint from = handle->rect().center();
    const QPoint to = from + QPoint(150, 0);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, handle->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QApplication::sendEvent(handle, &e);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    const int mapMoved = splitter->sizes()[1];
    EXPECT_LT(mapMoved, mapBefore - 100);
    window->resize(1400, 768);
    QApplication::processEvents();
    EXPECT_LT(splitter->sizes()[1], mapBefore - 60) << "a resize keeps the user's split";
}

// --- the labels above the hex view

TEST_F(MainWindowViewsTest, LabelsShowTheDataCrcAndTheCursorOffset) {
    Sector(4, 0, 0x00);
    Sector(4, 1, 0xE5);
    window->Sectors()->showCell(1, 4);
    // A1 A1 A1 FB and 256 zero bytes.
    EXPECT_EQ(Label("lbDataCrc"), QStringLiteral("CRC - #E122"));
    EXPECT_EQ(Label("lbOffset"), QStringLiteral("#0000"));
    window->Sectors()->showCell(2, 4);
    EXPECT_NE(Label("lbDataCrc"), QStringLiteral("CRC - #E122"));
    Hex()->setCursorPosition(0x11);
    EXPECT_EQ(Label("lbOffset"), QStringLiteral("#0011"));
    QTest::keyClick(Hex(), Qt::Key_Down);
    EXPECT_EQ(Label("lbOffset"), QStringLiteral("#0021"));
    window->Sectors()->showCell(0, 4);  // a track label has no data field
    EXPECT_EQ(Label("lbDataCrc"), QStringLiteral("CRC - "));
}

// --- image edits from the map's menu

TEST_F(MainWindowViewsTest, ImageEditsKeepUnacceptedEditsOfTheShownSector) {
    Sector(4, 0, 0x00);
    Sector(4, 1, 0x11);
    Track& other = *window->Disk().GetTrack(20);
    other.Present = kPresent;
    other.RawValid = 1;
    other.RawLength = 100;
    window->Sectors()->showCell(1, 4);
    QTest::keyClicks(Hex(), "ab");
    ASSERT_TRUE(window->Sectors()->acceptButton()->isEnabled());

    RunMapEntry(0, 20, MapMenuEntry::ClearTrack);   // another track
    RunMapEntry(2, 4, MapMenuEntry::RemoveSector);  // another sector of the same track
    RunMapEntry(0, 30, MapMenuEntry::AddTrack);
    EXPECT_EQ(window->Disk().GetTrack(20)->RawLength, 0);
    EXPECT_EQ(window->Disk().GetSlot(4, 1)->Present, 0);
    EXPECT_EQ(window->Sectors()->shownColumn(), 1);
    EXPECT_EQ(window->Sectors()->shownRow(), 4);
    EXPECT_EQ(Hex()->Contents()[0], 0xAB);
    EXPECT_TRUE(window->Sectors()->acceptButton()->isEnabled());
    EXPECT_TRUE(window->Sectors()->headerGroup()->isVisibleTo(window.get()));
}

TEST_F(MainWindowViewsTest, RemoveSectorLeavesTheLogEmpty) {
    Sector(6, 0, 0x00);
    Sector(6, 1, 0x00);
    window->Disk().GetTrack(6)->Log = {"read 1", "read 2"};
    window->Sectors()->showCell(1, 6);
    ASSERT_EQ(window->LogLines().size(), 2);
    RunMapEntry(2, 6, MapMenuEntry::RemoveSector);
    EXPECT_TRUE(window->LogLines().isEmpty());
}

TEST_F(MainWindowViewsTest, RemovingTheShownSectorEmptiesTheView) {
    Sector(6, 0, 0x00);
    window->Sectors()->showCell(1, 6);
    RunMapEntry(1, 6, MapMenuEntry::RemoveSector);
    EXPECT_EQ(Hex()->Size(), 0u);
    EXPECT_FALSE(window->Sectors()->acceptButton()->isEnabled());
    EXPECT_FALSE(window->Sectors()->headerGroup()->isVisibleTo(window.get()));
}

// --- keyboard

QString Plain(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

TEST_F(MainWindowViewsTest, EveryMenuCaptionHasItsOwnMnemonic) {
    std::set<int> tops;
    for (QAction* menu : window->menuBar()->actions()) {
        const QKeySequence key = QKeySequence::mnemonic(menu->text());
        EXPECT_FALSE(key.isEmpty()) << Plain(menu->text()).toStdString();
        EXPECT_TRUE(tops.insert(key[0].toCombined()).second) << menu->text().toStdString();
        std::set<int> items;
        for (QAction* item : menu->menu()->actions()) {
            if (item->isSeparator() || !item->isVisible()) continue;
            const QKeySequence itemKey = QKeySequence::mnemonic(item->text());
            EXPECT_FALSE(itemKey.isEmpty()) << Plain(item->text()).toStdString();
            EXPECT_TRUE(items.insert(itemKey[0].toCombined()).second) << item->text().toStdString();
        }
    }
}

TEST_F(MainWindowViewsTest, CommonCommandsHaveStandardShortcuts) {
    const MainActions& a = window->Actions();
    const struct {
        QAction* action;
        QKeySequence::StandardKey key;
        QKeySequence fallback;  // where the platform binds nothing
    } cases[] = {
        {a.loadNative, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {a.saveNative, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {a.saveAs, QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {a.exit, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.action->shortcut(), QKeySequence::keyBindings(c.key).value(0, c.fallback))
            << Plain(c.action->text()).toStdString();
    }
}

TEST_F(MainWindowViewsTest, SaveShortcutFollowsTheImageWithoutOpeningTheMenu) {
    window->UpdateImageMenu();  // empty image: "Сохранить" off
    ASSERT_FALSE(window->Actions().saveNative->isEnabled());
    RunMapEntry(0, 50, MapMenuEntry::AddTrack);
    EXPECT_TRUE(window->Actions().saveNative->isEnabled());
    EXPECT_TRUE(window->Actions().saveAs->isEnabled());
}

TEST_F(MainWindowViewsTest, QuitShortcutClosesTheWindow) {
    ShowAt(1000, 700);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_FALSE(window->Actions().exit->shortcut().isEmpty());
    QTest::keySequence(window.get(), window->Actions().exit->shortcut());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowViewsTest, TabLeavesTheHexView) {
    Sector(4, 0, 0x00);
    ShowAt(1366, 768);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->Sectors()->showCell(1, 4);
    Hex()->setFocus();
    ASSERT_TRUE(Hex()->hasFocus());
    QTest::keyClick(Hex(), Qt::Key_Tab);
    EXPECT_FALSE(Hex()->hasFocus());
    EXPECT_NE(QApplication::focusWidget(), nullptr);
}

}  // namespace
}  // namespace morvane
