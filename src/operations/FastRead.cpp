#include "operations/FastRead.h"

#include <QString>

#include <algorithm>
#include <cmath>

#include "model/Checksums.h"
#include "model/Geometry.h"
#include "model/DiskImage.h"
#include "operations/OperationSession.h"
#include "operations/Positioning.h"
#include "operations/TrackPhases.h"

namespace morvane {

namespace {

constexpr double kPlaceTolerance = 1e-9;
// The allowance grows by half a sector at a time, up to a quarter of a revolution.
constexpr double kAllowanceGrowth = 0.5;
constexpr double kMostAllowance = 0.25;
// Three late lists within this many make the allowance grow: a late list now and then
// (the host held up for a moment) costs less than a larger allowance on every track.
constexpr long kLateWindow = 16;
constexpr std::size_t kLateToGrow = 3;
constexpr std::size_t kIdRecordBytes = 6;
constexpr const char* kGuessMissedText = "Дорожка размечена не так, как ожидалось: сканирование.";
constexpr const char* kOtherLayoutText = "Сканирование нашло не ту разметку, что ожидалась.";

double Wrapped(double angle) {
    const double a = std::fmod(angle, 1.0);
    return a < 0 ? a + 1.0 : a;
}

// What the WD1793 reads for a size code: only its two low bits count.
std::size_t DeviceSectorSize(std::uint8_t sizeCode) {
    return std::size_t{128} << (sizeCode & 3);
}

TrackIds SlotIds(const Track& track, std::size_t count) {
    TrackIds ids;
    for (std::size_t k = 0; k < count; ++k) {
        const SectorSlot& slot = track.Slots[k];
        ids.push_back({slot.Cylinder, slot.Head, slot.Sector, slot.SizeCode});
    }
    return ids;
}

// The scan's records for the IDs, their CRCs as the WD1793 wants them: a sector it reads
// had an ID field with a good CRC.
Bytes IdRecords(const TrackIds& ids) {
    Bytes records;
    records.reserve(ids.size() * kIdRecordBytes);
    for (const IdEntry& id : ids) {
        const std::uint16_t crc = IdFieldCrc(id.c, id.h, id.r, id.n);
        records.insert(records.end(), {id.c, id.h, id.r, id.n, static_cast<std::uint8_t>(crc >> 8),
                                       static_cast<std::uint8_t>(crc)});
    }
    return records;
}

}  // namespace

std::optional<std::size_t> RotationBetween(const TrackIds& a, const TrackIds& b,
                                           unsigned cylinders) {
    const std::size_t size = a.size();
    if (size == 0 || b.size() != size) return std::nullopt;
    for (std::size_t d = 0; d < size; ++d) {
        bool same = true;
        for (std::size_t k = 0; k < size && same; ++k) {
            IdEntry was = a[(k + size - d) % size];
            was.c = static_cast<std::uint8_t>(was.c + cylinders);
            same = b[k] == was;
        }
        if (same) return d;
    }
    return std::nullopt;
}

// --- LayoutGuess

std::optional<TrackIds> LayoutGuess::Guess(unsigned cylinder, unsigned side) const {
    const Side& s = sides_[side & 1];
    if (!s.trusted || s.ids.empty() || s.cylinder < 0 || static_cast<int>(cylinder) <= s.cylinder)
        return std::nullopt;
    const auto on = static_cast<unsigned>(static_cast<int>(cylinder) - s.cylinder);
    const std::size_t size = s.ids.size();
    const std::size_t turn = (s.skew * on) % size;
    TrackIds ids(size);
    for (std::size_t k = 0; k < size; ++k) {
        ids[k] = s.ids[(k + size - turn) % size];
        ids[k].c = static_cast<std::uint8_t>(ids[k].c + on);
    }
    return ids;
}

void LayoutGuess::Scanned(unsigned cylinder, unsigned side, TrackIds ids) {
    Side& s = sides_[side & 1];
    std::optional<std::size_t> turn;
    if (s.cylinder >= 0 && static_cast<int>(cylinder) == s.cylinder + 1)
        turn = RotationBetween(s.ids, ids, 1);
    s.trusted = turn.has_value();
    s.skew = turn.value_or(0);
    s.ids = std::move(ids);
    s.cylinder = static_cast<int>(cylinder);
}

void LayoutGuess::ReadAsGuessed(unsigned cylinder, unsigned side, TrackIds ids) {
    Side& s = sides_[side & 1];
    s.ids = std::move(ids);
    s.cylinder = static_cast<int>(cylinder);
}

// --- The angles

double IdAngle(std::size_t place, std::size_t places) {
    return places == 0 ? 0.0 : static_cast<double>(place) / static_cast<double>(places);
}

double SectorEndAngle(std::size_t place, std::size_t places, std::size_t bytes) {
    return IdAngle(place, places) +
           (static_cast<double>(bytes) + kSectorOverheadBytes) / kTrackBytes;
}

std::size_t FirstPlaceAfter(double angle, double lead, std::size_t places) {
    if (places == 0) return 0;
    const double at = (angle + lead) * static_cast<double>(places);
    const auto place = static_cast<long long>(std::ceil(at - kPlaceTolerance));
    const auto count = static_cast<long long>(places);
    return static_cast<std::size_t>(((place % count) + count) % count);
}

std::vector<std::uint8_t> RoundFrom(std::size_t first, std::size_t places,
                                    std::optional<std::size_t> skip) {
    std::vector<std::uint8_t> order;
    for (std::size_t i = 0; i < places; ++i) {
        const std::size_t place = (first + i) % places;
        if (skip && place == *skip) continue;
        order.push_back(static_cast<std::uint8_t>(place));
    }
    return order;
}

bool CameRoundLate(double measuredMs, double expectedMs) {
    return measuredMs > expectedMs + kRevolutionMs / 2;
}

// --- FastReader

void TurnaroundAllowance::Timed(bool late, std::size_t places) {
    ++timed_;
    if (!late || places == 0) return;
    late_.push_back(timed_);
    std::erase_if(late_, [this](long list) { return timed_ - list >= kLateWindow; });
    if (late_.size() < kLateToGrow) return;
    allowance_ =
        std::min(kMostAllowance, allowance_ + kAllowanceGrowth / static_cast<double>(places));
    late_.clear();
}

FastReader::FastReader() {
    clock_.start();
}

void FastReader::Moved(int from, int to) {
    if (from < 0 || !since_) {
        angle_.reset();
        return;
    }
    const int cylinders = std::abs(static_cast<int>(CylinderOf(static_cast<unsigned>(to))) -
                                   static_cast<int>(CylinderOf(static_cast<unsigned>(from))));
    // Each further cylinder is one more step; the settling comes once.
    const double travelMs = cylinders == 0 ? 0.0 : kStepTravelMs + (cylinders - 1) * kStepMs;
    angle_ = Wrapped(*since_ + travelMs / kRevolutionMs);
    exchanges_ = 2;  // the seek, then the list
}

void FastReader::Answered() {
    lastAnswerNs_ = clock_.nsecsElapsed();
    exchanges_ = 1;
}

double FastReader::Lead() const {
    return allowance_.Revolutions() * exchanges_;
}

OperationOutcome FastReader::ReadTrack(OperationSession& session, Track& track, int& failed,
                                   const std::function<bool()>& cancelled) {
    const unsigned cylinder = CylinderOf(track.Number), side = SideOf(track.Number);
    std::optional<TrackIds> ids;
    if (!scanEveryTrack_ && cylinder < kGuessedCylinders) ids = layouts_.Guess(cylinder, side);
    if (!ids) return ScanAndRead(session, track, failed, cancelled, nullptr);
    if (lastScanned_[side] >= 0 &&
        cylinder >= static_cast<unsigned>(lastScanned_[side]) + kCheckCylinders) {
        // The check: the track is scanned and read as if no guess were made.
        TrackIds found;
        const OperationOutcome scanned = ScanAndRead(session, track, failed, cancelled, &found);
        if (scanned != OperationOutcome::Done) return scanned;
        if (found == *ids) {
            unchecked_[side].clear();
            return OperationOutcome::Done;
        }
        session.TrackLog(track, QString::fromUtf8(kOtherLayoutText), true);
        return LeftLayout(session, failed, cancelled);
    }
    return GuessedTrack(session, track, *ids, failed, cancelled);
}

OperationOutcome FastReader::GuessedTrack(OperationSession& session, Track& track,
                                          const TrackIds& ids, int& failed,
                                          const std::function<bool()>& cancelled) {
    const int failedBefore = failed;
    const std::uint8_t presentBefore = track.Present;
    bool read = false;
    const OperationOutcome guessed = ReadGuessed(session, track, ids, failed, cancelled, read);
    if (guessed != OperationOutcome::Done) return guessed;
    if (!read) {
        session.TrackLog(track, QString::fromUtf8(kGuessMissedText), true);
        const OperationOutcome scanned = ScanAndRead(session, track, failed, cancelled, nullptr);
        if (scanned != OperationOutcome::Done) return scanned;
        return LeftLayout(session, failed, cancelled);
    }
    const Unchecked done{track.Number, failed - failedBefore, presentBefore};
    if (done.failed == 0) {
        unchecked_[SideOf(track.Number)].push_back(done);
        return OperationOutcome::Done;
    }
    // A sector that failed may lie under an ID field unlike the guess: the scan tells.
    bool differs = false;
    const OperationOutcome checked = Recheck(session, track, done, failed, cancelled, differs);
    if (checked != OperationOutcome::Done) return checked;
    if (!differs) {
        unchecked_[SideOf(track.Number)].clear();
        return OperationOutcome::Done;
    }
    return LeftLayout(session, failed, cancelled);
}

OperationOutcome FastReader::ReadGuessed(OperationSession& session, Track& track,
                                         const TrackIds& ids, int& failed,
                                         const std::function<bool()>& cancelled, bool& read) {
    read = false;
    DiskImage& disk = session.Disk();
    const std::uint8_t presentBefore = track.Present;
    const std::size_t places = ids.size();
    EmptySlotsFrom(disk, track, places);
    disk.RedrawTrackCell(track.Number);
    FillSlots(disk, track, IdRecords(ids));

    // Failures of a guess that turns out wrong are not the disk's: the scan reads again.
    int attempt = 0;
    const std::size_t probe = angle_ ? FirstPlaceAfter(*angle_, Lead(), places) : 0;
    bool whole = false;
    OperationOutcome outcome =
        ReadList(session, track, {static_cast<std::uint8_t>(probe)}, attempt, whole);
    if (outcome == OperationOutcome::Done && whole && places > 1) {
        if (cancelled()) {
            failed += attempt;
            return OperationOutcome::Cancelled;
        }
        const std::size_t next = angle_ ? FirstPlaceAfter(*angle_, Lead(), places) : 0;
        outcome = ReadList(session, track, RoundFrom(next, places, probe), attempt, whole);
    }
    if (outcome != OperationOutcome::Done || whole) {
        failed += attempt;
        read = whole;
        if (whole) layouts_.ReadAsGuessed(CylinderOf(track.Number), SideOf(track.Number), ids);
        return outcome;
    }
    track.Present = presentBefore;
    return OperationOutcome::Done;
}

void FastReader::NoteScan(std::uint8_t track, std::optional<TrackIds> ids) {
    const unsigned cylinder = CylinderOf(track), side = SideOf(track);
    lastScanned_[side] = std::max(lastScanned_[side], static_cast<int>(cylinder));
    if (ids) layouts_.Scanned(cylinder, side, std::move(*ids));
}

OperationOutcome FastReader::ScanFromIndex(OperationSession& session, Track& track,
                                           TrackIds& ids) {
    std::size_t count = 0;
    const OperationOutcome scan = ScanIdFields(session, track, PhaseStyle::DiskRun, count);
    if (scan != OperationOutcome::Done) return scan;
    // The scan reads the ID fields from index to index: the head is at the index.
    Answered();
    angle_ = since_ = 0.0;
    ids = SlotIds(track, count);
    return OperationOutcome::Done;
}

OperationOutcome FastReader::ScanAndRead(OperationSession& session, Track& track, int& failed,
                                         const std::function<bool()>& cancelled, TrackIds* found) {
    TrackIds ids;
    if (const OperationOutcome scan = ScanFromIndex(session, track, ids);
        scan != OperationOutcome::Done)
        return scan;
    if (found) *found = ids;
    NoteScan(track.Number, std::move(ids));
    if (cancelled()) return OperationOutcome::Cancelled;
    return ReadScanned(session, track, failed);
}

OperationOutcome FastReader::ReadScanned(OperationSession& session, Track& track, int& failed) {
    const std::size_t places = track.CountSectors();
    if (places == 0) return OperationOutcome::Done;
    bool whole = false;
    return ReadList(session, track, RoundFrom(FirstPlaceAfter(0.0, Lead(), places), places), failed,
                    whole);
}

OperationOutcome FastReader::Recheck(OperationSession& session, Track& track,
                                     const Unchecked& read, int& failed,
                                     const std::function<bool()>& cancelled, bool& differs) {
    differs = false;
    const TrackIds guessed = SlotIds(track, track.CountSectors());
    TrackIds ids;
    if (const OperationOutcome scan = ScanFromIndex(session, track, ids);
        scan != OperationOutcome::Done)
        return scan;
    differs = ids != guessed;
    const bool foundNone = ids.empty();
    // A track found as guessed teaches the layout nothing new.
    NoteScan(track.Number, differs ? std::optional<TrackIds>(std::move(ids)) : std::nullopt);
    if (!differs) {
        session.TrackLog(track, QStringLiteral("Разметка дорожки подтверждена сканированием."),
                         false);
        return OperationOutcome::Done;
    }
    session.TrackLog(
        track, QString::fromUtf8(kOtherLayoutText) + QStringLiteral(" Сектора считываются заново."),
        true);
    // The scan kept the data of the slots whose ID fields it found unchanged and emptied
    // the others; a track it found empty has its mark back as it was before the guess.
    if (foundNone) track.Present = read.presentBefore;
    failed -= read.failed;
    if (cancelled()) return OperationOutcome::Cancelled;
    return ReadScanned(session, track, failed);
}

OperationOutcome FastReader::LeftLayout(OperationSession& session, int& failed,
                                        const std::function<bool()>& cancelled) {
    scanEveryTrack_ = true;
    std::vector<Unchecked> tracks;
    for (std::vector<Unchecked>& side : unchecked_) {
        tracks.insert(tracks.end(), side.begin(), side.end());
        side.clear();
    }
    std::ranges::sort(tracks, {}, &Unchecked::number);
    session.Log(QStringLiteral("Разметка диска меняется: дальше сканируется каждая дорожка."));
    if (!tracks.empty())
        session.Log(QStringLiteral("Проверка дорожек, считанных без сканирования: ") +
                    QString::number(tracks.size()));
    for (const Unchecked& read : tracks) {
        if (cancelled()) return OperationOutcome::Cancelled;
        const OperationOutcome seek = SeekToTrack(session, read.number, RunPositioningTexts());
        if (seek != OperationOutcome::Done) return seek;
        bool differs = false;
        const OperationOutcome checked = Recheck(session, *session.Disk().GetTrack(read.number),
                                                 read, failed, cancelled, differs);
        if (checked != OperationOutcome::Done) return checked;
    }
    // The head is on another track than the run thinks; every later track is scanned,
    // which waits for the index, so where it is does not matter.
    angle_.reset();
    since_.reset();
    return OperationOutcome::Done;
}

OperationOutcome FastReader::ReadList(OperationSession& session, Track& track,
                                      const std::vector<std::uint8_t>& order, int& failed,
                                      bool& ok) {
    ok = true;
    if (order.empty()) return OperationOutcome::Done;
    const std::size_t places = track.CountSectors();
    const std::uint8_t first = order.front();
    const std::size_t firstBytes = DeviceSectorSize(track.Slots[first].SizeCode);
    std::optional<double> expectedMs;
    if (angle_ && since_) {
        expectedMs = (Wrapped(IdAngle(first, places) - *since_) +
                      (static_cast<double>(firstBytes) + kSectorOverheadBytes) / kTrackBytes) *
                     kRevolutionMs;
    }
    qint64 firstNs = -1;
    const ListRecordHook hook = [this, &firstNs](std::size_t position, bool) {
        if (position == 0 && firstNs < 0) firstNs = clock_.nsecsElapsed();
    };
    const OperationOutcome outcome =
        ReadSlotsInOrder(session, track, order, PhaseStyle::DiskRun, failed, nullptr, hook);
    if (outcome != OperationOutcome::Done) return outcome;

    for (std::uint8_t slot : order) {
        const SectorSlot& s = track.Slots[slot];
        if (s.DataLength != DeviceSectorSize(s.SizeCode)) ok = false;
    }
    const bool firstWhole = track.Slots[first].DataLength == firstBytes;
    if (expectedMs && firstWhole && firstNs >= 0) {
        const double measuredMs = static_cast<double>(firstNs - lastAnswerNs_) / 1e6;
        allowance_.Timed(CameRoundLate(measuredMs, *expectedMs), places);
    }
    Answered();
    // A sector not found kept the drive turning for revolutions: where it stopped is not
    // known.
    if (ok) {
        const std::uint8_t last = order.back();
        angle_ =
            Wrapped(SectorEndAngle(last, places, DeviceSectorSize(track.Slots[last].SizeCode)));
    } else {
        angle_.reset();
    }
    since_ = angle_;
    return outcome;
}

}  // namespace morvane
