#include "model/SectorVote.h"

#include <algorithm>
#include <array>
#include <map>

#include "model/Checksums.h"
#include "model/SectorSlot.h"

namespace morvane {

namespace {

bool HasData(const SectorCopy& copy) {
    return !copy.data.empty();
}

// The most frequent value, the earliest on a tie.
template <typename T, typename Range>
T Majority(const Range& values) {
    std::map<T, std::size_t> counts;
    for (const T& v : values)
        ++counts[v];
    T best = *values.begin();
    std::size_t bestCount = 0;
    for (const T& v : values) {
        if (counts[v] > bestCount) {
            best = v;
            bestCount = counts[v];
        }
    }
    return best;
}

bool MatchesRecorded(const Bytes& data, std::span<const RecordedCrc> recorded) {
    return std::ranges::any_of(
        recorded, [&](const RecordedCrc& r) { return DataFieldCrc(r.mark, data) == r.crc; });
}

}  // namespace

Bytes VoteCopies(std::span<const SectorCopy> copies) {
    std::vector<std::size_t> lengths;
    for (const SectorCopy& c : copies)
        if (HasData(c)) lengths.push_back(c.data.size());
    if (lengths.empty()) return {};
    const std::size_t length = Majority<std::size_t>(lengths);
    std::vector<const Bytes*> voters;
    for (const SectorCopy& c : copies)
        if (c.data.size() == length) voters.push_back(&c.data);
    Bytes out(length);
    std::array<std::size_t, 256> counts{};
    for (std::size_t p = 0; p < length; ++p) {
        counts.fill(0);
        std::size_t most = 0;
        for (const Bytes* v : voters)
            most = std::max(most, ++counts[(*v)[p]]);
        const auto first = std::ranges::find_if(
            voters, [&](const Bytes* v) { return counts[(*v)[p]] == most; });
        out[p] = (**first)[p];
    }
    return out;
}

SectorVerdict DecideSector(std::span<const SectorCopy> copies,
                           std::span<const RecordedCrc> recorded) {
    SectorVerdict verdict;
    std::vector<Bytes> good;
    for (const SectorCopy& c : copies)
        if (c.good && HasData(c)) good.push_back(c.data);
    if (!good.empty()) {
        verdict.data = Majority<Bytes>(good);
        verdict.origin = SectorOrigin::GoodRead;
        verdict.conflict = std::ranges::any_of(good, [&](const Bytes& g) { return g != good[0]; });
        return verdict;
    }
    verdict.data = VoteCopies(copies);
    if (verdict.data.empty()) return verdict;
    verdict.origin = MatchesRecorded(verdict.data, recorded) ? SectorOrigin::Voted
                                                             : SectorOrigin::BestGuess;
    return verdict;
}

std::uint32_t SlotStamp(const SectorSlot& slot) {
    const std::size_t length = std::min<std::size_t>(slot.DataLength, slot.Data.size());
    const std::array<std::uint8_t, 3> status{slot.DataGood, static_cast<std::uint8_t>(length),
                                             static_cast<std::uint8_t>(length >> 8)};
    return ImageCrc32Update(ImageCrc32(slot.Data.first(length)), status);
}

SectorOrigin CurrentOrigin(const SectorSlot& slot) {
    if (slot.Origin == SectorOrigin::Unmerged || slot.Present == 0) return SectorOrigin::Unmerged;
    return SlotStamp(slot) == slot.History.stamp ? slot.Origin : SectorOrigin::Unmerged;
}

SectorHistory CurrentHistory(const SectorSlot& slot) {
    if (slot.Present != 0 && !slot.History.copies.empty() && SlotStamp(slot) == slot.History.stamp)
        return slot.History;
    SectorHistory history;
    const std::size_t length = std::min<std::size_t>(slot.DataLength, slot.Data.size());
    if (length > 0) {
        const auto bytes = slot.Data.first(length);
        history.copies.push_back({Bytes(bytes.begin(), bytes.end()), slot.DataGood != 0});
    }
    return history;
}

void KeepCopies(SectorSlot& slot, SectorHistory history) {
    slot.History = std::move(history);
    slot.History.stamp = SlotStamp(slot);
}

void StoreVerdict(SectorSlot& slot, const SectorVerdict& verdict, SectorHistory history) {
    const std::size_t n = std::min(verdict.data.size(), slot.Data.size());
    std::copy_n(verdict.data.begin(), n, slot.Data.first(n).begin());
    slot.DataLength = static_cast<std::uint16_t>(n);
    const bool good =
        verdict.origin == SectorOrigin::GoodRead || verdict.origin == SectorOrigin::Voted;
    slot.DataGood = good ? kDataGood : 0;
    slot.Origin = verdict.origin;
    slot.History = std::move(history);
    slot.History.conflict = verdict.conflict;
    slot.History.stamp = SlotStamp(slot);
}

std::string VotedLogLine(std::uint8_t sector) {
    return "Сектор " + std::to_string(sector) + " восстановлен голосованием копий.";
}

}  // namespace morvane
