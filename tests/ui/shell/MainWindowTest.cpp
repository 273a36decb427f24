#include "ui/shell/MainWindow.h"
#include "ui/views/ScreenViewer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "NoDeviceDriver.h"
#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"
#include "controller/virtual/VirtualController.h"
#include "formats/Trd.h"
#include "formats/udi/Udi.h"
#include "imagefiles/ImageFiles.h"
#include "model/Bytes.h"
#include "support/BrokenFiles.h"
#include "support/ScriptedAsker.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/ImageFileCommands.h"
#include "ui/shell/LinkCommands.h"
#include "ui/shell/SettingsDialog.h"
#include "ui/shell/WindowPlacement.h"
#include "ui/views/DiskMapView.h"

namespace morvane {
namespace {

using ScriptedDialogs = test::ScriptedAsker;

// A menu caption as shown, without its mnemonic mark.
QString Caption(const QAction* action) {
    return action->text().remove(QLatin1Char('&'));
}

QString CorpusTrd() {
    return QStringLiteral(MORVANE_CORPUS_DIR "/trd/test_disk.trd");
}

class MainWindowTest : public ::testing::Test {
  protected:
    QString Ini() const { return dir.filePath(QStringLiteral("Morvane.ini")); }

    void UseVirtualAtStart(bool on, const QString& image = QString()) {
        QSettings ini(Ini(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("VirtualController/Enabled"), on);
        ini.setValue(QStringLiteral("VirtualController/Image"), image);
    }

    void Make() {
        MainWindowOptions o;
        o.iniPath = Ini();
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

    QString IniValue(const QString& key) const {
        QSettings ini(Ini(), QSettings::IniFormat);
        return ini.value(key).toString();
    }

    QTemporaryDir dir;
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    std::deque<QString> answers;
    std::vector<FileDialogRequest> requests;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, LayoutCarriesTheComponentNames) {
    Make();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane 2008 ©"));
    for (const char* name :
         {"zxd", "s1",  "Lzx1", "lb1", "sb",  "pc1", "l1",   "l2",   "trp1", "mml1",    "gb1",
          "an1", "an2", "an3",  "an4", "an5", "an6", "pnb1", "pnb2", "pnb3", "ToolBar1"}) {
        EXPECT_NE(window->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    }
    auto* pc1 = window->findChild<QTabWidget*>(QStringLiteral("pc1"));
    ASSERT_EQ(pc1->count(), 2);
    EXPECT_EQ(pc1->tabText(0), QStringLiteral("LOG"));
    EXPECT_EQ(pc1->tabText(1), QStringLiteral("Комментарии к диску"));
    EXPECT_FALSE(window->findChild<QWidget*>(QStringLiteral("trp1"))->isVisibleTo(window.get()));
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("mml1"))->text(),
              QStringLiteral("Track -"));
}

// The first window lies inside the screen's available area with its frame, on a large
// screen at the size the layout was drawn for, on a laptop's 1366 x 768 with its panel cut
// to fit; and the layout lets it be that small.
TEST_F(MainWindowTest, FirstWindowFitsTheScreen) {
    const QRect laptop(0, 0, 1366, 768 - 40);
    const std::pair<QRect, QSize> cases[] = {
        {QRect(0, 0, 1920, 1080 - 40), kPreferredMainWindowSize},
        {laptop, QSize(1270, 768 - 40 - 34)},
        {QRect(100, 50, 1000, 700), QSize(992, 666)},
    };
    for (const auto& [available, size] : cases) {
        const QRect placed = FirstWindowGeometry(kPreferredMainWindowSize, kTypicalWindowFrame,
                                                 available);
        EXPECT_EQ(placed.size(), size);
        EXPECT_TRUE(available.contains(placed.marginsAdded(kTypicalWindowFrame)));
    }
    Make();
    window->show();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->geometry())) << available.width() << "x"
                                                        << available.height();
    const QSize least = window->minimumSizeHint();
    EXPECT_LE(least.width(), laptop.width());
    EXPECT_LE(least.height(), laptop.height() - 34) << least.height();
}

TEST_F(MainWindowTest, MenuTreeHasTheCaptionsInOrder) {
    Make();
    QStringList tops;
    for (QAction* a : window->menuBar()->actions())
        tops << Caption(a);
    EXPECT_EQ(tops, (QStringList{QStringLiteral("Образ"), QStringLiteral("Диск"),
                                 QStringLiteral("Контроллер"), QStringLiteral("Настройки")}));
    QStringList image;
    for (QAction* a : window->Actions().imageMenu->actions())
        image << (a->isSeparator() ? QStringLiteral("-") : Caption(a));
    EXPECT_EQ(image, (QStringList{"Создать образ",
                                  "Загрузить",
                                  "Загрузить как...",
                                  "Объединить с образом...",
                                  "-",
                                  "Загрузить UDI",
                                  "Загрузить TRD",
                                  "Загрузить TD0",
                                  "Загрузить FDI",
                                  "Очистить образ",
                                  "Шаблон дорожек",
                                  "Просмотреть ZX каталог",
                                  "Просмотреть CP/M каталог",
                                  "-",
                                  "Сохранить",
                                  "Сохранить как...",
                                  "Сохранить UDI",
                                  "Сохранить TRD",
                                  "Сохранить TD0",
                                  "Сохранить FDI",
                                  "-",
                                  "Выход"}));
    EXPECT_FALSE(window->Actions().loadUdi->isVisible());
    EXPECT_FALSE(window->Actions().saveFdi->isVisible());
    EXPECT_FALSE(window->Actions().templatesMenu->isEnabled());
    EXPECT_FALSE(window->Actions().searchUsb->isVisible());
    EXPECT_EQ(Caption(window->Actions().readByMarks), QStringLiteral("Чтение секторов по  меткам"));
    EXPECT_EQ(Caption(window->Actions().driveA), QStringLiteral("Дисковод (А:)"));
    EXPECT_EQ(Caption(window->Actions().driveB), QStringLiteral("Дисковод (В:)"));
    QStringList tools;
    for (QAction* a : window->findChild<QToolBar*>(QStringLiteral("ToolBar1"))->actions())
        tools << (a->isSeparator() ? QStringLiteral("-") : a->toolTip());
    EXPECT_EQ(tools, (QStringList{"Сохранить образ", "Сохранить в формате UDI", "-",
                                  "Очистить образ", "-", ""}));
}

TEST_F(MainWindowTest, ImageMenuFollowsPresentTracks) {
    Make();
    window->UpdateImageMenu();
    const MainActions& a = window->Actions();
    for (QAction* item :
         {a.saveNative, a.saveAs, a.viewZxCatalogue, a.viewCpmCatalogue, a.clearImage}) {
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    }
    EXPECT_TRUE(a.loadAs->isEnabled());
    window->Disk().GetTrack(5)->Present = 255;
    emit a.imageMenu->aboutToShow();
    for (QAction* item :
         {a.saveNative, a.saveAs, a.viewZxCatalogue, a.viewCpmCatalogue, a.clearImage}) {
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    }
}

TEST_F(MainWindowTest, StartsWithoutHardwareQuietly) {
    Make();
    window->StartUp();
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB устройство не найдено!"));
    EXPECT_TRUE(dialogs->messages.isEmpty());
    EXPECT_FALSE(window->Link().Active());
    emit window->Actions().diskMenu->aboutToShow();
    EXPECT_FALSE(window->Actions().fullRead->isEnabled());
    EXPECT_FALSE(window->Actions().readZxCatalogue->isEnabled());
    emit window->Actions().controllerMenu->aboutToShow();
    EXPECT_FALSE(window->Actions().driveA->isEnabled());
    EXPECT_FALSE(window->Actions().resetController->isEnabled());
    EXPECT_EQ(Caption(window->Actions().startStopUsb), QStringLiteral("Старт USB устройства"));
    EXPECT_TRUE(window->Actions().driveA->isChecked());  // restored from the settings
    EXPECT_EQ(IniValue(QStringLiteral("Option/TimeOut")), QStringLiteral("10"));
    EXPECT_TRUE(window->StatusText(2).startsWith(QStringLiteral("Контроллер")));
}

TEST_F(MainWindowTest, StartsOnVirtualControllerAndIdentifiesIt) {
    UseVirtualAtStart(true);
    Make();
    window->StartUp();
    EXPECT_TRUE(window->Link().IsVirtual());
    EXPECT_TRUE(window->Link().Active());
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB <-> Parallel"));
    EXPECT_EQ(window->StatusText(1), QStringLiteral("Morvane virtual WD1793 controller 1.0"));
    EXPECT_TRUE(window->StatusText(2).startsWith(QStringLiteral("Виртуальный контроллер")));
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join(';').toStdString();
    emit window->Actions().controllerMenu->aboutToShow();
    EXPECT_TRUE(window->Actions().virtualController->isChecked());
    EXPECT_TRUE(window->Actions().resetController->isEnabled());
    EXPECT_EQ(Caption(window->Actions().startStopUsb), QStringLiteral("Стоп USB устройства"));
    emit window->Actions().diskMenu->aboutToShow();
    EXPECT_TRUE(window->Actions().scanAndRead->isEnabled());
}

TEST_F(MainWindowTest, SilentControllerAtStartIsReportedAndTheWindowStaysUsable) {
    UseVirtualAtStart(true);
    Make();
    window->Link().Virtual().SilenceCommand(static_cast<std::uint8_t>(CommandCode::Identify));
    window->StartUp();
    EXPECT_EQ(dialogs->messages, QStringList{QStringLiteral("Ошибка!|ZX контроллер не найден...")});
    EXPECT_TRUE(window->Link().Active());
    EXPECT_TRUE(window->StatusText(1).isEmpty());
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
    Make();
    window->show();
    ASSERT_TRUE(window->StartedUp());
    window->Actions().exit->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, DriveCommandsSwitchTheControllersDriveAndTheSetting) {
    UseVirtualAtStart(true);
    Make();
    window->StartUp();
    window->Actions().driveB->trigger();
    EXPECT_TRUE(window->Actions().driveB->isChecked());
    EXPECT_FALSE(window->Actions().driveA->isChecked());
    EXPECT_EQ(window->CurrentSettings().Drive, QStringLiteral("B"));
    EXPECT_EQ(IniValue(QStringLiteral("Option/Drive")), QStringLiteral("B"));
    EXPECT_EQ(window->Link().Virtual().Register(0x28) & 1, 1);

    window->Actions().driveA->trigger();
    EXPECT_TRUE(window->Actions().driveA->isChecked());
    EXPECT_FALSE(window->Actions().driveB->isChecked());
    EXPECT_EQ(IniValue(QStringLiteral("Option/Drive")), QStringLiteral("A"));
    EXPECT_EQ(window->Link().Virtual().Register(0x28) & 1, 0);
    EXPECT_TRUE(dialogs->messages.isEmpty());
}

TEST_F(MainWindowTest, RestartKeepsTheStoredDrive) {
    UseVirtualAtStart(true);
    {
        QSettings ini(Ini(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Option/Drive"), QStringLiteral("B"));
    }
    Make();
    window->StartUp();
    EXPECT_TRUE(window->Actions().driveB->isChecked());
    EXPECT_EQ(window->Link().Virtual().Register(0x28) & 1, 1);
    EXPECT_TRUE(window->Link().Virtual().HasDisk(virt::Drive::B));  // demo disk put there
}

TEST_F(MainWindowTest, ResetControllerQuietWithDiskAndTimesOutWhenSilent) {
    UseVirtualAtStart(true);
    Make();
    window->StartUp();
    window->Actions().resetController->trigger();
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join(';').toStdString();
    window->Link().Virtual().SilenceNextCommands(1);
    window->LinkOps().ResetControllerCommand();
    EXPECT_EQ(dialogs->messages, QStringList{QStringLiteral("Ошибка!|Время ожидания вышло...")});
}

TEST_F(MainWindowTest, StoppingTheLinkDisablesDiskCommands) {
    UseVirtualAtStart(true);
    Make();
    window->StartUp();
    window->Actions().startStopUsb->trigger();
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB устройство остановлено!"));
    emit window->Actions().diskMenu->aboutToShow();
    for (QAction* a : window->Actions().diskMenu->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
        }
    }
    emit window->Actions().controllerMenu->aboutToShow();
    EXPECT_EQ(Caption(window->Actions().startStopUsb), QStringLiteral("Старт USB устройства"));
    window->Actions().startStopUsb->trigger();
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB <-> Parallel"));
}

TEST_F(MainWindowTest, ControllerCommandsDuringAnExchangeAreDisabledAndRefused) {
    UseVirtualAtStart(true);
    Make();
    window->StartUp();
    ControllerProtocol& protocol = window->Link().Protocol();
    virt::VirtualController& device = window->Link().Virtual();
    device.SetRealTime(true);  // the long seek below takes about half a second
    LinkClaim operation = protocol.Claim();
    ASSERT_TRUE(operation.Held());
    protocol.SendCommand(CommandCode::Seek, 160);
    device.ClearReceivedFrames();
    const QAction* items[] = {window->Actions().driveA,
                              window->Actions().driveB,
                              window->Actions().resetController,
                              window->Actions().startStopUsb,
                              window->Actions().virtualController,
                              window->Actions().virtualImage,
                              window->Actions().scanAndRead};
    std::vector<bool> enabled;
    QTimer::singleShot(20, [&] {
        emit window->Actions().controllerMenu->aboutToShow();
        emit window->Actions().diskMenu->aboutToShow();
        for (const QAction* a : items)
            enabled.push_back(a->isEnabled());
        window->LinkOps().ResetControllerCommand();
        window->LinkOps().SelectDriveCommand(true);
        window->LinkOps().StartStopUsb();
        window->LinkOps().SetVirtualController(false);
        window->LinkOps().PutImageIntoVirtualDrive(QString());
    });
    ASSERT_EQ(protocol.WaitAnswer(), WaitResult::Answer);
    const AnswerRecord* seek = window->Link().Port().TakeAnswer();
    ASSERT_NE(seek, nullptr);
    EXPECT_EQ(seek->Byte(1), 160) << "the first exchange got its own record";
    EXPECT_EQ(enabled, std::vector<bool>(std::size(items), false));
    EXPECT_TRUE(device.ReceivedFrames().empty()) << "no refused command reached the device";
    EXPECT_EQ(dialogs->messages.size(), 5);
    for (const QString& m : dialogs->messages)
        EXPECT_EQ(m, QStringLiteral("Ошибка!|Контроллер занят: дождитесь конца текущей операции."));
    EXPECT_TRUE(window->Link().IsVirtual());
    EXPECT_TRUE(window->Link().Active());
    operation.Release();
    emit window->Actions().controllerMenu->aboutToShow();
    EXPECT_TRUE(window->Actions().resetController->isEnabled());
}

TEST_F(MainWindowTest, FailedDeviceShowsTheStoppedLinkAndCanBeStartedAgain) {
    UseVirtualAtStart(true);
    Make();
    window->StartUp();
    window->Link().Virtual().Vanish();
    window->Link().Port().Poll();
    QApplication::processEvents();
    EXPECT_FALSE(window->Link().Active());
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB устройство остановлено!"));
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages[0].startsWith(
        QStringLiteral("Ошибка!|Связь с контроллером потеряна.\nFT_GetQueueStatus")));
    window->Link().Virtual().Reappear();
    window->Actions().startStopUsb->trigger();
    EXPECT_TRUE(window->Link().Active());
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB <-> Parallel"));
}

TEST_F(MainWindowTest, VirtualSwitchRestartsTheLinkAndIsRemembered) {
    Make();
    window->StartUp();
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB устройство не найдено!"));
    window->Actions().virtualController->trigger();
    EXPECT_TRUE(window->Link().IsVirtual());
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB <-> Parallel"));
    EXPECT_EQ(IniValue(QStringLiteral("VirtualController/Enabled")), QStringLiteral("true"));
    window->Actions().virtualController->trigger();
    EXPECT_FALSE(window->Link().IsVirtual());
    EXPECT_EQ(window->StatusText(0), QStringLiteral("USB устройство не найдено!"));
    EXPECT_EQ(IniValue(QStringLiteral("VirtualController/Enabled")), QStringLiteral("false"));
}

TEST_F(MainWindowTest, ImageInVirtualDriveIsReadBackThroughTheProtocol) {
    if (!QFile::exists(CorpusTrd())) GTEST_SKIP() << "corpus not found";
    UseVirtualAtStart(true);
    Make();
    window->StartUp();
    answers = {CorpusTrd()};
    window->Actions().virtualImage->trigger();
    EXPECT_EQ(IniValue(QStringLiteral("VirtualController/Image")), CorpusTrd());
    EXPECT_TRUE(window->StatusText(2).endsWith(QStringLiteral("test_disk.trd")));

    Bytes file;
    ASSERT_TRUE(ReadWholeFile(CorpusTrd().toStdString(), file));
    ControllerProtocol& p = window->Link().Protocol();
    ASSERT_LT(p.QueryStatus(), kStatusErrorRecord);
    ASSERT_TRUE(p.SeekTrack(0));
    p.SendCommand(CommandCode::ReadSector, 9);
    ASSERT_EQ(p.WaitAnswer(), WaitResult::Answer);
    ASSERT_NE(window->Link().Port().TakeAnswer(), nullptr);
    const AnswerRecord& answer = p.CurrentAnswer();
    ASSERT_GE(answer.data.size(), 256u);
    EXPECT_TRUE(std::equal(answer.data.begin(), answer.data.begin() + 256, file.begin() + 8 * 256));
}

TEST_F(MainWindowTest, UnreadableVirtualImageIsReportedAndNotRemembered) {
    Make();
    answers = {dir.filePath(QStringLiteral("missing.trd"))};
    window->LinkOps().ChooseVirtualImageCommand();
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages[0].startsWith(QStringLiteral("Ошибка!|")));
    EXPECT_TRUE(IniValue(QStringLiteral("VirtualController/Image")).isEmpty());
}

