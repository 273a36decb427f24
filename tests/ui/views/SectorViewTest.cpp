#include "ui/views/SectorView.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ViewsTestData.h"
#include "model/Bytes.h"
#include "model/Checksums.h"
#include "ui/views/SectorEditor.h"
#include "ui/views/SectorHeaderEditor.h"

namespace morvane {
namespace {

using testdata::MakeDisk;
using testdata::PresentTrack;
using testdata::PutSector;

struct ScriptedHost : ImageEditHost {
    bool answer = true;
    std::vector<std::string> messages;
    Answer Ask(const Question& q) override {
        messages.push_back(q.caption + "|" + q.text);
        if (q.buttons == Buttons::Ok) return Answer::Ok;
        return answer ? Answer::Yes : Answer::No;
    }
    void ClearAndShowLog() override {}
};

class SectorViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Track& t = PresentTrack(*disk, 10);
        t.Log = {"read ok"};
        PutSector(*disk, 10, 0, 9, 256, true);
        PutSector(*disk, 10, 1, 3, 256, false);
        PresentTrack(*disk, 12, 300);
        view = std::make_unique<SectorView>(*disk);
        view->setQuestionHost(&host);
        view->resize(700, 300);
        view->show();
        QObject::connect(view.get(), &SectorView::trackLabelChanged,
                         [this](const QString& text) { l2 = text; });
        QObject::connect(view.get(), &SectorView::sectorLabelChanged,
                         [this](const QString& text) { l1 = text; });
        QObject::connect(view.get(), &SectorView::logLinesChanged,
                         [this](const QStringList& lines) { log = lines; });
        QObject::connect(view.get(), &SectorView::logPageRequested, [this] { ++logPage; });
    }
    std::vector<std::uint8_t> SlotData(std::uint8_t slot, std::size_t n) {
        const SectorSlot* s = disk->GetSlot(10, slot);
        return {s->Data.begin(), s->Data.begin() + static_cast<std::ptrdiff_t>(n)};
    }

    std::unique_ptr<DiskImage> disk = MakeDisk();
    std::unique_ptr<SectorView> view;
    ScriptedHost host;
    QString l1, l2;
    QStringList log{"stale"};
    int logPage = 0;
};

TEST_F(SectorViewTest, WidgetsCarryTheirObjectNames) {
    for (const char* name : {"s1", "gb1", "an1", "an6", "pnb1", "pnb2", "pnb3"})
        EXPECT_NE(view->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(view->acceptButton()->text(), "Принять");
    EXPECT_EQ(view->saveButton()->text(), "Сохранить");
    EXPECT_EQ(view->loadButton()->text(), "Загрузить");
}

TEST_F(SectorViewTest, ClickOnSectorShowsHeaderLabelsAndBytes) {
    view->showCell(1, 10);
    EXPECT_EQ(l2, "10");
    EXPECT_EQ(l1, "9");
    EXPECT_EQ(logPage, 1);
    EXPECT_EQ(log, QStringList{"read ok"});
    EXPECT_FALSE(view->headerGroup()->isHidden());
    EXPECT_EQ(view->headerValue(0)->text(), "5");
    EXPECT_EQ(view->headerValue(1)->text(), "0");
    EXPECT_EQ(view->headerValue(2)->text(), "9");
    EXPECT_EQ(view->headerValue(3)->text(), "256b");
    EXPECT_EQ(view->headerValue(4)->text(), "#1234");
    EXPECT_EQ(view->headerValue(5)->text(), "good");
    EXPECT_EQ(view->hexView()->Contents(), SlotData(0, 256));
    EXPECT_FALSE(view->hexView()->isReadOnly());
    EXPECT_FALSE(view->acceptButton()->isEnabled());
    EXPECT_TRUE(view->saveButton()->isEnabled());
    EXPECT_TRUE(view->loadButton()->isEnabled());
}

TEST_F(SectorViewTest, ClickOnEmptySlotEmptiesAndHides) {
    view->showCell(1, 10);
    view->showCell(5, 10);
    EXPECT_EQ(l1, "");
    EXPECT_EQ(view->hexView()->Size(), 0u);
    EXPECT_TRUE(view->headerGroup()->isHidden());
    EXPECT_TRUE(view->hexView()->isReadOnly());
    EXPECT_FALSE(view->saveButton()->isEnabled());
}

TEST_F(SectorViewTest, EditThenAcceptYesCopiesIntoSlot) {
    view->showCell(1, 10);
    QTest::keyClicks(view->hexView(), "ff");
    EXPECT_TRUE(view->acceptButton()->isEnabled());
    host.answer = false;
    view->acceptButton()->click();
    EXPECT_NE(disk->GetSlot(10, 0)->Data[0], 0xFF);
    EXPECT_TRUE(view->acceptButton()->isEnabled()) << "No leaves the button enabled";
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Внимание!|Вы хотитете принять изменения сектора?");
    host.answer = true;
    view->acceptButton()->click();
    EXPECT_EQ(disk->GetSlot(10, 0)->Data[0], 0xFF);
    EXPECT_FALSE(view->acceptButton()->isEnabled());
    EXPECT_EQ(disk->GetSlot(10, 0)->HeaderCrc, 0x1234);
}

TEST_F(SectorViewTest, AcceptGoesToTheShownCellAfterAContextPopup) {
    view->showCell(1, 10);
    QTest::keyClicks(view->hexView(), "00");
    view->showCellLabels(2, 10);  // a right click elsewhere updates only the labels
    EXPECT_EQ(l1, "3");
    const auto other = SlotData(1, 256);
    view->acceptEdits();
    EXPECT_EQ(disk->GetSlot(10, 0)->Data[0], 0x00);
    EXPECT_EQ(SlotData(1, 256), other);
}

TEST_F(SectorViewTest, RawTrackAcceptAsksAboutTheTrack) {
    view->showCell(0, 12);
    EXPECT_EQ(view->hexView()->Size(), 300u);
    QTest::keyClicks(view->hexView(), "ab");
    view->acceptEdits();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Внимание!|Вы хотитете принять изменения дорожки?");
    EXPECT_EQ(disk->GetTrack(12)->Raw[0], 0xAB);
}

TEST_F(SectorViewTest, BuiltTrackIsReadOnlyAndSavesAllItsBytes) {
    view->showCell(0, 10);
    EXPECT_EQ(view->hexView()->Size(), 6256u);
    EXPECT_TRUE(view->hexView()->isReadOnly());
    QTest::keyClicks(view->hexView(), "ff");
    EXPECT_FALSE(view->acceptButton()->isEnabled());
    QTemporaryDir dir;
    const QString path = dir.filePath("t10.sec");
    ASSERT_TRUE(view->saveToFile(path));
    EXPECT_EQ(QFileInfo(path).size(), 6256);
}

TEST_F(SectorViewTest, SaveAsksBeforeOverwriting) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.sec");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    view->showCell(1, 10);
    host.answer = false;
    EXPECT_FALSE(view->saveToFile(path));
    EXPECT_EQ(QFileInfo(path).size(), 3);
    EXPECT_EQ(host.messages.back(), "Внимание..!|Файл уже существует! Перезаписать?");
    host.answer = true;
    EXPECT_TRUE(view->saveToFile(path));
    Bytes saved;
    ASSERT_TRUE(ReadWholeFile(path.toStdString(), saved));
    EXPECT_EQ(saved, SlotData(0, 256));
}

