// Full-disk reads and writes of the native image: a TR-DOS disk read raw (160 tracks of
// 6250 raw bytes and 16 sectors of 256 bytes, with a few log lines), and the largest image
// the container can hold (166 tracks, 32 slots of 6500 bytes each, about 35 MB).
#include <benchmark/benchmark.h>

#include <memory>

#include "formats/Native.h"
#include "model/Checksums.h"

namespace morvane {
namespace {

void FillTrDosDisk(DiskImage& disk) {
    for (std::uint8_t t = 0; t < 160; ++t) {
        Track& track = *disk.GetTrack(t);
        track.Present = kPresent;
        track.RawValid = 1;
        track.RawLength = 6250;
        for (std::size_t i = 0; i < track.RawLength; ++i)
            track.Raw[i] = static_cast<std::uint8_t>(i * 3 + t);
        track.Log = {"Чтение дорожки", "Сектор 1 - OK", "Сектор 9 - ошибка CRC"};
        for (std::uint8_t s = 0; s < 16; ++s) {
            SectorSlot& slot = track.Slots[s];
            slot.Present = kPresent;
            slot.Cylinder = static_cast<std::uint8_t>(t / 2);
            slot.Sector = static_cast<std::uint8_t>(s + 1);
            slot.SizeCode = 1;
            slot.HeaderCrc = IdFieldCrc(slot.Cylinder, 0, slot.Sector, 1);
            slot.DataGood = kDataGood;
            slot.DataLength = 256;
            for (std::size_t i = 0; i < 256; ++i)
                slot.Data[i] = static_cast<std::uint8_t>(i ^ s ^ t);
        }
        track.CountSectors();
    }
}

void FillLargestDisk(DiskImage& disk) {
    for (std::uint8_t t = 0; t < kTrackCount; ++t) {
        Track& track = *disk.GetTrack(t);
        track.Present = kPresent;
        track.RawValid = 1;
        track.RawLength = static_cast<std::uint16_t>(kTrackBufferSize);
        for (std::uint8_t s = 0; s < kSlotsPerTrack; ++s) {
            SectorSlot& slot = track.Slots[s];
            slot.Present = kPresent;
            slot.Sector = s;
            slot.DataGood = kDataGood;
            slot.DataLength = static_cast<std::uint16_t>(kTrackBufferSize);
            slot.Data.fill(static_cast<std::uint8_t>(s + t));
        }
        track.CountSectors();
    }
}

using Filler = void (*)(DiskImage&);

void WriteBench(benchmark::State& state, Filler fill) {
    auto disk = std::make_unique<DiskImage>();
    fill(*disk);
    Bytes out;
    for (auto _ : state) {
        if (!WriteNative(*disk, out)) state.SkipWithError("write failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
    state.counters["file_bytes"] = static_cast<double>(out.size());
}

void ReadBench(benchmark::State& state, Filler fill) {
    auto disk = std::make_unique<DiskImage>();
    fill(*disk);
    Bytes file;
    if (!WriteNative(*disk, file)) state.SkipWithError("write failed");
    for (auto _ : state) {
        if (!ReadNative(file, *disk)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(disk.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
    state.counters["file_bytes"] = static_cast<double>(file.size());
}

BENCHMARK_CAPTURE(WriteBench, TrDosRawDisk, &FillTrDosDisk)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadBench, TrDosRawDisk, &FillTrDosDisk)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteBench, LargestDisk, &FillLargestDisk)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadBench, LargestDisk, &FillLargestDisk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
