#include "controller/virtual/DemoDisk.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "controller/virtual/FormatTable.h"
#include "controller/virtual/SectorAccess.h"
#include "controller/virtual/TrackScan.h"
#include "filesystems/NewImages.h"
#include "filesystems/TrDosAdding.h"
#include "filesystems/TrDosSectors.h"
#include "model/DiskImage.h"

namespace morvane::virt {

namespace {

constexpr std::size_t kTrackBytes = kDemoSectorsPerTrack * kDemoSectorSize;
constexpr std::uint8_t kSizeCode256 = 1;
constexpr std::string_view kDemoDiskName = "MORVANE";

struct DemoFile {
    std::string_view Name;  // 8 characters, space padded
    char Type;
    std::uint16_t Start;
    std::uint16_t Length;
    Bytes Body;  // what goes into the sectors (for BASIC: program plus autostart)
};

void PutText(Bytes& out, std::string_view text) {
    for (char c : text)
        out.push_back(static_cast<std::uint8_t>(c));
}

// One BASIC line: number (high byte first), length of the rest, the tokenised text.
void PutBasicLine(Bytes& out, std::uint16_t number, std::string_view body) {
    out.push_back(static_cast<std::uint8_t>(number >> 8));
    out.push_back(static_cast<std::uint8_t>(number));
    out.push_back(static_cast<std::uint8_t>(body.size()));
    out.push_back(static_cast<std::uint8_t>(body.size() >> 8));
    PutText(out, body);
}

// 10 PRINT "MORVANE DEMO DISK"
// 20 RANDOMIZE USR 15619: REM : LOAD "picture" CODE
// (F5 PRINT, F9 RANDOMIZE, C0 USR, EA REM, EF LOAD, AF CODE; a number is followed by 0E and
// its five-byte form; 0D ends a line.)
Bytes BasicLoader(std::uint16_t& programLength) {
    using namespace std::string_view_literals;
    Bytes program;
    PutBasicLine(program, 10, "\xF5\"MORVANE DEMO DISK\"\r"sv);
    PutBasicLine(program, 20,
                 "\xF9\xC0"
                 "15619"
                 "\x0E\x00\x00\x03\x3D\x00"
                 ":\xEA:\xEF\"picture\"\xAF\r"sv);
    programLength = static_cast<std::uint16_t>(program.size());
    // TR-DOS keeps the autostart line after the program: 0x80, 0xAA, line number.
    for (std::uint8_t b : std::array<std::uint8_t, 4>{0x80, 0xAA, 10, 0})
        program.push_back(b);
    return program;
}

Bytes NotesText() {
    Bytes text;
    const std::string_view lines[] = {
        "This disk lives inside the virtual controller of Morvane.\r",
        "It is a TR-DOS disk: 80 cylinders, two sides, 16 sectors of 256 bytes.\r",
        "Two of its sectors have a bad data CRC, one of them in this very file,\r",
        "so reading the whole disk shows what a damaged sector looks like.\r",
        "The picture file is a ZX Spectrum screen: open it in the screen viewer.\r",
    };
    while (text.size() < 700) {
        for (std::string_view l : lines)
            PutText(text, l);
    }
    text.resize(700);
    return text;
}

Bytes SineTable() {
    Bytes table(1024);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const double angle = 2.0 * std::numbers::pi * static_cast<double>(i % 256) / 256.0;
        table[i] = static_cast<std::uint8_t>(std::lround(128.0 + 127.0 * std::sin(angle)));
    }
    return table;
}

std::vector<DemoFile> DemoFiles() {
    std::vector<DemoFile> files;
    std::uint16_t programLength = 0;
    Bytes loader = BasicLoader(programLength);
    files.push_back({"boot    ", 'B', programLength, programLength, std::move(loader)});
    files.push_back(
        {"picture ", 'C', 16384, static_cast<std::uint16_t>(kScreenSize), MakeDemoScreen()});
    Bytes notes = NotesText();
    files.push_back({"notes   ", 'C', 32768, static_cast<std::uint16_t>(notes.size()), notes});
    Bytes table = SineTable();
    files.push_back({"table   ", 'C', 40000, static_cast<std::uint16_t>(table.size()), table});
    return files;
}

std::size_t SectorsFor(std::size_t bytes) {
    return (bytes + kDemoSectorSize - 1) / kDemoSectorSize;
}

TrDosFileData FileData(const DemoFile& f) {
    TrDosFileData file;
    std::copy(f.Name.begin(), f.Name.end(), file.entry.name.begin());
    file.entry.type = static_cast<std::uint8_t>(f.Type);
    file.entry.start = f.Start;
    file.entry.length = f.Length;
    file.entry.sectors = static_cast<std::uint8_t>(SectorsFor(f.Body.size()));
    file.data = f.Body;
    return file;
}

}  // namespace

// A new TR-DOS image with the files added one after another from track 1, as TR-DOS itself
// would write them.
Bytes MakeDemoSectors() {
    auto image = std::make_unique<DiskImage>();
    CreateTrDosImage(*image, kDemoDiskName);
    std::vector<TrDosFileData> files;
    for (const DemoFile& f : DemoFiles())
        files.push_back(FileData(f));
    std::string error;
    [[maybe_unused]] const bool added = AddTrDosFiles(*image, files, error);
    assert(added);
    Bytes sectors;
    [[maybe_unused]] const bool read =
        ReadTrDosSectors(*image, 0, 0, kDemoTracks * kDemoSectorsPerTrack, sectors);
    assert(read);
    return sectors;
}

namespace {

std::unique_ptr<VirtualDisk> BuildDemoDisk() {
    auto disk = std::make_unique<VirtualDisk>();
    const Bytes sectors = MakeDemoSectors();
    std::array<std::uint8_t, kDemoSectorsPerTrack> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = static_cast<std::uint8_t>(i + 1);
    for (std::size_t t = 0; t < kDemoTracks; ++t) {
        const auto index = static_cast<std::uint8_t>(t);
        // TR-DOS writes H = 0 on both sides.
        RawTrack track = LayDownTrack(
            StandardFormatPairs(static_cast<std::uint8_t>(t / 2), 0, numbers, kSizeCode256));
        for (const IdField& id : ReadIdFields(track)) {
            const std::size_t at = t * kTrackBytes + (id.R - 1u) * kDemoSectorSize;
            WriteDataField(track, id, std::span(sectors).subspan(at, kDemoSectorSize),
                           kDataAddressMark);
        }
        disk->SetTrack(index, std::move(track));
    }
    // The two damaged sectors: their stored data CRC is wrong for good.
    for (const auto& [t, r] : kDemoBadSectors) {
        RawTrack* track = disk->Track(t);
        const SectorSearch found = FindSector(*track, r, true);
        if (!found.Data) continue;
        const std::size_t crcAt = found.Data->MarkPosition + 1 + kDemoSectorSize;
        track->Put(crcAt, static_cast<std::uint8_t>(~track->At(crcAt)), false);
    }
    return disk;
}

}  // namespace

std::unique_ptr<VirtualDisk> MakeDemoDisk() {
    // Laying down 160 tracks takes a moment in a debug build; every controller starts with
    // its own copy of one prototype.
    static const std::unique_ptr<const VirtualDisk> prototype = BuildDemoDisk();
    return std::make_unique<VirtualDisk>(*prototype);
}

}  // namespace morvane::virt
