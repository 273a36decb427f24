// The main window keeps unsaved work: what marks the image changed, the question before
// the actions that discard it (ImageChangeTracker), and the title.
#include "ui/shell/ImageChangeTracker.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "NoDeviceDriver.h"
#include "controller/virtual/VirtualController.h"
#include "filesystems/NewImages.h"
#include "imagefiles/ImageFiles.h"
#include "model/Bytes.h"
#include "ui/catalogue/CatalogueDialogs.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/shell/CatalogueCommands.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/ImageChangeTracker.h"
#include "ui/shell/ImageFileCommands.h"
#include "ui/shell/LinkCommands.h"
#include "ui/shell/MainWindow.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/SectorView.h"

namespace morvane {
namespace {


const QString kQuestion = QStringLiteral("Внимание!|Образ изменён! Сохранить изменения?");

// Records only the unsaved-work question (Yes/No/Cancel) and answers it from answer; every
// other question is Yes.
struct ScriptedDialogs : UserAsker {
    QStringList messages;
    QStringList questions;
    Answer answer = Answer::Cancel;
    Answer Ask(const Question& q) override {
        const QString asked = QString::fromStdString(q.caption) + QLatin1Char('|') +
                              QString::fromStdString(q.text);
        switch (q.buttons) {
            case Buttons::Ok:
                messages << asked;
                return Answer::Ok;
            case Buttons::YesNoCancel:
                questions << asked;
                return answer;
            case Buttons::YesNo:
                return Answer::Yes;
            case Buttons::OkCancel:
                return Answer::Ok;
            case Buttons::AbortRetryIgnore:
                break;
        }
        return Answer::Abort;
    }
};

// Names the disk in the name dialogs; everything else is never reached by these tests.
struct QuietCatalogueDialogs : CatalogueDialogs {
    Answer Ask(const Question& q) override {
        if (q.buttons == Buttons::YesNo) return Answer::Yes;
        return q.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    std::optional<QString> DiskName(const QString&, bool okOnly) override {
        if (okOnly) return std::nullopt;
        return QStringLiteral("RENAMED");
    }
    QString ChooseFolder(const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const SaveFileRequest&) override { return {}; }
    QStringList ChooseOpenFiles(const OpenFilesRequest&) override { return {}; }
    std::optional<QString> AskText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    bool EditHeader(TrDosEntryEdit&) override { return false; }
    void ShowScreen(std::span<const std::uint8_t>) override {}
    void ShowHex(std::span<const std::uint8_t>, bool) override {}
    void ShowText(std::span<const std::uint8_t>) override {}
};

constexpr std::uint8_t kMark = 0xAB;

// Public: the tables' cases act on the fixture.
class UnsavedWorkTest : public ::testing::Test {
  public:
    void SetUp() override { Reset(); }

    // A fresh window over fresh files, as each case of a table needs.
    void Reset() {
        window.reset();
        dialogs = std::make_shared<ScriptedDialogs>();
        answers.clear();
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("work")));
        work = dir.filePath(QStringLiteral("work/work.trd"));
        other = dir.filePath(QStringLiteral("other.trd"));
        otherNative = dir.filePath(QStringLiteral("other.udf"));
        WriteNewTrDos(work, ImageFormat::Trd);
        WriteNewTrDos(other, ImageFormat::Trd);
        WriteNewTrDos(otherNative, ImageFormat::Udf);

        MainWindowOptions o;
        o.iniPath = dir.filePath(QStringLiteral("Morvane.ini"));
        o.programFolder = dir.path();
        o.dialogs = dialogs;
        o.catalogueDialogs = std::make_shared<QuietCatalogueDialogs>();
        o.chooser = [this](const FileDialogRequest&) {
            if (answers.empty()) return QString();
            const QString a = answers.front();
            answers.pop_front();
            return a;
        };
        o.hardwareDriver = [] { return std::make_unique<test::NoDeviceDriver>(); };
        o.raisePriority = false;
        window = std::make_unique<MainWindow>(std::move(o));
        window->show();
    }

