#include "ui/shell/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "ui/views/ZxScreen.h"

namespace morvane {

namespace {

constexpr std::uint8_t kDefaultRetryCount = 10;
constexpr std::uint8_t kDefaultRetryCountWithReset = 5;
constexpr std::uint8_t kDefaultFirstCylinder = 0;
constexpr std::uint8_t kDefaultLastCylinder = 83;
constexpr std::uint8_t kMaxFirstCylinder = 82;
constexpr std::uint8_t kDefaultCycleRead = 5;
constexpr std::uint8_t kMaxCycleRead = 30;
constexpr std::uint8_t kDefaultTimeOut = 10;
constexpr std::uint8_t kMaxTimeOut = 30;

std::uint8_t Low8(long long v) {
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(v) & 0xFFu);
}

std::uint8_t ZeroToDefault(long long stored, std::uint8_t def) {
    const std::uint8_t v = Low8(stored);
    return v == 0 ? def : v;
}

QString OptionKey(const char* key) {
    return QStringLiteral("Option/") + QLatin1String(key);
}

}  // namespace

std::uint8_t RepairRetryCount(long long stored) {
    return ZeroToDefault(stored, kDefaultRetryCount);
}

std::uint8_t RepairRetryCountWithReset(long long stored) {
    return ZeroToDefault(stored, kDefaultRetryCountWithReset);
}

std::uint8_t RepairFirstCylinder(long long stored) {
    const std::uint8_t v = ZeroToDefault(stored, kDefaultFirstCylinder);
    return v > kMaxFirstCylinder ? kDefaultFirstCylinder : v;
}

std::uint8_t RepairLastCylinder(long long stored) {
    const std::uint8_t v = ZeroToDefault(stored, kDefaultLastCylinder);
    return v > kDefaultLastCylinder ? kDefaultLastCylinder : v;
}

std::uint8_t RepairCycleRead(long long stored) {
    const std::uint8_t v = ZeroToDefault(stored, kDefaultCycleRead);
    return v > kMaxCycleRead ? kDefaultCycleRead : v;
}

std::uint8_t RepairTimeOut(long long stored) {
    const std::uint8_t v = ZeroToDefault(stored, kDefaultTimeOut);
    return v > kMaxTimeOut ? kDefaultTimeOut : v;
}

QString WithTrailingSeparator(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

QString RepairDirectory(const QString& stored, const QString& programFolder,
                        const std::function<bool(const QString&)>& folderExists) {
    if (stored.isEmpty() || !folderExists(stored)) return WithTrailingSeparator(programFolder);
    return WithTrailingSeparator(stored);
}

QString RepairDrive(const QString& stored) {
    if (stored == QLatin1String("B")) return QStringLiteral("B");
    return QStringLiteral("A");
}

QString FolderOf(const QString& filePath) {
    return WithTrailingSeparator(QFileInfo(filePath).absolutePath());
}

SettingsStore::SettingsStore(const QString& iniPath)
    : iniPath_(iniPath), ini_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

void SettingsStore::WriteKey(const char* key, const QVariant& value) {
    ini_->setValue(OptionKey(key), value);
    ini_->sync();
}

Settings SettingsStore::LoadAndRepair(const QString& programFolder) {
    if (!QFile::exists(iniPath_)) {
        QFile created(iniPath_);
        if (created.open(QIODevice::WriteOnly)) created.close();
    }
    ini_->sync();

    // A value that is not a number counts as a failed read and gives the default.
    auto readInt = [this](const char* key, std::uint8_t def) -> long long {
        const QVariant v = ini_->value(OptionKey(key), 0);
        bool ok = false;
        const long long n = v.toLongLong(&ok);
        return ok ? n : def;
    };
    auto readBool = [this](const char* key, bool def) -> bool {
        const QVariant v = ini_->value(OptionKey(key));
        if (!v.isValid()) return def;
        const QString text = v.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("1")) return true;
        if (text == QLatin1String("false") || text == QLatin1String("0")) return false;
        return def;
    };
    auto exists = [](const QString& folder) { return QFileInfo(folder).isDir(); };
    auto readDir = [&](const char* key) {
        return RepairDirectory(ini_->value(OptionKey(key), QString()).toString(), programFolder,
                               exists);
    };

    // Only values the file does not already hold are written, and the file once at the
    // end: an intact file is not rewritten (each write replaces it safely, which costs a
    // flush to disk) at every start.
    bool changed = false;
    auto repair = [&](const char* key, const QVariant& value) {
        const QString k = OptionKey(key);
        if (ini_->value(k).toString() == value.toString()) return;
        ini_->setValue(k, value);
        changed = true;
    };

    Settings s;
    s.RetryCount = RepairRetryCount(readInt("RetryCount", kDefaultRetryCount));
    repair("RetryCount", s.RetryCount);
    s.RetryCountWithReset =
        RepairRetryCountWithReset(readInt("RetryCountWithReset", kDefaultRetryCountWithReset));
    repair("RetryCountWithReset", s.RetryCountWithReset);
    s.FirstCylinder = RepairFirstCylinder(readInt("FirstCylinder", kDefaultFirstCylinder));
    repair("FirstCylinder", s.FirstCylinder);
    s.LastCylinder = RepairLastCylinder(readInt("LastCylinder", kDefaultLastCylinder));
    repair("LastCylinder", s.LastCylinder);
    s.CycleRead = RepairCycleRead(readInt("CycleRead", kDefaultCycleRead));
    repair("CycleRead", s.CycleRead);
    s.TimeOut = RepairTimeOut(readInt("TimeOut", kDefaultTimeOut));
    repair("TimeOut", s.TimeOut);

    // An absent RestoreTrack means true; a stored false is kept, so the dialog's choice
    // survives a restart.
    s.RestoreTrack = readBool("RestoreTrack", true);
    repair("RestoreTrack", s.RestoreTrack);
    s.CompressTd0 = readBool("TD0arch", false);
    repair("TD0arch", s.CompressTd0);
    s.OverlapTrackAndData = readBool("OverlapTrackAndData", false);
    repair("OverlapTrackAndData", s.OverlapTrackAndData);
    s.SetSectorSizeFromHead = readBool("SetSectorSizeFromHead", false);
    repair("SetSectorSizeFromHead", s.SetSectorSizeFromHead);

    s.NativeImageFolder = readDir("Directory_1");
    repair("Directory_1", s.NativeImageFolder);
    s.ImageFolder = readDir("Directory_2");
    repair("Directory_2", s.ImageFolder);
    s.HobetaDir = readDir("HobetaDir");
    repair("HobetaDir", s.HobetaDir);
    s.SCLDir = readDir("SCLDir");
    repair("SCLDir", s.SCLDir);
    s.Drive = RepairDrive(ini_->value(OptionKey("Drive"), QString()).toString());
    repair("Drive", s.Drive);
    s.Language = ReadLanguage();
    if (changed) ini_->sync();
    return s;
}

