// The English translation: every window text has one, the file holds every text the
// sources mark, the translations keep what the program puts around them, and the window
// built in English shows no Russian while the Russian one stays as written.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "NoDeviceDriver.h"
#include "controller/ControllerProtocol.h"
#include "controller/DeviceErrorText.h"
#include "filesystems/CpmListing.h"
#include "filesystems/TrDosListing.h"
#include "filesystems/TrDosSectors.h"
#include "imagefiles/DialogFilters.h"
#include "imagefiles/ImageFormatTable.h"
#include "model/ImageEditing.h"
#include "model/UserQuestion.h"
#include "model/DiskImage.h"
#include "operations/LayoutFormatTable.h"
#include "operations/OperationSession.h"
#include "operations/WriteErrorLog.h"
#include "ui/catalogue/CpmCatalogueWindow.h"
#include "ui/catalogue/DiskNameDialog.h"
#include "ui/catalogue/EntryHeaderDialog.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/shell/Language.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ProgressWindow.h"
#include "ui/shell/SettingsDialog.h"
#include "ui/shell/WindowPlacement.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/QtText.h"
#include "ui/views/ScreenViewer.h"
#include "ui/views/SectorEditor.h"
#include "ui/views/SectorHeaderEditor.h"
#include "ui/views/ShownText.h"

namespace morvane {
namespace {

const QString kTsFile = QStringLiteral(MORVANE_SOURCE_DIR "/translations/morvane_en.ts");

// The context every window text is asked under: Ui::tr's (ui/views/QtText.h).
const QString kWindowContext = QStringLiteral("morvane::Ui");

struct TsMessage {
    QString translation;
    bool finished = false;
};

struct TsEntry {
    QString context;
    QString source;
    TsMessage message;
};

// Every message of a .ts file with the context it is filed under.
std::vector<TsEntry> ReadTsEntries(const QString& path) {
    std::vector<TsEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return entries;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            const bool unfinished =
                xml.attributes().value(QStringLiteral("type")) == QStringLiteral("unfinished");
            const QString text = xml.readElementText();
            entries.push_back({context, source, {text, !unfinished && !text.isEmpty()}});
        }
    }
    return entries;
}

// Source text -> its translation, as a .ts file holds them.
std::map<QString, TsMessage> ReadTs(const QString& path) {
    std::map<QString, TsMessage> messages;
    for (const TsEntry& entry : ReadTsEntries(path))
        messages[entry.source] = entry.message;
    return messages;
}

bool HasCyrillic(const QString& text) {
    static const QRegularExpression kCyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    return text.contains(kCyrillic);
}

// The %N of a text, sorted.
QStringList Placeholders(const QString& text) {
    static const QRegularExpression kArg(QStringLiteral("%\\d"));
    QStringList found;
    for (auto it = kArg.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

// Texts with Russian in them, one per line, for a failure message.
std::string Listed(const QStringList& texts) {
    return texts.join(QLatin1Char('\n')).toStdString();
}

TEST(Translation, EveryTextHasAnEnglishTranslation) {
    const auto messages = ReadTs(kTsFile);
    ASSERT_FALSE(messages.empty()) << "cannot read " << kTsFile.toStdString();
    QStringList missing;
    for (const auto& [source, message] : messages)
        if (!message.finished) missing << source;
    EXPECT_TRUE(missing.isEmpty()) << "no English translation for:\n" << Listed(missing);
}

// A text at the edge of a longer one (a prefix before a name, a suffix after a number)
// keeps its spaces there, and every %N stays.
TEST(Translation, TranslationsKeepPlaceholdersAndEdgeSpaces) {
    const QChar space(QLatin1Char(' '));
    for (const auto& [source, message] : ReadTs(kTsFile)) {
        const QString& english = message.translation;
        if (!message.finished) continue;
        EXPECT_EQ(Placeholders(source), Placeholders(english)) << source.toStdString();
        EXPECT_TRUE(source.startsWith(space) == english.startsWith(space) &&
                    source.endsWith(space) == english.endsWith(space) && !HasCyrillic(english))
            << source.toStdString() << " -> " << english.toStdString();
    }
}

// lupdate over today's sources, into a copy of the file, finds nothing the file lacks.
TEST(Translation, FileHoldsEveryTextOfTheSources) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("morvane_en.ts"));
    ASSERT_TRUE(QFile::copy(kTsFile, copy));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(MORVANE_SOURCE_DIR));
    lupdate.start(QStringLiteral(MORVANE_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("-no-obsolete"), QStringLiteral("-source-language"),
                   QStringLiteral("ru"), QStringLiteral("-target-language"), QStringLiteral("en"),
                   QStringLiteral("-I"), QStringLiteral("src"), QStringLiteral("-extensions"),
                   QStringLiteral("cpp,h"), QStringLiteral("src/ui"), QStringLiteral("-ts"), copy});
    ASSERT_TRUE(lupdate.waitForFinished(120000)) << MORVANE_LUPDATE << " did not finish";
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const auto kept = ReadTs(kTsFile);
    QStringList missing;
    for (const auto& [source, message] : ReadTs(copy))
        if (!kept.contains(source)) missing << source;
    EXPECT_TRUE(missing.isEmpty())
        << "not in translations/morvane_en.ts (run scripts/update-translations.sh):\n"
        << Listed(missing);
    // lupdate files a text under the context it resolves the call to; a call it cannot
    // resolve lands in a context the window never asks.
    QStringList elsewhere;
    for (const TsEntry& entry : ReadTsEntries(copy))
        if (entry.context != kWindowContext) elsewhere << entry.context + ": " + entry.source;
    EXPECT_TRUE(elsewhere.isEmpty())
        << "filed under another context than " << kWindowContext.toStdString() << ":\n"
        << Listed(elsewhere);
}