TEST_F(MainWindowTest, LoadAsThroughTheMenuShowsTheImage) {
    if (!QFile::exists(CorpusTrd())) GTEST_SKIP() << "corpus not found";
    Make();
    answers = {CorpusTrd()};
    window->Actions().loadAs->trigger();
    const unsigned tracks = window->Disk().CountTracks();
    ASSERT_GT(tracks, 0u);
    EXPECT_EQ(window->StatusText(1), QStringLiteral("Disk Image - ") + CorpusTrd() +
                                         QStringLiteral(" (Дорожек - ") + QString::number(tracks) +
                                         QLatin1Char(')'));
    // The refresh of the current cell comes last and acts as a click: the log page.
    auto* pc1 = window->findChild<QTabWidget*>(QStringLiteral("pc1"));
    EXPECT_EQ(pc1->currentIndex(), 0);
    emit window->Actions().imageMenu->aboutToShow();
    EXPECT_TRUE(window->Actions().saveNative->isEnabled());
}

TEST_F(MainWindowTest, ClearImageAsksAndEmptiesTheViews) {
    Make();
    window->Disk().GetTrack(2)->Present = 255;
    window->Views().AppendLog(QStringLiteral("line"));
    window->Views().SetCommentLines({QStringLiteral("comment")});
    dialogs->yesNo = Answer::No;
    window->Actions().clearImage->trigger();
    EXPECT_EQ(
        dialogs->questions,
        QStringList{QStringLiteral("Очистка образа..|Вы действительно хотите очистить образ?")});
    EXPECT_EQ(window->Disk().CountTracks(), 1);
    dialogs->yesNo = Answer::Yes;
    window->Actions().toolClear->trigger();
    EXPECT_EQ(window->Disk().CountTracks(), 0);
    EXPECT_TRUE(window->LogLines().isEmpty());
    EXPECT_TRUE(window->findChild<QPlainTextEdit*>(QStringLiteral("lb1"))->toPlainText().isEmpty());
}

