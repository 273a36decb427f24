#include "model/ImageMerge.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>

#include "model/RawSectorData.h"
#include "model/SectorVote.h"
#include "model/DiskImage.h"

namespace morvane {

namespace {

using IdBytes = std::array<std::uint8_t, 4>;
using Layout = std::vector<IdBytes>;

IdBytes IdOf(const SectorSlot& s) {
    return {s.Cylinder, s.Head, s.Sector, s.SizeCode};
}

Layout LayoutOf(const Track& track) {
    Layout layout;
    for (const SectorSlot& s : track.Slots)
        if (s.Present != 0) layout.push_back(IdOf(s));
    return layout;
}

bool Holds(const Track& track) {
    return track.Present != 0 &&
           std::ranges::any_of(track.Slots, [](const SectorSlot& s) { return s.Present != 0; });
}

// The slot of track with the ID of slot `index` of model, the k-th such when k earlier
// slots of model carry the same ID.
const SectorSlot* SameSlot(const Track& track, const Track& model, std::size_t index) {
    const IdBytes id = IdOf(model.Slots[index]);
    std::size_t earlier = 0;
    for (std::size_t i = 0; i < index; ++i)
        if (model.Slots[i].Present != 0 && IdOf(model.Slots[i]) == id) ++earlier;
    for (const SectorSlot& s : track.Slots)
        if (s.Present != 0 && IdOf(s) == id && earlier-- == 0) return &s;
    return nullptr;
}

std::vector<RawSectorCopy> RawSectors(const Track& track) {
    if (track.RawLength == 0) return {};
    const std::size_t length = std::min<std::size_t>(track.RawLength, track.Raw.size());
    return SectorsInRaw(track.Raw.first(length));
}

void Append(std::vector<RecordedCrc>& crcs, const RecordedCrc& crc) {
    if (std::ranges::find(crcs, crc) == crcs.end()) crcs.push_back(crc);
}

// What one input knows of a sector: its copies (the slot's data, or the raw image's copy
// when the slot holds none) and the data CRCs its raw image records.
void Gather(const Track& input, const SectorSlot& slot, const std::vector<RawSectorCopy>& raw,
            SectorHistory& into) {
    SectorHistory own = CurrentHistory(slot);
    const std::size_t index = static_cast<std::size_t>(&slot - input.Slots.data());
    const RawSectorCopy* fromRaw = raw.empty() ? nullptr : CopyForSlot(raw, input, index);
    if (own.copies.empty() && fromRaw != nullptr) own.copies.push_back(fromRaw->copy);
    if (fromRaw != nullptr) Append(own.crcs, fromRaw->recorded);
    into.copies.insert(into.copies.end(), own.copies.begin(), own.copies.end());
    for (const RecordedCrc& crc : own.crcs)
        Append(into.crcs, crc);
}

std::string Join(const std::vector<std::uint8_t>& numbers) {
    std::string text;
    for (std::uint8_t n : numbers)
        text += (text.empty() ? "" : " ") + std::to_string(n);
    return text;
}

}  // namespace

TrackOrigins CountOrigins(const Track& track) {
    TrackOrigins row;
    row.track = track.Number;
    for (const SectorSlot& s : track.Slots) {
        if (s.Present == 0) continue;
        SectorOrigin origin = CurrentOrigin(s);
        if (origin == SectorOrigin::Unmerged)
            origin = s.DataLength == 0 ? SectorOrigin::Missing
                                       : (s.DataGood != 0 ? SectorOrigin::GoodRead
                                                          : SectorOrigin::BestGuess);
        switch (origin) {
            case SectorOrigin::Unmerged:
            case SectorOrigin::GoodRead: ++row.clean; break;
            case SectorOrigin::Voted: ++row.voted; break;
            case SectorOrigin::BestGuess: ++row.unresolved; break;
            case SectorOrigin::Missing: ++row.missing; break;
        }
        if (origin == SectorOrigin::BestGuess || origin == SectorOrigin::Missing)
            row.bad.push_back(s.Sector);
        if (CurrentOrigin(s) != SectorOrigin::Unmerged && s.History.conflict)
            row.conflicts.push_back(s.Sector);
    }
    return row;
}

void AddToReport(MergeReport& report, const TrackOrigins& row) {
    ++report.tracks;
    report.clean += row.clean;
    report.voted += row.voted;
    report.unresolved += row.unresolved;
    report.missing += row.missing;
    report.conflicts += static_cast<int>(row.conflicts.size());
    if (!row.AllClean()) report.rows.push_back(row);
}

MergeReport MergeImages(std::span<const DiskImage* const> inputs, DiskImage& out) {
    MergeReport report;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const auto index = static_cast<std::uint8_t>(t);
        std::vector<const Track*> holding;
        std::vector<Layout> layouts;
        for (const DiskImage* input : inputs) {
            const Track& track = *input->GetTrack(index);
            if (!Holds(track)) continue;
            holding.push_back(&track);
            layouts.push_back(LayoutOf(track));
        }
        Track& merged = *out.GetTrack(index);
        if (holding.empty()) {
            // No sectors to weigh (an unformatted track read raw): the first input that
            // has the track gives it, unless the image merged into has it already.
            if (inputs.empty() || inputs.front() != &out) merged.Clear();
            for (const DiskImage* input : inputs)
                if (merged.Present == 0 && input->GetTrack(index)->Present != 0)
                    merged = *input->GetTrack(index);
            continue;
        }
        // The layout most inputs share; the earliest input's on a tie.
        std::size_t winner = 0, winnerCount = 0;
        for (std::size_t i = 0; i < layouts.size(); ++i) {
            const auto n = static_cast<std::size_t>(std::ranges::count(layouts, layouts[i]));
            if (n > winnerCount) {
                winner = i;
                winnerCount = n;
            }
        }
        std::vector<std::vector<RawSectorCopy>> raws;
        for (const Track* track : holding)
            raws.push_back(RawSectors(*track));
        std::vector<SectorHistory> histories(kSlotsPerTrack);
        const Track& model = *holding[winner];
        for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
            if (model.Slots[s].Present == 0) continue;
            for (std::size_t i = 0; i < holding.size(); ++i)
                if (const SectorSlot* same = SameSlot(*holding[i], model, s))
                    Gather(*holding[i], *same, raws[i], histories[s]);
        }
        if (&model != &merged) {
            // Merging into an image keeps that image's track log.
            std::vector<std::string> log = std::move(merged.Log);
            merged = model;
            if (inputs.front() == &out) merged.Log = std::move(log);
        }
        for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
            SectorSlot& slot = merged.Slots[s];
            if (slot.Present == 0) continue;
            const bool wasVoted = CurrentOrigin(slot) == SectorOrigin::Voted;
            const SectorVerdict verdict = DecideSector(histories[s].copies, histories[s].crcs);
            StoreVerdict(slot, verdict, std::move(histories[s]));
            // The log is what a .udf keeps of how the sector came about.
            if (verdict.origin == SectorOrigin::Voted && !wasVoted)
                merged.Log.push_back(VotedLogLine(slot.Sector));
        }
        TrackOrigins row = CountOrigins(merged);
        row.inputs = static_cast<int>(holding.size());
        row.otherLayouts = static_cast<int>(holding.size() - winnerCount);
        AddToReport(report, row);
    }
    return report;
}

