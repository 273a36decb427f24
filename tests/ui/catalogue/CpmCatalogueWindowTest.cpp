#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "ScriptedCatalogueDialogs.h"
#include "support/TestDisks.h"
#include "ui/catalogue/CpmCatalogueWindow.h"

namespace morvane::test {
namespace {

// A file of three extents (128, 128 and 5 records in blocks 2..18), an erased file and a
// file in user area 3.
class CpmWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        disk = NewCpmDisk();
        std::vector<std::uint16_t> first, second;
        for (std::uint16_t b = 2; b < 10; ++b)
            first.push_back(b);
        for (std::uint16_t b = 10; b < 18; ++b)
            second.push_back(b);
        PutCpmEntry(*disk, 0, 0, "BIG     COM", 0, 128, first);
        PutCpmEntry(*disk, 1, 0, "BIG     COM", 1, 128, second);
        PutCpmEntry(*disk, 2, 0, "BIG     COM", 2, 5, {18});
        PutCpmEntry(*disk, 3, kCpmErased, "OLD     TXT", 0, 9, {20});
        PutCpmEntry(*disk, 4, 3, "SECRET  DAT", 0, 9, {21});
        for (std::uint16_t k = 0; k < 17; ++k)
            FillCpmBlock(*disk, static_cast<std::uint16_t>(2 + k), 7, k);
        Open();
    }

    void Open() {
        CpmWindowContext c;
        c.disk = disk.get();
        c.dialogs = &dialogs;
        c.sclDir = {[this] { return sclDir; }, [this](const QString& f) { sclDir = f; }};
        window = std::make_unique<CpmCatalogueWindow>(std::move(c));
        window->Fill();
    }

    int Rows() const { return window->List()->topLevelItemCount(); }
    QString Cell(int row, int column) const {
        return window->List()->topLevelItem(row)->text(column);
    }

    QTemporaryDir out;
    std::unique_ptr<DiskImage> disk;
    ScriptedCatalogueDialogs dialogs;
    QString sclDir = QStringLiteral("/nowhere/");
    std::unique_ptr<CpmCatalogueWindow> window;
};

Bytes BigFile() {
    Bytes b(261 * 128);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = FileByte(7, i);
    return b;
}

TEST_F(CpmWindowTest, NewImageListsNothing) {
    disk = NewCpmDisk();
    Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Каталог диска CP/M"));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(window->DescriptionValues(), (QStringList{"0", "4 кБ", "796 кБ"}));
}

// The hidden file's block counts as used too.
TEST_F(CpmWindowTest, AFileOfThreeExtentsIsOneRowAndItsBlocksCount) {
    ASSERT_EQ(Rows(), 1);
    const QString length = Cell(0, 2);
    EXPECT_TRUE(length == QStringLiteral("32.64") || length == QStringLiteral("32,64"))
        << length.toStdString();
    EXPECT_EQ((QStringList{Cell(0, 0), Cell(0, 1), Cell(0, 3), Cell(0, 4)}),
              (QStringList{"BIG     ", "COM", "00", "00"}));
    EXPECT_EQ(window->DescriptionValues(), (QStringList{"1", "40 кБ", "760 кБ"}));
}

struct ShowCase {
    bool erased, hidden;
    QStringList atribs;
};

class CpmShowTest : public CpmWindowTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(CpmShowTest, CheckItemsAddErasedAndHiddenFiles) {
    if (GetParam().erased) window->Action(kCpmMenuShowErased)->trigger();
    if (GetParam().hidden) window->Action(kCpmMenuShowHidden)->trigger();
    QStringList atribs;
    for (int r = 0; r < Rows(); ++r) {
        atribs << Cell(r, 3);
        EXPECT_EQ(window->List()->topLevelItem(r)->checkState(0) == Qt::Checked,
                  Cell(r, 3) == QStringLiteral("E5"));
    }
    EXPECT_EQ(atribs, GetParam().atribs);
}

INSTANTIATE_TEST_SUITE_P(Checks, CpmShowTest,
                         ::testing::Values(ShowCase{false, false, {"00"}},
                                           ShowCase{true, false, {"00", "E5"}},
                                           ShowCase{false, true, {"00", "03"}},
                                           ShowCase{true, true, {"00", "E5", "03"}}));

TEST_F(CpmWindowTest, FileItemsNeedASelectedRow) {
    const std::string_view fileItems[] = {kCpmMenuViewPicture, kCpmMenuViewHex,
                                          kCpmMenuViewText,    kCpmMenuSaveAs,
                                          kCpmMenuRename,      kCpmMenuDeleteFiles};
    for (bool selected : {false, true}) {
        window->SelectRows(selected ? std::vector<int>{0} : std::vector<int>{});
        window->UpdateMenu();
        for (std::string_view item : fileItems)
            EXPECT_EQ(window->Action(item)->isEnabled(), selected) << item;
        EXPECT_TRUE(window->Action(kCpmMenuShowHidden)->isEnabled());
    }
}

TEST_F(CpmWindowTest, ViewHexAndTextGiveTheWholeFile) {
    window->SelectRows({0});
    window->ViewHex();
    EXPECT_EQ(dialogs.shown, ScriptedCatalogueDialogs::Shown::Hex);
    EXPECT_TRUE(dialogs.terminalFont);
    EXPECT_EQ(dialogs.shownBytes, BigFile());
    window->ViewText();
    EXPECT_EQ(dialogs.shown, ScriptedCatalogueDialogs::Shown::Text);
    EXPECT_EQ(dialogs.shownBytes.size(), 261u * 128);
}

TEST_F(CpmWindowTest, SaveAsWritesTheFileAndRemembersTheFolder) {
    dialogs.saveFile = out.filePath(QStringLiteral("big.cpm"));
    window->SelectRows({0});
    window->SaveAs();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("BIG     COM"));
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Файлы CP/M Profi (*.cpm)|*.cpm"));
    EXPECT_EQ(dialogs.saveRequests[0].directory, QStringLiteral("/nowhere/"));
    QFile f(dialogs.saveFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_EQ(Bytes(written.begin(), written.end()), BigFile());
    EXPECT_EQ(sclDir, out.path() + QLatin1Char('/'));
}

TEST_F(CpmWindowTest, SaveAsKeepsAnExistingFileOnNo) {
    dialogs.saveFile = out.filePath(QStringLiteral("big.cpm"));
    {
        QFile f(dialogs.saveFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    dialogs.yesNo = false;
    window->SelectRows({0});
    window->SaveAs();
    EXPECT_EQ(dialogs.questions,
              QStringList{QStringLiteral("Внимание!|Файл существует! Перезаписать?!")});
    EXPECT_EQ(QFileInfo(dialogs.saveFile).size(), 3);
}

TEST_F(CpmWindowTest, SaveAsOfAFileGoneFromTheImageSaysSo) {
    window->SelectRows({0});
    PutCpmEntry(*disk, 0, kCpmErased, "BIG     COM", 0, 128, {2});
    dialogs.saveFile = out.filePath(QStringLiteral("big.cpm"));
    window->SaveAs();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Ошибка!|Ошибка в CP/M каталоге!")});
    EXPECT_FALSE(QFile::exists(dialogs.saveFile));
}

}  // namespace
}  // namespace morvane::test