// Nothing may keep naming a file whose image is gone: a later "Сохранить" would offer to
// overwrite it with whatever the user builds next.
TEST_F(MainWindowTest, ClearImageForgetsTheFileName) {
    const QString trd = dir.filePath(QStringLiteral("two.trd"));
    ASSERT_TRUE(WriteFileAtomically(trd.toStdString(), Bytes(2 * 4096, 0)));
    Make();
    answers = {trd};
    window->Actions().loadAs->trigger();
    ASSERT_TRUE(window->StatusText(1).contains(trd));
    ASSERT_EQ(window->ImageCommands().CurrentName(), QStringLiteral("two.trd"));
    window->Actions().clearImage->trigger();
    EXPECT_TRUE(window->StatusText(1).isEmpty());
    EXPECT_TRUE(window->ImageCommands().CurrentName().isEmpty());
    window->Actions().saveNative->trigger();  // cancelled
    EXPECT_TRUE(requests.back().fileName.isEmpty());
}

TEST_F(MainWindowTest, CommentGoesIntoTheImageWhenTheMemoLosesFocus) {
    Make();
    auto* lb1 = window->findChild<QPlainTextEdit*>(QStringLiteral("lb1"));
    lb1->setPlainText(QStringLiteral("first line\nвторая строка"));
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(lb1, &out);
    EXPECT_EQ(window->Disk().DiskLog, (std::vector<std::string>{"first line", "вторая строка"}));
    lb1->clear();
    QApplication::sendEvent(lb1, &out);
    EXPECT_TRUE(window->Disk().DiskLog.empty());
}