    static void WriteNewTrDos(const QString& path, ImageFormat format) {
        DiskImage disk;
        CreateTrDosImage(disk, "DISK");
        ASSERT_TRUE(SaveImageFileAs(path.toStdString(), format, disk));
    }

    // work.trd loaded through "Загрузить как...": the image is clean and has its file.
    void LoadWork() {
        answers = {work};
        window->Actions().loadAs->trigger();
        ASSERT_EQ(window->ImageCommands().ImageFile(), work);
        ASSERT_FALSE(window->Changes().Changed());
    }

    // An edit of the first byte of track 0's first sector, as the editors make it.
    void EditImage() {
        window->Disk().GetSlot(0, 0)->Data.first(1)[0] = kMark;
        window->Disk().RedrawSectorCell(0, 0);
    }
    bool MarkInImage() {
        const Track* t = window->Disk().GetTrack(0);
        return t->Present != 0 && t->Slots[0].Data.first(1)[0] == kMark;
    }
    bool MarkInFile(const QString& path) {
        Bytes bytes;
        return ReadWholeFile(path.toStdString(), bytes) && !bytes.empty() && bytes[0] == kMark;
    }
    // Right click on the cell, then the entry, as the user does it.
    void MapEntry(MapMenuEntry entry, int column, int row) {
        window->Map()->prepareContextMenu(column, row);
        emit window->Map()->contextMenu()->aboutToShow();
        window->Map()->menuAction(entry)->trigger();
    }

    QTemporaryDir dir;
    QString work, other, otherNative;
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    std::deque<QString> answers;
    std::unique_ptr<MainWindow> window;
};

TEST_F(UnsavedWorkTest, EachKindOfChangeMarksTheImage) {
    const std::pair<const char*, std::function<void(UnsavedWorkTest&)>> cases[] = {
        {"map menu: remove a track",
         [](UnsavedWorkTest& t) { t.MapEntry(MapMenuEntry::RemoveTrack, 0, 5); }},
        {"map menu: base track, which repaints nothing",
         [](UnsavedWorkTest& t) {
             t.window->Disk().GetTrack(5)->RawLength = 100;
             t.MapEntry(MapMenuEntry::SetBaseTrack, 0, 5);
             ASSERT_EQ(t.window->Disk().BaseTrack, 5);
         }},
        {"hex view: accepting edited bytes",
         [](UnsavedWorkTest& t) {
             const QString sec = t.dir.filePath(QStringLiteral("one.sec"));
             ASSERT_TRUE(WriteFileAtomically(sec.toStdString(), Bytes(4, kMark)));
             t.window->Sectors()->showCell(1, 0);
             ASSERT_TRUE(t.window->Sectors()->loadFromFile(sec));
             t.window->Sectors()->acceptEdits();
             ASSERT_TRUE(t.MarkInImage());
         }},
        {"disk comment",
         [](UnsavedWorkTest& t) {
             auto* lb1 = t.window->findChild<QPlainTextEdit*>(QStringLiteral("lb1"));
             lb1->setPlainText(QStringLiteral("новый комментарий"));
             QFocusEvent out(QEvent::FocusOut);
             QApplication::sendEvent(lb1, &out);
         }},
        {"TR-DOS catalogue: renaming the disk",
         [](UnsavedWorkTest& t) {
             TrDosCatalogueWindow* catalogue = t.window->Catalogues().ZxCatalogue();
             ASSERT_TRUE(catalogue->LoadFromImage());
             catalogue->RenameDisk();
         }},
    };
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        Reset();
        LoadWork();
        change(*this);
        EXPECT_TRUE(window->Changes().Changed());
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © - work.trd *"));
    }
}

