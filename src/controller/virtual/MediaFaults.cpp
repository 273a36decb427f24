#include "controller/virtual/MediaFaults.h"

#include <algorithm>

#include "controller/virtual/TrackScan.h"

namespace morvane::virt {

namespace {

void InvertCrcAt(RawTrack& track, std::size_t position) {
    track.Put(position, static_cast<std::uint8_t>(~track.At(position)), false);
    track.Put(position + 1, static_cast<std::uint8_t>(~track.At(position + 1)), false);
}

// Sync bytes that never got written: the run before the mark reads as plain zeros.
void EraseSyncBefore(RawTrack& track, std::size_t mark) {
    for (std::size_t back = 1; back < track.Length(); ++back) {
        const std::size_t p = mark + track.Length() - back;
        if (!track.IsMarked(p)) break;
        track.Put(p, 0x00, false);
    }
}

}  // namespace

void MediaFaults::AddDataCrcError(Drive drive, std::uint8_t track, std::uint8_t r, int reads) {
    if (reads == 0) return;
    dataCrc_[{drive, track, r}] = reads < 0 ? kAlways : reads;
}

void MediaFaults::NoteSectorRead(Drive drive, std::uint8_t track, std::uint8_t r) {
    const auto it = dataCrc_.find({drive, track, r});
    if (it == dataCrc_.end() || it->second == kAlways) return;
    if (--it->second <= 0) dataCrc_.erase(it);
}

void MediaFaults::AddIdCrcError(Drive drive, std::uint8_t track, std::uint8_t r, IdCrcScan scan) {
    idCrc_[{drive, track, r}] = scan;
}

bool MediaFaults::IdCrcStopsScan(Drive drive, std::uint8_t track, std::uint8_t r) const {
    const auto it = idCrc_.find({drive, track, r});
    return it != idCrc_.end() && it->second == IdCrcScan::StopsScan;
}

void MediaFaults::AddScanBreak(Drive drive, std::uint8_t track, std::size_t ids,
                               std::uint8_t status) {
    scanBreaks_[{drive, track}] = {ids, status};
}

std::optional<ReadBreak> MediaFaults::ScanBreak(Drive drive, std::uint8_t track) const {
    const auto it = scanBreaks_.find({drive, track});
    if (it == scanBreaks_.end()) return std::nullopt;
    return it->second;
}

void MediaFaults::AddRawReadBreak(Drive drive, std::uint8_t track, std::size_t bytes,
                                  std::uint8_t status, int reads, int after) {
    if (reads == 0) return;
    rawBreaks_[{drive, track}] = {{bytes, status}, reads < 0 ? kAlways : reads, std::max(after, 0)};
}

std::optional<ReadBreak> MediaFaults::TakeRawReadBreak(Drive drive, std::uint8_t track) {
    const auto it = rawBreaks_.find({drive, track});
    if (it == rawBreaks_.end()) return std::nullopt;
    if (it->second.WholeFirst > 0) {
        --it->second.WholeFirst;
        return std::nullopt;
    }
    const ReadBreak result = it->second.Break;
    if (it->second.Remaining != kAlways && --it->second.Remaining <= 0) rawBreaks_.erase(it);
    return result;
}

void MediaFaults::AddRawLengthJitter(Drive drive, std::uint8_t track, std::size_t maxBytes) {
    if (maxBytes == 0)
        rawJitter_.erase({drive, track});
    else
        rawJitter_[{drive, track}] = maxBytes;
}

std::ptrdiff_t MediaFaults::DrawRawLengthChange(Drive drive, std::uint8_t track) {
    const auto it = rawJitter_.find({drive, track});
    if (it == rawJitter_.end()) return 0;
    const auto most = static_cast<std::ptrdiff_t>(it->second);
    std::uniform_int_distribution<std::ptrdiff_t> change(-most, most);
    return change(random_);
}

void MediaFaults::AddMissingSector(Drive drive, std::uint8_t track, std::uint8_t r) {
    missing_.insert({drive, track, r});
}

void MediaFaults::AddUnstableBytes(Drive drive, std::uint8_t track, std::size_t first,
                                   std::size_t count, double probability) {
    unstable_.push_back({drive, track, first, count, std::clamp(probability, 0.0, 1.0)});
}

void MediaFaults::AddWeakSector(Drive drive, std::uint8_t track, std::uint8_t r,
                                double probability) {
    weak_[{drive, track, r}] = std::clamp(probability, 0.0, 1.0);
}

void MediaFaults::TurnWeakBytes(Drive drive, std::uint8_t track, const RawTrack& stored,
                                RawTrack& seen) {
    if (weak_.empty()) return;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> flip(1, 255);
    for (const IdField& id : ReadIdFields(stored)) {
        const auto it = weak_.find({drive, track, id.R});
        if (it == weak_.end()) continue;
        const auto data = FindDataField(stored, id);
        if (!data) continue;
        const std::size_t first = data->MarkPosition + 1;
        for (std::size_t i = 0; i < WdSectorSize(id.N); ++i) {
            if (chance(random_) >= it->second) continue;
            const std::size_t p = seen.Wrap(first + i);
            seen.Data[p] = static_cast<std::uint8_t>(seen.Data[p] ^ flip(random_));
        }
    }
}

RawTrack MediaFaults::ApplyForSectorRead(Drive drive, std::uint8_t track, const RawTrack& stored) {
    RawTrack seen = Apply(drive, track, stored);
    TurnWeakBytes(drive, track, stored, seen);
    return seen;
}

void MediaFaults::AddSeekFault(SeekFaultKind kind, int times, std::optional<std::uint8_t> target) {
    if (times > 0) seekFaults_.push_back({kind, times, target});
}

void MediaFaults::Clear() {
    dataCrc_.clear();
    weak_.clear();
    idCrc_.clear();
    scanBreaks_.clear();
    rawBreaks_.clear();
    rawJitter_.clear();
    missing_.clear();
    unstable_.clear();
    seekFaults_.clear();
}

RawTrack MediaFaults::Apply(Drive drive, std::uint8_t track, const RawTrack& stored) const {
    RawTrack seen = stored;
    if (dataCrc_.empty() && idCrc_.empty() && missing_.empty()) return seen;
    // Positions come from the stored track, so one fault cannot hide another.
    for (const IdField& id : ReadIdFields(stored)) {
        const SectorKey key{drive, track, id.R};
        if (dataCrc_.count(key) != 0) {
            if (auto data = FindDataField(stored, id))
                InvertCrcAt(seen, data->MarkPosition + 1 + WdSectorSize(id.N));
        }
        if (idCrc_.count(key) != 0) InvertCrcAt(seen, id.MarkPosition + 5);
        if (missing_.count(key) != 0) EraseSyncBefore(seen, id.MarkPosition);
    }
    return seen;
}

RawTrack MediaFaults::ApplyForRawRead(Drive drive, std::uint8_t track, const RawTrack& stored) {
    RawTrack seen = Apply(drive, track, stored);
    TurnWeakBytes(drive, track, stored, seen);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> flip(1, 255);
    for (const Unstable& u : unstable_) {
        if (u.OnDrive != drive || u.Track != track) continue;
        for (std::size_t i = 0; i < u.Count && u.First + i < seen.Length(); ++i) {
            const std::size_t p = u.First + i;
            if (chance(random_) >= u.Probability) continue;
            seen.Data[p] = static_cast<std::uint8_t>(seen.Data[p] ^ flip(random_));
        }
    }
    return seen;
}

std::optional<SeekFaultKind> MediaFaults::TakeSeekFault(std::uint8_t target) {
    for (auto it = seekFaults_.begin(); it != seekFaults_.end(); ++it) {
        if (it->Target && *it->Target != target) continue;
        const SeekFaultKind kind = it->Kind;
        if (--it->Remaining <= 0) seekFaults_.erase(it);
        return kind;
    }
    return std::nullopt;
}

}  // namespace morvane::virt