const MergeWords kMergeWordsEnglish = {
    "track  clean  voted  unresolved  missing  still bad",
    "layouts disagree; the one kept is held by",
    "good copies disagree",
    "total",
    "tracks",
    "sectors",
    "clean",
    "voted",
    "unresolved",
    "missing",
};

const MergeWords kMergeWordsRussian = {
    "дорожка  чистых  голосованием  не решено  нет данных  сбойные",
    "разметка различается; оставлена разметка образов:",
    "хорошие копии различаются",
    "итого",
    "дорожек",
    "секторов",
    "чистых",
    "голосованием",
    "не решено",
    "нет данных",
};

std::vector<std::string> MergeReportLines(const MergeReport& report, const MergeWords& words) {
    std::vector<std::string> lines;
    if (!report.rows.empty()) lines.emplace_back(words.header);
    char text[96];
    for (const TrackOrigins& row : report.rows) {
        std::snprintf(text, sizeof text, "%5d  %5d  %5d  %10d  %7d  ", int{row.track}, row.clean,
                      row.voted, row.unresolved, row.missing);
        std::string line = text + Join(row.bad);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        lines.push_back(line);
    }
    for (const TrackOrigins& row : report.rows) {
        if (row.otherLayouts > 0)
            lines.push_back(std::to_string(row.track) + ": " + words.layouts + " " +
                            std::to_string(row.inputs - row.otherLayouts) + "/" +
                            std::to_string(row.inputs));
        if (!row.conflicts.empty())
            lines.push_back(std::to_string(row.track) + ": " + words.conflict + ": " +
                            Join(row.conflicts));
    }
    lines.push_back(std::string(words.total) + ": " + words.tracks + " " +
                    std::to_string(report.tracks) + ", " + words.sectors + " " +
                    std::to_string(report.clean + report.voted + report.unresolved +
                                   report.missing) +
                    ": " + words.clean + " " + std::to_string(report.clean) + ", " + words.voted +
                    " " + std::to_string(report.voted) + ", " + words.unresolved + " " +
                    std::to_string(report.unresolved) + ", " + words.missing + " " +
                    std::to_string(report.missing));
    return lines;
}

}  // namespace morvane
