// The format table of CommandCode::WriteTrack, built from a fixed template of 198 entries: the
// track start, sixteen sector groups of twelve entries and the track end. An entry is copied as a
// (count, value) pair, or stands for the ID field or the data field of the current slot.
//
//   0..4      80x4E 12x00 3xF6 1xFC 50x4E          track start, index mark
//   5+12s..   12x00 3xF5 1xFE [ID] 1xF7 22x4E      ID field of sector s
//             12x00 3xF5 1xFB [data] 1xF7 54x4E    data field (the last group ends 0x4E)
//   197       0x4E                                 track end (count 0 = 256)
#include <array>

#include "model/Track.h"
#include "operations/LayoutFormatTable.h"
#include "operations/SectorWrite.h"

namespace morvane {

namespace {

enum class EntryKind : std::uint8_t { Bytes, IdField, DataField };

struct TemplateEntry {
    std::uint8_t count;
    std::uint8_t value;
    EntryKind kind;
};

constexpr std::size_t kGroupEntries = 12;
constexpr std::array<TemplateEntry, 5> kTrackStart{{{80, 0x4E, EntryKind::Bytes},
                                                    {12, 0x00, EntryKind::Bytes},
                                                    {3, 0xF6, EntryKind::Bytes},
                                                    {1, 0xFC, EntryKind::Bytes},
                                                    {50, 0x4E, EntryKind::Bytes}}};
constexpr std::array<TemplateEntry, kGroupEntries> kSectorGroup{{{12, 0x00, EntryKind::Bytes},
                                                                 {3, 0xF5, EntryKind::Bytes},
                                                                 {1, 0xFE, EntryKind::Bytes},
                                                                 {4, 0x00, EntryKind::IdField},
                                                                 {1, 0xF7, EntryKind::Bytes},
                                                                 {22, 0x4E, EntryKind::Bytes},
                                                                 {12, 0x00, EntryKind::Bytes},
                                                                 {3, 0xF5, EntryKind::Bytes},
                                                                 {1, 0xFB, EntryKind::Bytes},
                                                                 {0, 0x00, EntryKind::DataField},
                                                                 {1, 0xF7, EntryKind::Bytes},
                                                                 {54, 0x4E, EntryKind::Bytes}}};
constexpr TemplateEntry kLastGap{0, 0x4E, EntryKind::Bytes};
constexpr TemplateEntry kTrackEnd{0, 0x4E, EntryKind::Bytes};

using Template = std::array<TemplateEntry, kFormatTemplateEntries>;

constexpr Template MakeTemplate() {
    Template entries{};
    std::size_t at = 0;
    for (const TemplateEntry& e : kTrackStart)
        entries[at++] = e;
    for (std::size_t s = 0; s < kFormatSectors; ++s)
        for (const TemplateEntry& e : kSectorGroup)
            entries[at++] = e;
    entries[at - 1] = kLastGap;
    entries[at] = kTrackEnd;
    return entries;
}

constexpr Template kTemplate = MakeTemplate();

void Pair(Bytes& pairs, std::uint8_t count, std::uint8_t value) {
    pairs.push_back(count);
    pairs.push_back(value);
}

// A data field by size code: 128 bytes, or one to four 256-byte runs (count 0 = 256).
void DataPairs(Bytes& pairs, std::uint8_t sizeCode) {
    static constexpr std::array<int, 4> kRuns = {1, 1, 2, 4};
    if (sizeCode >= kRuns.size()) return;
    if (sizeCode == 0) {
        Pair(pairs, 128, 0x00);
        return;
    }
    for (int i = 0; i < kRuns[sizeCode]; ++i)
        Pair(pairs, 0, 0x00);
}

}  // namespace

std::optional<Bytes> BuildFormatTable(const Track& track) {
    Bytes pairs;
    std::size_t slot = 0;
    for (const TemplateEntry& e : kTemplate) {
        const SectorSlot& s = track.Slots[slot];
        switch (e.kind) {
            case EntryKind::Bytes:
                Pair(pairs, e.count, e.value);
                break;
            case EntryKind::IdField:
                Pair(pairs, 1, s.Cylinder);
                Pair(pairs, 1, s.Head);
                Pair(pairs, 1, s.Sector);
                Pair(pairs, 1, s.SizeCode);
                break;
            case EntryKind::DataField:
                DataPairs(pairs, s.SizeCode);
                ++slot;
                break;
        }
    }
    const std::size_t count = pairs.size() / 2;
    if (count > kMaxFormatPairs) return std::nullopt;
    // Everything up to the last sector's data CRC must pass under the head before the
    // index comes round again; the two closing gaps only fill the rest of the revolution.
    std::size_t bytes = 0;
    for (std::size_t i = 0; i + 4 < pairs.size(); i += 2)
        bytes += pairs[i] == 0 ? 256 : pairs[i];
    if (bytes > kMfmTrackBytes) return std::nullopt;
    Bytes table;
    table.reserve(pairs.size() + 1);
    table.push_back(static_cast<std::uint8_t>(count));
    table.insert(table.end(), pairs.begin(), pairs.end());
    return table;
}

}  // namespace morvane
