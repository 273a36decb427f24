// Feeds arbitrary bytes to the FDI reader. A file that loads is written as UDI (standard
// layout tracks) and the result must load again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/Fdi.h"
#include "formats/Udi.h"

namespace {
morvane::TZX_Disk& Disk() {
    static const auto disk = std::make_unique<morvane::TZX_Disk>();
    return *disk;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    TZX_Disk& disk = Disk();
    if (!ReadFdi(std::span<const std::uint8_t>(data, size), disk)) {
        if (disk.LastError.empty()) __builtin_trap();
        return 0;
    }
    Bytes out;
    if (WriteUdi(disk, out) && !ReadUdi(out, disk)) __builtin_trap();
    return 0;
}
