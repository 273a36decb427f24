// The main window's disk commands run against the virtual controller with its
// demonstration disk in drive A (160 tracks of sixteen 256-byte sectors; the data CRC of
// sector 14 on track 2 and of sector 2 on track 3 reads wrong).
#include "ui/shell/DiskCommands.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "NoDeviceDriver.h"
#include "support/ScriptedAsker.h"
#include "controller/ControllerProtocol.h"
#include "controller/virtual/VirtualController.h"
#include "controller/virtual/VirtualDisk.h"
#include "filesystems/CpmDirectory.h"
#include "filesystems/NewImages.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/LinkCommands.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ProgressWindow.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/HexView.h"
#include "ui/views/MapCells.h"
#include "ui/views/SectorView.h"

namespace morvane {
namespace {

constexpr const char* kBusyMessage = "Ошибка!|Контроллер занят: дождитесь конца текущей операции.";

using ScriptedDialogs = test::ScriptedAsker;

class DiskCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainWindowOptions o;
        o.iniPath = dir.filePath(QStringLiteral("Morvane.ini"));
        o.programFolder = dir.path();
        o.dialogs = dialogs;
        o.hardwareDriver = [] { return std::make_unique<test::NoDeviceDriver>(); };
        o.raisePriority = false;
        window = std::make_unique<MainWindow>(std::move(o));
        window->StartUp();
        window->LinkOps().SetVirtualController(true);
        ASSERT_TRUE(window->Link().Active());
    }

    virt::VirtualController& Virtual() { return window->Link().Virtual(); }
    ProgressWindow& Progress() { return *window->Progress(); }
    const Track& TrackAt(int t) { return *window->Disk().GetTrack(static_cast<std::uint8_t>(t)); }
    bool Present(int t) { return TrackAt(t).Present != 0; }

    QString LastLogLine() {
        const QStringList lines = window->LogLines();
        return lines.isEmpty() ? QString() : lines.back();
    }

    // Right click on the cell, then the entry, as the user does it.
    void MapEntry(MapMenuEntry entry, int column, int row) {
        window->Map()->prepareContextMenu(column, row);
        emit window->Map()->contextMenu()->aboutToShow();
        window->Map()->menuAction(entry)->trigger();
    }

    // The track's entries need a present track: "Добавить дорожку", then "Сканировать
    // дорожку".
    void ScanFromMap(int t) {
        MapEntry(MapMenuEntry::AddTrack, 0, t);
        MapEntry(MapMenuEntry::ScanTrack, 0, t);
        ASSERT_NE(TrackAt(t).Slots[15].Present, 0) << t;
    }

    // The map column of the slot holding sector r of track t (scanned before).
    int ColumnOfSector(int t, std::uint8_t r) {
        const int slot = window->Disk().FindSectorIndex(static_cast<std::uint8_t>(t), r);
        return slot < 0 ? -1 : slot + 1;
    }

    int FramesWithCode(CommandCode code) {
        int n = 0;
        for (const auto& f : Virtual().ReceivedFrames())
            n += f.Code == static_cast<std::uint8_t>(code) ? 1 : 0;
        return n;
    }

    QTemporaryDir dir;
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    std::unique_ptr<MainWindow> window;
};

// --- The five launchers

struct LauncherCase {
    const char* name;
    QAction* MainActions::*action;
    const char* caption;
    int count;
    bool rawImages;  // the tracks end with a raw image
    // The sectors end with their data; not looked at for the raw read, whose slots come
    // from decoding the raw images.
    std::optional<bool> sectorsRead;
    const char* lastLine;
};

const LauncherCase kLaunchers[] = {
    {"full read", &MainActions::fullRead, "Полное чтение диска", 162, true, true,
     "Сбойных секторов - 2"},
    {"raw read", &MainActions::rawRead, "Чтение сырых данных дорожек", 162, true, std::nullopt,
     "Операция выполнена!"},
    {"track scan", &MainActions::trackScan, "Сканирование дорожек диска", 166, false, false,
     "Операция выполнена!"},
    {"scan and read", &MainActions::scanAndRead, "Сканирование с посекторным чтением", 166, false,
     true, "Сбойных секторов - 2"},
    {"tool button tb4", &MainActions::toolScanAndRead, "Сканирование с посекторным чтением", 166,
     false, true, "Сбойных секторов - 2"},
    {"fast read", &MainActions::fastRead, "Быстрое чтение диска", 166, false, true,
     "Сбойных секторов - 2"},
};

