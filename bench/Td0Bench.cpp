// Reading whole TD0 disks (plain and LZHUF-compressed) and the LZHUF decoder alone, on
// files of the sample corpus.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "formats/td0/Lzh.h"
#include "formats/td0/Td0.h"
#include "model/Bytes.h"

namespace morvane {
namespace {

bool LoadCorpusFile(benchmark::State& state, const char* name, Bytes& file) {
    const std::string path = std::string(MORVANE_CORPUS_DIR) + "/td0/" + name;
    if (ReadWholeFile(path, file)) return true;
    state.SkipWithError(("corpus file absent: " + path).c_str());
    return false;
}

void BM_ReadTd0(benchmark::State& state, const char* name) {
    Bytes file;
    if (!LoadCorpusFile(state, name, file)) return;
    auto disk = std::make_unique<DiskImage>();
    for (auto _ : state) {
        const bool ok = ReadTd0(file, *disk);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError(disk->LastError.c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK_CAPTURE(BM_ReadTd0, plain_UFO1, "UFO1.TD0")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTd0, plain_CobraDevil, "CobraDevil.TD0")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTd0, lzh_Transylvania, "Transylvania.td0")->Unit(benchmark::kMillisecond);

// Throughput counted in decoded bytes.
void BM_LzhDecode(benchmark::State& state, const char* name) {
    Bytes file;
    if (!LoadCorpusFile(state, name, file)) return;
    const std::span<const std::uint8_t> body = std::span(file).subspan(12);
    LzhDecoder decoder;
    Bytes out;
    std::size_t decoded = 0;
    for (auto _ : state) {
        out.clear();
        decoder.Decompress(body, file.size(), kTd0MaxDecompressed, out);
        decoded += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(decoded));
    state.counters["in_MB/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * body.size()) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_LzhDecode, Transylvania, "Transylvania.td0");
BENCHMARK_CAPTURE(BM_LzhDecode, td215_adv, "td215.adv.td0");

}  // namespace
}  // namespace morvane
