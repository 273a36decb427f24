// The reads started from the disk map's context menu on one track: one sector (with
// silent re-reads and the Abort/Retry/Ignore question), the raw track read ten times with
// a per-byte vote, all sectors of the track in one list command, and the scan of its ID
// fields. Each holds the controller for its whole length.
#pragma once

#include "operations/OperationContext.h"

namespace morvane {

inline constexpr int kSectorRereads = 30;  // silent re-reads before the user is asked
inline constexpr int kRawReadsSingle = 10;

// "Считать сектор"
OperationOutcome ReadSelectedSector(OperationContext& ctx, MapCell cell);
// "Считать RAW дорожки"
OperationOutcome ReadRawTrack(OperationContext& ctx, MapCell cell);
// "Считать сектора дорожки"
OperationOutcome ReadTrackSectors(OperationContext& ctx, MapCell cell);
// "Сканировать дорожку"
OperationOutcome ScanTrack(OperationContext& ctx, MapCell cell);

}  // namespace morvane
