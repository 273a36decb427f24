// The fast whole-disk read ("Быстрое чтение диска"): a track whose layout the run can
// foretell is read by sector lists alone, in the order the sectors come under the head,
// with no scan; a track it cannot foretell, or one that turns out to differ, is scanned
// and then read like the scan with sector read does it. The image ends up as that run
// leaves it.
//
// What the run knows of the disk, side by side: the ID fields (C, H, R, N) of the last
// track read on that side, in the order they pass the head from the index, and the skew,
// how many places the sectors move round from one cylinder to the next. A side's layout is
// trusted once two neighbouring cylinders were scanned with the same sectors (C one up,
// the rest alike, the order turned by the skew); until then each of its tracks is scanned.
// An unformatted track is always scanned: no read can tell it is empty. So is every track
// past cylinder 79, where most disks end: the probe of an unformatted track costs the five
// revolutions of "record not found", a scan about two.
//
// A sector list asks for sectors by their numbers alone, so a track whose sectors pass in
// another order, or carry another cylinder or head byte, than foretold reads just as
// well: only a scan shows it. The foretelling is checked by scans: a side's track is
// scanned and read like an unforetold one once the side's last scan is kCheckCylinders
// cylinders back, and a foretold track on which a sector failed is scanned after its
// reads. When a scan finds another layout than foretold, or a foretold track reads
// otherwise (a sector not found, another size), the disk has left its layout: every track
// read as foretold since its side's last check is scanned again (and read again when it
// differs), and from there on every track is scanned, as the scan with sector read does
// it. What the checks cannot see is a track that differs from its neighbours only in its
// order or its ID bytes, with every sector read cleanly, between two checks of a disk that
// keeps its layout everywhere else.
//
// Where the head is, the run keeps as an angle past the index, from the nominal drive:
// 300 rpm, 6250 bytes a revolution, the ID fields evenly spread from the index, a step
// with its settling 21 ms. A guessed track is read by two lists: the first sector to come
// under the head alone (a probe: a track that differs shows it at once, before a long list
// of sectors not found is under way), then the rest from the next sector to come. The
// host's turnaround between two exchanges is allowed for; when lists' first answers come a
// revolution late (by the wall clock) more than now and then, the allowance grows.
#pragma once

#include <QElapsedTimer>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "operations/OperationContext.h"

namespace morvane {

class OperationSession;
class Track;

// One ID field's C, H, R, N.
struct IdEntry {
    std::uint8_t c = 0, h = 0, r = 0, n = 0;
    bool operator==(const IdEntry&) const = default;
};
// A track's ID fields in the order they pass the head from the index.
using TrackIds = std::vector<IdEntry>;

// The places d (0 .. size-1) by which b is a turned a: b[k] == a[(k + size - d) % size]
// for every k, with b's C `cylinders` higher; the smallest such d. None when b is no
// turned a (other sectors, another count, an empty track).
std::optional<std::size_t> RotationBetween(const TrackIds& a, const TrackIds& b,
                                           unsigned cylinders);

// What the run has learnt of each side of the disk.
class LayoutGuess {
  public:
    // The IDs the track at cylinder, side most likely holds; none while the side's layout
    // is not trusted or the side's last track read was empty.
    std::optional<TrackIds> Guess(unsigned cylinder, unsigned side) const;
    // A scan found these IDs: the side's layout is trusted when they are its last track's
    // one cylinder on, turned; the turn is the skew.
    void Scanned(unsigned cylinder, unsigned side, TrackIds ids);
    // The track was read as guessed.
    void ReadAsGuessed(unsigned cylinder, unsigned side, TrackIds ids);
    bool Trusted(unsigned side) const { return sides_[side & 1].trusted; }
    std::size_t Skew(unsigned side) const { return sides_[side & 1].skew; }

  private:
    struct Side {
        TrackIds ids;
        int cylinder = -1;  // of ids; -1: nothing read on this side yet
        bool trusted = false;
        std::size_t skew = 0;
    };
    std::array<Side, 2> sides_;
};

// --- Where the sectors pass the head, as fractions of a revolution past the index.

// Cylinders whose tracks may be read by a guess: those of an 80-cylinder disk.
inline constexpr unsigned kGuessedCylinders = 80;
// A side's guess is checked by a scan this many cylinders after the side's last scan.
inline constexpr unsigned kCheckCylinders = 5;

// The nominal drive.
inline constexpr double kRevolutionMs = 200.0;
inline constexpr double kTrackBytes = 6250.0;
inline constexpr double kStepMs = 6.0;
inline constexpr double kSettleMs = 15.0;
inline constexpr double kStepTravelMs = kStepMs + kSettleMs;  // one step and the settling
// From an ID field's mark to the end of its data field's CRC, besides the data: the ID
// field (7), gap 2 (22), sync (12), the data mark with its sync bytes (4), the CRC (2).
inline constexpr double kSectorOverheadBytes = 47.0;
// The host's turnaround allowed at first for one exchange: from an answer to the next
// command's start on the drive.
inline constexpr double kFirstAllowanceMs = 1.5;

// The ID field of place k of `places` evenly spread places.
double IdAngle(std::size_t place, std::size_t places);
// Where a sector of `bytes` data bytes at that place has been read to its end.
double SectorEndAngle(std::size_t place, std::size_t places, std::size_t bytes);
// The first place whose ID field is at least `lead` revolutions past `angle`.
std::size_t FirstPlaceAfter(double angle, double lead, std::size_t places);
// Places 0 .. places-1 round from `first`, leaving out `skip`.
std::vector<std::uint8_t> RoundFrom(std::size_t first, std::size_t places,
                                    std::optional<std::size_t> skip = std::nullopt);
// Whether a list's first answer, `measuredMs` after the reference answer, came a
// revolution later than the `expectedMs` the model gave it: the drive had to wait for
// the sector to come round again.
bool CameRoundLate(double measuredMs, double expectedMs);

// The host's turnaround allowed for one exchange. A list whose first answer came a
// revolution late may be a passing stall of the host; three of them within 16 timed lists
// say the allowance is too small, and it grows by half a sector, up to a quarter of a
// revolution.
class TurnaroundAllowance {
  public:
    double Revolutions() const { return allowance_; }
    double Ms() const { return allowance_ * kRevolutionMs; }
    // A list's first answer was timed; late: it came a revolution late. places: the
    // sectors of the track.
    void Timed(bool late, std::size_t places);