// What a reader noted about the file it loaded stays in the log after the load's refresh
// of the views; a file that lacks sectors also says so in a box.
TEST_F(MainWindowTest, ReaderNotesOfALoadedFileAreShownInTheLog) {
    const QString cut = dir.filePath(QStringLiteral("cut.trd"));
    ASSERT_TRUE(WriteFileAtomically(cut.toStdString(), Bytes(kTrdTrackSize + 1000, 0x41)));
    const QString marked = dir.filePath(QStringLiteral("marked.udi"));
    {
        auto disk = std::make_unique<DiskImage>();
        ASSERT_TRUE(LoadImageFile(cut.toStdString(), *disk));
        Bytes udi;
        ASSERT_TRUE(WriteUdi(*disk, udi));
        udi[11] = 1;  // the reserved header byte
        test::Reseal(udi);
        ASSERT_TRUE(WriteFileAtomically(marked.toStdString(), udi));
    }
    const QString cutNote = QStringLiteral(
        "The TRD file ends 1000 bytes into track 1: the last 3096 bytes of the "
        "track are missing, and its sectors 4..16 are loaded without data (sector "
        "4 has only 232 of its 256 bytes).");
    const struct {
        QString path;
        QString line;
        QStringList boxes;
    } cases[] = {
        {cut,
         QStringLiteral("cut.trd: ") + cutNote,
         {QStringLiteral("Внимание..!|Файл образа неполон: cut.trd\n") + cutNote}},
        {marked,
         QStringLiteral("marked.udi: The reserved byte of the UDI header (offset 11) is 1, not 0; "
                        "the file was read as usual."),
         {}},
    };
    Make();
    for (const auto& c : cases) {
        dialogs->messages.clear();
        answers = {c.path};
        window->Actions().loadAs->trigger();
        EXPECT_EQ(window->Disk().CountTracks(), 2) << c.path.toStdString();
        EXPECT_TRUE(window->LogLines().contains(c.line))
            << window->LogLines().join('\n').toStdString();
        EXPECT_EQ(dialogs->messages, c.boxes);
    }
}

