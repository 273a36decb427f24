#include "operations/DiskRun.h"

#include <array>
#include <optional>
#include <vector>

#include "controller/ControllerProtocol.h"
#include "model/DiskImage.h"
#include "operations/FastRead.h"
#include "operations/OperationHost.h"
#include "operations/OperationSession.h"
#include "operations/Positioning.h"
#include "operations/RecoveryPasses.h"
#include "operations/RunGuards.h"
#include "operations/TrackPhases.h"

namespace morvane {

namespace {

constexpr int kFullReadTracks = 162;
constexpr int kAllTracks = static_cast<int>(kTrackCount);
constexpr int kFirstMode = 1;
constexpr int kLastMode = 7;

bool Cancelled(OperationSession& session) {
    if (!session.Host().CancelRequested()) return false;
    session.Log(QStringLiteral("Операция отменена пользователем!"));
    return true;
}

struct RunBuffers {
    std::vector<RawReadBuffer> reads = std::vector<RawReadBuffer>(kRawReadsPerTrack);
    RawReadBuffer voted{};
    std::size_t length = 0;  // of the track's raw reads
};

OperationOutcome RawPhase(OperationSession& session, Track& track, int mode, RunBuffers& bufs) {
    std::size_t length = 0;
    const OperationOutcome read = ReadRawImages(session, track, bufs.reads, length);
    if (read != OperationOutcome::Done) return read;
    VoteRawReads(bufs.reads, length, bufs.voted);
    bufs.length = length;
    track.Present = kPresent;
    track.SetRaw(bufs.voted);
    track.RawValid = 1;
    track.RawLength = static_cast<std::uint16_t>(length);
    // With a scan the slots come from the ID fields the controller reports.
    if ((mode & kRunScan) == 0) track.ParseRaw();
    session.Disk().RedrawTrackCell(track.Number);
    return OperationOutcome::Done;
}

// The slots a sector record came for in this run, by slot index.
using RecordsCame = std::array<bool, kSlotsPerTrack>;

// All phases of one track, with the cancel checks between them.
OperationOutcome RunTrack(OperationSession& session, Track& track, int mode, RunBuffers& bufs,
                          int& failed, RecordsCame& came) {
    if (mode & kRunRaw) {
        const OperationOutcome raw = RawPhase(session, track, mode, bufs);
        if (raw != OperationOutcome::Done) return raw;
    }
    if (Cancelled(session)) return OperationOutcome::Cancelled;
    if (mode & kRunScan) {
        std::size_t found = 0;
        const OperationOutcome scan = ScanIdFields(session, track, PhaseStyle::DiskRun, found);
        if (scan != OperationOutcome::Done) return scan;
    }
    if (Cancelled(session)) return OperationOutcome::Cancelled;
    if (mode & kRunSectors) {
        const OperationOutcome sectors =
            ReadListedSectors(session, track, PhaseStyle::DiskRun, failed, nullptr,
                              [&came](std::size_t slot, bool) { came[slot] = true; });
        // A failed sector keeps the copies the raw reads gave of it, for the recovery.
        if (mode & kRunRaw) KeepRunCopies(track, bufs.reads, bufs.length);
        if (sectors != OperationOutcome::Done) return sectors;
    }
    if (Cancelled(session)) return OperationOutcome::Cancelled;
    return OperationOutcome::Done;
}

// The fast read of one track, the cancel looked at between its exchanges and after it.
OperationOutcome FastTrack(OperationSession& session, Track& track, FastReader& reader,
                           int& failed) {
    const OperationOutcome read =
        reader.ReadTrack(session, track, failed, [&session] { return Cancelled(session); });
    if (read != OperationOutcome::Done) return read;
    if (Cancelled(session)) return OperationOutcome::Cancelled;
    return OperationOutcome::Done;
}

// The track's slots with an ID and no data that no record came for: what the run stopped
// before reading.
void NoteUnread(const Track& track, const RecordsCame& came, std::vector<SlotPlace>& unread) {
    for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
        const SectorSlot& slot = track.Slots[s];
        if (slot.Present != 0 && slot.DataLength == 0 && !came[s])
            unread.push_back({track.Number, static_cast<std::uint8_t>(s)});
    }
}

bool RunnableMode(int mode) {
    return (mode >= kFirstMode && mode <= kLastMode) || mode == kRunFast;
}

}  // namespace

