// Which image format a file holds, from its bytes as well as its name: a file named
// wrongly (a TRD saved as "game.udf") or without an extension is still read with the
// right reader. Each format is known by the mark its files carry.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "formats/ImageFormat.h"

namespace morvane {

// The format whose mark the bytes carry: UDI's "UDI!", TD0's "TD" or "td" with its header
// CRC, FDI's "FDI", SCL's "SINCLAIR", the native format's checksum over the whole file, a
// Hobeta header whose checksum holds. Unknown when none does (a TRD has no mark of its own).
ImageFormat FormatFromContent(std::span<const std::uint8_t> bytes);

// Whether the bytes are whole 256-byte sectors with the TR-DOS mark (0x10) in the
// information sector, the ninth.
bool LooksLikeTrd(std::span<const std::uint8_t> bytes);

// The format to read a file with: the one its name says (FormatFromPath) when the bytes
// agree; else the one the bytes show; else TRD when the bytes look like one; else the one
// its name says, whose reader then tells what is wrong (Unknown for no known name).
ImageFormat RecogniseImage(std::string_view path, std::span<const std::uint8_t> bytes);
// The same for a file on disk; its name alone when it cannot be read.
ImageFormat RecogniseImageFile(const std::string& path);

}  // namespace morvane
