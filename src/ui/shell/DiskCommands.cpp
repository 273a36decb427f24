#include "ui/shell/DiskCommands.h"

#include <QAction>

#include <utility>

#include "controller/ControllerProtocol.h"
#include "model/DiskImage.h"
#include "operations/BadSectorReread.h"
#include "operations/DiskRun.h"
#include "operations/DiskWrite.h"
#include "operations/OperationHost.h"
#include "operations/OperationSession.h"
#include "operations/RecoveryPasses.h"
#include "operations/SectorWrite.h"
#include "operations/SingleTrackReads.h"
#include "ui/shell/DiskWriteQuestions.h"
#include "ui/shell/MainActions.h"
#include "ui/shell/ProgressWindow.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

constexpr int kTracksToFormat = 160;

}  // namespace

bool IsMapDiskEntry(MapMenuEntry entry) {
    switch (entry) {
        case MapMenuEntry::ReadSector:
        case MapMenuEntry::ReadRawTrack:
        case MapMenuEntry::ReadTrackSectors:
        case MapMenuEntry::ScanTrack:
        case MapMenuEntry::WriteSector:
        case MapMenuEntry::WriteTrack:
        case MapMenuEntry::FormatTrack:
            return true;
        default:
            return false;
    }
}

DiskCommands::DiskCommands(ControllerProtocol& protocol, DiskImage& disk, OperationHost& host,
                           ProgressWindow& progress)
    : protocol_(protocol), disk_(disk), host_(host), progress_(progress) {}

OperationContext DiskCommands::Context() {
    return OperationContext{protocol_, disk_, host_};
}

bool DiskCommands::ReadyForRun() {
    // ProgressWindow is modal, but a run may still be asked for while a single-track read waits.
    if (!protocol_.Busy() && !progress_.isVisible()) return true;
    host_.Ask({.caption = kCaptionError, .text = kControllerBusyText});
    return false;
}

void DiskCommands::Launch(DiskRunKind kind) {
    const std::optional<DiskRunParams> params = LaunchParams(kind, disk_);
    if (!params || !ReadyForRun()) return;
    if (confirmReadInto_ && !confirmReadInto_()) return;
    OperationContext ctx = Context();
    const DiskRunParams& run = *params;
    progress_.Run(run.caption, run.count, [&ctx, &run] {
        RunDiskWorker(ctx, run);
        ctx.disk.Repaint();
    });
}

void DiskCommands::ConnectMenu(const MainActions& a, QObject* context) {
    const std::pair<QAction*, DiskRunKind> launchers[] = {
        {a.fullRead, DiskRunKind::FullRead},
        {a.rawRead, DiskRunKind::RawRead},
        {a.trackScan, DiskRunKind::TrackScan},
        {a.readByMarks, DiskRunKind::SectorsByMarks},
        {a.scanAndRead, DiskRunKind::ScanAndSectors},
        {a.fastRead, DiskRunKind::FastRead},
        // The tool button runs the command whatever the menu's last enabling was.
        {a.toolScanAndRead, DiskRunKind::ScanAndSectors},
    };
    for (const auto& [action, kind] : launchers) {
        QObject::connect(action, &QAction::triggered, context,
                         [this, kind = kind] { Launch(kind); });
    }
    QObject::connect(a.rereadFailed, &QAction::triggered, context, [this] { RereadFailed(); });
    QObject::connect(a.recoverFailed, &QAction::triggered, context, [this] { RecoverFailed(); });
    QObject::connect(a.writeDisk, &QAction::triggered, context, [this] { WriteDisk(); });
    QObject::connect(a.formatDisk, &QAction::triggered, context, [this] { FormatDisk(); });
}

bool DiskCommands::ConfirmWrite(const Question& question) {
    return host_.Ask(question) == Answer::Ok;
}

