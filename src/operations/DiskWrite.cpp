#include "operations/DiskWrite.h"

#include <memory>
#include <optional>

#include "filesystems/NewImages.h"
#include "model/Cp1251.h"
#include "model/DiskImage.h"
#include "operations/LayoutFormatTable.h"
#include "operations/OperationHost.h"
#include "operations/OperationSession.h"
#include "operations/Positioning.h"
#include "operations/RunGuards.h"
#include "operations/TrackWriteSteps.h"

namespace morvane {

namespace {

QString Dec(std::size_t v) {
    return QString::number(v);
}

bool Cancelled(OperationSession& session) {
    if (!session.Host().CancelRequested()) return false;
    session.Log(QStringLiteral("Операция отменена пользователем!"));
    return true;
}

struct PlannedTrack {
    std::uint8_t number;
    Bytes table;
};

// Every present track with its table; none (refusal shown) when one cannot be written.
std::optional<std::vector<PlannedTrack>> PlanTracks(OperationSession& session) {
    std::vector<PlannedTrack> plan;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *session.Disk().GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        QString refusal;
        std::optional<LayoutFormat> layout = BuildLayoutFormatTable(track, refusal);
        if (!layout) {
            session.ShowError(refusal);
            return std::nullopt;
        }
        plan.push_back({track.Number, std::move(layout->table)});
    }
    return plan;
}

// Format, write and (optionally) verify one track, the head on it.
OperationOutcome PutTrack(OperationSession& session, const PlannedTrack& planned, bool verify,
                          DiskWriteResult& result) {
    const Track& track = *session.Disk().GetTrack(planned.number);
    bool formatted = false;
    OperationOutcome step = FormatTrackWithTable(session, planned.number, planned.table, formatted);
    if (step != OperationOutcome::Done) return step;
    if (Cancelled(session)) return OperationOutcome::Cancelled;
    std::vector<std::uint8_t> written;
    step = WriteTrackSectors(session, track, written, result);
    if (step != OperationOutcome::Done) return step;
    result.sectorsWritten += static_cast<int>(written.size());
    if (formatted) ++result.tracksWritten;
    if (!verify) return OperationOutcome::Done;
    if (Cancelled(session)) return OperationOutcome::Cancelled;
    return VerifyTrackSectors(session, track, written, result.failed);
}

void LogSectors(OperationSession& session, const std::vector<WrittenSector>& sectors,
                const QString& text) {
    for (const WrittenSector& s : sectors)
        session.Log(text + QStringLiteral(" - дорожка ") + Dec(s.track) + " / сектор " +
                    Dec(s.sector));
}

// The sectors of the image that are not on the disk as good data, one line each, and a
// last line that says the run did not put the whole image on the disk.
void LogSectorLists(OperationSession& session, const DiskWriteResult& result) {
    LogSectors(session, result.failed, QStringLiteral("Сектор не прошел проверку"));
    LogSectors(session, result.fromBadRead, QStringLiteral("Записан сбойный сектор"));
    LogSectors(session, result.notWritten, QStringLiteral("Сектор не записан (нет данных)"));
    if (!result.Clean())
        session.Log(QStringLiteral("Запись завершена со сбоями - секторов ") +
                    Dec(result.failed.size() + result.fromBadRead.size() +
                        result.notWritten.size()));
}

void LogSummary(OperationSession& session, const DiskWriteResult& result) {
    session.Log(QStringLiteral("Записано дорожек - ") + Dec(result.tracksWritten));
    session.Log(QStringLiteral("Записано секторов - ") + Dec(result.sectorsWritten));
    LogSectorLists(session, result);
}

DiskWriteResult WriteDisk(OperationContext& ctx, const QString& caption,
                          const DiskWriteOptions& options) {
    DiskWriteResult result;
    OperationSession session(ctx);
    if (!session.Start()) {
        result.outcome = OperationOutcome::Refused;
        return result;
    }
    const std::optional<std::vector<PlannedTrack>> plan = PlanTracks(session);
    if (!plan) {
        result.outcome = OperationOutcome::Refused;
        return result;
    }
    const RunProgressWindow window(ctx.host, caption, static_cast<int>(plan->size()));
    const RunAnswerTimeout timeout(ctx.protocol, options.timeoutMs);
    ctx.host.SetRunTrack(QStringLiteral("0"));
    ctx.host.ClearLog();
    ctx.host.ShowLogPage();
    // The status query refuses a write-protected disk before the first seek.
    result.outcome = PrepareHead(session, WritePositioningTexts());
    if (result.outcome != OperationOutcome::Done) return result;
    session.Log(QStringLiteral("Начало записи диска!"));

    int done = 0;
    for (const PlannedTrack& planned : *plan) {
        result.outcome = SeekToTrack(session, planned.number, RunPositioningTexts());
        if (result.outcome == OperationOutcome::Done) {
            ctx.host.SetRunTrack(Dec(planned.number));
            result.outcome = PutTrack(session, planned, options.verify, result);
        }
        if (result.outcome != OperationOutcome::Done) break;
        ctx.host.SetRunProgress(++done);
        if (Cancelled(session)) {
            result.outcome = OperationOutcome::Cancelled;
            break;
        }
    }
    if (result.outcome == OperationOutcome::Done)
        session.Log(QStringLiteral("Операция выполнена!"));
    LogSummary(session, result);
    return result;
}

}  // namespace

