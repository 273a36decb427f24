#include "operations/SingleTrackReads.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "controller/ControllerProtocol.h"
#include "controller/RxRecords.h"
#include "model/DiskImage.h"
#include "operations/OperationHost.h"
#include "operations/OperationSession.h"
#include "operations/Positioning.h"
#include "operations/TrackPhases.h"

namespace morvane {

namespace {

QString Dec(std::size_t v) {
    return QString::number(v);
}

void StartLog(OperationSession& session) {
    session.Host().ClearLog();
    session.Host().ShowLogPage();
}

std::size_t StoreData(SectorSlot& slot, std::span<const std::uint8_t> data) {
    const std::size_t n = std::min(data.size(), slot.Data.size());
    std::copy_n(data.begin(), n, slot.Data.first(n).begin());
    slot.DataLength = static_cast<std::uint16_t>(n);
    return n;
}

enum class SectorTry { Read, Failed, Stop };

// One CommandCode::ReadSector; an answer (or a deleted mark alone) is stored.
SectorTry TryReadSector(OperationSession& session, Track& track, SectorSlot& slot,
                        OperationOutcome& stop) {
    session.Protocol().SendCommand(CommandCode::ReadSector, slot.Sector);
    const WaitResult result = session.Wait();
    std::span<const std::uint8_t> data;
    if (result == WaitResult::Answer) {
        data = session.TakeAnswer().data;
    } else if (result == WaitResult::Error) {
        const ErrorRecord& error = session.TakeError();
        if (!DeletedMarkOnly(error)) return SectorTry::Failed;
        data = error.data;
    } else if (const auto interrupted = session.Interrupted(result)) {
        stop = *interrupted;
        return SectorTry::Stop;
    } else {
        session.ShowError(QStringLiteral("Время ожидания вышло..."));
        stop = OperationOutcome::Stopped;
        return SectorTry::Stop;
    }
    const std::size_t n = StoreData(slot, data);
    session.TrackLog(
        track,
        QStringLiteral("Сектор - ") + Dec(slot.Sector) + " считан!(длинна - " + Dec(n) + " byte)",
        true);
    slot.DataGood = kDataGood;
    return SectorTry::Read;
}

}  // namespace

OperationOutcome ReadSelectedSector(OperationContext& ctx, MapCell cell) {
    OperationSession session(ctx);
    if (!session.Start()) return OperationOutcome::Refused;
    StartLog(session);
    if (cell.column < 1) {
        session.ShowError(QStringLiteral("Сектор для чтения не выбран!"));
        return OperationOutcome::Refused;
    }
    const auto slotIndex = static_cast<std::uint8_t>(cell.column - 1);
    Track* track = ctx.disk.GetTrack(cell.track);
    SectorSlot* slot = ctx.disk.GetSlot(cell.track, slotIndex);
    if (!track || !slot) return OperationOutcome::Refused;
    if (slot->Present == 0) {
        session.ShowError(QStringLiteral("Сектор в карте диска выключен!"));
        return OperationOutcome::Refused;
    }
    const std::uint8_t r = slot->Sector;
    for (;;) {
        const OperationOutcome placed = PositionHead(session, cell.track, ReadPositioningTexts());
        if (placed != OperationOutcome::Done) return placed;
        session.Log(QStringLiteral("Чтение сектора - ") + Dec(r));
        OperationOutcome stop = OperationOutcome::Stopped;
        SectorTry outcome = SectorTry::Failed;
        // The first read and the silent re-reads, without positioning again.
        for (int attempt = 0; attempt <= kSectorRereads && outcome == SectorTry::Failed; ++attempt)
            outcome = TryReadSector(session, *track, *slot, stop);
        if (outcome == SectorTry::Stop) return stop;
        if (outcome == SectorTry::Read) break;

        const ErrorRecord& error = ctx.protocol.CurrentError();
        const QString xx = Hex2(error.StatusByte(0));
        const Answer answer = session.AskReadError(error.StatusByte(0));
        session.TrackLog(*track,
                         QStringLiteral("Ошибка чтения - ") + xx + " (Track - " + Dec(cell.track) +
                             " / Sector - " + Dec(r) + ")",
                         true);
        slot->DataGood = 0;
        if (answer == Answer::Retry) {
            session.Log(QStringLiteral("Повтор команды!"));
            continue;
        }
        if (answer == Answer::Ignore) {
            StoreData(*slot, ctx.protocol.CurrentError().data);
            session.Log(QStringLiteral("Сектор считан с ошибкой!"));
            break;
        }
        session.Log(QStringLiteral("Отменено пользователем!"));
        return OperationOutcome::Cancelled;
    }
    ctx.disk.RedrawSectorCell(cell.track, slotIndex);
    ctx.host.ShowBytes(std::as_const(slot->Data).first(slot->DataLength));
    return OperationOutcome::Done;
}

OperationOutcome ReadRawTrack(OperationContext& ctx, MapCell cell) {
    OperationSession session(ctx);
    if (!session.Start()) return OperationOutcome::Refused;
    Track* track = ctx.disk.GetTrack(cell.track);
    if (!track) return OperationOutcome::Refused;
    ctx.host.SetTrackLabel(Dec(cell.track));
    StartLog(session);
    session.Log(QStringLiteral("Начало чтения RAW дорожки - ") + Dec(cell.track));
    const OperationOutcome placed = PositionHead(session, cell.track, ReadPositioningTexts());
    if (placed != OperationOutcome::Done) return placed;

    std::vector<RawReadBuffer> reads(kRawReadsSingle);
    std::size_t length = 0;
    const OperationOutcome read = ReadRawImages(session, *track, reads, length);
    if (read != OperationOutcome::Done) return read;
    RawReadBuffer voted{};
    VoteRawReads(reads, length, voted);
    std::span<std::uint8_t> reply = ctx.protocol.ReplyBuffer();
    std::copy(voted.begin(), voted.end(), reply.begin());

    track->Present = kPresent;
    track->SetRaw(voted);
    track->RawLength = static_cast<std::uint16_t>(length);
    ctx.host.ShowBytes(std::as_const(track->Raw).first(length));
    track->RawValid = 1;
    ctx.disk.RedrawTrackCell(cell.track);
    session.Log(QStringLiteral("Чтение RAW дорожки завершено!"));
    return OperationOutcome::Done;
}

OperationOutcome ReadTrackSectors(OperationContext& ctx, MapCell cell) {
    OperationSession session(ctx);
    if (!session.Start()) return OperationOutcome::Refused;
    session.SetKeepsWhatWasRead();  // the sectors read before a loss stay in their slots
    Track* track = ctx.disk.GetTrack(cell.track);
    if (!track) return OperationOutcome::Refused;
    StartLog(session);
    if (track->CountSectors() == 0) {
        session.ShowError(QStringLiteral("Нет секторов для чтения!"));
        return OperationOutcome::Refused;
    }
    const OperationOutcome placed = PositionHead(session, cell.track, ReadPositioningTexts());
    if (placed != OperationOutcome::Done) return placed;
    ctx.host.SetTrackLabel(Dec(cell.track));
    ctx.host.SetSectorLabel(QStringLiteral("0"));
    int failed = 0;
    Bytes view;
    const OperationOutcome read =
        ReadListedSectors(session, *track, PhaseStyle::SingleTrack, failed, &view);
    if (read != OperationOutcome::Done) return read;
    ctx.host.ShowBytes(view);
    return OperationOutcome::Done;
}

OperationOutcome ScanTrack(OperationContext& ctx, MapCell cell) {
    OperationSession session(ctx);
    if (!session.Start()) return OperationOutcome::Refused;
    Track* track = ctx.disk.GetTrack(cell.track);
    if (!track) return OperationOutcome::Refused;
    StartLog(session);
    const OperationOutcome placed = PositionHead(session, cell.track, ReadPositioningTexts());
    if (placed != OperationOutcome::Done) return placed;
    ctx.host.SetTrackLabel(Dec(cell.track));
    ctx.host.SetSectorLabel(QStringLiteral("0"));
    std::size_t found = 0;
    return ScanIdFields(session, *track, PhaseStyle::SingleTrack, found);
}

}  // namespace morvane