// A comment typed in the window goes into the file either save writes and comes back into
// the comment page when that file is loaded again. (That each format which can hold a
// comment keeps it is the image files' own test.)
TEST_F(MainWindowTest, TypedCommentIsShownAgainWhenItsFileIsLoaded) {
    const QString trd = dir.filePath(QStringLiteral("two.trd"));
    ASSERT_TRUE(WriteFileAtomically(trd.toStdString(), Bytes(2 * kTrdTrackSize, 0x41)));
    Make();
    answers = {trd};
    window->Actions().loadAs->trigger();
    auto* lb1 = window->findChild<QPlainTextEdit*>(QStringLiteral("lb1"));
    QFocusEvent out(QEvent::FocusOut);
    const struct {
        const char* name;
        QAction* save;
        QAction* load;
    } files[] = {{"c.td0", window->Actions().saveAs, window->Actions().loadAs},
                 {"c.udf", window->Actions().saveNative, window->Actions().loadNative}};
    for (const auto& f : files) {
        const QString path = dir.filePath(QLatin1String(f.name));
        lb1->setPlainText(QStringLiteral("набрано в окне\nsecond line"));
        QApplication::sendEvent(lb1, &out);
        answers = {path};
        f.save->trigger();
        ASSERT_TRUE(QFile::exists(path)) << f.name;
        lb1->clear();
        QApplication::sendEvent(lb1, &out);
        answers = {path};
        f.load->trigger();
        EXPECT_EQ(lb1->toPlainText(), QStringLiteral("набрано в окне\nsecond line")) << f.name;
    }
}