TEST_F(DiskCommandsTest, FastReadFollowsScanAndReadInTheDiskMenu) {
    QStringList captions;
    for (QAction* a : window->Actions().diskMenu->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text().remove(QLatin1Char('&')));
    EXPECT_EQ(captions, (QStringList{"Полное чтение диска", "Чтение сырых данных",
                                     "Сканирование дорожек", "Чтение секторов по  меткам",
                                     "Сканирование и чтение секторов диска", "Быстрое чтение диска",
                                     "Перечитать сбойные сектора",
                                     "Восстановить сбойные сектора...", "-", "Форматировать диск",
                                     "Записать диск", "-", "Считать ZX каталог"}));
    EXPECT_EQ(window->Actions().fastRead->objectName(), QStringLiteral("actFastRead"));
}

TEST_F(DiskCommandsTest, EachLauncherRunsItsModeOverItsTracksInTheProgressWindow) {
    for (const LauncherCase& c : kLaunchers) {
        SCOPED_TRACE(c.name);
        window->Disk().ClearImage();
        bool shownDuringRun = false;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout,
                         [&] { shownDuringRun |= Progress().isVisible(); });
        probe.start(0);
        (window->Actions().*c.action)->trigger();
        probe.stop();

        EXPECT_TRUE(shownDuringRun);
        EXPECT_FALSE(Progress().isVisible());
        EXPECT_EQ(Progress().windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(Progress().ProgressBar()->maximum(), c.count);
        EXPECT_EQ(Progress().ProgressBar()->value(), c.count);
        EXPECT_EQ(Progress().TrackValue()->text(), QString::number(c.count - 1));
        EXPECT_EQ(LastLogLine(), QString::fromUtf8(c.lastLine));
        EXPECT_EQ(window->Link().Protocol().TimeoutInterval(), kTimeoutSingleMs);
        EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join(';').toStdString();
        // The demonstration disk fills tracks 0..159; the tracks beyond are empty.
        EXPECT_TRUE(Present(0) && Present(159));
        EXPECT_NE(TrackAt(7).Slots[15].Present, 0);
        EXPECT_EQ(TrackAt(7).RawLength > 0, c.rawImages);
        if (c.sectorsRead) {
            EXPECT_EQ(TrackAt(7).Slots[0].DataLength == 256 && TrackAt(7).Slots[0].DataGood != 0,
                      *c.sectorsRead);
        }
    }
}

TEST_F(DiskCommandsTest, SectorReadByMarksVisitsAsManyTracksAsArePresent) {
    window->Actions().readByMarks->trigger();  // nothing present: nothing happens
    EXPECT_EQ(FramesWithCode(CommandCode::ReadSectors), 0);
    EXPECT_TRUE(window->LogLines().isEmpty());

    for (int t : {10, 11, 12})
        ScanFromMap(t);
    Virtual().ClearReceivedFrames();
    window->Actions().readByMarks->trigger();
    EXPECT_EQ(Progress().windowTitle(), QStringLiteral("Посекторное чтение диска"));
    EXPECT_EQ(Progress().ProgressBar()->maximum(), 3);
    EXPECT_EQ(Progress().TrackValue()->text(), QStringLiteral("2"));
    // Tracks 0..2 hold no ID fields yet, so no sector list is sent.
    EXPECT_EQ(FramesWithCode(CommandCode::ReadSectors), 0);
    EXPECT_EQ(LastLogLine(), QStringLiteral("Операция выполнена!"));
}

// --- Cancel

struct CancelCase {
    const char* name;
    QAction* MainActions::*action;
    int cancelAtTrack;
};

TEST_F(DiskCommandsTest, CancelStopsTheRunAtTheNextPhaseBoundary) {
    const CancelCase cases[] = {
        {"scan", &MainActions::trackScan, 3},
        {"raw read", &MainActions::rawRead, 2},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.name);
        window->Disk().ClearImage();
        std::optional<int> clickedAt;
        QTimer clicker;
        QObject::connect(&clicker, &QTimer::timeout, [&] {
            if (clickedAt || !Progress().Running()) return;
            const int shown = Progress().TrackValue()->text().toInt();
            if (shown < c.cancelAtTrack) return;
            clickedAt = shown;
            Progress().CancelButton()->click();
        });
        clicker.start(0);
        (window->Actions().*c.action)->trigger();
        clicker.stop();

        ASSERT_TRUE(clickedAt.has_value());
        EXPECT_FALSE(Progress().isVisible());
        EXPECT_EQ(LastLogLine(), QStringLiteral("Операция отменена пользователем!"));
        EXPECT_FALSE(window->LogLines().contains(QStringLiteral("Операция выполнена!")));
        // The phase in progress finished: the track shown at the click (or the next one,
        // when the click came during the seek to it) holds what it read; nothing later.
        const int last = Present(*clickedAt + 1) ? *clickedAt + 1 : *clickedAt;
        for (int t = 0; t <= last; ++t)
            EXPECT_TRUE(Present(t)) << t;
        EXPECT_FALSE(Present(last + 1));
        EXPECT_EQ(TrackAt(last).RawLength > 0, c.action == &MainActions::rawRead);
        EXPECT_EQ(window->Link().Protocol().TimeoutInterval(), kTimeoutSingleMs);
    }
}