TEST_F(SectorViewTest, FailedSaveSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.sec");
    ASSERT_TRUE(WriteFileAtomically(path.toStdString(), Bytes{1}));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    view->showCell(1, 10);
    host.answer = true;
    EXPECT_FALSE(view->saveToFile(path));
    EXPECT_EQ(host.messages.back(), "Ошибка!|Не удалось записать файл!\nthe file is read-only");
}

TEST_F(SectorViewTest, LoadFillsViewWithinItsSizeAndEnablesAccept) {
    QTemporaryDir dir;
    const QString path = dir.filePath("in.sec");
    ASSERT_TRUE(WriteFileAtomically(path.toStdString(), Bytes(1000, 0x42)));
    view->showCell(1, 10);
    ASSERT_TRUE(view->loadFromFile(path));
    EXPECT_EQ(view->hexView()->Size(), 256u);
    EXPECT_EQ(view->hexView()->Contents()[255], 0x42);
    EXPECT_TRUE(view->acceptButton()->isEnabled());
    EXPECT_NE(disk->GetSlot(10, 0)->Data[0], 0x42) << "not in the image before accepting";
    view->acceptEdits();
    EXPECT_EQ(disk->GetSlot(10, 0)->Data[0], 0x42);
}

TEST_F(SectorViewTest, LoadRefusedIntoReadOnlyViewAndReportsUnreadableFile) {
    view->showCell(0, 10);  // built track, read-only
    QTemporaryDir dir;
    const QString path = dir.filePath("in.sec");
    ASSERT_TRUE(WriteFileAtomically(path.toStdString(), Bytes(10, 1)));
    EXPECT_FALSE(view->loadFromFile(path));
    view->showCell(1, 10);
    EXPECT_FALSE(view->loadFromFile(dir.filePath("missing.sec")));
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back().rfind("Ошибка!|", 0), 0u);
}

TEST_F(SectorViewTest, SectorEditorAcceptCopiesEditedBytes) {
    view->showCell(1, 10);
    int edited = 0;
    QObject::connect(view.get(), &SectorView::slotEdited, [&](int, int) { ++edited; });
    QTimer::singleShot(0, [this] {
        SectorEditor* dlg = view->sectorEditor();
        EXPECT_EQ(dlg->windowTitle(), "Редактор сектора");
        EXPECT_EQ(dlg->valueLabel(2)->text(), "9");
        QTest::keyClicks(dlg->hexView(), "c3");
        dlg->acceptButton()->click();
    });
    view->openSectorEditor(1, 10);
    EXPECT_EQ(disk->GetSlot(10, 0)->Data[0], 0xC3);
    EXPECT_EQ(view->hexView()->Contents()[0], 0xC3) << "the shown cell is refreshed";
    EXPECT_EQ(edited, 1);
}

TEST_F(SectorViewTest, HeaderEditorRunsOnTheSlot) {
    QTimer::singleShot(0, [this] {
        SectorHeaderEditor* dlg = view->headerEditor();
        dlg->sectorField()->setText("7");
        dlg->acceptButton()->click();
    });
    view->editSectorAddress(2, 10);
    EXPECT_EQ(disk->GetSlot(10, 1)->Sector, 7);
    EXPECT_EQ(disk->GetSlot(10, 1)->HeaderCrc, IdFieldCrc(5, 0, 7, 1));
}

TEST_F(SectorViewTest, ClearViewEmptiesEverything) {
    view->showCell(1, 10);
    view->clearView();
    EXPECT_EQ(view->hexView()->Size(), 0u);
    EXPECT_TRUE(view->headerGroup()->isHidden());
    EXPECT_FALSE(view->saveButton()->isEnabled());
    EXPECT_EQ(l1, "");
    EXPECT_EQ(l2, "");
}

}  // namespace
}  // namespace morvane