void DiskCommands::WriteDisk() {
    if (!ReadyForRun()) return;
    if (const std::optional<Question> q = WriteDiskQuestion(DriveInUse(), disk_);
        q && !ConfirmWrite(*q))
        return;
    OperationContext ctx = Context();
    progress_.Run(Ui::tr("Запись диска"), disk_.CountTracks(), [&ctx] { WriteWholeDisk(ctx); });
}

void DiskCommands::FormatDisk() {
    if (!ReadyForRun()) return;
    const Answer kindAnswer = host_.Ask(FormatKindQuestion());
    if (kindAnswer != Answer::Yes && kindAnswer != Answer::No) return;
    const NewDiskKind kind = kindAnswer == Answer::Yes ? NewDiskKind::TrDos : NewDiskKind::Cpm;
    QString name;
    if (kind == NewDiskKind::TrDos && askTrDosName_) {
        const std::optional<QString> chosen = askTrDosName_();
        if (!chosen) return;
        name = *chosen;
    }
    if (!ConfirmWrite(FormatDiskQuestion(DriveInUse(), kind, name))) return;
    OperationContext ctx = Context();
    progress_.Run(Ui::tr("Форматирование диска"), kTracksToFormat,
                  [&ctx, kind, &name] { FormatWholeDisk(ctx, kind, name); });
}

void DiskCommands::RereadFailed() {
    OperationContext ctx = Context();
    RereadFailedSectors(ctx);
}

void DiskCommands::RecoverFailed() {
    if (!ReadyForRun()) return;
    const int passes = askPasses_ ? askPasses_() : kDefaultRecoveryPasses;
    if (passes <= 0) return;
    OperationContext ctx = Context();
    const auto tracks = static_cast<int>(TracksToRecover(disk_).size());
    progress_.Run(QString::fromUtf8(kRecoveryCaption), tracks, [&ctx, passes] {
        RecoverBadSectorsWorker(ctx, {passes});
        ctx.disk.Repaint();
    });
}

std::optional<Question> DiskCommands::MapEntryQuestion(MapMenuEntry entry, int column,
                                                       int row) const {
    const auto track = static_cast<std::uint8_t>(row);
    switch (entry) {
        case MapMenuEntry::WriteSector: {
            const Track* t = disk_.GetTrack(track);
            const SectorSlot* slot = t != nullptr && column >= 1
                                          ? t->GetSlot(static_cast<std::uint8_t>(column - 1))
                                          : nullptr;
            if (slot == nullptr || slot->Present == 0) return std::nullopt;
            return WriteSectorQuestion(DriveInUse(), track, slot->Sector);
        }
        case MapMenuEntry::FormatTrack:
            return FormatTrackQuestion(DriveInUse(), track);
        case MapMenuEntry::WriteTrack:
            return WriteTrackQuestion(DriveInUse(), track);
        default:
            return std::nullopt;
    }
}

void DiskCommands::RunMapEntry(MapMenuEntry entry, int column, int row) {
    if (column < 0 || row < 0 || row >= static_cast<int>(kTrackCount)) return;
    if (const std::optional<Question> q = MapEntryQuestion(entry, column, row)) {
        if (!ReadyForRun() || !ConfirmWrite(*q)) return;
    }
    const MapCell cell{static_cast<std::uint8_t>(row), column};
    OperationContext ctx = Context();
    switch (entry) {
        case MapMenuEntry::ReadSector:
            ReadSelectedSector(ctx, cell);
            break;
        case MapMenuEntry::ReadRawTrack:
            ReadRawTrack(ctx, cell);
            break;
        case MapMenuEntry::ReadTrackSectors:
            ReadTrackSectors(ctx, cell);
            break;
        case MapMenuEntry::ScanTrack:
            ScanTrack(ctx, cell);
            break;
        case MapMenuEntry::WriteSector:
            WriteSelectedSector(ctx, cell);
            break;
        case MapMenuEntry::FormatTrack:
            FormatSelectedTrack(ctx, cell);
            break;
        case MapMenuEntry::WriteTrack:
            WriteImageTrack(ctx, cell);
            break;
        default:
            break;
    }
}

}  // namespace morvane
