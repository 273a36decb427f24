// Weighing the copies of one sector. A copy read with a good CRC is the sector; good copies
// that disagree are a conflict, said and not hidden (the one most copies agree on wins).
// With no good copy, each byte is the value most copies hold there, and the result is
// checked against the data CRC the disk holds for the sector, where an image keeps it (a
// raw track): matching, the sector is recovered; otherwise it is the best guess there is.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/SectorCopy.h"

namespace morvane {

struct SectorSlot;

struct SectorVerdict {
    Bytes data;
    SectorOrigin origin = SectorOrigin::Missing;
    bool conflict = false;  // good copies with different bytes
};

// The length most copies with data have (the earliest copy's on a tie), then at each
// position the byte most of those copies hold (the earliest copy's on a tie). Copies of
// another length or without data take no part. Empty for no copy with data.
Bytes VoteCopies(std::span<const SectorCopy> copies);

SectorVerdict DecideSector(std::span<const SectorCopy> copies,
                           std::span<const RecordedCrc> recorded);

// A fingerprint of the slot's data and status, to tell whether a read changed it.
std::uint32_t SlotStamp(const SectorSlot& slot);

// The slot's origin as it stands: Unmerged when a read changed the slot after the copies
// were weighed.
SectorOrigin CurrentOrigin(const SectorSlot& slot);

// The copies of the slot to weigh further: those kept with it while they are current,
// otherwise its data as one copy (none without data). Recorded CRCs likewise.
SectorHistory CurrentHistory(const SectorSlot& slot);

// Keeps copies with the slot as it stands (its data one of them), for a later weighing;
// its data, status and origin stay.
void KeepCopies(SectorSlot& slot, SectorHistory history);

// Stores the verdict in the slot: its data (cut to the buffer), DataGood (255 for a good
// read or a vote that matched the CRC), the origin and the history it came from.
void StoreVerdict(SectorSlot& slot, const SectorVerdict& verdict, SectorHistory history);

// The track log's line for a sector the vote recovered: "Сектор R восстановлен голосованием
// копий."
std::string VotedLogLine(std::uint8_t sector);

}  // namespace morvane