// --- The map's context menu

struct SectorReadCase {
    const char* name;
    int weakReads;  // reads of sector 14 that fail before it reads well; -1: always
    std::deque<Answer> answers;
    int questions;
    const char* lastLine;
    bool dataGood;
};

TEST_F(DiskCommandsTest, ReadSectorFromTheMapAsksAbortRetryIgnoreAfterTheSilentRereads) {
    using A = Answer;
    const SectorReadCase cases[] = {
        {"weak sector recovers silently", 5, {}, 0, "Сектор - 14 считан!(длинна - 256 byte)", true},
        {"ignore keeps the data", -1, {A::Ignore}, 1, "Сектор считан с ошибкой!", false},
        {"abort", -1, {A::Abort}, 1, "Отменено пользователем!", false},
        {"retry, then ignore", -1, {A::Retry, A::Ignore}, 2, "Сектор считан с ошибкой!", false},
    };
    ScanFromMap(5);
    const int column = ColumnOfSector(5, 14);
    ASSERT_GE(column, 1);
    for (const SectorReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Virtual().Faults().Clear();
        Virtual().Faults().AddDataCrcError(virt::Drive::A, 5, 14, c.weakReads);
        dialogs->questions.clear();
        dialogs->answers = c.answers;
        MapEntry(MapMenuEntry::ReadSector, column, 5);

        EXPECT_EQ(dialogs->questions.size(), c.questions);
        for (const QString& q : dialogs->questions)
            EXPECT_TRUE(q.startsWith(QStringLiteral("Ошибка чтения|Ошибка - "))) << q.toStdString();
        EXPECT_EQ(LastLogLine(), QString::fromUtf8(c.lastLine));
        EXPECT_EQ(window->LogLines().contains(QStringLiteral("Повтор команды!")), c.questions == 2);
        EXPECT_EQ(TrackAt(5).Slots[column - 1].DataGood != 0, c.dataGood);
    }
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join(';').toStdString();
}

struct MapEntryCase {
    const char* name;
    MapMenuEntry entry;
    bool onSector;  // on slot 0's cell, else on the track's own cell
    CommandCode sentCode;
    const char* lastLine;  // null: the read line of the last slot's sector
};

TEST_F(DiskCommandsTest, EveryDiskEntryOfTheMapActsOnThePopupPosition) {
    const MapEntryCase cases[] = {
        {"read sector", MapMenuEntry::ReadSector, true, CommandCode::ReadSector,
         "Сектор - 1 считан!(длинна - 256 byte)"},
        {"read raw", MapMenuEntry::ReadRawTrack, false, CommandCode::ReadTrack,
         "Чтение RAW дорожки завершено!"},
        {"read the track's sectors", MapMenuEntry::ReadTrackSectors, false,
         CommandCode::ReadSectors, nullptr},
        {"scan", MapMenuEntry::ScanTrack, false, CommandCode::ReadAddresses,
         "Сканирование завершено. Найдено 16 секторов."},
        {"write sector", MapMenuEntry::WriteSector, true, CommandCode::WriteSector,
         "Запись сектора успешно завершена!"},
        {"format track", MapMenuEntry::FormatTrack, false, CommandCode::WriteTrack,
         "Форматирование дорожки завершено!"},
    };
    constexpr int kRow = 8;
    ScanFromMap(kRow);
    ASSERT_EQ(TrackAt(kRow).Slots[0].Sector, 1);
    for (const MapEntryCase& c : cases) {
        SCOPED_TRACE(c.name);
        Virtual().ClearReceivedFrames();
        MapEntry(c.entry, c.onSector ? 1 : 0, kRow);
        EXPECT_GE(FramesWithCode(c.sentCode), 1);
        const QString expected =
            c.lastLine ? QString::fromUtf8(c.lastLine)
                       : QStringLiteral("Чтение сектора - %1").arg(TrackAt(kRow).Slots[15].Sector);
        EXPECT_EQ(LastLogLine(), expected);
    }
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join(';').toStdString();

    // "Записать дорожку": the track formatted after its own layout, then its sectors.
    Virtual().ClearReceivedFrames();
    MapEntry(MapMenuEntry::WriteTrack, 0, kRow);
    EXPECT_EQ(FramesWithCode(CommandCode::WriteTrack), 1);
    EXPECT_EQ(FramesWithCode(CommandCode::WriteSector), 16);
    EXPECT_EQ(LastLogLine(), QStringLiteral("Записано секторов - 16"));
}

