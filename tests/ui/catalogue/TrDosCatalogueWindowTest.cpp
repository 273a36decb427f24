#include <QFile>
#include <QLabel>
#include <QMenu>

#include "TrDosWindowFixture.h"
#include "filesystems/TrDosSectors.h"
#include "formats/Trd.h"
#include "support/CaseName.h"
#include "support/Corpus.h"
#include "ui/catalogue/EntryHeaderDialog.h"

namespace morvane::test {
namespace {

const std::vector<std::string_view> kFileItems{kMenuViewScreen, kMenuViewHex,    kMenuCompact,
                                               kMenuRenameDisk, kMenuSaveHobeta, kMenuSaveScl,
                                               kMenuEditHeader, kMenuAddFiles,   kMenuDeleteFiles};

TEST_F(TrDosWindowTest, ShowsTheListAndTheDescription) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Каталог диска TR-DOS"));
    EXPECT_EQ(window->List()->objectName(), QStringLiteral("LV1"));
    ASSERT_EQ(Rows(), 3);
    const QStringList row{Cell(1, 0), Cell(1, 1), Cell(1, 2), Cell(1, 3),
                          Cell(1, 4), Cell(1, 5), Cell(1, 6)};
    EXPECT_EQ(row, (QStringList{"pic     ", "C", "6000", "1B00", "1B", "02", "01"}));
    EXPECT_EQ(window->DescriptionValues(),
              (QStringList{"NEW DISK", "80-дорожек", "1", "3", "2512", "3", "0"}));
}

// The owner refuses changes while an operation reads into the image: no edit asks
// anything or touches a byte.
TEST_F(TrDosWindowTest, EditsTheOwnerRefusesLeaveTheImageAlone) {
    refuseChanges = true;
    const Track before = *disk->GetTrack(0);
    window->SelectRows({1});
    for (void (TrDosCatalogueWindow::*edit)() : {&TrDosCatalogueWindow::DeleteFiles, &TrDosCatalogueWindow::Compact, &TrDosCatalogueWindow::RenameDisk,
                                    &TrDosCatalogueWindow::EditHeader, &TrDosCatalogueWindow::AddFiles})
        (window.get()->*edit)();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(std::equal(before.Slots.begin(), before.Slots.end(),
                           disk->GetTrack(0)->Slots.begin(), [](const auto& a, const auto& b) {
                               return std::equal(a.Data.begin(), a.Data.end(), b.Data.begin());
                           }));
}

TEST_F(TrDosWindowTest, ContextMenuHasTheItemsInOrder) {
    QStringList items;
    for (QAction* a : window->ContextMenu()->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"Просмотр экрана", "Просмотр HEX", "Просмотр BASIC", "-",
                                  "Уплотнить", "Сменить имя диска", "Показать удаленные файлы", "-",
                                  "Сохранить hob", "Сохранить scl", "Сохранить bin",
                                  "Сохранить tap", "-", "Редактировать заголовок",
                                  "Добавить файл(ы)", "Добавить файл bin", "Удалить файл(ы)"}));
}

struct EnablingCase {
    const char* what;
    std::vector<int> selected;
    bool screen, hex, edit;
};

class TrDosEnablingTest : public TrDosWindowTest,
                          public ::testing::WithParamInterface<EnablingCase> {};

TEST_P(TrDosEnablingTest, SelectionDecidesTheSingleFileItems) {
    const EnablingCase& c = GetParam();
    window->SelectRows(c.selected);
    window->UpdateMenu();
    EXPECT_EQ(Enabled(kMenuViewScreen), c.screen);
    EXPECT_EQ(Enabled(kMenuViewHex), c.hex);
    EXPECT_EQ(Enabled(kMenuEditHeader), c.edit);
    for (std::string_view always : {kMenuCompact, kMenuRenameDisk, kMenuSaveHobeta, kMenuSaveScl,
                                    kMenuAddFiles, kMenuDeleteFiles, kMenuShowDeleted})
        EXPECT_TRUE(Enabled(always)) << always;
}

INSTANTIATE_TEST_SUITE_P(Rows, TrDosEnablingTest,
                         ::testing::Values(EnablingCase{"none", {}, false, false, false},
                                           EnablingCase{"not 6912 bytes", {0}, false, true, true},
                                           EnablingCase{"6912 bytes", {1}, true, true, true},
                                           EnablingCase{"two rows", {0, 1}, false, false, false}),
                         [](const auto& p) { return CaseNameOf(p.param.what); });

TEST_F(TrDosWindowTest, EmptyCatalogueEnablesOnlyRenameAndAdd) {
    disk = NewTrDosDisk();
    Open();
    window->UpdateMenu();
    EXPECT_EQ(Rows(), 0);
    for (std::string_view item : kFileItems)
        EXPECT_EQ(Enabled(item), item == kMenuRenameDisk || item == kMenuAddFiles) << item;
}

