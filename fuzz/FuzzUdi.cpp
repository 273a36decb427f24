// Feeds arbitrary bytes to the UDI reader twice: as they come, and with the size field and
// checksum made right so the track records get read. A file that loads that way is written
// back (its tracks rebuilt from their raw images) and the result must load again. The bytes
// as they come are read for one input in 16 only (chosen by a byte of it): mutated inputs
// almost never pass the checksum, and clearing the whole container for them made the runs
// slow.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/udi/Udi.h"
#include "model/Bytes.h"
#include "model/Checksums.h"

namespace {
morvane::DiskImage& Disk() {
    static const auto disk = std::make_unique<morvane::DiskImage>();
    return *disk;
}

void ReadAndRewrite(std::span<const std::uint8_t> file, bool rewrite, bool noTrackRestore) {
    using namespace morvane;
    DiskImage& disk = Disk();
    if (!ReadUdi(file, disk)) {
        if (disk.LastError.empty()) __builtin_trap();
        return;
    }
    if (!rewrite) return;
    disk.NoTrackRestore = noTrackRestore;
    Bytes out;
    if (WriteUdi(disk, out) && !ReadUdi(out, disk)) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::span<const std::uint8_t> file(data, size);
    if (size < 20 || (data[size - 2] & 0x0F) == 0) ReadAndRewrite(file, false, false);
    if (size < 20) return 0;
    Bytes fixed(data, data + size);
    const std::size_t body = size - 4;
    SetLe32(fixed, 4, static_cast<std::uint32_t>(body));
    SetLe32(fixed, body, ImageCrc32(std::span<const std::uint8_t>(fixed).first(body)));
    ReadAndRewrite(fixed, true, (data[size - 1] & 1) != 0);
    return 0;
}
