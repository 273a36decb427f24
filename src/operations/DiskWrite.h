// Putting an image onto the physical disk: "Записать дорожку" (one track after its own
// layout), "Записать диск" (every present track, verified) and "Форматировать диск" (an
// empty TR-DOS or Profi CP/M disk). Each track is formatted after its layout, then its
// sectors with data are written one by one (a failed read's bytes too, listed as such); a
// run then reads them back in one sector-list read and compares byte by byte. The image is not changed.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "operations/OperationContext.h"

namespace morvane {

inline constexpr int kWriteRunTimeoutMs = 30000;

struct DiskWriteOptions {
    bool verify = true;
    int timeoutMs = kWriteRunTimeoutMs;  // the answer time-out while the run lasts
};

struct WrittenSector {
    std::uint8_t track = 0;
    std::uint8_t sector = 0;
    bool operator==(const WrittenSector&) const = default;
};

struct DiskWriteResult {
    OperationOutcome outcome = OperationOutcome::Done;
    int tracksWritten = 0;
    int sectorsWritten = 0;             // written without a device error
    std::vector<WrittenSector> failed;  // a write error, or a verify mismatch
    // Written with the bytes a failed read left (the best copy there is), not known good.
    std::vector<WrittenSector> fromBadRead;
    // An ID field without data in the image: formatted, but nothing written into it.
    std::vector<WrittenSector> notWritten;

    // Every sector of the image is on the disk as good data.
    bool Clean() const { return failed.empty() && fromBadRead.empty() && notWritten.empty(); }
};

enum class NewDiskKind {
    TrDos,  // 160 tracks of 16 x 256 bytes, information sector and empty catalogue
    Cpm,    // 160 tracks of 5 x 1024 bytes, a directory of 0xE5
};

// "Записать дорожку": formats the track of the cell after its layout and writes each of
// its sectors that holds data. Refused (message shown) when the layout cannot be
// written or the track is absent.
OperationOutcome WriteImageTrack(OperationContext& ctx, MapCell cell);

// "Записать диск": every present track of ctx.disk, in a run with progress and cancel.
// A write-protected disk, or a track whose layout cannot be written, is refused before
// anything is written.
DiskWriteResult WriteWholeDisk(OperationContext& ctx, DiskWriteOptions options = {});

// "Форматировать диск": 160 tracks of the kind, with its empty filesystem, verified. The
// image in ctx.disk is left as it is. name is the TR-DOS disk name (8 characters used).
DiskWriteResult FormatWholeDisk(OperationContext& ctx, NewDiskKind kind, const QString& name,
                                DiskWriteOptions options = {});

}  // namespace morvane
