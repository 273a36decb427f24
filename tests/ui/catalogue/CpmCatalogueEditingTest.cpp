// Renaming, deleting and adding files in the CP/M catalogue window: each change reaches the
// image and the owner, each refusal leaves the image as it was.
#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

#include "ScriptedCatalogueDialogs.h"
#include "filesystems/CpmEditing.h"
#include "formats/udi/Udi.h"
#include "support/TestDisks.h"
#include "ui/catalogue/CatalogueEditTexts.h"
#include "ui/catalogue/CpmCatalogueWindow.h"
#include "ui/catalogue/TrDosWindowRules.h"

namespace morvane::test {
namespace {

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = FileByte(seed, i);
    return b;
}

// A file's bytes as the disk holds them: the last record filled up with 0x1A.
Bytes Padded(Bytes b) {
    b.resize((b.size() + 127) / 128 * 128, kCpmPadding);
    return b;
}

CpmName NameOf(std::string_view text) {
    return *CpmNameFromText(text);
}

// A CP/M image holding NOTES.TXT (1000 bytes) and GAME.COM (two extents), in the window.
class CpmEditingWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { Fresh(); }

    void Fresh() {
        dialogs = ScriptedCatalogueDialogs{};
        changes = 0;
        disk = NewCpmDisk();
        std::string error;
        ASSERT_TRUE(AddCpmFile(*disk, NameOf("NOTES.TXT"), Pattern(1000, 1), error)) << error;
        ASSERT_TRUE(AddCpmFile(*disk, NameOf("GAME.COM"), Pattern(20000, 2), error)) << error;
        CpmWindowContext c;
        c.disk = disk.get();
        c.dialogs = &dialogs;
        c.sclDir = {[this] { return sclDir; }, [this](const QString& f) { sclDir = f; }};
        c.imageChanged = [this] { ++changes; };
        window = std::make_unique<CpmCatalogueWindow>(std::move(c));
        window->Fill();
    }

    Bytes Image() {
        Bytes bytes;
        EXPECT_TRUE(WriteUdi(*disk, bytes));
        return bytes;
    }
    QStringList Names() const {
        QStringList names;
        for (int r = 0; r < window->List()->topLevelItemCount(); ++r) {
            const QTreeWidgetItem* item = window->List()->topLevelItem(r);
            names << item->text(0).trimmed() + QLatin1Char('.') + item->text(1).trimmed();
        }
        return names;
    }
    std::optional<Bytes> FileBytes(std::string_view name) const {
        const std::vector<CpmDirEntry> entries = ParseCpmDirectory(ReadCpmDirectoryBytes(*disk));
        const std::optional<CpmFile> file = FindCpmFile(entries, NameOf(name));
        if (!file) return std::nullopt;
        return ReadCpmFile(*disk, *file);
    }
    QString Put(const QString& name, const Bytes& bytes) {
        const QString path = out.filePath(name);
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }

    QTemporaryDir out;
    std::unique_ptr<DiskImage> disk;
    ScriptedCatalogueDialogs dialogs;
    QString sclDir = QStringLiteral("/nowhere/");
    int changes = 0;
    std::unique_ptr<CpmCatalogueWindow> window;
};

TEST_F(CpmEditingWindowTest, DeleteErasesEveryExtentOnlyAfterYes) {
    struct Case {
        bool yes;
        QStringList left;
    };
    for (const Case& c : {Case{true, {"NOTES.TXT"}}, Case{false, {"NOTES.TXT", "GAME.COM"}}}) {
        SCOPED_TRACE(c.yes);
        Fresh();
        const Bytes before = Image();
        dialogs.yesNo = c.yes;
        window->SelectRows({1});
        window->UpdateMenu();
        ASSERT_TRUE(window->Action(kCpmMenuDeleteFiles)->isEnabled());
        window->Action(kCpmMenuDeleteFiles)->trigger();

        EXPECT_EQ(dialogs.questions,
                  QStringList{QStringLiteral("Внимание!|Вы действительно хотите удалить выбранные "
                                             "Файлы?")});
        EXPECT_EQ(Names(), c.left);
        EXPECT_EQ(changes, c.yes ? 1 : 0);
        if (!c.yes) {
            EXPECT_EQ(Image(), before);
        }
        const std::vector<CpmDirEntry> entries = ParseCpmDirectory(ReadCpmDirectoryBytes(*disk));
        int erased = 0;
        for (const CpmDirEntry& e : entries)
            erased += e.IsErased() && e.name == NameOf("GAME.COM") ? 1 : 0;
        EXPECT_EQ(erased, c.yes ? 2 : 0);  // both extents
    }
}

TEST_F(CpmEditingWindowTest, RenameTakesAFreeNameAndRefusesOthers) {
    struct Case {
        const char* label;
        std::optional<QString> typed;
        QStringList names;       // the list afterwards
        std::string_view error;  // start of the message text; empty: none
    };
    const Case cases[] = {
        {"a free name, upper-cased", QStringLiteral("play.bin"), {"NOTES.TXT", "PLAY.BIN"}, {}},
        {"the name of the other file",
         QStringLiteral("notes.txt"),
         {"NOTES.TXT", "GAME.COM"},
         kFileNotRenamedText},
        {"a name longer than 8.3",
         QStringLiteral("LONGERNAME.COM"),
         {"NOTES.TXT", "GAME.COM"},
         kCpmBadNameText},
        {"its own name", QStringLiteral("GAME.COM"), {"NOTES.TXT", "GAME.COM"}, {}},
        {"cancelled", std::nullopt, {"NOTES.TXT", "GAME.COM"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Fresh();
        const Bytes before = Image();
        dialogs.typedText = c.typed;
        window->SelectRows({1});
        window->Action(kCpmMenuRename)->trigger();

        EXPECT_EQ(dialogs.textQuestions,
                  QStringList{QStringLiteral("Переименовать|Новое имя файла:|GAME.COM")});
        EXPECT_EQ(Names(), c.names);
        const bool renamed = c.names.contains(QStringLiteral("PLAY.BIN"));
        EXPECT_EQ(changes, renamed ? 1 : 0);
        if (renamed) {
            EXPECT_EQ(FileBytes("PLAY.BIN"), Padded(Pattern(20000, 2)));
        } else {
            EXPECT_EQ(Image(), before);
        }
        if (c.error.empty()) {
            EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
        } else {
            ASSERT_EQ(dialogs.messages.size(), 1);
            EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Ошибка!|") +
                                                       QString::fromUtf8(c.error.data())))
                << dialogs.messages[0].toStdString();
        }
    }
}