TEST_F(UnsavedWorkTest, LookingAtTheImageChangesNothing) {
    LoadWork();
    window->Sectors()->showCell(1, 0);
    window->Map()->prepareContextMenu(3, 2);
    window->Views().ShowMapFromTop();
    auto* lb1 = window->findChild<QPlainTextEdit*>(QStringLiteral("lb1"));
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(lb1, &out);  // the comment as it was
    EXPECT_FALSE(window->Changes().Changed());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © - work.trd"));
}

TEST_F(UnsavedWorkTest, ADiskReadMarksTheImage) {
    window->LinkOps().SetVirtualController(true);
    ASSERT_TRUE(window->Link().Active());
    MapEntry(MapMenuEntry::AddTrack, 0, 4);
    window->Changes().MarkClean();
    MapEntry(MapMenuEntry::ScanTrack, 0, 4);
    ASSERT_NE(window->Disk().GetTrack(4)->Slots[0].Present, 0);
    EXPECT_TRUE(window->Changes().Changed());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © *"));
}

// A whole-disk run reads into the image: unsaved work is offered for saving first, and
// Cancel keeps it untouched.
TEST_F(UnsavedWorkTest, ADiskRunIntoAnImageWithUnsavedWorkAsksFirst) {
    for (const Answer answer : {Answer::Cancel, Answer::No}) {
        Reset();
        window->LinkOps().SetVirtualController(true);
        ASSERT_TRUE(window->Link().Active());
        LoadWork();
        EditImage();
        dialogs->answer = answer;
        window->Link().Virtual().ClearReceivedFrames();
        window->Actions().trackScan->trigger();
        EXPECT_EQ(dialogs->questions, QStringList{kQuestion});
        EXPECT_EQ(window->Link().Virtual().ReceivedFrames().empty(), answer == Answer::Cancel);
    }
}

struct GuardedAction {
    const char* name;
    std::function<void(UnsavedWorkTest&)> run;
};

const GuardedAction kGuarded[] = {
    {"Очистить образ", [](UnsavedWorkTest& t) { t.window->Actions().clearImage->trigger(); }},
    {"tool bar Очистить образ",
     [](UnsavedWorkTest& t) { t.window->Actions().toolClear->trigger(); }},
    {"Загрузить как...",
     [](UnsavedWorkTest& t) {
         t.answers = {t.other};
         t.window->Actions().loadAs->trigger();
     }},
    {"Загрузить",
     [](UnsavedWorkTest& t) {
         t.answers = {t.otherNative};
         t.window->Actions().loadNative->trigger();
     }},
    {"Создать образ TR-DOS диска",
     [](UnsavedWorkTest& t) { t.window->Actions().createTrdos->trigger(); }},
    {"Создать образ CP/M диска",
     [](UnsavedWorkTest& t) { t.window->Actions().createCpm->trigger(); }},
    {"Выход", [](UnsavedWorkTest& t) { t.window->Actions().exit->trigger(); }},
    {"closing the window", [](UnsavedWorkTest& t) { t.window->close(); }},
};

// Whether the action did its work: the image is no longer work.trd's, or the window is gone.
bool ActionDone(UnsavedWorkTest& t) {
    return !t.window->isVisible() || t.window->ImageCommands().ImageFile() != t.work;
}