// "Записать диск" and "Форматировать диск" put the image, or an empty disk of the chosen
// kind, onto a blank disk in the drive.
TEST_F(DiskCommandsTest, WriteAndFormatDiskFillABlankDisk) {
    CreateTrDosImage(window->Disk(), "MORVANE");
    window->Disk().GetSlot(0, 0)->Data[0] = 0x5A;
    Virtual().InsertDisk(virt::Drive::A, std::make_unique<virt::VirtualDisk>());
    window->UpdateDiskMenu();
    window->Actions().writeDisk->trigger();
    EXPECT_EQ(LastLogLine(), QStringLiteral("Записано секторов - 2560"));
    auto onDisk = std::make_unique<DiskImage>();
    ASSERT_TRUE(Virtual().SaveImage(virt::Drive::A, *onDisk));
    for (const std::uint8_t t : {0, 1, 159}) {
        SCOPED_TRACE(int{t});
        for (std::uint8_t r = 1; r <= 16; ++r) {
            const SectorSlot* written = window->Disk().FindSector(t, r);
            const SectorSlot* read = onDisk->FindSector(t, r);
            ASSERT_TRUE(written && read);
            EXPECT_EQ(read->Data, written->Data);
        }
    }

    dialogs->yesNoCancel = Answer::No;  // "Нет": a Profi CP/M disk
    window->Actions().formatDisk->trigger();
    ASSERT_TRUE(Virtual().SaveImage(virt::Drive::A, *onDisk));
    EXPECT_TRUE(IsCpmImage(*onDisk));
    EXPECT_EQ(window->Disk().GetSlot(0, 0)->Data[0], 0x5A);  // the image is left alone
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join(';').toStdString();
}

// Every command that writes to the disk asks first, naming the drive and what it
// overwrites; Cancel (the box's default and its Escape) writes nothing.
TEST_F(DiskCommandsTest, EveryCommandThatWritesTheDiskAsksFirstAndCancelWritesNothing) {
    constexpr int kRow = 8;
    ScanFromMap(kRow);
    const QString track8 = QStringLiteral("дорожк%1 8 (цилиндр 4, сторона 0)");
    struct WriteCase {
        const char* name;
        std::function<void()> command;
        QStringList named;  // what the question names besides the drive
    };
    const WriteCase cases[] = {
        {"write disk", [&] { window->Actions().writeDisk->trigger(); },
         {QStringLiteral("Записать образ на диск"), QStringLiteral("с 8 по 8")}},
        {"write sector", [&] { MapEntry(MapMenuEntry::WriteSector, 1, kRow); },
         {QStringLiteral("Записать сектор 1 "), track8.arg(QStringLiteral("и"))}},
        {"write track", [&] { MapEntry(MapMenuEntry::WriteTrack, 0, kRow); },
         {QStringLiteral("Записать "), track8.arg(QStringLiteral("у"))}},
        {"format track", [&] { MapEntry(MapMenuEntry::FormatTrack, 0, kRow); },
         {QStringLiteral("Разметить заново "), track8.arg(QStringLiteral("у"))}},
        {"format disk as CP/M", [&] {
             dialogs->answers = {Answer::No};
             window->Actions().formatDisk->trigger();
         },
         {QStringLiteral("под CP/M Profi"), QStringLiteral("Все 160 дорожек")}},
        {"format disk as TR-DOS", [&] {
             window->DiskOps().SetTrDosNameAsker([] { return QStringLiteral("WORK"); });
             dialogs->answers = {Answer::Yes};
             window->Actions().formatDisk->trigger();
         },
         {QStringLiteral("под TR-DOS"), QStringLiteral("\"WORK\"")}},
    };
    window->UpdateDiskMenu();
    dialogs->okCancel = Answer::Cancel;
    for (const char* drive : {"A:", "B:"}) {
        if (QLatin1String(drive) == QLatin1String("B:")) window->Actions().driveB->trigger();
        for (const WriteCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " " + drive);
            dialogs->questions.clear();
            Virtual().ClearReceivedFrames();
            c.command();
            ASSERT_FALSE(dialogs->questions.isEmpty());
            const QString asked = dialogs->questions.back();
            EXPECT_TRUE(asked.startsWith(QStringLiteral("Внимание!|"))) << asked.toStdString();
            EXPECT_TRUE(asked.contains(QStringLiteral("в дисководе ") + QLatin1String(drive)))
                << asked.toStdString();
            for (const QString& part : c.named)
                EXPECT_TRUE(asked.contains(part)) << asked.toStdString() << " / " << part.toStdString();
            EXPECT_EQ(
                FramesWithCode(CommandCode::WriteTrack) + FramesWithCode(CommandCode::WriteSector),
                0);
            EXPECT_FALSE(Progress().isVisible());
        }
    }
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join(';').toStdString();
}

