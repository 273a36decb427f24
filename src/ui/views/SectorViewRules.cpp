#include "ui/views/SectorViewRules.h"

#include "ui/views/QtText.h"

#include <algorithm>
#include <cstdio>

#include "model/Checksums.h"
#include "model/SectorVote.h"
#include "model/SizeCode.h"
#include "ui/views/MapCells.h"

namespace morvane {

namespace {

const Track* TrackOfRow(const DiskImage& disk, int row) {
    if (row < 0 || row >= kMapRows) return nullptr;
    return disk.GetTrack(static_cast<std::uint8_t>(row));
}

const SectorSlot* SlotOfCell(const DiskImage& disk, int column, int row) {
    const Track* track = TrackOfRow(disk, row);
    if (track == nullptr || column < 1 || column >= kMapColumns) return nullptr;
    return track->GetSlot(static_cast<std::uint8_t>(column - 1));
}

void ShowSectorData(const SectorSlot& slot, const SectorViewInputs& inputs, SectorCellView& v) {
    if (slot.DataLength == 0) {
        v.saveLoadEnabled = false;
        v.hexEditable = false;
        v.hex = SectorCellView::Hex::Empty;
        return;
    }
    std::size_t shown = slot.DataLength;
    // The size from the header is read from the slot's buffer whatever DataLength says.
    if (inputs.sizeFromHead && SizeFromCode(slot.SizeCode) != 0)
        shown = SizeFromCode(slot.SizeCode);
    shown = std::min(shown, slot.Data.size());
    v.hex = SectorCellView::Hex::Load;
    const std::span<const std::uint8_t> data = slot.Data.first(shown);
    v.bytes.assign(data.begin(), data.end());
    v.saveLoadEnabled = true;
    v.hexEditable = true;
}

// How the slot's value came about, in the window's language; empty for a slot no merge or
// vote touched. Kept in a function that returns a QString: lupdate loses the namespace of
// a Ui::tr inside a function declared as returning std::string and files its text under
// another context, where the window never finds it.
QString OriginLine(const SectorSlot& slot) {
    QString how;
    switch (CurrentOrigin(slot)) {
        case SectorOrigin::Unmerged:
            return {};
        case SectorOrigin::GoodRead:
            how = Ui::tr("прочитан без ошибки");
            break;
        case SectorOrigin::Voted:
            how = Ui::tr("восстановлен голосованием, CRC сошёлся");
            break;
        case SectorOrigin::BestGuess:
            how = Ui::tr("лучшая догадка, CRC не подтверждён");
            break;
        case SectorOrigin::Missing:
            how = Ui::tr("данных нет");
            break;
    }
    QString line = Ui::tr("Сектор %1: %2 (копий - %3)")
                       .arg(slot.Sector)
                       .arg(how)
                       .arg(slot.History.copies.size());
    if (slot.History.conflict) line += Ui::tr(", хорошие копии различаются");
    return line;
}

}  // namespace

std::string SizeLabelText(std::uint8_t sizeCode) {
    const std::size_t size = SizeFromCode(sizeCode);
    return size == 0 ? std::string("Unknown") : std::to_string(size) + "b";
}

std::string CrcLabelText(std::uint16_t crc) {
    char text[8];
    std::snprintf(text, sizeof text, "#%04X", static_cast<unsigned>(crc));
    return text;
}

std::string DataStatusText(std::uint8_t dataGood) {
    return dataGood != 0 ? "good" : "bad";
}

std::string DataCrcLabelText(std::optional<std::uint16_t> crc) {
    return crc ? "CRC - " + CrcLabelText(*crc) : std::string("CRC - ");
}

std::string OffsetLabelText(std::size_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "#%04zX", offset);
    return text;
}

std::optional<std::uint16_t> SectorDataCrc(const Track& track, const SectorSlot& slot) {
    constexpr std::uint8_t kDataMark = 0xFB;
    constexpr std::uint8_t kDeletedDataMark = 0xF8;
    const std::size_t size = SizeFromCode(slot.SizeCode);
    if (slot.DataLength == 0 || size == 0) return std::nullopt;
    std::vector<std::uint8_t> field(size, 0);
    const std::size_t n = std::min({size, std::size_t{slot.DataLength}, slot.Data.size()});
    const std::span<const std::uint8_t> data = slot.Data.first(n);
    std::copy(data.begin(), data.end(), field.begin());
    const std::size_t markAt = slot.DataPosition;  // the mark is the byte before the data
    const bool deleted = markAt >= 1 && markAt <= track.RawLength && markAt <= track.Raw.size() &&
                         track.Raw[markAt - 1] == kDeletedDataMark;
    return DataFieldCrc(deleted ? kDeletedDataMark : kDataMark, field);
}

