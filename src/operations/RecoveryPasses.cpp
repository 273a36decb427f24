#include "operations/RecoveryPasses.h"

#include <algorithm>

#include "controller/ControllerProtocol.h"
#include "model/RawSectorData.h"
#include "model/SectorVote.h"
#include "model/DiskImage.h"
#include "operations/DiskRun.h"
#include "operations/OperationHost.h"
#include "operations/OperationSession.h"
#include "operations/Positioning.h"
#include "operations/RunGuards.h"
#include "operations/TrackPhases.h"

namespace morvane {

namespace {

bool Due(const SectorSlot& slot) {
    return slot.Present != 0 && slot.DataGood == 0;
}

std::vector<std::uint8_t> DueSlots(const Track& track) {
    std::vector<std::uint8_t> due;
    for (std::uint8_t i = 0; i < kSlotsPerTrack; ++i)
        if (Due(track.Slots[i])) due.push_back(i);
    return due;
}

void AddCrc(SectorHistory& history, const RecordedCrc& crc) {
    if (std::ranges::find(history.crcs, crc) == history.crcs.end()) history.crcs.push_back(crc);
}

class TrackRecovery {
  public:
    TrackRecovery(OperationSession& session, Track& track, const RecoveryOptions& options)
        : session_(session), track_(track), options_(options), due_(DueSlots(track)) {
        for (std::uint8_t i : due_)
            histories_.push_back(CurrentHistory(track.Slots[i]));
        // A raw image the track holds already records the data CRCs, and the data of a
        // sector the slots hold none of.
        if (track.RawLength == 0) return;
        const std::size_t length = std::min<std::size_t>(track.RawLength, track.Raw.size());
        const std::vector<RawSectorCopy> found = SectorsInRaw(track.Raw.first(length));
        for (std::size_t k = 0; k < due_.size(); ++k) {
            const RawSectorCopy* copy = CopyForSlot(found, track_, due_[k]);
            if (copy == nullptr) continue;
            if (histories_[k].copies.empty()) histories_[k].copies.push_back(copy->copy);
            AddCrc(histories_[k], copy->recorded);
        }
    }

    // Reads the track the head is on; recovered: the sectors good now. However the reads
    // end, the sectors are weighed from the copies taken so far: a list read that broke
    // off has overwritten slots, and the copies they held before must not be lost.
    OperationOutcome Run(int& recovered) {
        const OperationOutcome outcome = Read();
        recovered = Decide();
        return outcome;
    }

  private:
    OperationOutcome Read() {
        std::vector<RawReadBuffer> reads(static_cast<std::size_t>(options_.rawReads));
        std::size_t length = 0;
        if (!reads.empty()) {
            const OperationOutcome raw = ReadRawImages(session_, track_, reads, length);
            if (raw != OperationOutcome::Done) return raw;
            for (const RawReadBuffer& read : reads)
                TakeRaw(SectorsInRaw(std::span<const std::uint8_t>(read).first(length)));
        }
        for (int n = 0; n < options_.sectorReads; ++n) {
            int failed = 0;
            std::vector<bool> came(due_.size(), false);
            const OperationOutcome read =
                ReadSlotsInOrder(session_, track_, due_, PhaseStyle::DiskRun, failed, nullptr,
                                 [&came](std::size_t position, bool) { came[position] = true; });
            // Only the records that came are copies; the others keep what the slot held.
            TakeSlots(came);
            if (read != OperationOutcome::Done) return read;
        }
        return OperationOutcome::Done;
    }


  private:
    void TakeRaw(const std::vector<RawSectorCopy>& found) {
        for (std::size_t k = 0; k < due_.size(); ++k) {
            const RawSectorCopy* copy = CopyForSlot(found, track_, due_[k]);
            if (copy == nullptr) continue;
            histories_[k].copies.push_back(copy->copy);
            AddCrc(histories_[k], copy->recorded);
        }
    }

    void TakeSlots(const std::vector<bool>& came) {
        for (std::size_t k = 0; k < due_.size(); ++k) {
            if (!came[k]) continue;
            const SectorSlot& slot = track_.Slots[due_[k]];
            const std::size_t n = std::min<std::size_t>(slot.DataLength, slot.Data.size());
            if (n == 0) continue;
            const auto bytes = slot.Data.first(n);
            histories_[k].copies.push_back({Bytes(bytes.begin(), bytes.end()), slot.DataGood != 0});
        }
    }

    int Decide() {
        int recovered = 0;
        for (std::size_t k = 0; k < due_.size(); ++k) {
            SectorSlot& slot = track_.Slots[due_[k]];
            const SectorVerdict verdict = DecideSector(histories_[k].copies, histories_[k].crcs);
            StoreVerdict(slot, verdict, std::move(histories_[k]));
            if (slot.DataGood != 0) ++recovered;
            if (verdict.origin == SectorOrigin::Voted)
                session_.TrackLog(track_, QString::fromStdString(VotedLogLine(slot.Sector)), true);
            if (verdict.conflict)
                session_.TrackLog(track_,
                                  QStringLiteral("Сектор ") + QString::number(slot.Sector) +
                                      ": хорошие копии различаются.",
                                  true);
            session_.Disk().RedrawSectorCell(track_.Number, due_[k]);
        }
        return recovered;
    }

