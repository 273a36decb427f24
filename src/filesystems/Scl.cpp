#include "filesystems/Scl.h"

#include <algorithm>
#include <numeric>

namespace morvane {

namespace {

void PutSclHeader(Bytes& out, const TrDosEntry& e) {
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.push_back(e.type);
    PutLe16(out, e.start);
    PutLe16(out, e.length);
    out.push_back(e.sectors);
}

}  // namespace

std::uint32_t SclChecksum(std::span<const std::uint8_t> bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), std::uint32_t{0});
}

bool BuildScl(const DiskImage& disk, std::span<const TrDosEntry> files, Bytes& out,
              SectorPosition* failed) {
    out.clear();
    if (files.size() > kSclMaxFiles) return false;
    std::vector<Bytes> sectors(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!ReadTrDosFile(disk, files[i], sectors[i], failed)) return false;
    out = SclArchive(files, sectors);
    return true;
}

Bytes SclArchive(std::span<const TrDosEntry> files, std::span<const Bytes> sectors) {
    Bytes out(kSclSignature.begin(), kSclSignature.end());
    out.push_back(static_cast<std::uint8_t>(files.size()));
    for (const TrDosEntry& e : files)
        PutSclHeader(out, e);
    for (const Bytes& s : sectors)
        out.insert(out.end(), s.begin(), s.end());
    PutLe32(out, SclChecksum(out));
    return out;
}

bool ParseScl(std::span<const std::uint8_t> archive, std::vector<SclFile>& out,
              std::string& error) {
    out.clear();
    ByteCursor cursor(archive);
    std::span<const std::uint8_t> signature;
    std::uint8_t count = 0;
    if (!cursor.Take(kSclSignature.size(), signature) ||
        !std::equal(signature.begin(), signature.end(), kSclSignature.begin()) ||
        !cursor.U8(count)) {
        error = "not an SCL archive (no SINCLAIR signature)";
        return false;
    }
    std::vector<SclFile> files(count);
    for (SclFile& f : files) {
        std::span<const std::uint8_t> name;
        if (!cursor.Take(kTrDosNameSize, name) || !cursor.U8(f.entry.type) ||
            !cursor.Le16(f.entry.start) || !cursor.Le16(f.entry.length) ||
            !cursor.U8(f.entry.sectors)) {
            error = "SCL archive shorter than its headers";
            return false;
        }
        std::copy(name.begin(), name.end(), f.entry.name.begin());
    }
    for (SclFile& f : files) {
        std::span<const std::uint8_t> data;
        if (!cursor.Take(std::size_t{f.entry.sectors} * kTrDosSectorSize, data)) {
            error = "SCL archive shorter than its files";
            return false;
        }
        f.data.assign(data.begin(), data.end());
    }
    const std::size_t sumEnd = cursor.Position();
    std::uint32_t checksum = 0;
    if (!cursor.Le32(checksum) || checksum != SclChecksum(archive.first(sumEnd))) {
        error = "SCL checksum does not match";
        return false;
    }
    out = std::move(files);
    return true;
}

}  // namespace morvane
