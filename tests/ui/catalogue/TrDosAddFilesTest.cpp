// "Добавить файл(ы)" of the TR-DOS catalogue window: Hobeta files and SCL archives go in
// after the last file, all or none, and every change is reported to the owner.
#include <QFile>

#include <filesystem>
#include <functional>

#include "TrDosWindowFixture.h"
#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "formats/Trd.h"
#include "support/Corpus.h"
#include "ui/catalogue/CatalogueEditTexts.h"

namespace morvane::test {
namespace {

namespace fs = std::filesystem;

struct FileShape {
    const char* name;
    std::uint8_t sectors;
    std::uint8_t seed;
};

// The files laid out on a disk of their own, so the exports build the PC files.
std::vector<TrDosEntry> SourceDisk(DiskImage& disk, std::initializer_list<FileShape> shapes) {
    std::vector<TrDosEntry> out;
    for (const FileShape& s : shapes)
        out.push_back(AddTrDosFile(disk, s.name, 'C', s.sectors, s.seed));
    return out;
}

Bytes Hobeta(const FileShape& shape) {
    auto disk = NewTrDosDisk();
    Bytes out;
    EXPECT_TRUE(BuildHobeta(*disk, SourceDisk(*disk, {shape})[0], out));
    return out;
}

Bytes Scl(std::initializer_list<FileShape> shapes) {
    auto disk = NewTrDosDisk();
    Bytes out;
    EXPECT_TRUE(BuildScl(*disk, SourceDisk(*disk, shapes), out));
    return out;
}

// An SCL archive of n one-sector files.
Bytes ManyFileScl(std::size_t n) {
    auto disk = NewTrDosDisk();
    std::vector<TrDosEntry> entries;
    for (std::size_t i = 0; i < n; ++i)
        entries.push_back(
            AddTrDosFile(*disk, "f" + std::to_string(i), 'C', 1, static_cast<std::uint8_t>(i)));
    Bytes out;
    EXPECT_TRUE(BuildScl(*disk, entries, out));
    return out;
}

class TrDosAddFilesTest : public TrDosWindowTest {
  protected:
    QString Put(const QString& name, const Bytes& bytes) {
        const QString path = Path(name);
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }
    Bytes Image() {
        Bytes bytes;
        EXPECT_TRUE(WriteTrd(*disk, bytes));
        return bytes;
    }
    // A new case of a table: the fixture's image and window again, nothing asked yet.
    void Fresh() {
        dialogs = ScriptedCatalogueDialogs{};
        changes = 0;
        SetUp();
    }
    std::string Name(std::size_t entry) const {
        const auto& n = window->Catalogue().entries[entry].name;
        return std::string(n.begin(), n.end());
    }
};

// One PC file as the user chose it and what it holds.
struct Chosen {
    const char* fileName;
    Bytes bytes;
    std::vector<std::string> names;  // the catalogue names it adds, in order
};

struct AddCase {
    const char* label;
    std::vector<Chosen> files;
};

TEST_F(TrDosAddFilesTest, ChosenFilesFollowTheLastFileAndExportBackIdentical) {
    const AddCase cases[] = {
        {"one Hobeta file", {{"one.$C", Hobeta({"one", 5, 11}), {"one     "}}}},
        {"Hobeta and SCL",
         {{"one.$C", Hobeta({"one", 5, 11}), {"one     "}},
          {"pair.scl", Scl({{"left", 2, 12}, {"right", 17, 13}}), {"left    ", "right   "}}}},
        {"SCL, then two Hobeta files",
         {{"set.SCL", Scl({{"a", 1, 14}, {"b", 255, 15}}), {"a       ", "b       "}},
          {"x.$B", Hobeta({"x", 3, 16}), {"x       "}},
          {"y.$c", Hobeta({"y", 40, 17}), {"y       "}}}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.label);
        Fresh();
        const TrDosCatalogue before = window->Catalogue();
        for (const Chosen& f : c.files)
            dialogs.openFiles << Put(QString::fromLatin1(f.fileName), f.bytes);
        window->UpdateMenu();
        ASSERT_TRUE(Enabled(kMenuAddFiles));
        window->Action(kMenuAddFiles)->trigger();

        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
        EXPECT_EQ(changes, 1);
        ASSERT_EQ(dialogs.openRequests.size(), 1u);
        EXPECT_EQ(dialogs.openRequests[0].directory, hobetaDir);

        const TrDosCatalogue& after = window->Catalogue();
        std::size_t entry = before.count;
        unsigned sectors = 0;
        for (const Chosen& f : c.files) {
            std::vector<TrDosEntry> added;
            for (const std::string& name : f.names) {
                EXPECT_EQ(Name(entry), name);
                added.push_back(after.entries[entry++]);
                sectors += added.back().sectors;
            }
            Bytes exported;
            const bool scl = QString::fromLatin1(f.fileName).endsWith("scl", Qt::CaseInsensitive);
            if (!scl)
                ASSERT_TRUE(BuildHobeta(*disk, added[0], exported));
            else
                ASSERT_TRUE(BuildScl(*disk, added, exported));
            EXPECT_EQ(exported, f.bytes) << f.fileName;
        }
        EXPECT_EQ(after.count, entry);
        EXPECT_EQ(Rows(), static_cast<int>(entry));
        EXPECT_EQ(after.fileCount, entry);
        EXPECT_EQ(after.freeSectors, before.freeSectors - sectors);
        const unsigned firstFree = before.firstFreeTrack * 16u + before.firstFreeSector;
        EXPECT_EQ(after.firstFreeTrack * 16u + after.firstFreeSector, firstFree + sectors);
        EXPECT_EQ(after.entries[before.count].StartPosition(), firstFree);
    }
}

struct RefusalCase {
    const char* label;
    std::function<void(DiskImage&)> prepare;  // the image before the command
    std::vector<std::pair<const char*, Bytes>> files;
    const char* missing;  // a chosen path that does not exist, or nullptr
    std::string_view messageStart;
};

Bytes Damaged(Bytes b, std::size_t at) {
    b[at] ^= 0x55;
    return b;
}

Bytes Cut(Bytes b, std::size_t size) {
    b.resize(size);
    return b;
}

TEST_F(TrDosAddFilesTest, RefusedWithAMessageAndTheImageUnchanged) {
    const Bytes good = Hobeta({"good", 4, 21});
    const Bytes six = Hobeta({"six", 6, 22});
    const Bytes pair = Scl({{"p", 2, 23}, {"q", 3, 24}});
    const auto nothing = [](DiskImage&) {};
    const auto fiveFree = [](DiskImage& d) {
        SetLe16(TrDosSector(d, 0, kTrDosInfoSector).Data, kInfoFreeSectors, 5);
    };
    const RefusalCase cases[] = {
        {"126 more files than the 125 free entries",
         nothing,
         {{"many.scl", ManyFileScl(126)}},
         nullptr,
         kFilesNotAddedText},
        {"six sectors where five are free",
         fiveFree,
         {{"six.$C", six}},
         nullptr,
         kFilesNotAddedText},
        {"Hobeta header checksum",
         nothing,
         {{"good.$C", good}, {"bad.$C", Damaged(good, 16)}},
         nullptr,
         kFileBadErrorText},
        {"Hobeta cut short",
         nothing,
         {{"good.$C", good}, {"cut.$C", Cut(good, 17 + 3 * 256)}},
         nullptr,
         kFileBadErrorText},
        {"SCL signature", nothing, {{"bad.scl", Damaged(pair, 0)}}, nullptr, kFileBadErrorText},
        {"SCL checksum", nothing, {{"bad.scl", Damaged(pair, 20)}}, nullptr, kFileBadErrorText},
        {"SCL cut short",
         nothing,
         {{"cut.scl", Cut(pair, 9 + 2 * 14 + 256)}},
         nullptr,
         kFileBadErrorText},
        {"a file that cannot be read", nothing, {{"good.$C", good}}, "gone.$C", kFileReadErrorText},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        Fresh();
        c.prepare(*disk);
        ASSERT_TRUE(window->LoadFromImage());
        const Bytes before = Image();
        for (const auto& [name, bytes] : c.files)
            dialogs.openFiles << Put(QString::fromLatin1(name), bytes);
        if (c.missing != nullptr) dialogs.openFiles << Path(QString::fromLatin1(c.missing));
        window->AddFiles();

        EXPECT_EQ(Image(), before);
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(Rows(), 3);
        ASSERT_EQ(dialogs.messages.size(), 1);
        const QString expected =
            QStringLiteral("Ошибка..!|") + QString::fromUtf8(c.messageStart.data());
        EXPECT_TRUE(dialogs.messages[0].startsWith(expected)) << dialogs.messages[0].toStdString();
    }
}

TEST_F(TrDosAddFilesTest, CancelledChoiceChangesNothing) {
    const Bytes before = Image();
    window->AddFiles();
    EXPECT_EQ(Image(), before);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// Every corpus Hobeta file added to a new image through the window comes back as it was;
// the free count is the disk's 2544 sectors less theirs.
TEST_F(TrDosAddFilesTest, CorpusHobetaFilesAddedToANewImageExportBack) {
    MORVANE_CORPUS_OR_SKIP(files, "hobeta");
    disk = NewTrDosDisk();
    Open();
    std::vector<Bytes> originals;
    for (const fs::path& path : files) {
        Bytes bytes;
        ASSERT_TRUE(ReadWholeFile(path.string(), bytes));
        ASSERT_GE(bytes.size(), kHobetaHeaderSize);
        bytes.resize(kHobetaHeaderSize + bytes[14] * kTrDosSectorSize);  // past its sectors
        originals.push_back(bytes);
        dialogs.openFiles << QString::fromStdString(path.string());
    }
    window->AddFiles();
    ASSERT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    const TrDosCatalogue& c = window->Catalogue();
    ASSERT_EQ(c.count, originals.size());
    unsigned sectors = 0;
    for (std::size_t i = 0; i < originals.size(); ++i) {
        Bytes exported;
        ASSERT_TRUE(BuildHobeta(*disk, c.entries[i], exported));
        EXPECT_EQ(exported, originals[i]) << i;
        sectors += c.entries[i].sectors;
    }
    EXPECT_EQ(c.freeSectors, 2544 - sectors);
}

}  // namespace
}  // namespace morvane::test
