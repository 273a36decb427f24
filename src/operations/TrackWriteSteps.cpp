#include "operations/TrackWriteSteps.h"

#include <algorithm>
#include <optional>

#include "controller/ControllerProtocol.h"
#include "controller/RxRecords.h"
#include "controller/UsbPort.h"
#include "model/Track.h"
#include "operations/OperationSession.h"
#include "operations/SectorWrite.h"
#include "operations/WriteErrorLog.h"

namespace morvane {

namespace {

QString Dec(std::size_t v) {
    return QString::number(v);
}

// The two answers of a write command: received, then done. WaitResult::Answer when the device
// took it, WaitResult::Error (logged) when it reported a failure; a time-out or a lost link is
// returned as the outcome.
std::optional<OperationOutcome> TwoAnswers(OperationSession& session, const QString& errorPrefix,
                                           bool& ok) {
    ok = false;
    for (int i = 0; i < 2; ++i) {
        const WaitResult result = session.Wait();
        if (const auto stop = session.Interrupted(result)) return *stop;
        if (result == WaitResult::Answer) {
            session.TakeAnswer();
            if (i == 1) ok = true;
        } else if (result == WaitResult::Error) {
            const std::uint8_t status = session.TakeError().StatusByte(0);
            if (i == 1) LogWriteErrors(session, status, errorPrefix);
        } else {
            session.ShowError(QString::fromUtf8(kTextWriteTimeout));
            return OperationOutcome::Stopped;
        }
    }
    return std::nullopt;
}

}  // namespace

OperationOutcome FormatTrackWithTable(OperationSession& session, std::uint8_t track,
                                      const Bytes& table, bool& formatted) {
    session.Log(QStringLiteral("Форматирование дорожки - ") + Dec(track) + " (" + Dec(table[0]) +
                " элементов)");
    session.Protocol().SendCommandBlock(CommandCode::WriteTrack, table);
    const std::optional<OperationOutcome> stop =
        TwoAnswers(session, QStringLiteral("Ошибка форматирования - "), formatted);
    // Nothing of this exchange may be left for the next command.
    UsbPort& port = session.Protocol().Port();
    port.ResetFlags();
    port.ClearAnswers();
    port.ClearErrors();
    return stop.value_or(OperationOutcome::Done);
}

OperationOutcome WriteTrackSectors(OperationSession& session, const Track& track,
                                   std::vector<std::uint8_t>& written, DiskWriteResult& result) {
    for (std::size_t i = 0; i < track.Slots.size(); ++i) {
        const SectorSlot& slot = track.Slots[i];
        if (slot.Present == 0) continue;
        const std::optional<Bytes> block = BuildSectorWriteBlock(slot);
        if (!block) continue;
        if (slot.DataLength == 0) {
            result.notWritten.push_back({track.Number, slot.Sector});
            continue;
        }
        session.Protocol().SendCommandBlock(CommandCode::WriteSector, *block);
        bool ok = false;
        const std::optional<OperationOutcome> stop =
            TwoAnswers(session,
                       QStringLiteral("Ошибка записи сектора ") + Dec(slot.Sector) + " дорожки " +
                           Dec(track.Number) + " - ",
                       ok);
        if (stop) return *stop;
        if (!ok) {
            result.failed.push_back({track.Number, slot.Sector});
            continue;
        }
        written.push_back(static_cast<std::uint8_t>(i));
        if (slot.DataGood == 0) result.fromBadRead.push_back({track.Number, slot.Sector});
    }
    return OperationOutcome::Done;
}

OperationOutcome VerifyTrackSectors(OperationSession& session, const Track& track,
                                    const std::vector<std::uint8_t>& written,
                                    std::vector<WrittenSector>& failed) {
    if (written.empty()) return OperationOutcome::Done;
    Bytes list;
    for (const std::uint8_t i : written)
        list.push_back(track.Slots[i].Sector);
    session.Protocol().SendCommandBlock(CommandCode::ReadSectors, list);
    for (const std::uint8_t i : written) {
        const SectorSlot& slot = track.Slots[i];
        const WaitResult result = session.Wait();
        if (const auto stop = session.Interrupted(result)) return *stop;
        if (result != WaitResult::Answer && result != WaitResult::Error) {
            session.ShowError(QString::fromUtf8(kTextWriteTimeout));
            return OperationOutcome::Stopped;
        }
        bool same = false;
        if (result == WaitResult::Answer) {
            const std::vector<std::uint8_t>& data = session.TakeAnswer().data;
            const std::optional<Bytes> block = BuildSectorWriteBlock(slot);
            same = block && data.size() == block->size() - 1 &&
                   std::equal(data.begin(), data.end(), block->begin() + 1);
        } else {
            session.TakeError();
        }
        if (!same) failed.push_back({track.Number, slot.Sector});
    }
    return OperationOutcome::Done;
}

}  // namespace morvane
