// The LZH encoder on the bodies of the LZH-compressed TD0 files of the corpus, against the
// size TeleDisk made of the same bytes, and whole TD0/FDI images written from corpus disks.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "formats/Fdi.h"
#include "formats/td0/Lzh.h"
#include "formats/td0/LzhEncoder.h"
#include "formats/td0/Td0.h"
#include "formats/td0/Td0Writer.h"
#include "model/Bytes.h"

namespace morvane {
namespace {

constexpr std::size_t kTd0HeaderSize = 12;

bool LoadCorpusFile(benchmark::State& state, const std::string& name, Bytes& file) {
    const std::string path = std::string(MORVANE_CORPUS_DIR) + "/" + name;
    if (ReadWholeFile(path, file)) return true;
    state.SkipWithError(("corpus file absent: " + path).c_str());
    return false;
}

// Compresses what TeleDisk compressed. The body is decoded taking exactly the compressed
// bytes, so its last symbol or two may be missing: a few bytes of 20 KB and more.
void BM_LzhEncode(benchmark::State& state, const char* name) {
    Bytes file;
    if (!LoadCorpusFile(state, std::string("td0/") + name, file)) return;
    const std::span<const std::uint8_t> packed = std::span(file).subspan(kTd0HeaderSize);
    Bytes body;
    LzhDecompress(packed, packed.size(), kTd0MaxDecompressed, body);
    LzhEncoder encoder(static_cast<std::size_t>(state.range(0)));
    Bytes out;
    for (auto _ : state) {
        out.clear();
        encoder.Compress(body, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
    state.counters["body"] = static_cast<double>(body.size());
    state.counters["ours"] = static_cast<double>(out.size());
    state.counters["teledisk"] = static_cast<double>(packed.size());
    state.counters["ours/teledisk"] =
        static_cast<double>(out.size()) / static_cast<double>(packed.size());
}
BENCHMARK_CAPTURE(BM_LzhEncode, td215_adv, "td215.adv.td0")->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_CAPTURE(BM_LzhEncode, Transylvania, "Transylvania.td0")->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_CAPTURE(BM_LzhEncode, sector_test_360k, "sector_test_360k.td0")
    ->Arg(16)
    ->Arg(256)
    ->Arg(4096);

using Writer = bool (*)(DiskImage&, Bytes&);

// A whole image written from a corpus disk; throughput in bytes of the file written.
void BM_WriteImage(benchmark::State& state, const char* name, Writer write) {
    Bytes file;
    if (!LoadCorpusFile(state, name, file)) return;
    auto disk = std::make_unique<DiskImage>();
    const std::string path = std::string(MORVANE_CORPUS_DIR) + "/" + name;
    const bool loaded = path.ends_with(".fdi") || path.ends_with(".FDI") ? ReadFdi(file, *disk)
                                                                         : ReadTd0(file, *disk);
    if (!loaded) {
        state.SkipWithError(disk->LastError.c_str());
        return;
    }
    Bytes out;
    for (auto _ : state) {
        out.clear();
        if (!write(*disk, out)) state.SkipWithError(disk->LastError.c_str());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
    state.counters["file"] = static_cast<double>(out.size());
    state.counters["original"] = static_cast<double>(file.size());
}
BENCHMARK_CAPTURE(BM_WriteImage, td0_plain_UFO1, "td0/UFO1.TD0", &WriteTd0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteImage, td0_lzh_UFO1, "td0/UFO1.TD0", &WriteTd0Compressed)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteImage, td0_lzh_Transylvania, "td0/Transylvania.td0", &WriteTd0Compressed)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteImage, td0_lzh_GALLOWS, "fdi/GALLOWS.FDI", &WriteTd0Compressed)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteImage, fdi_GALLOWS, "fdi/GALLOWS.FDI", &WriteFdi)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
