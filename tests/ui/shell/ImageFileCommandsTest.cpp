#include "ui/shell/ImageFileCommands.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>

#include "model/Bytes.h"
#include "model/FileLock.h"
#include "ui/shell/FormatsFileIo.h"
#include "ui/shell/LoadSaveRules.h"
#include "support/SectorDisks.h"

namespace morvane {
namespace {

struct RecordingHost : ImageCommandHost {
    QStringList log;
    int logClears = 0;
    QString status = QStringLiteral("untouched");
    QStringList comments = {QStringLiteral("old comment")};
    int commentPageShown = 0;
    int mapFromTop = 0;
    int refreshed = 0;
    QStringList questions;
    QStringList boxes;
    bool answer = true;

    void ClearLog() override {
        ++logClears;
        log.clear();
    }
    void AddLogLine(const QString& line) override { log << line; }
    void SetImageStatus(const QString& text) override { status = text; }
    void ShowMapFromTop() override { ++mapFromTop; }
    void RefreshSelectedCell() override { ++refreshed; }
    void SetCommentLines(const QStringList& lines) override { comments = lines; }
    void ShowCommentPage() override { ++commentPageShown; }
    void RereadZxCatalogue() override {}
    Answer Ask(const Question& q) override {
        const QString asked = QString::fromStdString(q.caption) + QLatin1Char('|') +
                              QString::fromStdString(q.text);
        if (q.buttons == Buttons::Ok) {
            boxes << asked;
            return Answer::Ok;
        }
        questions << asked;
        return answer ? Answer::Yes : Answer::No;
    }
};

// Records what it was asked to do; fills two tracks on reads (one on a failed read, as a
// reader leaves what it read before the failure), writes a marker file.
struct FakeIo : ImageFileIo {
    std::vector<std::pair<ImageFormat, QString>> reads;
    std::vector<std::pair<ImageFormat, QString>> writes;
    bool readResult = true;
    bool writeResult = true;
    bool failWhileBuilding = true;  // else the file cannot be written
    bool Read(ImageFormat format, const QString& path, DiskImage& disk) override {
        reads.emplace_back(format, path);
        disk.ClearImage();
        disk.GetTrack(3)->Present = 255;
        if (!readResult) {
            disk.LastError = "broken";
            return false;
        }
        disk.GetTrack(4)->Present = 255;
        disk.DiskLog = {"comment of the image"};
        return true;
    }
    std::vector<std::pair<ImageFormat, QString>> compressedWrites;
    bool WriteCompressed(ImageFormat format, const QString& path, DiskImage& disk) override {
        compressedWrites.emplace_back(format, path);
        return Write(format, path, disk);
    }
    bool Write(ImageFormat format, const QString& path, DiskImage& disk) override {
        writes.emplace_back(format, path);
        if (!writeResult) {
            if (failWhileBuilding) {
                disk.FailTrack = 7;
                disk.FailSlot = 2;
            }
            disk.LastError = "no room";
            return false;
        }
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write("x", 1) == 1;
    }
};

class ImageFileCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("Morvane.ini")));
        settings = store->LoadAndRepair(WithTrailingSeparator(dir.path()));
        commands = std::make_unique<ImageFileCommands>(*disk, settings, *store, host, io,
                                                       [this](const FileDialogRequest& r) {
                                                           requests.push_back(r);
                                                           if (answers.empty())
                                                               return FileDialogAnswer();
                                                           FileDialogAnswer a = answers.front();
                                                           answers.pop_front();
                                                           return a;
                                                       });
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("img")));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("other")));
    }
    QString MakeFile(const QString& name, const char* folder = "img/",
                     const QByteArray& bytes = "data") {
        const QString path = dir.filePath(QLatin1String(folder) + name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString ImgDir() const { return WithTrailingSeparator(dir.filePath(QStringLiteral("img"))); }
    QString IniValue(const char* key) const {
        QSettings ini(dir.filePath(QStringLiteral("Morvane.ini")), QSettings::IniFormat);
        return ini.value(QStringLiteral("Option/") + QLatin1String(key)).toString();
    }

    QTemporaryDir dir;
    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();
    std::unique_ptr<SettingsStore> store;
    Settings settings;
    RecordingHost host;
    FakeIo io;
    std::deque<FileDialogAnswer> answers;
    std::vector<FileDialogRequest> requests;
    std::unique_ptr<ImageFileCommands> commands;
};

TEST_F(ImageFileCommandsTest, LoadAsOpensTheDialogWithItsFilterTitleAndFolder) {
    commands->LoadAs();  // cancelled
    ASSERT_EQ(requests.size(), 1u);
    const FileDialogRequest& r = requests[0];
    EXPECT_EQ(r.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(r.title, QStringLiteral("Загрузить образ диска из файла.."));
    EXPECT_EQ(r.filter, LoadAsFilter());
    EXPECT_EQ(r.filterIndex, 7);  // "supported formats"
    EXPECT_EQ(r.directory, settings.ImageFolder);
    EXPECT_TRUE(r.fileName.isEmpty());
    EXPECT_TRUE(io.reads.empty());
    EXPECT_EQ(host.status, QStringLiteral("untouched"));
}

TEST_F(ImageFileCommandsTest, MergeWithMergesTheChosenFileIntoTheImageAndLogsTheTable) {
    test::PutSector(*disk, 3, 0, 1, 1, Bytes(256, 7), false);
    answers = {MakeFile(QStringLiteral("other.td0"))};
    EXPECT_TRUE(commands->MergeWith());
    ASSERT_EQ(io.reads.size(), 1u);
    EXPECT_EQ(io.reads[0].first, ImageFormat::Td0);
    EXPECT_EQ(host.log, (QStringList{"Объединение с образом other.td0",
                                     "дорожка  чистых  голосованием  не решено  нет данных  сбойные",
                                     "    3      0      0           1        0  1",
                                     "итого: дорожек 1, секторов 1: чистых 0, голосованием 0, "
                                     "не решено 1, нет данных 0"}));
    EXPECT_EQ(disk->GetTrack(3)->Slots[0].Data[0], 7);
}

TEST_F(ImageFileCommandsTest, LoadAsReadsByExtensionAndRemembersTheFolder) {
    const QString path = MakeFile(QStringLiteral("game.udif"));
    answers = {path};
    commands->LoadAs();
    ASSERT_EQ(io.reads.size(), 1u);
    EXPECT_EQ(io.reads[0].first, ImageFormat::Udi);
    EXPECT_EQ(commands->CurrentName(), QStringLiteral("game.udif"));
    EXPECT_EQ(settings.ImageFolder, ImgDir());
    EXPECT_EQ(IniValue("Directory_2"), ImgDir());
    EXPECT_EQ(host.status,
              QStringLiteral("Disk Image - ") + path + QStringLiteral(" (Дорожек - 2)"));
    EXPECT_EQ(host.comments, QStringList{QStringLiteral("comment of the image")});
    EXPECT_EQ(host.mapFromTop, 1);
    EXPECT_EQ(host.commentPageShown, 1);
    EXPECT_EQ(host.refreshed, 1);
    EXPECT_TRUE(host.log.isEmpty());
}

TEST_F(ImageFileCommandsTest, LoadAsReportsReaderErrorsInTheLog) {
    io.readResult = false;
    host.log = {QStringLiteral("earlier line")};
    answers = {MakeFile(QStringLiteral("a.udi")), MakeFile(QStringLiteral("b.fdi")),
               MakeFile(QStringLiteral("c.td0")), MakeFile(QStringLiteral("d.trd"))};
    commands->LoadAs();
    EXPECT_EQ(host.log, QStringList{QStringLiteral("Error load UDI - \"broken\"")});
    commands->LoadAs();
    EXPECT_EQ(host.log, QStringList{QStringLiteral("Error load FDI -\"broken\"")});
    commands->LoadAs();
    EXPECT_EQ(host.log, QStringList{QStringLiteral("Error load TD0 -\"broken\"")});
    commands->LoadAs();
    EXPECT_EQ(host.log, QStringList{QStringLiteral("Error load TRD -\"broken\"")});
    EXPECT_EQ(io.reads.back().first, ImageFormat::Trd);
}

TEST_F(ImageFileCommandsTest, LoadAsOfUnknownExtensionOnlyClearsTheStatusPanel) {
    answers = {MakeFile(QStringLiteral("disk.dsk"))};
    commands->LoadAs();
    EXPECT_TRUE(io.reads.empty());
    EXPECT_EQ(host.status, QString());
    EXPECT_TRUE(commands->CurrentName().isEmpty());
    EXPECT_EQ(settings.ImageFolder, WithTrailingSeparator(dir.path()));
}

TEST_F(ImageFileCommandsTest, LoadAsOfMissingFileDoesNothing) {
    answers = {dir.filePath(QStringLiteral("img/none.trd"))};
    commands->LoadAs();
    EXPECT_TRUE(io.reads.empty());
    EXPECT_EQ(host.status, QStringLiteral("untouched"));
}

TEST_F(ImageFileCommandsTest, SaveAsWritesUdiWithRestoreSettingAndRemembersName) {
    answers = {MakeFile(QStringLiteral("game.trd"))};
    commands->LoadAs();
    settings.RestoreTrack = false;
    const QString target = dir.filePath(QStringLiteral("img/out.udi"));
    answers = {target};
    commands->SaveAs();
    const FileDialogRequest& r = requests.back();
    EXPECT_EQ(r.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(r.title, QStringLiteral("Сохранить образ диска в файл..."));
    EXPECT_EQ(r.filter, SaveAsFilter());
    EXPECT_EQ(r.fileName, QStringLiteral("game"));
    ASSERT_TRUE(r.suffixForFilter);
    EXPECT_EQ(r.suffixForFilter(2), QStringLiteral("trd"));
    ASSERT_EQ(io.writes.size(), 1u);
    EXPECT_EQ(io.writes[0].first, ImageFormat::Udi);
    EXPECT_TRUE(disk->NoTrackRestore);
    EXPECT_EQ(commands->CurrentName(), QStringLiteral("out.udi"));
    EXPECT_TRUE(host.questions.isEmpty());  // no file there yet
}

TEST_F(ImageFileCommandsTest, SaveAsTd0AsksAboutCompressionAndWritesTheChosenForm) {
    const QString question = QStringLiteral("Внимание..!|Сохранить образ TD0 со сжатием (LZH)?");
    answers = {dir.filePath(QStringLiteral("img/x.td0"))};
    host.answer = true;
    commands->SaveAs();
    EXPECT_EQ(host.questions, QStringList{question});
    ASSERT_EQ(io.compressedWrites.size(), 1u);
    EXPECT_EQ(io.compressedWrites[0].first, ImageFormat::Td0);
    EXPECT_EQ(commands->CurrentName(), QStringLiteral("x.td0"));
    EXPECT_EQ(settings.ImageFolder, ImgDir());

    answers = {dir.filePath(QStringLiteral("img/y.td0"))};
    host.answer = false;
    commands->SaveAs();
    EXPECT_EQ(io.compressedWrites.size(), 1u);
    ASSERT_EQ(io.writes.size(), 2u);
    EXPECT_EQ(io.writes[1].second, dir.filePath(QStringLiteral("img/y.td0")));
}

TEST_F(ImageFileCommandsTest, SaveAsFdiWritesWithoutAskingAboutCompression) {
    answers = {dir.filePath(QStringLiteral("img/x.fdi"))};
    commands->SaveAs();
    EXPECT_TRUE(host.questions.isEmpty());
    ASSERT_EQ(io.writes.size(), 1u);
    EXPECT_EQ(io.writes[0].first, ImageFormat::Fdi);
    EXPECT_TRUE(io.compressedWrites.empty());
    EXPECT_EQ(commands->CurrentName(), QStringLiteral("x.fdi"));
}

TEST_F(ImageFileCommandsTest, SaveAsAsksBeforeOverwritingAndStopsOnNo) {
    const QString target = MakeFile(QStringLiteral("keep.trd"));
    host.answer = false;
    answers = {target};
    commands->SaveAs();
    EXPECT_EQ(host.questions,
              QStringList{QStringLiteral("Внимание..!|Файл уже существует! Перезаписать?")});
    EXPECT_TRUE(io.writes.empty());
    host.answer = true;
    answers = {target};
    commands->SaveAs();
    ASSERT_EQ(io.writes.size(), 1u);
    EXPECT_EQ(io.writes[0].first, ImageFormat::Trd);
}

TEST_F(ImageFileCommandsTest, FailedUdiWriteShowsBoxAndFailingPlace) {
    io.writeResult = false;
    answers = {dir.filePath(QStringLiteral("img/bad.udi"))};
    commands->SaveAs();
    EXPECT_EQ(host.boxes,
              QStringList{QStringLiteral("Внимание..!|Ошибка создания образа UDI\nno room")});
    EXPECT_EQ(host.log, QStringList{QStringLiteral("Ошибка в дорожке - 7 / Сектор - 2")});
}

TEST_F(ImageFileCommandsTest, FailedTrdWriteIsReported) {
    io.writeResult = false;
    answers = {dir.filePath(QStringLiteral("img/bad.trd"))};
    commands->SaveAs();
    ASSERT_EQ(host.boxes.size(), 1);
    EXPECT_TRUE(host.boxes[0].startsWith(QStringLiteral("Ошибка!|")));
}

// Every failed save says why: the writer's reason under the box's own text; the track
// line only when the image could not be built.
TEST_F(ImageFileCommandsTest, FailedSaveBoxCarriesTheWritersReason) {
    io.writeResult = false;
    io.failWhileBuilding = false;
    const QString udi = dir.filePath(QStringLiteral("img/a.udi"));
    const QString trd = dir.filePath(QStringLiteral("img/a.trd"));
    const QString udf = dir.filePath(QStringLiteral("img/a.udf"));
    answers = {udi, trd, udf};
    commands->SaveAs();
    commands->SaveAs();
    commands->SaveNative();
    EXPECT_EQ(
        host.boxes,
        (QStringList{
            QStringLiteral("Внимание..!|Ошибка создания образа UDI\nno room"),
            QStringLiteral("Ошибка!|Ошибка записи файла - ") + trd + QStringLiteral("\nno room"),
            QStringLiteral("Ошибка!|Ошибка записи файла - ") + udf + QStringLiteral("\nno room")}));
    EXPECT_TRUE(host.log.isEmpty());
    EXPECT_TRUE(commands->CurrentName().isEmpty());  // no file holds the image
}

// A typed name with a dot of its own ("Elite v1.2") gets the chosen entry's extension; a
// known extension typed by the user decides the format; a format that cannot be written
// is refused with a reason.
TEST_F(ImageFileCommandsTest, SaveAsCompletesTheNameAndSaysWhyItCannotSave) {
    struct Case {
        const char* typed;
        int entry;
        const char* written;  // nullptr: nothing written
        ImageFormat format;
    };
    const Case cases[] = {
        {"Elite v1.2", 1, "Elite v1.2.udi", ImageFormat::Udi},
        {"Elite v1.2", 2, "Elite v1.2.trd", ImageFormat::Trd},
        {"game.trd", 1, "game.trd", ImageFormat::Trd},
        {"Elite v1.2", 3, "Elite v1.2.td0", ImageFormat::Td0},
        {"Elite v1.2", 4, "Elite v1.2.fdi", ImageFormat::Fdi},
        {"Elite v1.2", 5, "Elite v1.2.scl", ImageFormat::Scl},
        {"Elite v1.2", 6, "Elite v1.2.$C", ImageFormat::Hobeta},
        {"Elite v1.2", 7, "Elite v1.2.udf", ImageFormat::Udf},
        {"out.udf", 1, "out.udf", ImageFormat::Udf},
        {"boot.$B", 2, "boot.$B", ImageFormat::Hobeta},
        {"game.udif", 2, "game.udif", ImageFormat::Udi},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + std::string(" / ") + std::to_string(c.entry));
        io.writes.clear();
        host.boxes.clear();
        answers = {FileDialogAnswer(dir.filePath(QStringLiteral("img/") + c.typed), c.entry)};
        commands->SaveAs();
        if (c.written != nullptr) {
            ASSERT_EQ(io.writes.size(), 1u);
            EXPECT_EQ(io.writes[0].first, c.format);
            EXPECT_EQ(io.writes[0].second,
                      dir.filePath(QStringLiteral("img/") + QString::fromUtf8(c.written)));
            EXPECT_EQ(commands->CurrentName(), QString::fromUtf8(c.written));
            EXPECT_TRUE(host.boxes.isEmpty());
        } else {
            EXPECT_TRUE(io.writes.empty());
            ASSERT_EQ(host.boxes.size(), 1);
            EXPECT_TRUE(host.boxes[0].contains(
                QString::fromUtf8(FindImageFormat(c.format)->name.data(), 3)));
        }
    }
}

// "Загрузить" reads every format the table reads: by its name, and by its content where
// the name says another format or none. A file that is no known format is refused aloud.
TEST_F(ImageFileCommandsTest, OpenReadsAnyFormatByNameAndByContent) {
    QByteArray trdBytes(2 * 4096, '\0');
    trdBytes[8 * 256 + 0xE7] = 0x10;  // the TR-DOS mark of the information sector
    struct Case {
        const char* name;
        QByteArray bytes;
        ImageFormat read;  // Unknown: nothing read
    };
    const Case cases[] = {
        {"game.trd", "data", ImageFormat::Trd},
        {"TWILIGHT.$C", "data", ImageFormat::Hobeta},
        {"typed.scl", "data", ImageFormat::Scl},
        {"game.udf", trdBytes, ImageFormat::Trd},
        {"game", trdBytes, ImageFormat::Trd},
        {"archive.udf", QByteArray("SINCLAIR") + QByteArray(20, '\0'), ImageFormat::Scl},
        {"disk.trd", QByteArray("UDI!") + QByteArray(20, '\0'), ImageFormat::Udi},
        {"disk.dsk", "data", ImageFormat::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        io.reads.clear();
        host.boxes.clear();
        const QString path = MakeFile(QString::fromUtf8(c.name), "other/", c.bytes);
        answers = {path};
        EXPECT_EQ(commands->LoadNative(), c.read != ImageFormat::Unknown);
        if (c.read == ImageFormat::Unknown) {
            EXPECT_TRUE(io.reads.empty());
            EXPECT_EQ(host.boxes,
                      QStringList{QStringLiteral("Ошибка!|Неизвестный формат файла - ") + path});
            continue;
        }
        ASSERT_EQ(io.reads.size(), 1u);
        EXPECT_EQ(io.reads[0].first, c.read);
        EXPECT_EQ(commands->ImageFile(), path);
        EXPECT_TRUE(host.boxes.isEmpty());
    }
}

// Every save shows the file it wrote in the status bar, as a load does.
TEST_F(ImageFileCommandsTest, EverySaveShowsTheSavedFileInTheStatusBar) {
    using Command = std::function<bool(ImageFileCommands&)>;
    const std::pair<const char*, Command> saves[] = {
        {"a.trd", &ImageFileCommands::SaveAs},
        {"b.udf", &ImageFileCommands::SaveNative},
        {"c.udi", [](ImageFileCommands& c) { return c.SaveSingle(ImageFormat::Udi); }},
        {"c.udi", &ImageFileCommands::SaveToImageFile},  // into the file saved last
    };
    answers = {MakeFile(QStringLiteral("start.udi"))};
    commands->LoadAs();
    for (const auto& [name, save] : saves) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QStringLiteral("other/") + QString::fromUtf8(name));
        host.status.clear();
        answers = {path};
        EXPECT_TRUE(save(*commands));
        EXPECT_EQ(host.status,
                  QStringLiteral("Disk Image - ") + path + QStringLiteral(" (Дорожек - 2)"));
    }
}

// "Сохранить" proposes the image's own name with ".udf", beside its file.
TEST_F(ImageFileCommandsTest, NativeSaveStartsBesideTheImagesFile) {
    const QString hobeta = MakeFile(QStringLiteral("TWILIGHT.$C"), "other/");
    answers = {hobeta};
    commands->LoadAs();
    commands->SaveNative();  // cancelled
    EXPECT_EQ(requests.back().fileName, QStringLiteral("TWILIGHT.udf"));
    EXPECT_EQ(requests.back().directory,
              WithTrailingSeparator(dir.filePath(QStringLiteral("other"))));
}

TEST_F(ImageFileCommandsTest, NativeLoadAndSaveUseDirectory1) {
    const QString path = MakeFile(QStringLiteral("keep.udf"));
    answers = {path};
    commands->LoadNative();
    EXPECT_EQ(requests.back().title, QStringLiteral("Загрузить образ диска из файла.."));
    EXPECT_EQ(requests.back().filter, OpenAnyFilter());
    EXPECT_EQ(requests.back().filterIndex, 1);  // "Поддерживаемые форматы"
    EXPECT_EQ(requests.back().defaultSuffix, QStringLiteral("udf"));
    EXPECT_EQ(io.reads.back().first, ImageFormat::Udf);
    EXPECT_EQ(settings.NativeImageFolder, ImgDir());
    EXPECT_EQ(IniValue("Directory_1"), ImgDir());
    EXPECT_EQ(settings.ImageFolder, WithTrailingSeparator(dir.path()));
    EXPECT_EQ(host.comments, QStringList{QStringLiteral("comment of the image")});

    answers = {};
    commands->SaveNative();  // cancelled
    EXPECT_EQ(requests.back().title, QStringLiteral("Сохранить образ диска в файл.."));
    EXPECT_EQ(requests.back().fileName, QStringLiteral("keep.udf"));
    EXPECT_EQ(requests.back().directory, ImgDir());
    EXPECT_TRUE(io.writes.empty());
}

// A load that fails leaves the image, its name, the folders and (but for the native
// load, which reports there) the status bar as they were, and says why in the log.
TEST_F(ImageFileCommandsTest, FailedLoadKeepsTheImageAndSaysWhy) {
    using Command = std::function<bool(ImageFileCommands&)>;
    const auto single = [](ImageFormat format) {
        return Command([format](ImageFileCommands& c) { return c.LoadSingle(format); });
    };
    struct Case {
        const char* file;
        Command command;
        const char* line;
        bool reportsInStatus;
    };
    const Case cases[] = {
        {"n.udf", &ImageFileCommands::LoadNative, "Error load UDF -\"broken\"", true},
        {"a.udi", &ImageFileCommands::LoadAs, "Error load UDI - \"broken\"", false},
        {"b.trd", &ImageFileCommands::LoadAs, "Error load TRD -\"broken\"", false},
        {"c.td0", &ImageFileCommands::LoadAs, "Error load TD0 -\"broken\"", false},
        {"d.fdi", &ImageFileCommands::LoadAs, "Error load FDI -\"broken\"", false},
        {"e.udi", single(ImageFormat::Udi), "Error load UDI - \"broken\"", false},
        {"f.trd", single(ImageFormat::Trd), "Error load TRD -\"broken\"", false},
        {"g.td0", single(ImageFormat::Td0), "Error load TD0 -\"broken\"", false},
        {"h.fdi", single(ImageFormat::Fdi), "Error load FDI -\"broken\"", false},
    };
    answers = {MakeFile(QStringLiteral("good.udi"))};
    commands->LoadAs();
    const QString goodStatus = host.status;
    const QString folder1 = settings.NativeImageFolder;
    io.readResult = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        host.status = goodStatus;
        answers = {MakeFile(QString::fromUtf8(c.file), "other/")};
        c.command(*commands);
        EXPECT_EQ(disk->CountTracks(), 2);
        EXPECT_NE(disk->GetTrack(4)->Present, 0);
        EXPECT_EQ(disk->DiskLog, std::vector<std::string>{"comment of the image"});
        EXPECT_EQ(commands->CurrentName(), QStringLiteral("good.udi"));
        EXPECT_EQ(settings.ImageFolder, ImgDir());
        EXPECT_EQ(settings.NativeImageFolder, folder1);
        EXPECT_EQ(host.log, QStringList{QString::fromUtf8(c.line)});
        ASSERT_FALSE(host.boxes.isEmpty());
        EXPECT_EQ(host.boxes.back(),
                  QStringLiteral("Ошибка!|Не удалось загрузить образ из файла ") +
                      dir.filePath(QStringLiteral("other/") + QString::fromUtf8(c.file)) +
                      QStringLiteral("\nbroken"));
        EXPECT_EQ(host.status, c.reportsInStatus ? QString::fromUtf8(c.line) : goodStatus);
        EXPECT_EQ(host.comments, QStringList{QStringLiteral("comment of the image")});
    }
}

