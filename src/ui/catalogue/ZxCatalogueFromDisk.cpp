#include "ui/catalogue/ZxCatalogueFromDisk.h"

#include <span>
#include <vector>

#include "filesystems/TrDosWindowRules.h"
#include "operations/OperationContext.h"
#include "operations/OperationHost.h"
#include "operations/ReadCatalogueTrack.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"

namespace morvane {

bool ReadZxCatalogueFromDisk(OperationContext& ctx, T_ZXCAT& window) {
    std::vector<std::uint8_t> track0;
    if (ReadCatalogueTrack(ctx, track0) != OperationOutcome::Done) return false;
    if (window.LoadFromDisk(std::span(track0).first(kTrDosTrack0Bytes))) return true;
    ctx.host.ShowMessage(
        QString::fromUtf8(kNotTrDosDiskText.data(),
                          static_cast<qsizetype>(kNotTrDosDiskText.size())),
        QString::fromUtf8(kErrorCaption.data(), static_cast<qsizetype>(kErrorCaption.size())));
    return false;
}

}  // namespace morvane
