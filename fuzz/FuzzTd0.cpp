// Feeds arbitrary bytes to the TD0 reader. Inputs starting with "td" go through the LZHUF
// decoder as well; the seeds include plain and compressed files.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/td0/Td0.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto disk = std::make_unique<morvane::DiskImage>();
    // A lower bound than the reader's default keeps each run short; the path is the same.
    morvane::ReadTd0(std::span(data, size), *disk, std::size_t{32} << 10);
    return 0;
}