TEST_F(ImageFileCommandsTest, NativeLoadFailureChangesNothingElse) {
    io.readResult = false;
    answers = {MakeFile(QStringLiteral("bad.udf"))};
    commands->LoadNative();
    EXPECT_EQ(host.status, QStringLiteral("Error load UDF -\"broken\""));
    EXPECT_TRUE(commands->CurrentName().isEmpty());
    EXPECT_EQ(settings.NativeImageFolder, WithTrailingSeparator(dir.path()));
}

TEST_F(ImageFileCommandsTest, SingleFormatCommandsKeepNameAndDirectories) {
    const QString trd = MakeFile(QStringLiteral("one.trd"));
    answers = {trd};
    commands->LoadSingle(ImageFormat::Trd);
    EXPECT_EQ(requests.back().title, QStringLiteral("Загрузить образ TRD диска из файла.."));
    EXPECT_EQ(requests.back().filter, QStringLiteral("Файл образа TRDOS диска (*.trd)|*.trd"));
    EXPECT_EQ(io.reads.back().first, ImageFormat::Trd);
    EXPECT_TRUE(commands->CurrentName().isEmpty());
    EXPECT_EQ(settings.ImageFolder, WithTrailingSeparator(dir.path()));
    EXPECT_EQ(host.status,
              QStringLiteral("Disk Image - ") + trd + QStringLiteral(" (Дорожек - 2)"));

    commands->SaveSingle(ImageFormat::Udi);  // cancelled; starts from the loaded name with .udi
    EXPECT_EQ(requests.back().fileName, dir.filePath(QStringLiteral("img/one.udi")));
    EXPECT_EQ(requests.back().filter, QStringLiteral("Ultra Disk Image (*.udi)|*.udi"));
    EXPECT_EQ(requests.back().title, QStringLiteral("Сохранить образ диска в файл.."));

    commands->SaveSingle(ImageFormat::Trd);
    EXPECT_EQ(requests.back().fileName, dir.filePath(QStringLiteral("img/one.trd")));
    EXPECT_EQ(requests.back().title, QStringLiteral("Сохранить образ в TRD файл.."));
    EXPECT_TRUE(io.writes.empty());
}

