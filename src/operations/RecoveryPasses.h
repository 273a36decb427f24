// "Восстановить сбойные сектора...": unattended passes over the tracks that still hold a
// sector without good data. Each pass reads such a track raw and reads its bad sectors
// again; every copy these reads give is kept with the sector, and the sector's value is
// weighed from all of them (model/SectorVote.h). The passes end when nothing is left to
// recover, when a pass recovered nothing, or after the number asked for. The re-read of
// "Перечитать сбойные сектора" is another operation and stays as it is.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "operations/OperationContext.h"
#include "operations/RawVote.h"

namespace morvane {

class Track;
class DiskImage;

struct RecoveryOptions {
    int passes = 1;
    int rawReads = 1;     // READ TRACK per track and pass
    int sectorReads = 1;  // reads of each bad sector per pass
};

struct RecoveryPassCounts {
    int tracks = 0;     // tracks read in the pass
    int recovered = 0;  // sectors good after it that were not before
    int badLeft = 0;
};

struct RecoveryResult {
    OperationOutcome outcome = OperationOutcome::Done;
    int badAtStart = 0;
    std::vector<RecoveryPassCounts> passes;
    bool noChange = false;  // the last pass recovered nothing
    std::vector<std::uint8_t> tracksRead;  // every track read, in order, once per pass
};

// After a run's raw reads and sector reads of a track: every slot without good data keeps
// its copies (each raw read's, its own data) and the recorded CRCs, for the passes.
void KeepRunCopies(Track& track, std::span<const RawReadBuffer> reads, std::size_t length);

// Present tracks with an occupied slot whose data is not good (missing or in error).
std::vector<std::uint8_t> TracksToRecover(const DiskImage& disk);
int BadSectorCount(const DiskImage& disk);

inline const char* const kRecoveryCaption = "Восстановление сбойных секторов";

// The passes alone, for a progress window already on screen (its maximum: the count of
// TracksToRecover).
RecoveryResult RecoverBadSectorsWorker(OperationContext& ctx, const RecoveryOptions& options);
// The whole operation: BeginRun on the host, the worker, EndRun.
RecoveryResult RecoverBadSectors(OperationContext& ctx, const RecoveryOptions& options);

// The closing line of the passes (the window's log).
QString RecoveryClosingLine(const RecoveryResult& result);

}  // namespace morvane
