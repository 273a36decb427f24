#include "CatalogueJson.h"

#include <cstdio>
#include <ostream>

#include "filesystems/CpmListing.h"
#include "filesystems/TrDosListing.h"
#include "model/Cp1251.h"

namespace morvane {

namespace {

const char* Bool(bool b) {
    return b ? "true" : "false";
}

void PrintTrDosFile(const TrDosEntry& e, std::size_t index, std::ostream& out) {
    out << "{\"entry\":" << index + 1 << ",\"name\":" << JsonString(ZxNameText(e.name))
        << ",\"type\":" << JsonString(Cp1251ToUtf8(std::span(&e.type, 1)))
        << ",\"start\":" << e.start << ",\"length\":" << e.length
        << ",\"sectors\":" << int{e.sectors} << ",\"firstSector\":" << int{e.firstSector}
        << ",\"firstTrack\":" << int{e.firstTrack} << ",\"deleted\":" << Bool(e.IsDeleted()) << "}";
}

// The state of a slot's data: good, bad (read in error) or none (an ID without data).
const char* SectorState(const SectorSlot& slot) {
    if (slot.DataLength == 0) return "none";
    return slot.DataGood != 0 ? "good" : "bad";
}

void PrintTracks(const DiskImage& disk, std::ostream& out) {
    out << "\"tracks\":[";
    bool firstTrack = true;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& track = *disk.GetTrack(static_cast<std::uint8_t>(t));
        if (track.Present == 0) continue;
        out << (firstTrack ? "" : ",") << "{\"track\":" << t
            << ",\"raw\":" << Bool(track.RawLength > 0) << ",\"sectors\":[";
        firstTrack = false;
        bool firstSlot = true;
        for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
            const SectorSlot& slot = track.Slots[s];
            if (slot.Present == 0) continue;
            out << (firstSlot ? "" : ",") << "{\"slot\":" << s << ",\"c\":" << int{slot.Cylinder}
                << ",\"h\":" << int{slot.Head} << ",\"r\":" << int{slot.Sector}
                << ",\"n\":" << int{slot.SizeCode} << ",\"length\":" << slot.DataLength
                << ",\"state\":\"" << SectorState(slot) << "\"}";
            firstSlot = false;
        }
        out << "]}";
    }
    out << "]";
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string s = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if (u < 0x20 || u == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            s += escape;
        } else {
            s += c;
        }
    }
    return s + "\"";
}

void PrintTrDosJson(const TrDosCatalogue& c, bool showDeleted, std::ostream& out) {
    out << "{\"filesystem\":\"trdos\",\"disk\":{\"name\":" << JsonString(ZxDiskNameText(c.diskName))
        << ",\"type\":" << int{c.diskType}
        << ",\"typeText\":" << JsonString(DiskTypeText(c.diskType))
        << ",\"firstFreeSector\":" << int{c.firstFreeSector}
        << ",\"firstFreeTrack\":" << int{c.firstFreeTrack} << ",\"freeSectors\":" << c.freeSectors
        << ",\"files\":" << int{c.fileCount} << ",\"deletedFiles\":" << int{c.deletedCount}
        << "},\"files\":[";
    bool first = true;
    for (std::size_t i : ListedEntries(c, showDeleted)) {
        if (!first) out << ",";
        first = false;
        PrintTrDosFile(c.entries[i], i, out);
    }
    out << "]}";
}

void PrintCpmJson(const CpmCatalogue& c, std::ostream& out) {
    const std::size_t used = c.UsedBytes();
    out << "{\"filesystem\":\"cpm\",\"disk\":{\"files\":" << c.rows.size()
        << ",\"usedBytes\":" << used << ",\"freeBytes\":" << kCpmDiskBytes - used
        << "},\"files\":[";
    for (std::size_t r = 0; r < c.rows.size(); ++r) {
        const CpmDirEntry& e = c.entries[c.rows[r].entry];
        std::string name, type;
        for (std::size_t i = 0; i < e.name.size(); ++i)
            (i < 8 ? name : type) += static_cast<char>(e.name[i] & 0x7F);
        out << (r > 0 ? "," : "") << "{\"entry\":" << c.rows[r].entry + 1
            << ",\"user\":" << int{e.user} << ",\"name\":" << JsonString(name)
            << ",\"ext\":" << JsonString(type)
            << ",\"bytes\":" << c.rows[r].records * kCpmRecordSize
            << ",\"erased\":" << Bool(e.IsErased()) << "}";
    }
    out << "]}";
}

void PrintImageJson(const DiskImage& disk, std::string_view formatName, std::ostream& out) {
    const ImageSummary s = Summarize(disk);
    out << "{\"format\":" << JsonString(formatName) << ",\"presentTracks\":" << s.presentTracks
        << ",\"sectors\":" << s.sectors << ",\"badSectors\":" << s.badSectors
        << ",\"rawTracks\":" << s.rawTracks << ",";
    PrintTracks(disk, out);
    out << ",\"catalogue\":";
    TrDosCatalogue trdos;
    if (ReadTrDosCatalogue(disk, trdos))
        PrintTrDosJson(trdos, true, out);
    else if (IsCpmImage(disk))
        PrintCpmJson(ReadCpmCatalogue(disk, true, true), out);
    else
        out << "null";
    out << "}\n";
}

}  // namespace morvane