TEST_F(TrDosWindowTest, CatalogueFromTheDriveEnablesOnlyShowDeleted) {
    Bytes track0(kTrDosTrack0Bytes);
    for (unsigned s = 1; s <= 9; ++s) {
        const SectorSlot* slot = FindReadableSector(*disk, 0, s);
        std::copy_n(slot->Data.begin(), 256, track0.begin() + (s - 1) * 256);
    }
    ASSERT_TRUE(window->LoadFromDisk(track0));
    window->SelectRows({1});
    window->UpdateMenu();
    EXPECT_EQ(Rows(), 3);
    for (std::string_view item : kFileItems)
        EXPECT_FALSE(Enabled(item)) << item;
    EXPECT_TRUE(Enabled(kMenuShowDeleted));
    window->ViewScreen();
    EXPECT_EQ(dialogs.shown, ScriptedCatalogueDialogs::Shown::None);
}

TEST_F(TrDosWindowTest, ViewScreenAndHexHandTheFileToTheViewer) {
    window->SelectRows({1});
    window->ViewScreen();
    EXPECT_EQ(dialogs.shown, ScriptedCatalogueDialogs::Shown::Screen);
    EXPECT_EQ(dialogs.shownBytes, Bytes(ExpectedFileBytes(2, 27)));
    window->SelectRows({2});
    window->ViewHex();
    EXPECT_EQ(dialogs.shown, ScriptedCatalogueDialogs::Shown::Hex);
    EXPECT_EQ(dialogs.shownBytes, ExpectedFileBytes(3, 3));
}

TEST_F(TrDosWindowTest, ViewOfAFileWithAMissingSectorShowsNothing) {
    FindReadableSector(*disk, 1, 16)->DataLength = 0;  // inside "pic"
    window->SelectRows({1});
    window->ViewScreen();
    window->ViewHex();
    EXPECT_EQ(dialogs.shown, ScriptedCatalogueDialogs::Shown::None);
}

TEST_F(TrDosWindowTest, DeleteAsksThenMarksTheEntryAndRereads) {
    window->SelectRows({0});
    dialogs.yesNo = false;
    window->DeleteFiles();
    EXPECT_EQ(Rows(), 3);
    dialogs.yesNo = true;
    window->DeleteFiles();
    EXPECT_EQ(dialogs.questions.back(),
              QStringLiteral("Внимание..!|Вы действительно хотите удалить выбранные Файлы?"));
    EXPECT_EQ(FindReadableSector(*disk, 0, 1)->Data[0], kTrDosDeletedMark);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("pic     "));
    EXPECT_EQ(window->DescriptionValues()[6], QStringLiteral("1"));
    EXPECT_EQ(changes, 1);
}

TEST_F(TrDosWindowTest, ShowDeletedListsEveryEntryAndMapsRowsBack) {
    window->SelectRows({0});
    window->DeleteFiles();
    window->Action(kMenuShowDeleted)->trigger();
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("?oot    "));
    window->Action(kMenuShowDeleted)->trigger();
    ASSERT_EQ(Rows(), 2);
    window->SelectRows({1});  // with entry 0 deleted, row 1 is entry 2
    window->ViewHex();
    EXPECT_EQ(dialogs.shownBytes, ExpectedFileBytes(3, 3));
}

TEST_F(TrDosWindowTest, CompactMovesFilesDownAndRereads) {
    window->SelectRows({0});
    window->DeleteFiles();
    window->Compact();
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 5), QStringLiteral("00"));
    EXPECT_EQ(Cell(0, 6), QStringLiteral("01"));
    window->SelectRows({1});
    window->ViewHex();
    EXPECT_EQ(dialogs.shownBytes, ExpectedFileBytes(3, 3));
    EXPECT_EQ(window->DescriptionValues()[4], QStringLiteral("2514"));
    EXPECT_EQ(changes, 2);
}

struct RenameCase {
    std::optional<QString> entered;
    std::array<std::uint8_t, 8> stored;
    int changes;
    std::array<std::uint8_t, 8> before = {'N', 'E', 'W', ' ', 'D', 'I', 'S', 'K'};
};