TEST_F(ImageFileCommandsTest, SingleTrdSaveAsksWithItsOwnCaption) {
    const QString target = MakeFile(QStringLiteral("t.trd"));
    host.answer = false;
    answers = {target};
    commands->SaveSingle(ImageFormat::Trd);
    EXPECT_EQ(host.questions,
              QStringList{QStringLiteral("Внимание!|Файл уже существует! Перезаписать?")});
    EXPECT_TRUE(io.writes.empty());
}

TEST_F(ImageFileCommandsTest, SingleLoadsReportTheirErrors) {
    io.readResult = false;
    answers = {MakeFile(QStringLiteral("a.td0"))};
    commands->LoadSingle(ImageFormat::Td0);
    EXPECT_EQ(requests.back().title, QStringLiteral("Загрузить образ Teledisk из файла.."));
    EXPECT_EQ(host.log, QStringList{QStringLiteral("Error load TD0 -\"broken\"")});
    answers = {MakeFile(QStringLiteral("a.fdi"))};
    commands->LoadSingle(ImageFormat::Fdi);
    EXPECT_EQ(requests.back().filter, QStringLiteral("Образ диска (*.fdi)|*.fdi"));
    EXPECT_EQ(host.log, QStringList{QStringLiteral("Error load FDI -\"broken\"")});
    answers = {MakeFile(QStringLiteral("a.udi"))};
    commands->LoadSingle(ImageFormat::Udi);
    EXPECT_EQ(host.log, QStringList{QStringLiteral("Error load UDI - \"broken\"")});
}

