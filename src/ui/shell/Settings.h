// The program's settings: the record every part reads, the rules that repair what the
// settings file holds, and the file itself (section "Option" of Morvane.ini in the
// program's folder). Each change is written to the file at once; nothing is saved at exit.
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>

#include "ui/shell/Language.h"

class QSettings;

namespace morvane {

struct Settings {
    std::uint8_t RetryCount = 10;
    std::uint8_t RetryCountWithReset = 5;
    std::uint8_t FirstCylinder = 0;
    std::uint8_t LastCylinder = 83;
    std::uint8_t CycleRead = 5;
    std::uint8_t TimeOut = 10;
    bool RestoreTrack = true;
    bool CompressTd0 = false;
    bool OverlapTrackAndData = false;
    bool SetSectorSizeFromHead = false;
    QString NativeImageFolder;  // folders end with a separator
    QString ImageFolder;
    QString HobetaDir;
    QString SCLDir;
    QString Drive = QStringLiteral("A");
    // Not of section "Option": kept in section "Interface" (SettingsStore::ReadLanguage).
    LanguageChoice Language = LanguageChoice::System;
};

// Repair rules: the stored integer comes in as read (0 for an absent key), only its low
// eight bits count, and the result is what the program uses and writes back.
std::uint8_t RepairRetryCount(long long stored);
std::uint8_t RepairRetryCountWithReset(long long stored);
std::uint8_t RepairFirstCylinder(long long stored);
std::uint8_t RepairLastCylinder(long long stored);
std::uint8_t RepairCycleRead(long long stored);
std::uint8_t RepairTimeOut(long long stored);
// Empty or missing folder -> the program folder; a kept folder gains a trailing "/".
QString RepairDirectory(const QString& stored, const QString& programFolder,
                        const std::function<bool(const QString&)>& folderExists);
// "A" or "B"; anything else is "A".
QString RepairDrive(const QString& stored);
// The folder of a file, with a trailing separator, as the directory keys hold it.
QString FolderOf(const QString& filePath);
// A folder path with exactly one trailing "/".
QString WithTrailingSeparator(const QString& folder);

// Which link the window starts on, and what the emulated drive holds (empty path = the
// built-in demonstration disk). Kept in section "VirtualController".
struct VirtualControllerChoice {
    bool Enabled = false;
    QString ImagePath;
};

// The settings file. Every setter writes its key at once; failures of the store itself
// (a write-protected file) are ignored, as the program has nowhere better to report them.
class SettingsStore {
  public:
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    const QString& IniPath() const { return iniPath_; }

    // Creates the file if missing, reads every key of "Option", repairs it and writes back
    // the keys the file did not hold as repaired, so a fresh file holds every key
    // afterwards and an intact one is left as it is.
    Settings LoadAndRepair(const QString& programFolder);
    // The ten values of the settings dialog, in the dialog's order.
    void WriteDialogValues(const Settings& s);
    void WriteNativeImageFolder(const QString& folder);
    void WriteImageFolder(const QString& folder);
    void WriteHobetaDir(const QString& folder);
    void WriteSCLDir(const QString& folder);
    void WriteDrive(const QString& drive);

    // The window's language, section "Interface": read at start, written when the
    // settings dialog changes it (never written back at load, so an untouched file
    // keeps following the system).
    LanguageChoice ReadLanguage();
    void WriteLanguage(LanguageChoice choice);
    // The screen viewer's zoom (1..4), section "Interface": 1 when absent or unreadable,
    // brought into range otherwise.
    int ReadScreenZoom();
    void WriteScreenZoom(int zoom);

    VirtualControllerChoice ReadVirtualController();
    void WriteVirtualController(const VirtualControllerChoice& choice);

  private:
    void WriteKey(const char* key, const QVariant& value);
    QString iniPath_;
    std::unique_ptr<QSettings> ini_;
};

// Morvane.ini in the folder that holds the executable; when that folder cannot be
// written (a system-wide install), in the per-user configuration folder instead, so
// settings still persist.
QString DefaultIniPath();
// The folder DefaultIniPath uses: the program folder if its ini file can be written
// or created there, otherwise the per-user folder.
QString ChooseIniFolder(const QString& programFolder, bool iniWritableInProgramFolder,
                        bool programFolderWritable, const QString& perUserFolder);
// The executable's folder with a trailing separator.
QString ProgramFolder();
// True for the folders a system-wide install puts programs in (/usr/..., /bin, /sbin).
// Such a folder is shared by every user and managed by the package system, so even
// root keeps its settings out of it unless a Morvane.ini was put there on purpose.
bool IsSharedProgramFolder(const QString& programFolder);

}  // namespace morvane