// "Форматировать диск" stops at a Cancel of its kind question or of the name dialog, and
// asks nothing further.
TEST_F(DiskCommandsTest, FormattingTheDiskCanBeCalledOffAtEveryStep) {
    window->UpdateDiskMenu();
    int namesAsked = 0;
    window->DiskOps().SetTrDosNameAsker([&namesAsked]() -> std::optional<QString> {
        ++namesAsked;
        return std::nullopt;  // the name dialog cancelled
    });
    const std::pair<Answer, int> steps[] = {{Answer::Cancel, 0}, {Answer::Yes, 1}};
    for (const auto& [kind, names] : steps) {
        dialogs->questions.clear();
        Virtual().ClearReceivedFrames();
        namesAsked = 0;
        dialogs->answers = {kind};
        window->Actions().formatDisk->trigger();
        EXPECT_EQ(dialogs->questions.size(), 1);  // the kind question alone
        EXPECT_TRUE(dialogs->questions.front().startsWith(QStringLiteral("Форматировать диск|")));
        EXPECT_EQ(namesAsked, names);
        EXPECT_EQ(FramesWithCode(CommandCode::WriteTrack), 0);
    }
}

TEST_F(DiskCommandsTest, BytesAnOperationShowsCannotBeAcceptedIntoAnotherCell) {
    ScanFromMap(4);
    MapEntry(MapMenuEntry::ReadRawTrack, 0, 4);
    auto* s1 = window->findChild<HexView*>(QStringLiteral("s1"));
    ASSERT_NE(s1, nullptr);
    EXPECT_EQ(s1->Size(), TrackAt(4).RawLength);
    EXPECT_TRUE(s1->isReadOnly());
}

TEST_F(DiskCommandsTest, RereadAsksForEachSectorThatStillFails) {
    window->Actions().scanAndRead->trigger();
    ASSERT_EQ(LastLogLine(), QStringLiteral("Сбойных секторов - 2"));
    dialogs->answers = {Answer::Ignore,
                            Answer::Ignore};
    window->Actions().rereadFailed->trigger();
    EXPECT_EQ(dialogs->questions.size(), 2);
    EXPECT_EQ(LastLogLine(), QStringLiteral("Чтение сектора пропущено -2"));
}

TEST_F(DiskCommandsTest, RecoveryPassesRecoverAWeakSectorAndShowItOnTheMap) {
    Virtual().Faults().AddWeakSector(virt::Drive::A, 5, 3, 0.01);
    window->Actions().scanAndRead->trigger();
    window->DiskOps().SetPassesAsker([] { return 2; });
    window->Actions().recoverFailed->trigger();
    const int slot = window->Disk().FindSectorIndex(5, 3);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(TrackAt(5).Slots[static_cast<std::size_t>(slot)].DataGood, kDataGood);
    EXPECT_EQ(LookOfCell(window->Disk(), slot + 1, 5, false).tile, MapTile::SectorVoted);
    // The demo disk's two sectors whose CRC is bad on the disk stay bad.
    EXPECT_EQ(LastLogLine(),
              QStringLiteral("Без изменений: ещё один проход при этих настройках вряд ли поможет."));
}

// --- One command at a time