TEST_F(MainWindowTest, CommentButtonsKeepOrRevertAnEdit) {
    Make();
    window->Disk().DiskLog = {"kept"};
    window->Views().SetCommentLines({QStringLiteral("kept")});
    auto* lb1 = window->findChild<QPlainTextEdit*>(QStringLiteral("lb1"));
    const QList<QAction*> buttons =
        window->findChild<QToolBar*>(QStringLiteral("tbComment"))->actions();
    ASSERT_EQ(buttons.size(), 2);
    QAction* accept = buttons[0];
    QAction* cancel = buttons[1];
    EXPECT_EQ(accept->text(), QStringLiteral("Принять"));
    EXPECT_EQ(cancel->text(), QStringLiteral("Отменить"));
    EXPECT_FALSE(accept->isEnabled());
    lb1->moveCursor(QTextCursor::End);
    lb1->insertPlainText(QStringLiteral("\nlost"));
    EXPECT_TRUE(accept->isEnabled());
    EXPECT_TRUE(cancel->isEnabled());
    cancel->trigger();
    EXPECT_EQ(lb1->toPlainText(), QStringLiteral("kept"));
    EXPECT_FALSE(accept->isEnabled());
    lb1->moveCursor(QTextCursor::End);
    lb1->insertPlainText(QStringLiteral("\nnew"));
    accept->trigger();
    EXPECT_EQ(window->Disk().DiskLog, (std::vector<std::string>{"kept", "new"}));
    EXPECT_FALSE(accept->isEnabled());
}