class TrDosRenameTest : public TrDosWindowTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(TrDosRenameTest, RenameWritesTheInformationSector) {
    std::copy(GetParam().before.begin(), GetParam().before.end(),
              FindReadableSector(*disk, 0, kTrDosInfoSector)->Data.begin() + kInfoDiskName);
    ASSERT_TRUE(window->LoadFromImage());
    dialogs.name = GetParam().entered;
    window->RenameDisk();
    const SectorSlot* info = FindReadableSector(*disk, 0, kTrDosInfoSector);
    EXPECT_TRUE(std::equal(GetParam().stored.begin(), GetParam().stored.end(),
                           info->Data.begin() + kInfoDiskName));
    EXPECT_EQ(changes, GetParam().changes);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TrDosRenameTest,
    ::testing::Values(
        RenameCase{QStringLiteral("AB"), {'A', 'B', 0, 0, 0, 0, 0, 0}, 1},
        RenameCase{std::nullopt, {'N', 'E', 'W', ' ', 'D', 'I', 'S', 'K'}, 0},
        RenameCase{QStringLiteral("NEW DISK"), {'N', 'E', 'W', ' ', 'D', 'I', 'S', 'K'}, 0},
        // Control bytes show as '?' and keep their bytes where the user left them.
        RenameCase{QStringLiteral("??DISK  "), {0x10, 2, 'D', 'I', 'S', 'K', ' ', ' '}, 0,
                   {0x10, 2, 'D', 'I', 'S', 'K', ' ', ' '}},
        RenameCase{QStringLiteral("??DISC"), {0x10, 2, 'D', 'I', 'S', 'C', 0, 0}, 1,
                   {0x10, 2, 'D', 'I', 'S', 'K', ' ', ' '}},
        RenameCase{QStringLiteral("A?DISK?"), {'A', 2, 'D', 'I', 'S', 'K', '?', 0}, 1,
                   {0x10, 2, 'D', 'I', 'S', 'K', ' ', ' '}},
        RenameCase{QStringLiteral("?ABC"), {0x10, 'A', 'B', 'C', 0, 0, 0, 0}, 1,
                   {0x10, 'A', 'B', 0, 0, 0, 0, 0}}));

TEST_F(TrDosWindowTest, EditHeaderWritesTheEntry) {
    TrDosEntryEdit edit;
    edit.name = TrDosNameFromText("game");
    edit.type = 'B';
    edit.start = 0x1234;
    edit.length = 0x0100;
    dialogs.header = edit;
    window->SelectRows({2});
    window->EditHeader();
    EXPECT_EQ(Cell(2, 0), QStringLiteral("game    "));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("B"));
    EXPECT_EQ(Cell(2, 2), QStringLiteral("1234"));
    EXPECT_EQ(Cell(2, 3), QStringLiteral("0100"));
    EXPECT_EQ(FindReadableSector(*disk, 0, 1)->Data[2 * 16 + 8], 'B');
    EXPECT_EQ(changes, 1);
}

// A new name TR-DOS would read as a deleted file or the catalogue's end is refused with
// the reason, and the entry stays as it was.
TEST_F(TrDosWindowTest, EditHeaderRefusesANameTrDosWouldNotRead) {
    for (const std::uint8_t first : {0x01, 0x00}) {
        SCOPED_TRACE(int{first});
        dialogs.messages.clear();
        TrDosEntryEdit edit{TrDosNameFromText("xame"), 'B', 0x1234, 0x0100};
        edit.name[0] = first;
        dialogs.header = edit;
        window->SelectRows({2});
        window->EditHeader();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].startsWith(
            QStringLiteral("Ошибка..!|Файл не переименован: a name beginning with byte 0x0") +
            QChar('0' + first)))
            << dialogs.messages[0].toStdString();
        EXPECT_EQ(Cell(2, 0), QStringLiteral("code    "));
        EXPECT_EQ(FindReadableSector(*disk, 0, 1)->Data[2 * 16], 'c');
        EXPECT_EQ(changes, 0);
    }
}

TEST(EntryHeaderDialog, AcceptedUnchangedGivesBackEveryNameByte) {
    TrDosEntryEdit edit;
    edit.name = {0x10, 0x02, 'A', 0, 0x7F, 0x98, 0xC0, ' '};  // 0x98 shows as '?'
    EXPECT_EQ(EntryHeaderDialog(edit).Result().name, edit.name);
}

TEST_F(TrDosWindowTest, CorpusImageListsItsCatalogue) {
    QFile file(QString::fromStdString(CorpusPath("trd/test_disk.trd")));
    if (!file.open(QIODevice::ReadOnly)) GTEST_SKIP() << "corpus image absent";
    const QByteArray bytes = file.readAll();
    disk = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadTrd(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                  static_cast<std::size_t>(bytes.size())),
                        *disk));
    Open();
    const TrDosCatalogue& c = window->Catalogue();
    EXPECT_EQ(static_cast<std::size_t>(Rows()), ListedEntries(c, false).size());
    EXPECT_GT(Rows(), 0);
    EXPECT_EQ(window->DescriptionValues()[5], QString::number(c.fileCount));
}

}  // namespace
}  // namespace morvane::test