// Every translation is found where the window looks for it: Ui::tr of its source text
// gives it once English is installed.
TEST(Translation, EveryTranslationIsFoundUnderTheContextTheWindowAsks) {
    ASSERT_TRUE(InstallTranslations(*QCoreApplication::instance(), QStringLiteral("en")));
    QStringList lost;
    for (const TsEntry& entry : ReadTsEntries(kTsFile)) {
        if (!entry.message.finished) continue;
        if (Ui::tr(entry.source.toUtf8().constData()) != entry.message.translation)
            lost << entry.context + ": " + entry.source;
    }
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
    EXPECT_TRUE(lost.isEmpty()) << "shown untranslated:\n" << Listed(lost);
}

struct LanguageCase {
    LanguageChoice choice;
    const char* locale;
    const char* environment;
    const char* expected;
};

TEST(Translation, LanguageFollowsChoiceEnvironmentAndLocale) {
    const LanguageCase cases[] = {
        {LanguageChoice::System, "ru-RU", "", "ru"},  {LanguageChoice::System, "de_DE", "", "en"},
        {LanguageChoice::System, "C", "", "en"},      {LanguageChoice::English, "ru_RU", "", "en"},
        {LanguageChoice::Russian, "en_US", "", "ru"}, {LanguageChoice::Russian, "en", "en", "en"},
        {LanguageChoice::English, "en", "RU", "ru"},  {LanguageChoice::Russian, "en", "xx", "ru"},
    };
    for (const LanguageCase& c : cases)
        EXPECT_EQ(
            InterfaceLanguage(c.choice, QLatin1String(c.locale), QLatin1String(c.environment)),
            QLatin1String(c.expected))
            << c.locale << " / " << c.environment;
    // Kept in section "Interface", written only when chosen.
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Morvane.ini"));
    EXPECT_EQ(SettingsStore(ini).LoadAndRepair(dir.path()).Language, LanguageChoice::System);
    EXPECT_FALSE(
        QSettings(ini, QSettings::IniFormat).contains(QStringLiteral("Interface/Language")));
    SettingsStore(ini).WriteLanguage(LanguageChoice::English);
    EXPECT_EQ(SettingsStore(ini).LoadAndRepair(dir.path()).Language, LanguageChoice::English);
}

// What the plain layers hand the window, made by those layers themselves, shows in English
// once the translation is installed: a layer that changes a text without its line in
// src/ui/views/LayerTexts.cpp fails here.
TEST(Translation, LowerLayerTextsShowInEnglish) {
    ASSERT_TRUE(InstallTranslations(*QCoreApplication::instance(), QStringLiteral("en")));
    std::vector<std::string> texts{kCaptionError,
                                   kCaptionErrorDots,
                                   kCaptionAttention,
                                   kCaptionAttentionDots,
                                   kCaptionReadError,
                                   kControllerBusyText,
                                   kLinkLostText + std::string(" ") + kTextReadKept,
                                   kUsbNoPermissionText,
                                   kTextWriteTimeout,
                                   std::string(kNotCpmImageText),
                                   std::string(kNotTrDosImageText),
                                   std::string(kNotTrDosDiskText),
                                   std::string(kNoFilesToSaveText),
                                   NoPermissionHint(),
                                   SectorErrorText(3, 12),
                                   DiskTypeText(0x16),
                                   DiskTypeText(0x17),
                                   DiskTypeText(0x01)};
    DiskImage disk;
    disk.GetTrack(5)->RawLength = 100;
    texts.push_back(SetBaseTrack(disk, 5));
    Track track;
    track.Number = 7;
    track.Slots[0].Present = 0xFF;
    track.Slots[0].SizeCode = 9;
    QString refusal;
    EXPECT_FALSE(BuildLayoutFormatTable(track, refusal));
    texts.push_back(refusal.toStdString());
    for (auto labels : {std::span<const std::string_view>(kTrDosDescriptionLabels),
                        std::span<const std::string_view>(kCpmDescriptionLabels)})
        for (std::string_view label : labels)
            texts.emplace_back(label);
    for (const ImageFormatEntry& row : ImageFormats()) {
        for (std::string_view text :
             {row.compressQuestion, row.buildFailedText, row.singleLoad.title, row.singleSave.title,
              row.singleSave.overwriteCaption})
            texts.emplace_back(text);
        for (std::string_view filter : {row.filter, row.singleLoad.filter, row.singleSave.filter})
            for (const std::string& entry : NameFilters(filter))
                texts.push_back(entry);
    }
    for (const std::string& entry : NameFilters(kAllFormatsFilter))
        texts.push_back(entry);
    QStringList russian;
    for (const std::string& text : texts)
        if (HasCyrillic(ShownText(text))) russian << ShownText(text);
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
    EXPECT_TRUE(russian.isEmpty()) << "left in Russian:\n" << Listed(russian);
}

