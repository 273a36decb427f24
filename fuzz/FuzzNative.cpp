// Feeds arbitrary bytes to the native image reader twice: as they come, and with the
// closing checksum made right so the track and slot blocks get read. A file that loads
// that way must write, load again, and write the very same bytes a second time (the first
// load settles flags, counts, line ends and texts into the model's own form). The bytes as
// they come are read for one input in 16 only (chosen by a byte of it): mutated inputs
// almost never pass the checksum, and clearing the whole container for them made the runs
// slow.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/Native.h"
#include "model/Bytes.h"
#include "model/Checksums.h"

namespace {

morvane::DiskImage& Disk() {
    static const auto disk = std::make_unique<morvane::DiskImage>();
    return *disk;
}

void ReadAndRewrite(std::span<const std::uint8_t> file, bool rewrite) {
    using namespace morvane;
    DiskImage& disk = Disk();
    if (!ReadNative(file, disk)) {
        if (disk.LastError.empty()) __builtin_trap();
        return;
    }
    if (!rewrite) return;
    Bytes first;
    if (!WriteNative(disk, first)) __builtin_trap();
    if (!ReadNative(first, disk)) __builtin_trap();
    Bytes second;
    if (!WriteNative(disk, second) || second != first) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::span<const std::uint8_t> file(data, size);
    if (size < 4 || (data[size - 2] & 0x0F) == 0) ReadAndRewrite(file, false);
    if (size < 4) return 0;
    Bytes fixed(data, data + size);
    const std::size_t body = size - 4;
    SetLe32(fixed, body, ImageCrc32(std::span<const std::uint8_t>(fixed).first(body)));
    ReadAndRewrite(fixed, true);
    return 0;
}