  private:
    double allowance_ = kFirstAllowanceMs / kRevolutionMs;
    long timed_ = 0;
    std::vector<long> late_;  // the recent timed lists that came late
};

// The run's track reader: learns the layout, keeps the head's angle, reads each track.
class FastReader {
  public:
    FastReader();

    // The head went from track `from` to track `to`; from < 0: from afar (the angle is
    // then unknown).
    void Moved(int from, int to);
    // Reads the track the head is on. failed counts the failed sectors (a guess that turned
    // out wrong counts nothing). cancelled() is asked between the exchanges and logs the
    // cancel itself.
    OperationOutcome ReadTrack(OperationSession& session, Track& track, int& failed,
                           const std::function<bool()>& cancelled);

    const LayoutGuess& Layouts() const { return layouts_; }
    // The turnaround allowed for one exchange, as it stands.
    double AllowanceMs() const { return allowance_.Ms(); }

    // Whether the disk left the layout it was guessed by: every track is scanned since.
    bool ScansEveryTrack() const { return scanEveryTrack_; }

  private:
    // A track read as guessed and not checked by a scan since.
    struct Unchecked {
        std::uint8_t number = 0;
        int failed = 0;                  // the failed sectors its reads counted
        std::uint8_t presentBefore = 0;  // the track's mark before they filled it
    };

    // A guessed track, read by its lists and checked where that is due.
    OperationOutcome GuessedTrack(OperationSession& session, Track& track, const TrackIds& ids,
                                  int& failed, const std::function<bool()>& cancelled);
    // A guessed track; false in read when it turned out to differ.
    OperationOutcome ReadGuessed(OperationSession& session, Track& track, const TrackIds& ids,
                                 int& failed, const std::function<bool()>& cancelled, bool& read);
    // Scans the track's ID fields into ids; the head is then at the index.
    OperationOutcome ScanFromIndex(OperationSession& session, Track& track, TrackIds& ids);
    // found (if given) takes the IDs the scan found.
    OperationOutcome ScanAndRead(OperationSession& session, Track& track, int& failed,
                                 const std::function<bool()>& cancelled, TrackIds* found);
    // The list of every slot of a track just scanned, from the first sector to come.
    OperationOutcome ReadScanned(OperationSession& session, Track& track, int& failed);
    // Scans a track read as guessed; where the scan differs, its sectors are read again
    // and its earlier failures no longer count.
    OperationOutcome Recheck(OperationSession& session, Track& track, const Unchecked& read,
                             int& failed, const std::function<bool()>& cancelled, bool& differs);
    // The disk left its layout: the guessed tracks not yet checked are rechecked, and every
    // later track is scanned.
    OperationOutcome LeftLayout(OperationSession& session, int& failed,
                                const std::function<bool()>& cancelled);
    // A scan of the track: when its side was last scanned, and (if given) what it found.
    void NoteScan(std::uint8_t track, std::optional<TrackIds> ids);
    // One list of the track's places; ok tells whether every listed slot came whole.
    OperationOutcome ReadList(OperationSession& session, Track& track,
                              const std::vector<std::uint8_t>& order, int& failed, bool& ok);
    void Answered();
    // The least lead a sector's ID field needs on the head: the allowance for each exchange
    // before the list starts on the drive.
    double Lead() const;

    LayoutGuess layouts_;
    std::optional<double> angle_;  // the head's angle now; none when unknown
    std::optional<double> since_;  // its angle when the last answer came
    TurnaroundAllowance allowance_;
    int exchanges_ = 1;  // exchanges from the last answer to the next list
    // Each side's last scanned cylinder.
    std::array<int, 2> lastScanned_{-1, -1};
    std::array<std::vector<Unchecked>, 2> unchecked_;
    bool scanEveryTrack_ = false;
    QElapsedTimer clock_;
    qint64 lastAnswerNs_ = 0;
};

}  // namespace morvane