// The real readers and writers: a corpus TRD saved as native and UDI and read back.
TEST(ImageFileCommandsCorpus, TrdRoundTripsThroughNativeAndUdi) {
    const QString corpus = QStringLiteral(MORVANE_CORPUS_DIR "/trd/test_disk.trd");
    if (!QFile::exists(corpus)) GTEST_SKIP() << "corpus not found: " << corpus.toStdString();
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("Morvane.ini")));
    Settings settings = store.LoadAndRepair(dir.path());
    auto disk = std::make_unique<DiskImage>();
    RecordingHost host;
    FormatsFileIo io;
    std::deque<QString> answers = {corpus, dir.filePath(QStringLiteral("copy.udf")),
                                   dir.filePath(QStringLiteral("copy.udi"))};
    ImageFileCommands commands(*disk, settings, store, host, io,
                               [&answers](const FileDialogRequest&) {
                                   FileDialogAnswer a = answers.front();
                                   answers.pop_front();
                                   return a;
                               });
    commands.LoadAs();
    const unsigned tracks = disk->CountTracks();
    ASSERT_GT(tracks, 0u);
    EXPECT_TRUE(host.status.endsWith(QStringLiteral("(Дорожек - ") + QString::number(tracks) +
                                     QLatin1Char(')')));
    disk->DiskLog = {"a comment"};
    commands.SaveNative();
    commands.SaveAs();
    ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("copy.udf"))));
    ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("copy.udi"))));

    auto back = std::make_unique<DiskImage>();
    ASSERT_TRUE(io.Read(ImageFormat::Udf, dir.filePath(QStringLiteral("copy.udf")), *back));
    EXPECT_EQ(back->CountTracks(), tracks);
    EXPECT_EQ(back->DiskLog, std::vector<std::string>{"a comment"});
    const SectorSlot* a = disk->FindSector(0, 9);
    const SectorSlot* b = back->FindSector(0, 9);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(0, std::memcmp(a->Data.data(), b->Data.data(), 256));

    auto udi = std::make_unique<DiskImage>();
    ASSERT_TRUE(io.Read(ImageFormat::Udi, dir.filePath(QStringLiteral("copy.udi")), *udi));
    EXPECT_EQ(udi->CountTracks(), tracks);
}