SectorCellView DescribeCell(const DiskImage& disk, int column, int row,
                            const SectorViewInputs& inputs) {
    SectorCellView v;
    const Track* track = TrackOfRow(disk, row);
    if (track == nullptr || column < 0 || column >= kMapColumns) return v;
    const SectorSlot* slot = SlotOfCell(disk, column, row);
    if (track->Present != 0) v.trackLabel = std::to_string(row);
    if (slot != nullptr && slot->Present != 0) v.sectorLabel = std::to_string(slot->Sector);

    if (column >= 1 && slot != nullptr && slot->Present != 0) {
        v.ownerText = inputs.ownerLookup ? inputs.ownerLookup(disk, static_cast<std::uint8_t>(row),
                                                              static_cast<std::uint8_t>(column - 1))
                                         : std::string{};
        v.ownerBarVisible = !v.ownerText->empty();
        v.headerVisible = true;
        v.headerValues[0] = std::to_string(slot->Cylinder);
        v.headerValues[1] = std::to_string(slot->Head);
        v.headerValues[2] = std::to_string(slot->Sector);
        if (slot->SizeCode > kMaxSizeCode) {
            // The size labels stay as they were. The hex view must not keep another
            // sector's bytes (an edit accepted there would land in this slot), so it shows
            // DataLength bytes of this one.
            ShowSectorData(*slot, SectorViewInputs{false, {}, {}}, v);
        } else {
            v.headerValues[3] = SizeLabelText(slot->SizeCode);
            v.headerValues[4] = CrcLabelText(slot->HeaderCrc);
            v.headerValues[5] = DataStatusText(slot->DataGood);
            v.dataCrc = SectorDataCrc(*track, *slot);
            ShowSectorData(*slot, inputs, v);
        }
    } else if (column >= 1) {
        v.hex = SectorCellView::Hex::Empty;
        v.headerVisible = false;
        v.saveLoadEnabled = false;
        v.hexEditable = false;
    } else {
        v.ownerBarVisible = false;
        v.headerVisible = false;
        if (track->Present == 0) {
            v.hex = SectorCellView::Hex::Empty;
            v.log = SectorCellView::Log::Empty;
            return v;
        }
        if (track->RawValid != 0 && track->RawLength > 0) {
            const std::size_t n = std::min<std::size_t>(track->RawLength, track->Raw.size());
            v.hex = SectorCellView::Hex::Load;
            const std::span<const std::uint8_t> raw = track->Raw.first(n);
            v.bytes.assign(raw.begin(), raw.end());
            v.hexEditable = true;
            v.saveLoadEnabled = true;
        } else {
            v.hexEditable = false;
            v.saveLoadEnabled = false;
            const bool built = inputs.rawBuilder &&
                               inputs.rawBuilder(disk, static_cast<std::uint8_t>(row), v.bytes);
            v.hex = built ? SectorCellView::Hex::Load : SectorCellView::Hex::Empty;
            if (!built) v.bytes.clear();
        }
    }
    if (track->Present != 0) {
        v.log = SectorCellView::Log::Replace;
        v.logLines = track->Log;
        if (column >= 1 && slot != nullptr && slot->Present != 0) {
            std::string origin = OriginLineText(*slot);
            if (!origin.empty()) v.logLines.push_back(std::move(origin));
        }
    } else {
        v.log = SectorCellView::Log::Empty;
    }
    return v;
}

std::string OriginLineText(const SectorSlot& slot) {
    return OriginLine(slot).toStdString();
}

AcceptTarget AcceptTargetFor(const DiskImage& disk, int column, int row) {
    const Track* track = TrackOfRow(disk, row);
    if (track == nullptr || column < 0 || column >= kMapColumns) return AcceptTarget::None;
    if (column == 0) return track->RawLength > 0 ? AcceptTarget::TrackRaw : AcceptTarget::None;
    const SectorSlot* slot = SlotOfCell(disk, column, row);
    return slot != nullptr && slot->DataLength > 0 ? AcceptTarget::SectorData : AcceptTarget::None;
}

std::size_t ApplyAccepted(DiskImage& disk, int column, int row,
                          std::span<const std::uint8_t> viewBytes) {
    const AcceptTarget target = AcceptTargetFor(disk, column, row);
    if (target == AcceptTarget::None) return 0;
    Track* track = disk.GetTrack(static_cast<std::uint8_t>(row));
    if (target == AcceptTarget::TrackRaw) {
        const std::size_t n =
            std::min({viewBytes.size(), std::size_t{track->RawLength}, track->Raw.size()});
        std::copy_n(viewBytes.begin(), n, track->Raw.first(n).begin());
        return n;
    }
    SectorSlot* slot = track->GetSlot(static_cast<std::uint8_t>(column - 1));
    const std::size_t n =
        std::min({viewBytes.size(), std::size_t{slot->DataLength}, slot->Data.size()});
    std::copy_n(viewBytes.begin(), n, slot->Data.first(n).begin());
    return n;
}

bool OpensSectorEditor(const DiskImage& disk, int column, int row) {
    const SectorSlot* slot = SlotOfCell(disk, column, row);
    return slot != nullptr && slot->Present != 0;
}

}  // namespace morvane