std::optional<DiskRunParams> LaunchParams(DiskRunKind kind, DiskImage& disk) {
    switch (kind) {
        case DiskRunKind::FullRead:
            return DiskRunParams{QStringLiteral("Полное чтение диска"),
                                 kRunRaw | kRunScan | kRunSectors, 0, kFullReadTracks};
        case DiskRunKind::RawRead:
            return DiskRunParams{QStringLiteral("Чтение сырых данных дорожек"), kRunRaw, 0,
                                 kFullReadTracks};
        case DiskRunKind::TrackScan:
            return DiskRunParams{QStringLiteral("Сканирование дорожек диска"), kRunScan, 0,
                                 kAllTracks};
        case DiskRunKind::SectorsByMarks: {
            const int present = disk.CountTracks();
            if (present == 0) return std::nullopt;
            return DiskRunParams{QStringLiteral("Посекторное чтение диска"), kRunSectors, 0,
                                 present};
        }
        case DiskRunKind::ScanAndSectors:
            return DiskRunParams{QStringLiteral("Сканирование с посекторным чтением"),
                                 kRunScan | kRunSectors, 0, kAllTracks};
        case DiskRunKind::FastRead:
            return DiskRunParams{QStringLiteral("Быстрое чтение диска"), kRunFast, 0, kAllTracks};
    }
    return std::nullopt;
}

DiskRunResult RunDiskWorker(OperationContext& ctx, const DiskRunParams& params) {
    DiskRunResult result;
    OperationSession session(ctx);
    if (!session.Start()) {
        result.outcome = OperationOutcome::Refused;
        return result;
    }
    session.SetKeepsWhatWasRead();
    if (!RunnableMode(params.mode)) return result;
    const RunAnswerTimeout timeout(ctx.protocol, params.timeoutMs);

    if (params.first < 0 || params.count < 0 || params.first + params.count > kAllTracks) {
        session.ShowError(QStringLiteral("Число дорожек превышает 166 ..."));
        result.outcome = OperationOutcome::Refused;
        return result;
    }
    ctx.host.SetRunTrack(QStringLiteral("0"));
    ctx.host.ClearLog();
    ctx.host.ShowLogPage();
    result.outcome = PrepareHead(session, RunPositioningTexts());
    if (result.outcome != OperationOutcome::Done) return result;
    session.Log(QStringLiteral("Начало чтения диска!"));

    RunBuffers buffers;
    std::optional<FastReader> fast;
    if (params.mode == kRunFast) fast.emplace();
    for (int j = params.first; j < params.first + params.count; ++j) {
        const auto t = static_cast<std::uint8_t>(j);
        result.outcome = SeekToTrack(session, t, RunPositioningTexts());
        if (result.outcome != OperationOutcome::Done) return result;
        ctx.host.SetRunTrack(QString::number(j));
        Track& track = *ctx.disk.GetTrack(t);
        // The fast read says nothing of the records that came: a stop there takes every
        // slot of the track without data for unread.
        RecordsCame came{};
        if (fast) {
            fast->Moved(j == params.first ? -1 : j - 1, j);
            result.outcome = FastTrack(session, track, *fast, result.failedSectors);
        } else {
            result.outcome =
                RunTrack(session, track, params.mode, buffers, result.failedSectors, came);
        }
        if (result.outcome != OperationOutcome::Done) {
            if (fast || (params.mode & kRunSectors) != 0) NoteUnread(track, came, result.unread);
            return result;
        }
        ++result.tracksDone;
        ctx.host.SetRunProgress(j + 1);
    }
    session.Log(QStringLiteral("Операция выполнена!"));
    if (result.failedSectors >= 1)
        session.Log(QStringLiteral("Сбойных секторов - ") + QString::number(result.failedSectors));
    return result;
}

DiskRunResult RunDisk(OperationContext& ctx, const DiskRunParams& params) {
    if (ctx.protocol.Busy()) {
        // Refused before the progress window opens.
        OperationSession session(ctx);
        session.Start();
        return {OperationOutcome::Refused, 0, 0};
    }
    const RunProgressWindow window(ctx.host, params.caption, params.count);
    DiskRunResult result = RunDiskWorker(ctx, params);
    ctx.disk.Repaint();
    return result;
}

}  // namespace morvane
