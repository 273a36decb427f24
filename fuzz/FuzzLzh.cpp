// Feeds arbitrary bytes to the LZHUF decoder, as the TD0 reader does: run on over 12 zero
// bytes past the end, with a bound on the output. Inputs and the bound are kept small so a
// run stays short; that leaves the tree's rebuild after 32768 symbols to the LZH tests.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/td0/Lzh.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kLimit = std::size_t{40} << 10;
    morvane::LzhDecoder decoder;
    morvane::Bytes out;
    const auto status = decoder.Decompress(std::span(data, size), size + 12, kLimit, out);
    if (out.size() > kLimit) __builtin_trap();
    if (status == morvane::LzhStatus::Complete && decoder.BytesTaken() < size + 12)
        __builtin_trap();
    return 0;
}
