#include "ui/catalogue/ZxCatalogueFromDisk.h"

#include <span>
#include <vector>

#include "operations/OperationContext.h"
#include "operations/OperationHost.h"
#include "operations/ReadCatalogueTrack.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/catalogue/TrDosWindowRules.h"

namespace morvane {

bool ReadZxCatalogueFromDisk(OperationContext& ctx, TrDosCatalogueWindow& window) {
    std::vector<std::uint8_t> track0;
    if (ReadCatalogueTrack(ctx, track0) != OperationOutcome::Done) return false;
    if (window.LoadFromDisk(std::span(track0).first(kTrDosTrack0Bytes))) return true;
    ctx.host.Ask({.caption = kCaptionError, .text = std::string(kNotTrDosDiskText)});
    return false;
}

}  // namespace morvane