// Added files read back as they were, their last record filled up with 0x1A.
TEST_F(CpmEditingWindowTest, AddedFilesReadBackRoundedUpToWholeRecords) {
    struct Case {
        const char* label;
        std::vector<std::pair<const char*, std::size_t>> files;  // name, size
    };
    const Case cases[] = {
        {"an empty file", {{"EMPTY.DAT", 0}}},
        {"one record exactly", {{"R.BIN", 128}}},
        {"a short last record", {{"SHORT.TXT", 1000}}},
        {"one byte past an extent", {{"BIG.COM", 16385}}},
        {"three at once", {{"a.txt", 5}, {"b.txt", 40000}, {"c", 2048}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Fresh();
        QStringList expectedNames = Names();
        std::uint8_t seed = 10;
        std::vector<Bytes> contents;
        for (const auto& [name, size] : c.files) {
            contents.push_back(Pattern(size, seed++));
            dialogs.openFiles << Put(QString::fromLatin1(name), contents.back());
        }
        window->UpdateMenu();
        ASSERT_TRUE(window->Action(kCpmMenuAddFiles)->isEnabled());
        window->Action(kCpmMenuAddFiles)->trigger();

        ASSERT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
        EXPECT_EQ(changes, 1);
        ASSERT_EQ(dialogs.openRequests.size(), 1u);
        EXPECT_EQ(dialogs.openRequests[0].directory, sclDir);
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            const std::string name = QString::fromLatin1(c.files[i].first).toUpper().toStdString();
            EXPECT_EQ(FileBytes(name), Padded(contents[i])) << name;
            expectedNames << QString::fromStdString(name.find('.') == std::string::npos ? name + "."
                                                                                        : name);
        }
        EXPECT_EQ(Names(), expectedNames);
    }
}

// Several files go in together or not at all; the file that does not fit is named.
TEST_F(CpmEditingWindowTest, AddRefusedLeavesTheImageAsItWas) {
    struct Case {
        const char* label;
        std::function<void(DiskImage&)> prepare;
        std::vector<std::pair<const char*, std::size_t>> files;
        std::string_view messageStart;
    };
    const auto fillDirectory = [](DiskImage& d) {
        std::string error;
        for (int i = 0; i < 125; ++i)  // with the three entries already there: 128
            ASSERT_TRUE(AddCpmFile(d, NameOf("F" + std::to_string(i)), Pattern(10, 3), error))
                << error;
    };
    const auto fillDisk = [](DiskImage& d) {
        std::string error;
        for (int i = 0; i < 3; ++i)  // 3 x 256 KB of the 796 KB free
            ASSERT_TRUE(
                AddCpmFile(d, NameOf("BULK" + std::to_string(i)), Pattern(256 * 1024, 4), error))
                << error;
    };
    const auto nothing = [](DiskImage&) {};
    const Case cases[] = {
        {"the directory is full", fillDirectory, {{"ONE.TXT", 10}}, kFileNotAddedPrefix},
        {"the second file finds the directory full",
         [](DiskImage& d) {
             std::string error;
             for (int i = 0; i < 124; ++i)
                 ASSERT_TRUE(AddCpmFile(d, NameOf("F" + std::to_string(i)), Pattern(10, 3), error));
         },
         {{"ONE.TXT", 10}, {"TWO.TXT", 10}},
         kFileNotAddedPrefix},
        {"the disk is full at the second file",
         fillDisk,
         {{"ONE.TXT", 10}, {"HUGE.BIN", 30000}},
         kFileNotAddedPrefix},
        {"a name that exists", nothing, {{"ONE.TXT", 10}, {"notes.txt", 10}}, kFileNotAddedPrefix},
        {"two files of one name",
         nothing,
         {{"ONE.TXT", 10}, {"sub/one.txt", 10}},
         kFileNotAddedPrefix},
        {"a name longer than 8.3",
         nothing,
         {{"ONE.TXT", 10}, {"toolongname.txt", 10}},
         kCpmBadNameText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Fresh();
        c.prepare(*disk);
        window->Fill();
        const QStringList namesBefore = Names();
        const Bytes before = Image();
        QDir(out.path()).mkpath(QStringLiteral("sub"));
        for (const auto& [name, size] : c.files)
            dialogs.openFiles << Put(QString::fromLatin1(name), Pattern(size, 5));
        window->AddFiles();

        EXPECT_EQ(Image(), before);
        EXPECT_EQ(Names(), namesBefore);
        EXPECT_EQ(changes, 0);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Ошибка!|") +
                                                   QString::fromUtf8(c.messageStart.data())))
            << dialogs.messages[0].toStdString();
    }
}

}  // namespace
}  // namespace morvane::test