OperationOutcome WriteImageTrack(OperationContext& ctx, MapCell cell) {
    OperationSession session(ctx);
    if (!session.Start()) return OperationOutcome::Refused;
    const Track* track = ctx.disk.GetTrack(cell.track);
    if (!track || track->Present == 0) return OperationOutcome::Refused;
    ctx.host.ClearLog();
    ctx.host.ShowLogPage();
    QString refusal;
    const std::optional<LayoutFormat> layout = BuildLayoutFormatTable(*track, refusal);
    if (!layout) {
        session.ShowError(refusal);
        return OperationOutcome::Refused;
    }
    ctx.host.ShowBytes(layout->table);
    const OperationOutcome placed = PositionHead(session, cell.track, WritePositioningTexts());
    if (placed != OperationOutcome::Done) return placed;
    ctx.host.SetTrackLabel(Dec(cell.track));
    ctx.host.SetSectorLabel(QStringLiteral("0"));
    bool formatted = false;
    OperationOutcome step = FormatTrackWithTable(session, cell.track, layout->table, formatted);
    if (step != OperationOutcome::Done) return step;
    std::vector<std::uint8_t> written;
    DiskWriteResult result;
    step = WriteTrackSectors(session, *track, written, result);
    if (step != OperationOutcome::Done) return step;
    session.Log(QStringLiteral("Записано секторов - ") + Dec(written.size()));
    LogSectorLists(session, result);
    return OperationOutcome::Done;
}

DiskWriteResult WriteWholeDisk(OperationContext& ctx, DiskWriteOptions options) {
    return WriteDisk(ctx, QStringLiteral("Запись диска"), options);
}

DiskWriteResult FormatWholeDisk(OperationContext& ctx, NewDiskKind kind, const QString& name,
                                DiskWriteOptions options) {
    const auto image = std::make_unique<DiskImage>();
    if (kind == NewDiskKind::TrDos) {
        // The catalogue holds the name in Windows-1251, as TR-DOS disks made elsewhere do.
        const Bytes bytes = Utf8ToCp1251(name.toStdString());
        CreateTrDosImage(*image, std::string(bytes.begin(), bytes.end()));
    } else {
        CreateCpmImage(*image);
    }
    OperationContext formatCtx{ctx.protocol, *image, ctx.host};
    options.verify = true;
    return WriteDisk(formatCtx, QStringLiteral("Форматирование диска"), options);
}

}  // namespace morvane
