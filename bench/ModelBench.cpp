// Decoding a full raw track and the image checksum over a megabyte.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/Checksums.h"
#include "model/Track.h"

namespace morvane {
namespace {

// A 6500-byte track full of 16 x 256-byte sectors with TR-DOS-like gaps.
void FillTrack(Track& t) {
    t.Raw.fill(0x4E);
    std::size_t p = 80;
    for (int r = 1; r <= 16 && p + 400 < kTrackBufferSize; ++r) {
        for (std::uint8_t b : {0xA1, 0xA1, 0xFE, 0x00, 0x00, r, 0x01, 0x12, 0x34})
            t.Raw[p++] = b;
        p += 22;
        for (std::uint8_t b : {0xA1, 0xA1, 0xFB})
            t.Raw[p++] = b;
        p += 256 + 2 + 54;
    }
    t.RawLength = kTrackBufferSize;
}

void BM_ParseRawFullTrack(benchmark::State& state) {
    auto track = std::make_unique<Track>(0);
    FillTrack(*track);
    for (auto _ : state) {
        track->ParseRaw();
        benchmark::DoNotOptimize(track->SectorCount);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kTrackBufferSize);
}
BENCHMARK(BM_ParseRawFullTrack);

void BM_ImageCrc32OneMiB(benchmark::State& state) {
    std::vector<std::uint8_t> data(1 << 20);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 31);
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCrc32(data));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
}
BENCHMARK(BM_ImageCrc32OneMiB);

}  // namespace
}  // namespace morvane