TEST_F(UnsavedWorkTest, GuardedActionsFollowTheAnswer) {
    struct Case {
        const char* name;
        bool edited;
        Answer answer;
        bool saveFails;
        bool saved, done;
    };
    const Case cases[] = {
        {"an unchanged image asks nothing", false, Answer::Cancel, false, false, true},
        {"Cancel keeps the image and its file", true, Answer::Cancel, false, false, false},
        {"No discards", true, Answer::No, false, false, true},
        {"Yes saves into the image's file, then goes on", true, Answer::Yes, false, true, true},
        {"Yes with a failed save stops", true, Answer::Yes, true, false, false},
    };
    for (const GuardedAction& action : kGuarded) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(action.name) + ": " + c.name);
            Reset();
            LoadWork();
            if (c.edited) EditImage();
            if (c.saveFails) {
                ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("work"))).removeRecursively());
            }
            dialogs->answer = c.answer;

            action.run(*this);

            EXPECT_EQ(dialogs->questions, c.edited ? QStringList{kQuestion} : QStringList{});
            EXPECT_EQ(MarkInFile(work), c.saved);
            EXPECT_EQ(ActionDone(*this), c.done);
            if (c.saveFails) {
                ASSERT_EQ(dialogs->messages.size(), 1);
                EXPECT_TRUE(dialogs->messages[0].startsWith(
                    QStringLiteral("Ошибка!|Ошибка записи файла - ") + work));
            } else {
                EXPECT_TRUE(dialogs->messages.isEmpty())
                    << dialogs->messages.join(';').toStdString();
            }
            if (!c.done) {
                EXPECT_TRUE(window->Changes().Changed());
                EXPECT_EQ(window->ImageCommands().ImageFile(), work);
                EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © - work.trd *"));
            } else if (window->isVisible()) {
                EXPECT_FALSE(window->Changes().Changed());
            }
        }
    }
}

TEST_F(UnsavedWorkTest, YesWithoutAFileGoesThroughSaveAs) {
    struct Case {
        const char* name;
        const char* typed;  // empty: the dialog is cancelled
        bool done;
    };
    const Case cases[] = {
        {"a name is chosen", "new.udi", true},
        {"the dialog is cancelled", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        QFile::remove(dir.filePath(QStringLiteral("new.udi")));
        window->Actions().createTrdos->trigger();
        EditImage();
        dialogs->answer = Answer::Yes;
        const QString target = *c.typed ? dir.filePath(QString::fromUtf8(c.typed)) : QString();
        answers = {target};
        window->Actions().clearImage->trigger();
        EXPECT_EQ(QFile::exists(dir.filePath(QStringLiteral("new.udi"))), c.done);
        EXPECT_EQ(window->Disk().CountTracks() == 0, c.done);
        EXPECT_EQ(window->Changes().Changed(), !c.done);
    }
}

TEST_F(UnsavedWorkTest, AFileOfAFormatThatKeepsLessGoesThroughSaveAs) {
    const QString td0 = dir.filePath(QStringLiteral("disk.td0"));
    WriteNewTrDos(td0, ImageFormat::Td0);
    answers = {td0};
    window->Actions().loadAs->trigger();
    ASSERT_EQ(window->ImageCommands().ImageFile(), td0);
    EditImage();
    dialogs->answer = Answer::Yes;
    const QString udi = dir.filePath(QStringLiteral("kept.udi"));
    answers = {udi};
    window->close();
    EXPECT_TRUE(QFile::exists(udi));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(UnsavedWorkTest, TitleFollowsTheFileAndTheMark) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 ©"));
    LoadWork();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © - work.trd"));
    EditImage();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © - work.trd *"));
    answers = {dir.filePath(QStringLiteral("saved.udi"))};
    window->Actions().saveAs->trigger();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © - saved.udi"));
    EXPECT_FALSE(window->Changes().Changed());
    EditImage();
    answers = {dir.filePath(QStringLiteral("saved.udf"))};
    window->Actions().toolSave->trigger();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © - saved.udf"));
    dialogs->answer = Answer::No;
    window->Actions().createCpm->trigger();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 ©"));
}

TEST_F(UnsavedWorkTest, AFailedLoadKeepsTheMark) {
    LoadWork();
    EditImage();
    const QString broken = dir.filePath(QStringLiteral("broken.udi"));
    ASSERT_TRUE(WriteFileAtomically(broken.toStdString(), Bytes(16, 0)));
    dialogs->answer = Answer::No;
    answers = {broken};
    window->Actions().loadAs->trigger();
    EXPECT_TRUE(MarkInImage());
    EXPECT_TRUE(window->Changes().Changed());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 © - work.trd *"));
}

}  // namespace
}  // namespace morvane
