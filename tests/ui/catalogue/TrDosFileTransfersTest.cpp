// The TR-DOS catalogue window's plain and tape files: the BASIC listing, "Сохранить bin",
// "Сохранить tap", "Добавить файл bin" and tape files through "Добавить файл(ы)".
#include <QApplication>
#include <QClipboard>
#include <QFile>

#include "TrDosWindowFixture.h"
#include "filesystems/TrDosPlainFiles.h"
#include "filesystems/TrDosSectors.h"
#include "filesystems/ZxTape.h"
#include "ui/catalogue/ListingViewer.h"

namespace morvane::test {
namespace {

class TrDosFileTransfersTest : public TrDosWindowTest {
  protected:
    Bytes ReadPath(const QString& path) {
        Bytes bytes;
        EXPECT_TRUE(ReadWholeFile(QFile::encodeName(path).toStdString(), bytes))
            << path.toStdString();
        return bytes;
    }
    void WritePath(const QString& path, const Bytes& bytes) {
        ASSERT_TRUE(WriteFileAtomically(QFile::encodeName(path).toStdString(), bytes));
    }
    // The window's file of that catalogue position as its sectors.
    Bytes FileSectors(std::size_t entry) {
        Bytes sectors;
        EXPECT_TRUE(ReadTrDosFile(*disk, window->Catalogue().entries[entry], sectors));
        return sectors;
    }
};

TEST_F(TrDosFileTransfersTest, BasicListingOfTheSelectedProgram) {
    // 10 PRINT 1 on a disk of its own: the fixture's boot holds no program.
    TrDosFileData prog;
    std::string error;
    ASSERT_TRUE(MakeTrDosFile({TrDosNameFromArgument("prog"), 'B', 10, std::nullopt},
                              Bytes{0, 10, 9, 0, 0xF5, '1', 0x0E, 0, 0, 1, 0, 0, 0x0D}, prog,
                              error));
    ASSERT_TRUE(AddTrDosFiles(*disk, std::span(&prog, 1), error)) << error;
    ASSERT_TRUE(window->LoadFromImage());
    window->SelectRows({3});
    window->UpdateMenu();
    ASSERT_TRUE(Enabled(kMenuViewBasic));
    window->Action(kMenuViewBasic)->trigger();
    EXPECT_EQ(dialogs.shown, ScriptedCatalogueDialogs::Shown::Listing);
    EXPECT_EQ(dialogs.listing, QStringLiteral("  10 PRINT 1\n"));
    EXPECT_EQ(dialogs.listingCaption, QStringLiteral("Просмотр BASIC - prog"));
    EXPECT_EQ(dialogs.listingFileName, QStringLiteral("prog.txt"));
    window->SelectRows({2});
    window->UpdateMenu();
    EXPECT_FALSE(Enabled(kMenuViewBasic));
}

TEST_F(TrDosFileTransfersTest, SaveBinWritesEachFilesBytesAndSaveTapOneTape) {
    window->SelectRows({0, 2});
    dialogs.folder = out.path();
    window->SaveBin();
    const Bytes sectors = FileSectors(2);
    EXPECT_EQ(ReadPath(Path("code.C")), Bytes(sectors.begin(), sectors.begin() + code.length));
    EXPECT_TRUE(QFile::exists(Path("boot.B")));
    dialogs.saveFile = Path("two.tap");
    window->SaveTap();
    std::vector<TrDosFileData> files;
    std::string error;
    ASSERT_TRUE(TrDosFilesOfTap(ReadPath(Path("two.tap")), files, error)) << error;
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1].entry.start, code.start);
    EXPECT_EQ(TrDosPlainBytes(files[1].entry, files[1].data), ReadPath(Path("code.C")));
    EXPECT_EQ(sclDir, out.path() + QStringLiteral("/"));
}

TEST_F(TrDosFileTransfersTest, PlainFileAndTapeFileGoInAfterTheLastFile) {
    WritePath(Path("tune.bin"), Bytes(300, 0x5A));
    dialogs.openFiles = {Path("tune.bin")};
    dialogs.header = TrDosEntryEdit{TrDosNameFromArgument("tune"), 'C', 0xC000, 0};
    window->AddPlainFiles();
    ASSERT_EQ(Rows(), 4);
    EXPECT_EQ(Cell(3, 0), QStringLiteral("tune    "));
    EXPECT_EQ(Cell(3, 2), QStringLiteral("C000"));
    EXPECT_EQ(Cell(3, 3), QStringLiteral("012C"));
    EXPECT_EQ(changes, 1);

    Bytes tap;
    TapeFile tape;
    tape.name.fill(' ');
    tape.param1 = 0x4000;
    tape.data = Bytes(6912, 1);
    AppendTapeFile(tap, tape);
    WritePath(Path("scr.tap"), tap);
    dialogs.openFiles = {Path("scr.tap")};
    window->AddFiles();
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(Cell(4, 3), QStringLiteral("1B00"));
}

TEST(ListingViewer, CopiesAndSavesTheWholeText) {
    QString saved;
    ListingViewer viewer(QStringLiteral("x"), QStringLiteral("  10 REM\n  20 RUN \n"),
                         [&](const QString& text) { saved = text; });
    viewer.CopyText();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("  10 REM\n  20 RUN \n"));
    viewer.SaveText();
    EXPECT_EQ(saved, QStringLiteral("  10 REM\n  20 RUN \n"));
}

}  // namespace
}  // namespace morvane::test
