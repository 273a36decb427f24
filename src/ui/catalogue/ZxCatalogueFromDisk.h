// The window side of "Считать ZX каталог": track 0 read from the drive through the
// operation context, then the TR-DOS catalogue window filled from it.
#pragma once

namespace morvane {

// Declared, not included: the operation context's header and the image editing header of
// the main window both declare a MapCell.
struct OperationContext;
class TrDosCatalogueWindow;

// True when the window now holds the disk's catalogue and is to be shown; a disk that is
// not TR-DOS gets its message box here, a failed read the operation's own.
bool ReadZxCatalogueFromDisk(OperationContext& ctx, TrDosCatalogueWindow& window);

}  // namespace morvane
