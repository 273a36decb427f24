#include "operations/SectorWrite.h"

#include <algorithm>

#include "controller/ControllerProtocol.h"
#include "controller/RxRecords.h"
#include "controller/UsbPort.h"
#include "model/SizeCode.h"
#include "model/DiskImage.h"
#include "operations/LayoutFormatTable.h"
#include "operations/OperationHost.h"
#include "operations/OperationSession.h"
#include "operations/Positioning.h"
#include "operations/WriteErrorLog.h"

namespace morvane {

namespace {

QString Dec(std::size_t v) {
    return QString::number(v);
}

void StartLog(OperationSession& session) {
    session.Host().ClearLog();
    session.Host().ShowLogPage();
}

}  // namespace

std::optional<Bytes> BuildSectorWriteBlock(const SectorSlot& slot, bool* cut) {
    const std::size_t size = SizeFromCode(slot.SizeCode);
    if (size == 0) return std::nullopt;
    const std::size_t held = std::min<std::size_t>(slot.DataLength, slot.Data.size());
    if (cut) *cut = held > size;
    Bytes block(size + 1, 0x00);
    block[0] = slot.Sector;
    const std::span<const std::uint8_t> data = slot.Data.first(std::min(held, size));
    std::copy(data.begin(), data.end(), block.begin() + 1);
    return block;
}

OperationOutcome WriteSelectedSector(OperationContext& ctx, MapCell cell) {
    OperationSession session(ctx);
    if (!session.Start()) return OperationOutcome::Refused;
    StartLog(session);
    if (cell.column < 1) {
        session.ShowError(QStringLiteral("Сектор для записи не выбран!"));
        return OperationOutcome::Refused;
    }
    const SectorSlot* slot =
        ctx.disk.GetSlot(cell.track, static_cast<std::uint8_t>(cell.column - 1));
    if (!slot) return OperationOutcome::Refused;
    if (slot->Present == 0) {
        session.ShowError(QStringLiteral("Сектор в карте диска выключен!"));
        return OperationOutcome::Refused;
    }
    bool cut = false;
    const std::optional<Bytes> block = BuildSectorWriteBlock(*slot, &cut);
    if (!block) {
        session.ShowError(QStringLiteral("Не стандартный размер сектора в памяти!"));
        return OperationOutcome::Refused;
    }
    if (cut) session.Log(QStringLiteral("Размер данных больше размера сектора! Данные урезаны!"));
    const OperationOutcome placed = PositionHead(session, cell.track, WritePositioningTexts());
    if (placed != OperationOutcome::Done) return placed;
    ctx.host.SetTrackLabel(Dec(cell.track));
    ctx.host.SetSectorLabel(QStringLiteral("0"));
    const std::size_t size = block->size() - 1;
    session.Log(QStringLiteral("Запись сектора - ") + Dec(slot->Sector) + " / Размер - " +
                Dec(size) + " bytes.");
    ctx.protocol.SendCommandBlock(CommandCode::WriteSector, *block);

    WaitResult result = session.Wait();
    if (const auto stop = session.Interrupted(result)) return *stop;
    if (result == WaitResult::Answer) {
        const AnswerRecord& received = session.TakeAnswer();
        session.Log(QStringLiteral("Пердача - ") + Dec(received.Byte(0) + 256u * received.Byte(1)) +
                    " bytes");
    } else if (result == WaitResult::Error) {
        session.TakeError();
    } else {
        session.ShowError(QString::fromUtf8(kTextWriteTimeout));
    }

    result = session.Wait();
    if (const auto stop = session.Interrupted(result)) return *stop;
    if (result == WaitResult::Answer) {
        session.TakeAnswer();
        session.Log(QStringLiteral("Запись сектора успешно завершена!"));
        return OperationOutcome::Done;
    }
    if (result == WaitResult::Error) {
        LogWriteErrors(session, session.TakeError().StatusByte(0),
                       QStringLiteral("Ошибка записи - "));
        return OperationOutcome::Done;
    }
    session.ShowError(QString::fromUtf8(kTextWriteTimeout));
    return OperationOutcome::Stopped;
}

OperationOutcome FormatSelectedTrack(OperationContext& ctx, MapCell cell) {
    OperationSession session(ctx);
    if (!session.Start()) return OperationOutcome::Refused;
    const Track* track = ctx.disk.GetTrack(cell.track);
    if (!track) return OperationOutcome::Refused;
    StartLog(session);
    std::optional<Bytes> table = BuildFormatTable(*track);
    if (!table) {
        QString refusal;
        std::optional<LayoutFormat> layout = BuildLayoutFormatTable(*track, refusal);
        if (!layout) {
            session.ShowError(refusal);
            return OperationOutcome::Refused;
        }
        table = std::move(layout->table);
    }
    ctx.host.ShowBytes(*table);
    const OperationOutcome placed = PositionHead(session, cell.track, WritePositioningTexts());
    if (placed != OperationOutcome::Done) return placed;
    ctx.host.SetTrackLabel(Dec(cell.track));
    ctx.host.SetSectorLabel(QStringLiteral("0"));
    session.Log(QStringLiteral("Передача таблицы форматирования - ") + Dec((*table)[0]) +
                " элементов.");
    ctx.protocol.SendCommandBlock(CommandCode::WriteTrack, *table);

    OperationOutcome outcome = OperationOutcome::Done;
    WaitResult result = session.Wait();
    if (result == WaitResult::Answer) {
        session.Log(QStringLiteral("Таблица форматирования передана - ") +
                    Dec(session.TakeAnswer().Byte(0)) + " элементов.");
    } else if (result == WaitResult::Error) {
        session.TakeError();
    }
    if (result == WaitResult::Answer || result == WaitResult::Error) {
        result = session.Wait();
        if (result == WaitResult::Answer) {
            session.TakeAnswer();
            session.Log(QStringLiteral("Форматирование дорожки завершено!"));
        } else if (result == WaitResult::Error) {
            LogWriteErrors(session, session.TakeError().StatusByte(0),
                           QStringLiteral("Ошибка форматирования - "), kFormatErrorBits);
        }
    }
    if (const auto stop = session.Interrupted(result)) {
        outcome = *stop;
    } else if (result == WaitResult::Timeout) {
        session.ShowError(QString::fromUtf8(kTextWriteTimeout));
        outcome = OperationOutcome::Stopped;
    }
    // Nothing of this exchange may be left for the next command.
    UsbPort& port = ctx.protocol.Port();
    port.ResetFlags();
    port.ClearAnswers();
    port.ClearErrors();
    return outcome;
}

}  // namespace morvane
