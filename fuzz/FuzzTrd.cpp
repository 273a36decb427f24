// Feeds arbitrary bytes to the TRD reader, then writes the image back as TRD: nothing may
// touch memory it does not own, and the TRD written must reproduce the whole tracks of its
// input. (The UDI writer has its own harness; running it here only slowed this one down.)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/Trd.h"

namespace {
morvane::DiskImage& Disk() {
    static const auto disk = std::make_unique<morvane::DiskImage>();
    return *disk;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    DiskImage& disk = Disk();
    const std::span<const std::uint8_t> file(data, size);
    if (!ReadTrd(file, disk)) __builtin_trap();
    Bytes out;
    if (!WriteTrd(disk, out)) __builtin_trap();
    const std::size_t whole = std::min(size / kTrdTrackSize, std::size_t{166}) * kTrdTrackSize;
    if (out.size() < whole ||
        !std::equal(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(whole), data))
        __builtin_trap();
    return 0;
}
