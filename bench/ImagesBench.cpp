// Reading and writing a full disk (80 cylinders, two sides) as TRD, UDI and FDI, and
// building single UDI tracks.
#include <benchmark/benchmark.h>

#include <memory>

#include "formats/Fdi.h"
#include "formats/Trd.h"
#include "formats/udi/Udi.h"
#include "formats/udi/UdiTrackBuilder.h"

namespace morvane {
namespace {

constexpr std::size_t kTracks = 160;

Bytes TrdFile() {
    Bytes file(kTracks * kTrdTrackSize);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return file;
}

// An FDI of 80 x 2 tracks of 16 x 256-byte sectors.
Bytes FdiFile() {
    Bytes file{'F', 'D', 'I', 0};
    PutLe16(file, kTracks / 2);
    PutLe16(file, 2);
    PutLe16(file, 0);
    PutLe16(file, 0);
    PutLe16(file, 0);
    for (std::size_t t = 0; t < kTracks; ++t) {
        PutLe32(file, static_cast<std::uint32_t>(t * kTrdTrackSize));
        PutLe16(file, 0);
        file.push_back(16);
        for (std::uint8_t r = 1; r <= 16; ++r) {
            file.insert(file.end(), {static_cast<std::uint8_t>(t / 2), 0, r, 1, 2});
            PutLe16(file, static_cast<std::uint16_t>((r - 1) * 256));
        }
    }
    SetLe16(file, 10, static_cast<std::uint16_t>(file.size()));
    const Bytes data = TrdFile();
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

void SetBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_ReadTrd(benchmark::State& state) {
    const Bytes file = TrdFile();
    auto disk = std::make_unique<DiskImage>();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTrd(file, *disk));
    SetBytes(state, file.size());
}
BENCHMARK(BM_ReadTrd)->Unit(benchmark::kMillisecond);

void BM_WriteTrd(benchmark::State& state) {
    auto disk = std::make_unique<DiskImage>();
    ReadTrd(TrdFile(), *disk);
    Bytes out;
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteTrd(*disk, out));
    SetBytes(state, out.size());
}
BENCHMARK(BM_WriteTrd)->Unit(benchmark::kMillisecond);

// Tracks from TRD sectors: every UDI track built from the standard layout.
void BM_WriteUdiStandardLayout(benchmark::State& state) {
    auto disk = std::make_unique<DiskImage>();
    ReadTrd(TrdFile(), *disk);
    Bytes out;
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteUdi(*disk, out));
    SetBytes(state, out.size());
}
BENCHMARK(BM_WriteUdiStandardLayout)->Unit(benchmark::kMillisecond);

Bytes UdiFile() {
    auto disk = std::make_unique<DiskImage>();
    ReadTrd(TrdFile(), *disk);
    Bytes out;
    WriteUdi(*disk, out);
    return out;
}

void BM_ReadUdi(benchmark::State& state) {
    const Bytes file = UdiFile();
    auto disk = std::make_unique<DiskImage>();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadUdi(file, *disk));
    SetBytes(state, file.size());
}
BENCHMARK(BM_ReadUdi)->Unit(benchmark::kMillisecond);

// Tracks read from UDI: every track rebuilt from its own raw image.
void BM_WriteUdiFromRaw(benchmark::State& state) {
    auto disk = std::make_unique<DiskImage>();
    ReadUdi(UdiFile(), *disk);
    disk->NoTrackRestore = state.range(0) != 0;
    Bytes out;
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteUdi(*disk, out));
    SetBytes(state, out.size());
}
BENCHMARK(BM_WriteUdiFromRaw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadFdi(benchmark::State& state) {
    const Bytes file = FdiFile();
    auto disk = std::make_unique<DiskImage>();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadFdi(file, *disk));
    SetBytes(state, file.size());
}
BENCHMARK(BM_ReadFdi)->Unit(benchmark::kMillisecond);

void BM_BuildUdiTrackStandardLayout(benchmark::State& state) {
    auto disk = std::make_unique<DiskImage>();
    ReadTrd(TrdFile(), *disk);
    auto image = std::make_unique<UdiTrackImage>();
    const UdiTrackParams params{disk->GetTrack(0)};
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildUdiTrack(params, *image).Ok);
}
BENCHMARK(BM_BuildUdiTrackStandardLayout);

}  // namespace
}  // namespace morvane
