#include "filesystems/Hobeta.h"

#include <algorithm>
#include <numeric>
#include <set>
#include <string_view>

#include "model/Cp1251.h"

namespace morvane {

namespace {

constexpr std::uint32_t kHobetaChecksumBias = 105;  // 0 + 1 + ... + 14
constexpr std::string_view kReservedInFileNames = "\"*/:<>?\\|";

std::string FileNameChar(std::uint8_t b) {
    if (b < 0x20 || kReservedInFileNames.find(static_cast<char>(b)) != std::string_view::npos)
        return "_";
    if (b < 0x80) return std::string(1, static_cast<char>(b));
    const std::uint8_t one[1] = {b};
    return Cp1251ToUtf8(one);
}

}  // namespace

std::uint16_t HobetaChecksum(std::span<const std::uint8_t> header15) {
    const std::uint32_t sum = std::accumulate(header15.begin(), header15.end(), std::uint32_t{0});
    return static_cast<std::uint16_t>(257 * sum + kHobetaChecksumBias);
}

Bytes HobetaHeader(const TrDosEntry& entry) {
    Bytes h(entry.name.begin(), entry.name.end());
    h.push_back(entry.type);
    PutLe16(h, entry.start);
    PutLe16(h, entry.length);
    h.push_back(0);
    h.push_back(entry.sectors);
    PutLe16(h, HobetaChecksum(h));
    return h;
}

bool BuildHobeta(const DiskImage& disk, const TrDosEntry& entry, Bytes& out,
                 SectorPosition* failed) {
    out = HobetaHeader(entry);
    return ReadTrDosFile(disk, entry, out, failed);
}

Bytes HobetaBytes(const TrDosEntry& entry, std::span<const std::uint8_t> sectors) {
    Bytes out = HobetaHeader(entry);
    out.insert(out.end(), sectors.begin(), sectors.end());
    return out;
}

HobetaName HobetaFileName(const TrDosEntry& entry) {
    HobetaName n;
    for (char c : TrimmedZxName(entry.name))
        n.base += FileNameChar(static_cast<std::uint8_t>(c));
    // A name of spaces would give a hidden ".$T" file.
    if (n.base.empty()) n.base = "_";
    n.extension = "$" + FileNameChar(entry.type);
    return n;
}

std::vector<HobetaName> HobetaFileNames(std::span<const TrDosEntry> entries) {
    const auto key = [](const HobetaName& n) {
        std::string k = n.FileName();
        for (char& c : k)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return k;
    };
    std::vector<HobetaName> names;
    std::set<std::string> own;
    for (const TrDosEntry& e : entries) {
        names.push_back(HobetaFileName(e));
        own.insert(key(names.back()));
    }
    std::set<std::string> taken;
    for (HobetaName& n : names) {
        if (taken.count(key(n)) != 0) {
            const std::string base = n.base;
            for (unsigned number = 2;; ++number) {
                n.base = base + "_" + std::to_string(number);
                if (taken.count(key(n)) == 0 && own.count(key(n)) == 0) break;
            }
        }
        taken.insert(key(n));
    }
    return names;
}

bool ParseHobeta(std::span<const std::uint8_t> file, HobetaFile& out, std::string& error) {
    out = HobetaFile{};
    if (file.size() < kHobetaHeaderSize) {
        error = "Hobeta file shorter than its header";
        return false;
    }
    if (HobetaChecksum(file.first(kHobetaChecksummed)) != GetLe16(file, kHobetaChecksummed)) {
        error = "Hobeta header checksum does not match";
        return false;
    }
    TrDosEntry& e = out.entry;
    std::copy_n(file.begin(), kTrDosNameSize, e.name.begin());
    e.type = file[8];
    e.start = GetLe16(file, 9);
    e.length = GetLe16(file, 11);
    e.sectors = file[14];
    const std::size_t dataSize = std::size_t{e.sectors} * kTrDosSectorSize;
    if (file.size() - kHobetaHeaderSize < dataSize) {
        error = "Hobeta file shorter than its sectors";
        return false;
    }
    out.data.assign(file.begin() + kHobetaHeaderSize,
                    file.begin() + static_cast<std::ptrdiff_t>(kHobetaHeaderSize + dataSize));
    return true;
}

}  // namespace morvane