TEST_F(DiskCommandsTest, DiskItemsAreDisabledWhileTheControllerIsHeldAndBackAfter) {
    const std::pair<bool, bool> states[] = {{false, true}, {true, false}};  // held, enabled
    for (const auto& [held, enabled] : states) {
        LinkClaim claim;
        if (held) claim = window->Link().Protocol().Claim();
        emit window->Actions().diskMenu->aboutToShow();
        for (QAction* a : {window->Actions().fullRead, window->Actions().rawRead,
                           window->Actions().trackScan, window->Actions().readByMarks,
                           window->Actions().scanAndRead, window->Actions().fastRead,
                           window->Actions().rereadFailed, window->Actions().recoverFailed}) {
            EXPECT_EQ(a->isEnabled(), enabled) << a->text().toStdString();
        }
    }
    ScanFromMap(6);
    for (const auto& [held, enabled] : states) {
        LinkClaim claim;
        if (held) claim = window->Link().Protocol().Claim();
        window->Map()->prepareContextMenu(0, 6);
        emit window->Map()->contextMenu()->aboutToShow();
        for (MapMenuEntry e : {MapMenuEntry::ReadRawTrack, MapMenuEntry::ReadTrackSectors,
                               MapMenuEntry::ScanTrack, MapMenuEntry::FormatTrack}) {
            EXPECT_EQ(window->Map()->menuAction(e)->isEnabled(), enabled);
        }
        // The image edits too: the command reads into the image.
        EXPECT_EQ(window->Map()->menuAction(MapMenuEntry::RemoveTrack)->isEnabled(), enabled);
    }
}

// While a command waits for the controller the image stays the one it reads into: the
// commands that replace or edit it, given by a shortcut, a tool button or a window of
// their own, are refused.
TEST_F(DiskCommandsTest, ImageCommandsWhileTheControllerIsHeldAreRefusedAloud) {
    ScanFromMap(6);
    const LinkClaim claim = window->Link().Protocol().Claim();
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"load", [&] { window->Actions().loadAs->trigger(); }},
        {"clear", [&] { window->Actions().toolClear->trigger(); }},
        {"new TR-DOS", [&] { window->Actions().createTrdos->trigger(); }},
        {"sector editor", [&] { window->Sectors()->openSectorEditor(1, 6); }},
        {"header editor", [&] { window->Sectors()->editSectorAddress(1, 6); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        dialogs->messages.clear();
        dialogs->questions.clear();
        command();
        EXPECT_EQ(dialogs->messages, QStringList{QString::fromUtf8(kBusyMessage)});
        EXPECT_TRUE(dialogs->questions.isEmpty());
        EXPECT_TRUE(Present(6));
        EXPECT_NE(TrackAt(6).Slots[15].Present, 0);
    }
}

TEST_F(DiskCommandsTest, ACommandGivenWhileAnotherHoldsTheControllerIsRefusedAloud) {
    ScanFromMap(6);
    const LinkClaim claim = window->Link().Protocol().Claim();
    Virtual().ClearReceivedFrames();
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"full read", [&] { window->Actions().fullRead->trigger(); }},
        {"fast read", [&] { window->Actions().fastRead->trigger(); }},
        {"tb4", [&] { window->Actions().toolScanAndRead->trigger(); }},
        {"reread", [&] { window->Actions().rereadFailed->trigger(); }},
        {"read sector", [&] { window->DiskOps().RunMapEntry(MapMenuEntry::ReadSector, 1, 6); }},
        {"scan track", [&] { window->DiskOps().RunMapEntry(MapMenuEntry::ScanTrack, 0, 6); }},
        {"format", [&] { window->DiskOps().RunMapEntry(MapMenuEntry::FormatTrack, 0, 6); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        dialogs->messages.clear();
        command();
        EXPECT_EQ(dialogs->messages, QStringList{QString::fromUtf8(kBusyMessage)});
    }
    EXPECT_TRUE(Virtual().ReceivedFrames().empty());
    EXPECT_FALSE(Progress().isVisible());
}

// The tool button has no menu to disable it: with the link stopped the run starts and
// says why it cannot read.
TEST_F(DiskCommandsTest, ToolButtonWithTheLinkStoppedSaysWhyItCannotRead) {
    window->Actions().startStopUsb->trigger();
    ASSERT_FALSE(window->Link().Active());
    window->Actions().toolScanAndRead->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages.front().startsWith(QStringLiteral("Ошибка!|")));
    EXPECT_FALSE(Progress().isVisible());
    EXPECT_FALSE(Present(0));
}

}  // namespace
}  // namespace morvane
