// The three reads of one track that both the context-menu reads and the whole-disk runs
// do: the raw image read several times, the scan of the ID fields, and the sector list
// read. The two callers word a few log lines differently; the style says which.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "model/Bytes.h"
#include "operations/OperationContext.h"
#include "operations/RawVote.h"

namespace morvane {

class OperationSession;
class Track;
class DiskImage;
struct ErrorRecord;

enum class PhaseStyle { SingleTrack, DiskRun };

// reads.size() raw reads of the track the head is on, each into its zero-filled buffer
// (cut at 6500 bytes). length = the count most reads had (VoteRawLength). Stopped on a
// time-out (the message shown, the track unchanged apart from its log).
OperationOutcome ReadRawImages(OperationSession& session, Track& track,
                               std::vector<RawReadBuffer>& reads, std::size_t& length);

// READ ADDRESS into the track's slots, at most 32 whole records. found = the records.
OperationOutcome ScanIdFields(OperationSession& session, Track& track, PhaseStyle style,
                              std::size_t& found);

// Called as each record of a list read is taken: its position in the list, and whether
// it was an error record.
using ListRecordHook = std::function<void(std::size_t position, bool error)>;

// The list read of the sectors of slots 0 .. count-1 (position k is slot k). failed counts
// the failed sectors; view (if given) collects every sector's bytes in list order.
OperationOutcome ReadListedSectors(OperationSession& session, Track& track, PhaseStyle style,
                                   int& failed, Bytes* view, const ListRecordHook& hook = {});

// The same list read, of the slots named in order (each slot once), in that order. Each
// slot's expected size is the one the slot order gives it, whatever the list order.
OperationOutcome ReadSlotsInOrder(OperationSession& session, Track& track,
                                  std::span<const std::uint8_t> order, PhaseStyle style,
                                  int& failed, Bytes* view, const ListRecordHook& hook);

// What the scan does with the ID fields it found: slots from first on are emptied, and
// slot k takes record k (C, H, R, N, CRC high, CRC low); a slot whose ID changes loses its
// data. Every changed cell is redrawn. The track becomes present when a record is given.
void EmptySlotsFrom(DiskImage& disk, Track& track, std::size_t first);
void FillSlots(DiskImage& disk, Track& track, std::span<const std::uint8_t> records);

// An error record that only reports the deleted-data mark: the sector was read whole with
// a good CRC, so its data counts as good.
bool DeletedMarkOnly(const ErrorRecord& error);

}  // namespace morvane