TEST_F(MainWindowTest, ToolButtonsWorkWhateverTheMenuSaid) {
    Make();
    window->UpdateImageMenu();  // no image: "Сохранить" disabled
    ASSERT_FALSE(window->Actions().saveNative->isEnabled());
    window->Actions().toolSave->trigger();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().title, QStringLiteral("Сохранить образ диска в файл.."));
    window->Actions().toolSaveUdi->trigger();
    EXPECT_EQ(requests.back().filter, QStringLiteral("Ultra Disk Image (*.udi)|*.udi"));
}

TEST_F(MainWindowTest, LogLinesBecomeTheSelectedLine) {
    Make();
    window->Views().AppendLog(QStringLiteral("one"));
    window->Views().AppendLog(QStringLiteral("two"));
    auto* list = window->findChild<QListWidget*>(QStringLiteral("Lzx1"));
    EXPECT_EQ(list->currentRow(), 1);
    emit window->Map()->logClearRequested();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(window->findChild<QTabWidget*>(QStringLiteral("pc1"))->currentIndex(), 0);
}

TEST_F(MainWindowTest, ContextMenuRemoveSectorOnTrackLabelReportsThroughTheWindow) {
    Make();
    window->Disk().GetTrack(0)->Present = 255;
    window->Map()->prepareContextMenu(0, 0);
    window->Map()->menuAction(MapMenuEntry::RemoveSector)->setEnabled(true);
    window->Map()->menuAction(MapMenuEntry::RemoveSector)->trigger();
    EXPECT_EQ(dialogs->messages,
              QStringList{QStringLiteral("Ошибка!|Сектор для чтения не выбран!")});
}

