// What a click on a disk-map cell shows in the sector view, and what accepting edits
// writes back: plain functions over the image, so tests need no window.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/DiskImage.h"

namespace morvane {

// Texts of the header labels.
std::string SizeLabelText(std::uint8_t sizeCode);   // "256b"; "Unknown" above 3
std::string CrcLabelText(std::uint16_t crc);        // "#FA0C"
std::string DataStatusText(std::uint8_t dataGood);  // "good" / "bad"
// The labels above the hex view: "CRC - #E122" (just "CRC - " without a data field) and
// the cursor's offset, "#0011".
std::string DataCrcLabelText(std::optional<std::uint16_t> crc);
std::string OffsetLabelText(std::size_t offset);

// The CRC of a sector's data field as a track built from the slot carries it: over A1 A1
// A1, the data mark and the data padded with zeros to the size from the ID field. The mark
// is F8 where the track's own raw image has a deleted-data mark before the data, FB
// otherwise. None for a slot without data or with a size code above 3.
std::optional<std::uint16_t> SectorDataCrc(const Track& track, const SectorSlot& slot);

// The TR-DOS file owning slot `slotIndex` of track `track`: a file name, "Free sector!",
// or empty (track 0, no valid catalogue).
using SectorOwnerLookup =
    std::function<std::string(const DiskImage&, std::uint8_t track, std::uint8_t slotIndex)>;
// A raw image built from the track's sectors (the UDI writer's builder); false when the
// builder fails.
using RawTrackBuilder =
    std::function<bool(const DiskImage&, std::uint8_t track, std::vector<std::uint8_t>& out)>;

// The builder of the UDI writer, with the disk's base template and NoTrackRestore.
bool BuildShownRawTrack(const DiskImage& disk, std::uint8_t track, std::vector<std::uint8_t>& out);

struct SectorViewInputs {
    bool sizeFromHead = false;  // the SetSectorSizeFromHead setting
    SectorOwnerLookup ownerLookup;
    RawTrackBuilder rawBuilder;
};

// Everything a click changes; an empty optional leaves that part as it was.
struct SectorCellView {
    enum class Hex : std::uint8_t { Keep, Empty, Load };
    enum class Log : std::uint8_t { Keep, Empty, Replace };

    std::string trackLabel;   // l2
    std::string sectorLabel;  // l1
    std::optional<bool> ownerBarVisible;
    std::optional<std::string> ownerText;                    // mml1
    std::optional<bool> headerVisible;                       // gb1
    std::array<std::optional<std::string>, 6> headerValues;  // an1..an6
    std::optional<std::uint16_t> dataCrc;                    // none: no data field shown
    Hex hex = Hex::Keep;
    std::vector<std::uint8_t> bytes;  // for Hex::Load
    std::optional<bool> hexEditable;
    std::optional<bool> saveLoadEnabled;  // "Сохранить" and "Загрузить"
    Log log = Log::Keep;
    std::vector<std::string> logLines;  // for Log::Replace
};

SectorCellView DescribeCell(const DiskImage& disk, int column, int row,
                            const SectorViewInputs& inputs);

// Where "Принять" writes for the shown cell.
enum class AcceptTarget : std::uint8_t { None, SectorData, TrackRaw };
AcceptTarget AcceptTargetFor(const DiskImage& disk, int column, int row);
// Copies at most DataLength (sector) or RawLength (track) bytes from the view; returns
// how many were written. Nothing else of the slot or track changes.
std::size_t ApplyAccepted(DiskImage& disk, int column, int row,
                          std::span<const std::uint8_t> viewBytes);

// The sector view's line for a sector whose copies were weighed: how its value came about
// and from how many copies; empty for a sector as the last read left it.
std::string OriginLineText(const SectorSlot& slot);

// A double click opens the sector editor only on a present slot.
bool OpensSectorEditor(const DiskImage& disk, int column, int row);

}  // namespace morvane
