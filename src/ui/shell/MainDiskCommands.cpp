// The main window's disk commands: the progress window, the operations' view of the
// window, and the connections of the "Диск" menu, the tool button tb4 and the map's
// context menu to the commands.
#include <QAction>
#include <QMenu>

#include "operations/OperationContext.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/DiskCommands.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ProgressWindow.h"
#include "ui/shell/WindowOperationHost.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/SectorView.h"

namespace morvane {

void TFMain::BuildDiskCommands() {
    progress_ = new T_Prog(this);
    connect(progress_, &T_Prog::runShowing, this, &TFMain::ShowMapFromTop);

    OperationWidgets w;
    w.log = logList_;
    w.pages = logPages_;
    w.logPage = logPage_;
    w.sectorLabel = sectorLabel_;
    w.trackLabel = trackLabel_;
    w.hex = hexView_;
    w.progress = progress_;
    w.showMapFromTop = [this] { ShowMapFromTop(); };
    w.repaintMap = [this] { diskMap_->ImageChanged(); };
    opHost_ = std::make_unique<WindowOperationHost>(std::move(w), *dialogs_);
    diskCommands_ = std::make_unique<DiskCommands>(link_->Protocol(), *disk_, *opHost_, *progress_);
    // Commands of other windows (the catalogue read from the drive) run through the same
    // host; tests may put a runner of their own in its place.
    if (!operationRunner_) {
        operationRunner_ = [this](const std::function<void(OperationContext&)>& operation) {
            OperationContext ctx{link_->Protocol(), *disk_, *opHost_};
            operation(ctx);
        };
    }

    diskCommands_->SetTrDosNameAsker([this] { return AskNewTrDosName(); });
    diskCommands_->SetReadIntoImageConfirm([this] { return ConfirmDiscardImage(); });
    diskCommands_->ConnectMenu(actions_, this);
    DiskCommands* commands = diskCommands_.get();
    connect(diskMap_, &DiskMapView::diskCommandRequested, this,
            [commands](MapMenuEntry entry, int column, int row) {
                commands->RunMapEntry(entry, column, row);
            });
    connect(diskMap_->contextMenu(), &QMenu::aboutToShow, this,
            &TFMain::DisableMapDiskEntriesWhileBusy);
}

// The map's own rules enable the entries by the cell; a command in progress disables them
// all on top of them: each either talks to the controller or changes the image the command
// reads into.
void TFMain::DisableMapDiskEntriesWhileBusy() {
    if (!link_->Protocol().Busy()) return;
    for (std::size_t i = 0; i < kMapMenuEntryCount; ++i)
        diskMap_->menuAction(static_cast<MapMenuEntry>(i))->setEnabled(false);
}

}  // namespace morvane
