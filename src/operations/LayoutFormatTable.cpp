#include "operations/LayoutFormatTable.h"

#include <algorithm>
#include <vector>

#include "model/SizeCode.h"
#include "model/Track.h"
#include "operations/SectorWrite.h"

namespace morvane {

namespace {

// Track start with the index address mark: gap 4a, sync, C2 C2 C2 FC, gap 1.
constexpr std::size_t kFullStartBytes = 80 + 12 + 3 + 1 + 50;
// Track start without it, as many formats lay it down when room is short: gap 1 alone.
constexpr std::size_t kShortStartBytes = 32;
// Sync, A1 A1 A1 FE, C H R N, CRC, gap 2, sync, A1 A1 A1 FB, data CRC.
constexpr std::size_t kSectorOverhead = 12 + 3 + 1 + 4 + 2 + 22 + 12 + 3 + 1 + 2;
constexpr std::size_t kMinEndGap = 16;
// A slow drive turns a little longer than the nominal revolution; what the table gives
// past the index is lost, so the end gap reaches beyond it.
constexpr std::size_t kEndGapSlack = 256;
constexpr std::size_t kMaxRun = 256;  // count 0 stands for 256

void Pair(Bytes& pairs, std::size_t count, std::uint8_t value) {
    pairs.push_back(static_cast<std::uint8_t>(count == kMaxRun ? 0 : count));
    pairs.push_back(value);
}

void Run(Bytes& pairs, std::size_t count, std::uint8_t value) {
    while (count > 0) {
        const std::size_t n = std::min(count, kMaxRun);
        Pair(pairs, n, value);
        count -= n;
    }
}

QString TrackText(const Track& track) {
    return QStringLiteral("Дорожка ") + QString::number(track.Number) + ": ";
}

}  // namespace

std::optional<LayoutFormat> BuildLayoutFormatTable(const Track& track, QString& refusal) {
    std::vector<const SectorSlot*> occupied;
    std::size_t fixed = 0;
    for (const SectorSlot& s : track.Slots) {
        if (s.Present == 0) continue;
        const std::size_t size = SizeFromCode(s.SizeCode);
        if (size == 0) {
            refusal = TrackText(track) + "сектор " + QString::number(s.Sector) +
                      " нестандартного размера (код " + QString::number(s.SizeCode) +
                      ") нельзя записать!";
            return std::nullopt;
        }
        occupied.push_back(&s);
        fixed += kSectorOverhead + size;
    }
    const std::size_t n = occupied.size();

    LayoutFormat layout;
    layout.sectors = n;
    std::size_t start = 0;
    for (const bool mark : {true, false}) {
        start = mark ? kFullStartBytes : kShortStartBytes;
        const std::size_t need = start + fixed + n * kMinDataGap + kMinEndGap;
        if (need > kMfmTrackBytes) continue;
        layout.indexMark = mark;
        layout.dataGap =
            n == 0 ? 0 : std::min(kMaxDataGap, (kMfmTrackBytes - start - fixed - kMinEndGap) / n);
        break;
    }
    if (n > 0 && layout.dataGap == 0) {
        const std::size_t need = kShortStartBytes + fixed + n * kMinDataGap + kMinEndGap;
        refusal = TrackText(track) + QString::number(n) + " секторов (" +
                  QString::number(fixed - n * kSectorOverhead) +
                  " байт данных) не помещаются на дорожку: нужно " + QString::number(need) +
                  " байт из " + QString::number(kMfmTrackBytes) + "!";
        return std::nullopt;
    }

    Bytes pairs;
    if (layout.indexMark) {
        Pair(pairs, 80, 0x4E);
        Pair(pairs, 12, 0x00);
        Pair(pairs, 3, 0xF6);
        Pair(pairs, 1, 0xFC);
        Pair(pairs, 50, 0x4E);
    } else {
        Pair(pairs, kShortStartBytes, 0x4E);
    }
    for (const SectorSlot* s : occupied) {
        Pair(pairs, 12, 0x00);
        Pair(pairs, 3, 0xF5);
        Pair(pairs, 1, 0xFE);
        for (const std::uint8_t id : {s->Cylinder, s->Head, s->Sector, s->SizeCode})
            Pair(pairs, 1, id);
        Pair(pairs, 1, 0xF7);
        Pair(pairs, 22, 0x4E);
        Pair(pairs, 12, 0x00);
        Pair(pairs, 3, 0xF5);
        Pair(pairs, 1, 0xFB);
        Run(pairs, SizeFromCode(s->SizeCode), 0x00);
        Pair(pairs, 1, 0xF7);
        Pair(pairs, layout.dataGap, 0x4E);
    }
    layout.trackBytes = start + fixed + n * layout.dataGap;
    Run(pairs, kMfmTrackBytes - layout.trackBytes + kEndGapSlack, 0x4E);

    const std::size_t count = pairs.size() / 2;
    if (count > kMaxFormatPairs) {
        refusal = TrackText(track) + "таблица форматирования из " + QString::number(count) +
                  " элементов больше " + QString::number(kMaxFormatPairs) + "!";
        return std::nullopt;
    }
    layout.table.reserve(pairs.size() + 1);
    layout.table.push_back(static_cast<std::uint8_t>(count));
    layout.table.insert(layout.table.end(), pairs.begin(), pairs.end());
    return layout;
}

}  // namespace morvane
