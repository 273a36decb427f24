// "Считать ZX каталог": sectors 1..16 of track 0 read from the drive into a buffer, with
// the Abort/Retry/Ignore question on a read error, for the TR-DOS catalogue window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "operations/OperationContext.h"

namespace morvane {

inline constexpr std::size_t kCatalogueTrackBytes = 4096;  // 16 sectors of 256 bytes

// out: 4096 bytes, sector s at (s - 1) * 256; what was not read stays zero. Done when all
// 16 sectors were read or ignored.
OperationOutcome ReadCatalogueTrack(OperationContext& ctx, std::vector<std::uint8_t>& out);

}  // namespace morvane