TEST_F(MainWindowTest, SetBaseTrackRenamesTheTemplateItem) {
    Make();
    Track* t = window->Disk().GetTrack(4);
    t->Present = 255;
    t->RawLength = 100;
    window->Map()->prepareContextMenu(0, 4);
    window->Map()->menuAction(MapMenuEntry::SetBaseTrack)->trigger();
    EXPECT_EQ(window->Actions().useBaseTemplate->text(),
              QStringLiteral("Использовать базовый шаблон для всех дорожек (Трэк - 4)"));
    EXPECT_EQ(window->Disk().BaseTrack, 4);
}

TEST_F(MainWindowTest, SettingsCommandWritesOnlyWhenAccepted) {
    Make();
    window->StartUp();
    const QString before = IniValue(QStringLiteral("Option/RetryCount"));
    window->SetSettingsDialog(nullptr);
    // Reject through a dialog closed as soon as it shows.
    QTimer::singleShot(0, window.get(), [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    window->ProgramSettingsCommand();
    EXPECT_EQ(IniValue(QStringLiteral("Option/RetryCount")), before);
}

TEST_F(MainWindowTest, SettingsCommandWritesTheDialogsValuesWhenAccepted) {
    Make();
    window->StartUp();
    QTimer::singleShot(0, window.get(), [] {
        auto* dialog = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QSpinBox*>(QStringLiteral("RetryCount"))->setValue(42);
        dialog->findChild<QCheckBox*>(QStringLiteral("SetSectorSizeFromHead"))->click();
        dialog->AcceptButton()->click();
    });
    window->Actions().programSettings->trigger();
    EXPECT_EQ(window->CurrentSettings().RetryCount, 42);
    EXPECT_TRUE(window->CurrentSettings().SetSectorSizeFromHead);
    EXPECT_EQ(IniValue(QStringLiteral("Option/RetryCount")), QStringLiteral("42"));
    EXPECT_EQ(IniValue(QStringLiteral("Option/SetSectorSizeFromHead")), QStringLiteral("true"));
}

TEST_F(MainWindowTest, BaseTemplateItemTogglesOnlyWithARawBaseTrack) {
    Make();
    QAction* use = window->Actions().useBaseTemplate;
    ASSERT_TRUE(use->isChecked());
    use->trigger();  // checked: unchecks and clears UseBaseTrack
    EXPECT_FALSE(use->isChecked());
    EXPECT_FALSE(window->Disk().UseBaseTrack);
    use->trigger();  // no base track: stays unchecked
    EXPECT_FALSE(use->isChecked());
    Track* t = window->Disk().GetTrack(6);
    t->Present = 255;
    t->RawLength = 50;
    window->Disk().BaseTrack = 6;
    use->trigger();
    EXPECT_TRUE(use->isChecked());
    EXPECT_TRUE(window->Disk().UseBaseTrack);
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

// The viewer opens at the zoom the file remembers and writes each change back.
TEST_F(MainWindowTest, ScreenViewerRemembersItsZoom) {
    QSettings(Ini(), QSettings::IniFormat).setValue(QStringLiteral("Interface/ScreenZoom"), 3);
    Make();
    ScreenViewer* viewer = window->ScreenViewerWindow();
    EXPECT_EQ(viewer->zoom(), 3);
    viewer->zoomAction(2)->trigger();
    EXPECT_EQ(IniValue(QStringLiteral("Interface/ScreenZoom")), QStringLiteral("2"));
}

}  // namespace
}  // namespace morvane