// Every text a widget shows: captions, titles, hints, menu items (submenus included).
QStringList ShownTexts(const QWidget* root) {
    QStringList texts{root->windowTitle(), root->toolTip()};
    QList<QAction*> actions = root->findChildren<QAction*>();
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        texts << w->toolTip();
        actions << w->actions();
        if (const auto* menu = qobject_cast<const QMenu*>(w)) texts << menu->title();
        if (const auto* label = qobject_cast<const QLabel*>(w)) texts << label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) texts << button->text();
        if (const auto* group = qobject_cast<const QGroupBox*>(w)) texts << group->title();
        if (const auto* tabs = qobject_cast<const QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
    }
    for (const QAction* a : actions)
        texts << a->text() << a->toolTip();
    return texts;
}

// The window of one test, built in the given language; the translators go with it.
class WindowIn {
  public:
    explicit WindowIn(const QString& language) {
        EXPECT_TRUE(InstallTranslations(*QCoreApplication::instance(), language));
        MainWindowOptions o;
        o.iniPath = dir_.filePath(QStringLiteral("Morvane.ini"));
        o.programFolder = dir_.path();
        o.hardwareDriver = [] { return std::make_unique<test::NoDeviceDriver>(); };
        o.raisePriority = false;
        window_ = std::make_unique<MainWindow>(std::move(o));
        window_->Map()->showLegend();
        // The other windows and dialogs, parented to one hidden widget that goes with them.
        others_ = std::make_unique<QWidget>();
        new SettingsDialog(others_.get());
        TrDosWindowContext trdos;
        trdos.disk = &disk_;
        new TrDosCatalogueWindow(trdos, others_.get());
        CpmWindowContext cpm;
        cpm.disk = &disk_;
        new CpmCatalogueWindow(cpm, others_.get());
        new SectorEditor(others_.get());
        new SectorHeaderEditor(others_.get());
        new ScreenViewer(others_.get());
        new DiskNameDialog(QString(), false, others_.get());
        new EntryHeaderDialog(TrDosEntryEdit{}, others_.get());
    }
    ~WindowIn() {
        others_.reset();
        window_.reset();
        qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
    }
    WindowIn(const WindowIn&) = delete;
    WindowIn& operator=(const WindowIn&) = delete;

    QStringList Texts() const {
        QStringList texts = ShownTexts(window_.get());
        texts << ShownTexts(window_->Map()->contextMenu()) << ShownTexts(window_->Progress());
        for (const QWidget* w : others_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            texts << ShownTexts(w);
        return texts;
    }
    MainWindow& Window() { return *window_; }

  private:
    QTemporaryDir dir_;
    DiskImage disk_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<QWidget> others_;
};

TEST(Translation, EnglishWindowShowsNoRussian) {
    WindowIn english(QStringLiteral("en"));
    QStringList russian;
    for (const QString& text : english.Texts())
        if (HasCyrillic(text) && text != QStringLiteral("Русский")) russian << text;
    russian.removeDuplicates();
    EXPECT_TRUE(russian.isEmpty()) << "Russian in the English window:\n" << Listed(russian);
    EXPECT_EQ(english.Window().findChild<QAction*>(QStringLiteral("actLoadAs"))->text(),
              QStringLiteral("Load &as..."));
}

TEST(Translation, RussianWindowKeepsItsTexts) {
    WindowIn russian(QStringLiteral("ru"));
    EXPECT_EQ(russian.Window().findChild<QAction*>(QStringLiteral("actReadByMarks"))->text(),
              QStringLiteral("Чтение секторов по  &меткам"));
    // The walk of the English test sees the window's texts: here they are Russian.
    const QStringList texts = russian.Texts();
    EXPECT_GT(std::count_if(texts.begin(), texts.end(), HasCyrillic), 150);
}

// The first window, in either language, lies inside the screen's available area with a
// usual frame around it, and its layout can shrink to that size. The screen is the test
// platform's (ctest also runs this on a 1366 x 768 screen at scales 1, 1.5 and 2).
TEST(WindowFit, FirstWindowFitsTheScreenInEitherLanguage) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* language : {"ru", "en"}) {
        WindowIn window((QLatin1String(language)));
        MainWindow& w = window.Window();
        w.show();
        QCoreApplication::processEvents();
        const QSize room = available.marginsRemoved(kTypicalWindowFrame).size();
        EXPECT_TRUE(available.contains(w.geometry().marginsAdded(kTypicalWindowFrame)) &&
                    w.minimumSizeHint().boundedTo(room) == w.minimumSizeHint() &&
                    w.menuBar()->sizeHint().width() <= w.width())
            << language << ": " << w.width() << "x" << w.height() << " on " << available.width()
            << "x" << available.height();
    }
}

}  // namespace
}  // namespace morvane
