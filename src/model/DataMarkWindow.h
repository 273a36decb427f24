// Which data field belongs to an ID field, decided the way the WD1793 reads a track: after
// an ID field it takes a data mark only within 43 bytes of the ID field's CRC (MFM), and
// only when no other address mark comes first. An ID field without such a data mark has no
// data (the controller reports record not found); a data mark further on is not its data,
// even when no ID field stands between them.
#pragma once

#include <cstddef>

namespace morvane {

inline constexpr std::size_t kDataMarkWindow = 43;

// idCrcEnd: position of the ID field's last CRC byte; mark: position of a data mark byte
// after it (FB or F8, the first byte with its clock after the sync bytes).
constexpr bool DataMarkWithinWindow(std::size_t idCrcEnd, std::size_t mark) {
    return mark > idCrcEnd && mark - idCrcEnd <= kDataMarkWindow;
}

}  // namespace morvane