    OperationSession& session_;
    Track& track_;
    const RecoveryOptions& options_;
    std::vector<std::uint8_t> due_;
    std::vector<SectorHistory> histories_;
};

bool Cancelled(OperationSession& session) {
    if (!session.Host().CancelRequested()) return false;
    session.Log(QStringLiteral("Операция отменена пользователем!"));
    return true;
}

}  // namespace

void KeepRunCopies(Track& track, std::span<const RawReadBuffer> reads, std::size_t length) {
    const std::vector<std::uint8_t> due = DueSlots(track);
    if (due.empty()) return;
    std::vector<SectorHistory> histories(due.size());
    for (std::size_t k = 0; k < due.size(); ++k)
        histories[k] = CurrentHistory(track.Slots[due[k]]);
    for (const RawReadBuffer& read : reads) {
        const std::vector<RawSectorCopy> found =
            SectorsInRaw(std::span<const std::uint8_t>(read).first(length));
        for (std::size_t k = 0; k < due.size(); ++k) {
            if (const RawSectorCopy* copy = CopyForSlot(found, track, due[k])) {
                histories[k].copies.push_back(copy->copy);
                AddCrc(histories[k], copy->recorded);
            }
        }
    }
    for (std::size_t k = 0; k < due.size(); ++k)
        KeepCopies(track.Slots[due[k]], std::move(histories[k]));
}

std::vector<std::uint8_t> TracksToRecover(const DiskImage& disk) {
    std::vector<std::uint8_t> tracks;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present != 0 && std::ranges::any_of(track.Slots, Due))
            tracks.push_back(static_cast<std::uint8_t>(t));
    }
    return tracks;
}

int BadSectorCount(const DiskImage& disk) {
    int bad = 0;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present != 0)
            bad += static_cast<int>(std::ranges::count_if(track.Slots, Due));
    }
    return bad;
}

RecoveryResult RecoverBadSectors(OperationContext& ctx, const RecoveryOptions& options) {
    if (ctx.protocol.Busy()) {
        // Refused before the progress window opens.
        OperationSession refused(ctx);
        refused.Start();
        RecoveryResult result;
        result.outcome = OperationOutcome::Refused;
        return result;
    }
    const RunProgressWindow window(ctx.host, QString::fromUtf8(kRecoveryCaption),
                                   static_cast<int>(TracksToRecover(ctx.disk).size()));
    RecoveryResult result = RecoverBadSectorsWorker(ctx, options);
    ctx.disk.Repaint();
    return result;
}

RecoveryResult RecoverBadSectorsWorker(OperationContext& ctx, const RecoveryOptions& options) {
    RecoveryResult result;
    result.badAtStart = BadSectorCount(ctx.disk);
    std::vector<std::uint8_t> tracks = TracksToRecover(ctx.disk);
    OperationSession session(ctx);
    if (!session.Start()) {
        result.outcome = OperationOutcome::Refused;
        return result;
    }
    session.SetKeepsWhatWasRead();
    const RunAnswerTimeout timeout(ctx.protocol, kRunTimeoutMs);
    ctx.host.SetRunTrack(QStringLiteral("0"));
    ctx.host.ClearLog();
    ctx.host.ShowLogPage();
    if (tracks.empty()) {
        session.Log(QStringLiteral("Сбойных секторов нет."));
        return result;
    }
    result.outcome = PrepareHead(session, RunPositioningTexts());
    if (result.outcome != OperationOutcome::Done) return result;

    for (int pass = 1; pass <= options.passes && !tracks.empty(); ++pass) {
        RecoveryPassCounts counts;
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            const std::uint8_t t = tracks[i];
            result.outcome = SeekToTrack(session, t, RunPositioningTexts());
            if (result.outcome != OperationOutcome::Done) return result;
            ctx.host.SetRunTrack(QString::number(t));
            int recovered = 0;
            result.outcome = TrackRecovery(session, *ctx.disk.GetTrack(t), options).Run(recovered);
            result.tracksRead.push_back(t);
            counts.recovered += recovered;
            ++counts.tracks;
            if (result.outcome != OperationOutcome::Done) return result;
            ctx.disk.RedrawTrackCell(t);
            ctx.host.SetRunProgress(static_cast<int>(i + 1));
            if (Cancelled(session)) {
                result.outcome = OperationOutcome::Cancelled;
                return result;
            }
        }
        counts.badLeft = BadSectorCount(ctx.disk);
        result.passes.push_back(counts);
        session.Log(QStringLiteral("Проход ") + QString::number(pass) + ": дорожек - " +
                    QString::number(counts.tracks) + ", восстановлено - " +
                    QString::number(counts.recovered) + ", осталось сбойных - " +
                    QString::number(counts.badLeft));
        if (counts.recovered == 0) {
            result.noChange = true;
            break;
        }
        tracks = TracksToRecover(ctx.disk);
    }
    session.Log(RecoveryClosingLine(result));
    return result;
}

QString RecoveryClosingLine(const RecoveryResult& result) {
    if (result.noChange)
        return QStringLiteral("Без изменений: ещё один проход при этих настройках вряд ли поможет.");
    const int last = result.passes.empty() ? 0 : result.passes.back().recovered;
    return QStringLiteral("Восстановлено с прошлого прохода - ") + QString::number(last);
}

}  // namespace morvane