// The window's saves through the real files: while morvane-img's edit holds the image's
// lock, and over a file the user may not replace, a save fails with the reason in its box.
TEST(ImageFileCommandsFiles, SavesTakeTheImageLockAndSayWhyTheyFail) {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("Morvane.ini")));
    Settings settings = store.LoadAndRepair(dir.path());
    auto disk = std::make_unique<DiskImage>();
    test::PutSector(*disk, 0, 0, 1, 1, Bytes(256, 7));
    RecordingHost host;
    FormatsFileIo io(std::chrono::milliseconds(50));
    const QString locked = dir.filePath(QStringLiteral("locked.udf"));
    const QString readOnly = dir.filePath(QStringLiteral("read-only.udf"));
    std::deque<QString> answers = {locked, readOnly, locked};
    ImageFileCommands commands(*disk, settings, store, host, io,
                               [&answers](const FileDialogRequest&) {
                                   FileDialogAnswer a = answers.front();
                                   answers.pop_front();
                                   return a;
                               });
    for (const QString& path : {locked, readOnly})
        ASSERT_TRUE(io.Write(ImageFormat::Udf, path, *disk)) << disk->LastError;
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup));
    FileLock edit;
    ASSERT_EQ(edit.Acquire(locked.toStdString(), std::chrono::milliseconds(0)),
              FileLockResult::Locked);

    EXPECT_FALSE(commands.SaveNative());
    EXPECT_FALSE(commands.SaveNative());
    const QString failed = QStringLiteral("Ошибка!|Ошибка записи файла - ");
    EXPECT_EQ(host.boxes,
              (QStringList{failed + locked + QLatin1Char('\n') + locked +
                               QStringLiteral(": the image is in use by another program; try "
                                              "again when it is done"),
                           failed + readOnly + QStringLiteral("\ncannot write ") + readOnly +
                               QStringLiteral(": the file is read-only")}));
    edit.Release();
    EXPECT_TRUE(commands.SaveNative());
}

}  // namespace
}  // namespace morvane
