// Faults of the media and the mechanics, injected for tests and demonstrations: sectors
// whose ID or data CRC reads wrong, sectors whose ID cannot be found, bytes that read
// differently on every raw read, and seeks that land on the wrong track or fail. The
// stored tracks never change; the faults apply to what the head reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "controller/virtual/RawTrack.h"
#include "controller/virtual/VirtualTypes.h"

namespace morvane::virt {

// How READ ADDRESS reports an ID field whose CRC reads wrong.
enum class IdCrcScan : std::uint8_t {
    InAnswer,   // among the other IDs of the answer, with its wrong CRC bytes
    StopsScan,  // an error record with the CRC bit; its data part holds the IDs read up
                // to and including the bad one
};

// A READ ADDRESS or READ TRACK that breaks off: an error record with this status, whose
// data part holds what was read before the break.
struct ReadBreak {
    std::size_t Kept = 0;  // IDs (READ ADDRESS) or bytes (READ TRACK) read before it
    std::uint8_t Status = 0;
};

enum class SeekFaultKind : std::uint8_t {
    WrongTrack,  // the answer names a neighbouring track
    SeekError,   // an error record with the seek-error bit
};

class MediaFaults {
  public:
    static constexpr int kAlways = -1;

    // Every ID field with sector number r on the track: its data CRC reads wrong, for the
    // next `reads` sector reads of it (a weak sector that a re-read may recover) or always.
    void AddDataCrcError(Drive drive, std::uint8_t track, std::uint8_t r, int reads = kAlways);
    // ... its ID CRC reads wrong (READ SECTOR cannot use it; READ ADDRESS shows it as
    // `scan` says).
    void AddIdCrcError(Drive drive, std::uint8_t track, std::uint8_t r,
                       IdCrcScan scan = IdCrcScan::InAnswer);
    // ... its ID field cannot be found at all (its sync bytes read as zeros).
    void AddMissingSector(Drive drive, std::uint8_t track, std::uint8_t r);
    // Bytes first .. first+count-1 of the track read, on each READ TRACK, as another value
    // with the given probability (0..1).
    void AddUnstableBytes(Drive drive, std::uint8_t track, std::size_t first, std::size_t count,
                          double probability = 0.3);
    // Weak media under sector r of the track: each read of its data (a sector read, a
    // sector of a list, READ TRACK) turns every data byte into another value with the given
    // probability (0..1), drawn from the seeded random source. The CRC on the disk is the
    // one written, so the read has a bad CRC unless no byte turned.
    void AddWeakSector(Drive drive, std::uint8_t track, std::uint8_t r, double probability);
    // READ ADDRESS on the track breaks off after `ids` ID fields with this status.
    void AddScanBreak(Drive drive, std::uint8_t track, std::size_t ids, std::uint8_t status);
    // READ TRACK on the track breaks off after `bytes` bytes with this status, for the next
    // `reads` raw reads of it or always; the first `after` raw reads still read whole.
    void AddRawReadBreak(Drive drive, std::uint8_t track, std::size_t bytes, std::uint8_t status,
                         int reads = kAlways, int after = 0);
    // Each READ TRACK of the track is up to maxBytes shorter or longer than the track (the
    // drive's speed varies); a longer read goes on past the index into the track again.
    void AddRawLengthJitter(Drive drive, std::uint8_t track, std::size_t maxBytes);
    // The next `times` seeks (to any track, or only to `target`) go wrong.
    void AddSeekFault(SeekFaultKind kind, int times,
                      std::optional<std::uint8_t> target = std::nullopt);
    void Clear();
    void SetRandomSeed(std::uint32_t seed) { random_.seed(seed); }

    // The track as the head reads it for the sector commands and READ ADDRESS.
    RawTrack Apply(Drive drive, std::uint8_t track, const RawTrack& stored) const;
    // The same plus the weak sectors, for READ SECTOR; draws from the random source.
    RawTrack ApplyForSectorRead(Drive drive, std::uint8_t track, const RawTrack& stored);
    // The same plus the weak sectors and the unstable bytes, for READ TRACK; draws from the
    // random source.
    RawTrack ApplyForRawRead(Drive drive, std::uint8_t track, const RawTrack& stored);
    // A sector read of r on the track happened: one read of a weak sector is used up.
    void NoteSectorRead(Drive drive, std::uint8_t track, std::uint8_t r);
    // Whether READ ADDRESS stops at ID fields with sector number r whose CRC reads wrong.
    bool IdCrcStopsScan(Drive drive, std::uint8_t track, std::uint8_t r) const;
    std::optional<ReadBreak> ScanBreak(Drive drive, std::uint8_t track) const;
    // Takes one raw read of a breaking track, if any.
    std::optional<ReadBreak> TakeRawReadBreak(Drive drive, std::uint8_t track);
    // The length change of this raw read (0 without jitter); draws from the random source.
    std::ptrdiff_t DrawRawLengthChange(Drive drive, std::uint8_t track);
    // Takes one pending seek fault for a seek to target, if any.
    std::optional<SeekFaultKind> TakeSeekFault(std::uint8_t target);

  private:
    using SectorKey = std::tuple<Drive, std::uint8_t, std::uint8_t>;
    using TrackKey = std::tuple<Drive, std::uint8_t>;
    struct RawBreak {
        ReadBreak Break;
        int Remaining;
        int WholeFirst;  // raw reads still to go before the break begins
    };
    struct Unstable {
        Drive OnDrive;
        std::uint8_t Track;
        std::size_t First;
        std::size_t Count;
        double Probability;
    };
    struct SeekFault {
        SeekFaultKind Kind;
        int Remaining;
        std::optional<std::uint8_t> Target;
    };

    void TurnWeakBytes(Drive drive, std::uint8_t track, const RawTrack& stored, RawTrack& seen);

    std::map<SectorKey, int> dataCrc_;  // reads left, or kAlways
    std::map<SectorKey, double> weak_;  // the probability of each byte turning
    std::map<SectorKey, IdCrcScan> idCrc_;
    std::map<TrackKey, ReadBreak> scanBreaks_;
    std::map<TrackKey, RawBreak> rawBreaks_;
    std::map<TrackKey, std::size_t> rawJitter_;
    std::set<SectorKey> missing_;
    std::vector<Unstable> unstable_;
    std::vector<SeekFault> seekFaults_;
    std::mt19937 random_{0x1793};
};

}  // namespace morvane::virt