void SettingsStore::WriteDialogValues(const Settings& s) {
    WriteKey("RetryCount", s.RetryCount);
    WriteKey("RetryCountWithReset", s.RetryCountWithReset);
    WriteKey("FirstCylinder", s.FirstCylinder);
    WriteKey("LastCylinder", s.LastCylinder);
    WriteKey("CycleRead", s.CycleRead);
    WriteKey("TimeOut", s.TimeOut);
    WriteKey("RestoreTrack", s.RestoreTrack);
    WriteKey("TD0arch", s.CompressTd0);
    WriteKey("OverlapTrackAndData", s.OverlapTrackAndData);
    WriteKey("SetSectorSizeFromHead", s.SetSectorSizeFromHead);
}

void SettingsStore::WriteNativeImageFolder(const QString& folder) {
    WriteKey("Directory_1", folder);
}
void SettingsStore::WriteImageFolder(const QString& folder) {
    WriteKey("Directory_2", folder);
}
void SettingsStore::WriteHobetaDir(const QString& folder) {
    WriteKey("HobetaDir", folder);
}
void SettingsStore::WriteSCLDir(const QString& folder) {
    WriteKey("SCLDir", folder);
}
void SettingsStore::WriteDrive(const QString& drive) {
    WriteKey("Drive", drive);
}

LanguageChoice SettingsStore::ReadLanguage() {
    return ParseLanguageChoice(ini_->value(QStringLiteral("Interface/Language")).toString());
}

void SettingsStore::WriteLanguage(LanguageChoice choice) {
    ini_->setValue(QStringLiteral("Interface/Language"), LanguageChoiceKey(choice));
    ini_->sync();
}

int SettingsStore::ReadScreenZoom() {
    bool ok = false;
    const int zoom = ini_->value(QStringLiteral("Interface/ScreenZoom")).toInt(&ok);
    return ok ? ClampZxZoom(zoom) : kZxMinZoom;
}

void SettingsStore::WriteScreenZoom(int zoom) {
    ini_->setValue(QStringLiteral("Interface/ScreenZoom"), ClampZxZoom(zoom));
    ini_->sync();
}

VirtualControllerChoice SettingsStore::ReadVirtualController() {
    VirtualControllerChoice c;
    c.Enabled = ini_->value(QStringLiteral("VirtualController/Enabled"), false).toBool();
    c.ImagePath = ini_->value(QStringLiteral("VirtualController/Image"), QString()).toString();
    return c;
}

void SettingsStore::WriteVirtualController(const VirtualControllerChoice& choice) {
    ini_->setValue(QStringLiteral("VirtualController/Enabled"), choice.Enabled);
    ini_->setValue(QStringLiteral("VirtualController/Image"), choice.ImagePath);
    ini_->sync();
}

QString ProgramFolder() {
    return WithTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString ChooseIniFolder(const QString& programFolder, bool iniWritableInProgramFolder,
                        bool programFolderWritable, const QString& perUserFolder) {
    if (iniWritableInProgramFolder || programFolderWritable || perUserFolder.isEmpty())
        return programFolder;
    return WithTrailingSeparator(perUserFolder);
}

bool IsSharedProgramFolder(const QString& programFolder) {
    for (const char* prefix : {"/usr/", "/bin/", "/sbin/"})
        if (programFolder.startsWith(QLatin1String(prefix))) return true;
    return false;
}

QString DefaultIniPath() {
    const QString name = QStringLiteral("Morvane.ini");
    const QString programFolder = ProgramFolder();
    const QFileInfo ini(programFolder + name);
    const bool iniUsable = ini.exists() && ini.isWritable();
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString folder = ChooseIniFolder(
        programFolder, iniUsable,
        QFileInfo(programFolder).isWritable() && !IsSharedProgramFolder(programFolder), perUser);
    if (folder != programFolder) QDir().mkpath(folder);
    return folder + name;
}

}  // namespace morvane
