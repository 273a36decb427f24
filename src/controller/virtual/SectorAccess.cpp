#include "controller/virtual/SectorAccess.h"

#include "controller/virtual/WdStatus.h"
#include "model/Checksums.h"

namespace morvane::virt {

namespace {

constexpr std::size_t kGap2Skipped = 22;
constexpr std::size_t kSyncZeros = 12;
constexpr std::size_t kSyncCount = 3;

}  // namespace

SectorSearch FindSector(const RawTrack& track, std::uint8_t r, bool needData) {
    SectorSearch search;
    bool badCrcSeen = false;
    for (const IdField& id : ReadIdFields(track)) {
        if (id.R != r) continue;
        if (!id.CrcGood) {
            badCrcSeen = true;
            continue;
        }
        if (!needData) {
            search.Id = id;
            return search;
        }
        if (auto data = FindDataField(track, id)) {
            search.Id = id;
            search.Data = data;
            return search;
        }
    }
    search.Status =
        static_cast<std::uint8_t>(wd::kRecordNotFound | (badCrcSeen ? wd::kCrcError : 0));
    return search;
}

SectorRead ReadSector(const RawTrack& track, std::uint8_t r) {
    SectorRead read;
    const SectorSearch search = FindSector(track, r, true);
    if (!search.Id || !search.Data) {
        read.Status = search.Status;
        return read;
    }
    const std::size_t size = WdSectorSize(search.Id->N);
    const std::size_t first = search.Data->MarkPosition + 1;
    read.Data.resize(size);
    for (std::size_t i = 0; i < size; ++i)
        read.Data[i] = track.At(first + i);
    const auto stored =
        static_cast<std::uint16_t>(track.At(first + size) << 8 | track.At(first + size + 1));
    if (stored != DataFieldCrc(search.Data->Mark, read.Data)) read.Status |= wd::kCrcError;
    if (search.Data->Mark == kDeletedDataAddressMark) read.Status |= wd::kDeletedMark;
    // The data mark may lie past the index; count the end from the ID so it follows it.
    read.IdPosition = search.Id->MarkPosition;
    const std::size_t markDistance =
        (search.Data->MarkPosition + track.Length() - read.IdPosition) % track.Length();
    read.EndPosition = read.IdPosition + markDistance + size + 2;
    return read;
}

std::size_t WriteDataField(RawTrack& track, const IdField& id, std::span<const std::uint8_t> data,
                           std::uint8_t mark) {
    std::size_t p = id.EndPosition() + 1 + kGap2Skipped;
    for (std::size_t i = 0; i < kSyncZeros; ++i)
        track.Put(p++, 0x00, false);
    for (std::size_t i = 0; i < kSyncCount; ++i)
        track.Put(p++, kSyncByte, true);
    track.Put(p++, mark, false);
    for (std::uint8_t b : data)
        track.Put(p++, b, false);
    const std::uint16_t crc = DataFieldCrc(mark, data);
    track.Put(p++, static_cast<std::uint8_t>(crc >> 8), false);
    track.Put(p++, static_cast<std::uint8_t>(crc), false);
    track.Put(p, kGapByte, false);
    return p;
}

}  // namespace morvane::virt
