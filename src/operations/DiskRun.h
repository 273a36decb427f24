// The whole-disk runs of the "Диск" menu: a range of tracks read as raw images, scanned
// for ID fields, read sector by sector, or a combination, with progress, cancel between
// the phases of a track and the run's long answer time-out.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "operations/OperationContext.h"

namespace morvane {

// Mode bits of a run.
inline constexpr int kRunRaw = 1;
inline constexpr int kRunScan = 2;
inline constexpr int kRunSectors = 4;
// The fast read (FastRead.h): sector lists in the order the sectors come, a scan only
// where the layout cannot be foretold. A mode of its own, not combined with the bits.
inline constexpr int kRunFast = 8;
inline constexpr int kRawReadsPerTrack = 8;
inline constexpr int kRunTimeoutMs = 30000;

enum class DiskRunKind {
    FullRead,        // "Полное чтение диска": mode 7, 162 tracks
    RawRead,         // "Чтение сырых данных": mode 1, 162 tracks
    TrackScan,       // "Сканирование дорожек": mode 2, 166 tracks
    SectorsByMarks,  // "Чтение секторов по  меткам": mode 4, present-track count
    ScanAndSectors,  // "Сканирование и чтение секторов диска" / tb4: mode 6, 166 tracks
    FastRead,  // "Быстрое чтение диска": kRunFast, 166 tracks
};

struct DiskRunParams {
    QString caption;  // the progress window's caption
    int mode = 0;
    int first = 0;
    int count = 0;
    int timeoutMs = kRunTimeoutMs;  // the answer time-out while the run lasts
};

// A slot of a track: track index, slot index.
struct SlotPlace {
    std::uint8_t track = 0;
    std::uint8_t slot = 0;
    bool operator==(const SlotPlace&) const = default;
};

struct DiskRunResult {
    OperationOutcome outcome = OperationOutcome::Done;
    int tracksDone = 0;     // tracks whose every phase finished
    int failedSectors = 0;  // the run's failed-sector counter
    // A run that stopped: the sectors of its last track whose ID fields it holds but whose
    // data it never read (never asked for, or asked for and never answered). They are
    // missing, not failed: the drive said nothing about them.
    std::vector<SlotPlace> unread = {};
};

// The parameters a launcher sets; none for the sector read by marks when no track is
// present (the command then does nothing).
std::optional<DiskRunParams> LaunchParams(DiskRunKind kind, DiskImage& disk);

// The worker alone: what runs once the progress window is on screen. Raises the answer
// time-out to params.timeoutMs for its length and restores the previous interval however it ends.
DiskRunResult RunDiskWorker(OperationContext& ctx, const DiskRunParams& params);

// The whole run: BeginRun on the host, the worker, EndRun.
DiskRunResult RunDisk(OperationContext& ctx, const DiskRunParams& params);

}  // namespace morvane
