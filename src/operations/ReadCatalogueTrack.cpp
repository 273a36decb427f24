#include "operations/ReadCatalogueTrack.h"

#include <algorithm>
#include <span>

#include "controller/ControllerCommands.h"
#include "controller/ControllerProtocol.h"
#include "controller/RxRecords.h"
#include "operations/OperationHost.h"
#include "operations/OperationSession.h"
#include "operations/Positioning.h"

namespace morvane {

namespace {

constexpr std::size_t kSector = 256;
constexpr std::uint8_t kSectors = 16;

// A short reply fills only its own bytes: the rest of the sector stays zero.
void Put(std::vector<std::uint8_t>& out, std::uint8_t sector, std::span<const std::uint8_t> data) {
    const std::size_t n = std::min(data.size(), kSector);
    std::copy_n(data.begin(), n, out.begin() + static_cast<std::ptrdiff_t>((sector - 1) * kSector));
}

}  // namespace

OperationOutcome ReadCatalogueTrack(OperationContext& ctx, std::vector<std::uint8_t>& out) {
    OperationSession session(ctx);
    if (!session.Start()) return OperationOutcome::Refused;
    ctx.host.SetTrackLabel(QStringLiteral("0"));
    ctx.host.SetSectorLabel(QStringLiteral("0"));
    ctx.host.ClearLog();
    ctx.host.ShowLogPage();
    out.assign(kCatalogueTrackBytes, 0);

    std::uint8_t sector = 1;
    for (;;) {
        const OperationOutcome placed = PositionHead(session, 0, ReadPositioningTexts());
        if (placed != OperationOutcome::Done) return placed;
        bool retry = false;
        for (; sector <= kSectors && !retry; ++sector) {
            ctx.protocol.SendCommand(CommandCode::ReadSector, sector);
            const WaitResult result = session.Wait();
            if (result == WaitResult::Answer) {
                const AnswerRecord& answer = session.TakeAnswer();
                if (answer.Length() != kSector)
                    session.Log(QStringLiteral("Ошибочная длинна сектора - ") +
                                QString::number(answer.Length()) + QStringLiteral(" byte!"));
                Put(out, sector, answer.data);
            } else if (result == WaitResult::Error) {
                const ErrorRecord& error = session.TakeError();
                const QString status = Hex2(error.StatusByte(0));
                const Answer choice = session.AskReadError(error.StatusByte(0));
                session.Log(QStringLiteral("Ошибка чтения - ") + status +
                            QStringLiteral(" (Track - 0 / Sector - ") +
                            QString::number(error.StatusByte(1)) + QStringLiteral(")"));
                if (choice == Answer::Retry) {
                    session.Log(QStringLiteral("Повтор команды!"));
                    retry = true;  // position again and read this sector again
                    break;
                }
                if (choice == Answer::Ignore) {
                    Put(out, sector, error.data);
                    session.Log(QStringLiteral("Игнорировать ошибку!"));
                    continue;
                }
                session.Log(QStringLiteral("Отменено пользователем!"));
                return OperationOutcome::Cancelled;
            } else if (const auto stop = session.Interrupted(result)) {
                return *stop;
            } else {
                session.ShowError(QStringLiteral("Время ожидания вышло..."));
                return OperationOutcome::Stopped;
            }
        }
        if (!retry) return OperationOutcome::Done;
    }
}

}  // namespace morvane
