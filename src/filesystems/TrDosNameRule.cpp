#include "filesystems/TrDosNameRule.h"

namespace morvane {

std::optional<std::string> TrDosNameRefusal(const TrDosName& name) {
    if (name[0] == kTrDosDeletedMark)
        return "a name beginning with byte 0x01, which TR-DOS takes for a deleted file";
    if (name[0] == 0) return "a name beginning with byte 0x00, where TR-DOS ends the catalogue";
    return std::nullopt;
}

}  // namespace morvane
