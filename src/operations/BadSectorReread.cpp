#include "operations/BadSectorReread.h"

#include <algorithm>

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

bool Due(const SectorSlot& slot) {
    return slot.Present != 0 && slot.DataGood == 0;
}

enum class ReadEnd { Good, Skipped, Stop };

class Rereader {
  public:
    Rereader(OperationSession& session, RereadOptions options)
        : session_(session), options_(options) {}

    // One due sector, with its retries; outcome_ says why it stopped.
    ReadEnd Sector(std::uint8_t t, std::uint8_t slotIndex) {
        SectorSlot& slot = *session_.Disk().GetSlot(t, slotIndex);
        const std::uint8_t r = slot.Sector;
        session_.Log(QStringLiteral("Чтение сектора - ") + Dec(r));
        for (int tries = 1;; ++tries) {
            if (CancelledByUser()) return ReadEnd::Stop;
            session_.Protocol().SendCommand(CommandCode::ReadSector, r);
            const WaitResult result = session_.Wait();
            if (const auto stop = session_.Interrupted(result)) {
                outcome_ = *stop;
                return ReadEnd::Stop;
            }
            if (result != WaitResult::Answer && result != WaitResult::Error) {
                session_.ShowError(QStringLiteral("Время ожидания вышло..."));
                outcome_ = OperationOutcome::Stopped;
                return ReadEnd::Stop;
            }
            if (result == WaitResult::Answer) return Store(slot, session_.TakeAnswer().data);
            const ErrorRecord& error = session_.TakeError();
            if (DeletedMarkOnly(error)) return Store(slot, error.data);

            const Answer answer = Ask(error, tries);
            session_.Log(QStringLiteral("Ошибка чтения - ") + Hex2(error.StatusByte(0)) +
                         " (Track - " + Dec(t) + " / Sector - " + Dec(error.StatusByte(1)) + ")");
            if (answer == Answer::Ignore) {
                session_.Log(QStringLiteral("Чтение сектора пропущено -") + Dec(r));
                return ReadEnd::Skipped;
            }
            if (answer != Answer::Retry) {
                session_.Log(QStringLiteral("Отменено пользователем!"));
                outcome_ = OperationOutcome::Cancelled;
                return ReadEnd::Stop;
            }
            session_.Log(QStringLiteral("Повтор команды!"));
            const OperationOutcome placed = PositionHead(session_, t, RunPositioningTexts());
            if (placed != OperationOutcome::Done) {
                outcome_ = placed;
                return ReadEnd::Stop;
            }
        }
    }

    OperationOutcome Outcome() const { return outcome_; }

    // A cancel asked for from outside (the command line's Ctrl+C) ends the re-read before
    // the next read; what was re-read stays.
    bool CancelledByUser() {
        if (!session_.Host().CancelRequested()) return false;
        session_.Log(QStringLiteral("Операция отменена пользователем!"));
        outcome_ = OperationOutcome::Cancelled;
        return true;
    }

  private:
    ReadEnd Store(SectorSlot& slot, std::span<const std::uint8_t> data) {
        const std::size_t n = std::min(data.size(), slot.Data.size());
        std::copy_n(data.begin(), n, slot.Data.first(n).begin());
        slot.DataLength = static_cast<std::uint16_t>(n);
        slot.DataGood = kDataGood;
        session_.Log(QStringLiteral("Сектор считан, длинна - ") + Dec(n) + " byte!");
        return ReadEnd::Good;
    }

    // Without a user, the tries decide: retry until the last one, then skip.
    Answer Ask(const ErrorRecord& error, int tries) {
        if (options_.unattendedTries > 0)
            return tries < options_.unattendedTries ? Answer::Retry : Answer::Ignore;
        return session_.AskReadError(error.StatusByte(0));
    }

    OperationSession& session_;
    RereadOptions options_;
    OperationOutcome outcome_ = OperationOutcome::Done;
};

}  // namespace

RereadResult RereadFailedSectors(OperationContext& ctx, RereadOptions options) {
    RereadResult result;
    OperationSession session(ctx);
    if (!session.Start()) {
        result.outcome = OperationOutcome::Refused;
        return result;
    }
    session.SetKeepsWhatWasRead();
    ctx.host.SetSectorLabel(QStringLiteral("0"));
    ctx.host.SetTrackLabel(QStringLiteral("0"));
    ctx.host.ClearLog();
    ctx.host.ShowLogPage();
    ctx.disk.Repaint();
    result.outcome = PrepareHead(session, RunPositioningTexts());
    if (result.outcome != OperationOutcome::Done) return result;
    ctx.host.ScrollMapToTop();

    Rereader rereader(session, options);
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        const auto t = static_cast<std::uint8_t>(index);
        ctx.disk.RedrawTrackCell(t);
        const Track& track = *ctx.disk.GetTrack(t);
        if (track.Present == 0) continue;
        bool sought = false;
        for (std::uint8_t i = 0; i < kRereadSlots; ++i) {
            if (!Due(track.Slots[i])) continue;
            if (!sought) {
                result.outcome = SeekToTrack(session, t, RunPositioningTexts());
                if (result.outcome != OperationOutcome::Done) return result;
                sought = true;
            }
            const ReadEnd end = rereader.Sector(t, i);
            if (end == ReadEnd::Stop) {
                result.outcome = rereader.Outcome();
                return result;
            }
            ++(end == ReadEnd::Good ? result.recovered : result.stillFailed);
            ctx.disk.RedrawSectorCell(t, i);
        }
    }
    return result;
}

}  // namespace morvane
