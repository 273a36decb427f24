// Feeds arbitrary bytes to the SCL and Hobeta readers: nothing may touch memory it does not
// own, and what reads must have the sizes its headers promise.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::span<const std::uint8_t> file(data, size);
    std::string error;
    std::vector<SclFile> archive;
    if (ParseScl(file, archive, error)) {
        for (const SclFile& f : archive)
            if (f.data.size() != f.entry.sectors * kTrDosSectorSize) __builtin_trap();
    }
    HobetaFile hobeta;
    if (ParseHobeta(file, hobeta, error) &&
        hobeta.data.size() != hobeta.entry.sectors * kTrDosSectorSize)
        __builtin_trap();
    return 0;
}
