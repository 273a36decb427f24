// The window's commands on the physical disk: the whole-disk launchers of the "Диск" menu
// (the tool button tb4 is the fifth, "Быстрое чтение диска" the sixth), the bad-sector
// reread, and the disk entries of the map's context menu on the popup position. Each runs
// its operation on the window's controller, image and operation host; a command given
// while another one holds the controller is refused with a message, never silently. A
// command that writes to the disk asks first (DiskWriteQuestions.h) and writes nothing
// unless the answer is OK.
#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "controller/ControllerCommands.h"
#include "model/UserQuestion.h"
#include "ui/views/MapMenuRules.h"

class QObject;

namespace morvane {

class ControllerProtocol;
struct MainActions;
class OperationHost;
class ProgressWindow;
class DiskImage;
struct OperationContext;
enum class DiskRunKind;

// The context-menu entries that talk to the controller ("Записать дорожку" included: it
// has no action, but belongs with them).
bool IsMapDiskEntry(MapMenuEntry entry);

inline constexpr int kDefaultRecoveryPasses = 3;
inline constexpr int kMostRecoveryPasses = 100;

class DiskCommands {
  public:
    DiskCommands(ControllerProtocol& protocol, DiskImage& disk, OperationHost& host,
                 ProgressWindow& progress);

    // "Полное чтение диска", "Чтение сырых данных", "Сканирование дорожек", "Чтение
    // секторов по  меткам", "Сканирование и чтение секторов диска", "Быстрое чтение
    // диска": the run in ProgressWindow.
    void Launch(DiskRunKind kind);
    // Connects the launchers, tb4 and "Перечитать сбойные сектора"; context owns the
    // connections.
    void ConnectMenu(const MainActions& actions, QObject* context);
    // "Перечитать сбойные сектора"
    void RereadFailed();
    // "Восстановить сбойные сектора...": the unattended recovery passes in ProgressWindow, as
    // many as askPasses gives (none: the command does nothing; no asker: the default).
    void RecoverFailed();
    void SetPassesAsker(std::function<int()> askPasses) { askPasses_ = std::move(askPasses); }
    // "Записать диск": every present track of the image onto the disk, verified.
    void WriteDisk();
    // "Форматировать диск": a TR-DOS or a Profi CP/M disk, as the user chooses; the name of
    // a TR-DOS disk comes from askTrDosName (nothing: cancelled, the disk is not touched).
    void FormatDisk();
    void SetTrDosNameAsker(std::function<std::optional<QString>()> askTrDosName) {
        askTrDosName_ = std::move(askTrDosName);
    }
    // The drive the commands work on, named in their questions; drive A when not set.
    void SetDriveInUse(std::function<Drive()> drive) { driveInUse_ = std::move(drive); }
    // Asked before a whole-disk run reads into the image (the unsaved-work question);
    // false stops the launch.
    void SetReadIntoImageConfirm(std::function<bool()> confirm) {
        confirmReadInto_ = std::move(confirm);
    }
    // A context-menu entry on the popup position; entries that are not disk entries, and
    // a popup outside the cells, do nothing.
    void RunMapEntry(MapMenuEntry entry, int column, int row);

  private:
    OperationContext Context();
    // False (and the refusal shown) while another command holds the controller.
    bool ReadyForRun();
    // Asks before a write to the disk; true only when the answer is OK.
    bool ConfirmWrite(const Question& question);
    Drive DriveInUse() const { return driveInUse_ ? driveInUse_() : Drive::A; }
    // The question of a writing map entry on the cell; none when the entry does not write,
    // or refuses the cell by itself ("Записать сектор" on a cell without a sector).
    std::optional<Question> MapEntryQuestion(MapMenuEntry entry, int column, int row) const;

    ControllerProtocol& protocol_;
    DiskImage& disk_;
    OperationHost& host_;
    ProgressWindow& progress_;
    std::function<std::optional<QString>()> askTrDosName_;
    std::function<Drive()> driveInUse_;
    std::function<bool()> confirmReadInto_;
    std::function<int()> askPasses_;
};

}  // namespace morvane
