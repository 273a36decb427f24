// The three steps of putting one image track onto the disk, for the head already on it:
// format with a table, write the sectors that hold data, read them back and compare.
// A time-out stops (message shown); a device error is logged and the step goes on.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Bytes.h"
#include "operations/DiskWrite.h"
#include "operations/OperationContext.h"

namespace morvane {

class OperationSession;
class Track;

// CommandCode::WriteTrack with the table. formatted is false when the device reported an error.
OperationOutcome FormatTrackWithTable(OperationSession& session, std::uint8_t track,
                                      const Bytes& table, bool& formatted);

// CommandCode::WriteSector for every occupied slot that holds data, in slot order, a failed read's
// bytes included. written gets the slot index of each sector the device took without an
// error; result.failed the others, result.fromBadRead those written from a failed read,
// result.notWritten the slots without data.
OperationOutcome WriteTrackSectors(OperationSession& session, const Track& track,
                                   std::vector<std::uint8_t>& written, DiskWriteResult& result);

// One CommandCode::ReadSectors of the written slots; each sector that reads with an error, or
// differs in any byte or in length from what was written, goes to failed.
OperationOutcome VerifyTrackSectors(OperationSession& session, const Track& track,
                                    const std::vector<std::uint8_t>& written,
                                    std::vector<WrittenSector>& failed);

}  // namespace morvane
