#include "controller/virtual/Wd1793.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "controller/virtual/SectorAccess.h"
#include "controller/virtual/TrackScan.h"
#include "controller/virtual/WdStatus.h"
#include "model/Geometry.h"

namespace morvane::virt {

const char* DriveTimeName(DriveTime kind) {
    switch (kind) {
        case DriveTime::Steps:
            return "steps";
        case DriveTime::Settle:
            return "settle";
        case DriveTime::ToIndex:
            return "to-index";
        case DriveTime::ToSector:
            return "to-sector";
        case DriveTime::Sector:
            return "sector";
        case DriveTime::ScanTurn:
            return "scan-turn";
        case DriveTime::TrackTurn:
            return "track-turn";
        case DriveTime::NotFound:
            return "not-found";
    }
    return "";
}

Wd1793::Wd1793() = default;

void Wd1793::InsertDisk(Drive drive, std::unique_ptr<VirtualDisk> disk) {
    disks_[Index(drive)] = std::move(disk);
    if (drive == SelectedDrive()) headLoaded_ = false;
}

std::unique_ptr<VirtualDisk> Wd1793::EjectDisk(Drive drive) {
    return std::move(disks_[Index(drive)]);
}

VirtualDisk* Wd1793::Disk(Drive drive) {
    return disks_[Index(drive)].get();
}

const VirtualDisk* Wd1793::Disk(Drive drive) const {
    return disks_[Index(drive)].get();
}

Drive Wd1793::SelectedDrive() const {
    return (registers_[kDriveRegister] & kDriveSelectBit) != 0 ? Drive::B : Drive::A;
}

std::uint8_t Wd1793::CurrentTrackIndex() const {
    return TrackIndex(cylinders_[Index(SelectedDrive())], side_);
}

RawTrack* Wd1793::StoredTrack() {
    VirtualDisk* disk = Disk(SelectedDrive());
    return disk != nullptr ? disk->Track(CurrentTrackIndex()) : nullptr;
}

bool Wd1793::HeadLoaded() const {
    return headLoaded_ &&
           now_ - lastAccess_ < mechanics_.Revolution * mechanics_.HeadUnloadRevolutions;
}

void Wd1793::TouchHead() {
    headLoaded_ = true;
    lastAccess_ = now_;
}

std::uint8_t Wd1793::TypeOneStatus() const {
    const VirtualDisk* disk = Disk(SelectedDrive());
    if (disk == nullptr) return wd::kNotReady;
    std::uint8_t status = 0;
    if (mechanics_.Revolution.count() > 0 && now_ % mechanics_.Revolution < mechanics_.IndexPulse)
        status |= wd::kIndex;
    if (cylinders_[Index(SelectedDrive())] == 0) status |= wd::kTrack0;
    if (HeadLoaded()) status |= wd::kHeadLoaded;
    if (disk->WriteProtected) status |= wd::kWriteProtect;
    return status;
}

std::size_t Wd1793::RotationPosition(std::size_t trackLength) const {
    const auto revolution = mechanics_.Revolution.count();
    if (revolution <= 0 || trackLength == 0) return 0;
    const auto into = now_.count() % revolution;
    return static_cast<std::size_t>(into * static_cast<std::int64_t>(trackLength) / revolution);
}

void Wd1793::Spend(DriveTime kind, Nanos time) {
    now_ += time;
    spent_[static_cast<std::size_t>(kind)] += time;
}

void Wd1793::WaitBytes(DriveTime kind, std::size_t bytes, std::size_t trackLength) {
    if (trackLength == 0) return;
    Spend(kind, mechanics_.Revolution * static_cast<std::int64_t>(bytes) /
                    static_cast<std::int64_t>(trackLength));
}

void Wd1793::WaitForPosition(std::size_t position, std::size_t trackLength) {
    if (trackLength == 0) return;
    const std::size_t here = RotationPosition(trackLength);
    WaitBytes(DriveTime::ToSector, (position % trackLength + trackLength - here) % trackLength,
              trackLength);
}

void Wd1793::WaitForIndex() {
    const auto revolution = mechanics_.Revolution.count();
    if (revolution <= 0) return;
    const auto into = now_.count() % revolution;
    if (into != 0) Spend(DriveTime::ToIndex, Nanos(revolution - into));
}

void Wd1793::WaitNotFound() {
    Spend(DriveTime::NotFound, mechanics_.Revolution * mechanics_.NotFoundRevolutions);
}

WdReply Wd1793::Answer(Bytes data) const {
    WdReply reply;
    reply.Data = std::move(data);
    reply.ReadyAt = now_;
    return reply;
}

WdReply Wd1793::Failure(std::uint8_t status, std::uint8_t sector, Bytes data) const {
    WdReply reply;
    reply.Error = true;
    reply.Status = status;
    reply.Sector = sector;
    reply.Data = std::move(data);
    reply.ReadyAt = now_;
    return reply;
}

WdReply Wd1793::Status() {
    if (Disk(SelectedDrive()) == nullptr) return Failure(wd::kNotReady, 0);
    return Answer({TypeOneStatus()});
}

WdReply Wd1793::Seek(std::uint8_t trackIndex) {
    if (Disk(SelectedDrive()) == nullptr) return Failure(wd::kNotReady, 0);
    if (trackIndex >= kTrackCount) return Failure(wd::kSeekError, 0);
    std::uint8_t reached = trackIndex;
    const auto fault = faults_.TakeSeekFault(trackIndex);
    if (fault == SeekFaultKind::SeekError) return Failure(wd::kSeekError, 0);
    if (fault == SeekFaultKind::WrongTrack)
        reached = static_cast<std::uint8_t>(trackIndex < 2 ? trackIndex + 2 : trackIndex - 2);

    std::uint8_t& cylinder = cylinders_[Index(SelectedDrive())];
    const auto target = static_cast<std::uint8_t>(CylinderOf(reached));
    const int steps = std::abs(int{target} - int{cylinder});
    Spend(DriveTime::Steps, mechanics_.StepTime * steps);
    if (steps > 0) Spend(DriveTime::Settle, mechanics_.SettleTime);
    cylinder = target;
    side_ = static_cast<std::uint8_t>(SideOf(reached));
    TouchHead();
    return Answer({TypeOneStatus(), reached});
}

WdReply Wd1793::ReadAddresses() {
    RawTrack* stored = StoredTrack();
    if (stored == nullptr) return Failure(wd::kNotReady, 0);
    const Drive drive = SelectedDrive();
    const std::uint8_t track = CurrentTrackIndex();
    const RawTrack seen = faults_.Apply(drive, track, *stored);
    WaitForIndex();
    Spend(DriveTime::ScanTurn, mechanics_.Revolution);
    TouchHead();
    const std::vector<IdField> ids = ReadIdFields(seen);
    if (ids.empty()) return Failure(wd::kRecordNotFound, 0);
    const std::optional<ReadBreak> scanBreak = faults_.ScanBreak(drive, track);
    Bytes data;
    data.reserve(ids.size() * kIdFieldLength);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (scanBreak && i == scanBreak->Kept) return Failure(scanBreak->Status, 0, data);
        const IdField& id = ids[i];
        // The WD1793 hands over all six bytes before it checks the CRC.
        data.insert(data.end(),
                    {id.C, id.H, id.R, id.N, static_cast<std::uint8_t>(id.StoredCrc >> 8),
                     static_cast<std::uint8_t>(id.StoredCrc)});
        if (!id.CrcGood && faults_.IdCrcStopsScan(drive, track, id.R))
            return Failure(wd::kCrcError, id.R, std::move(data));
    }
    if (scanBreak && scanBreak->Kept >= ids.size()) return Failure(scanBreak->Status, 0, data);
    return Answer(std::move(data));
}

WdReply Wd1793::ReadSector(std::uint8_t r) {
    RawTrack* stored = StoredTrack();
    if (stored == nullptr) return Failure(wd::kNotReady, r);
    const RawTrack seen =
        faults_.ApplyForSectorRead(SelectedDrive(), CurrentTrackIndex(), *stored);
    SectorRead read = virt::ReadSector(seen, r);
    faults_.NoteSectorRead(SelectedDrive(), CurrentTrackIndex(), r);
    TouchHead();
    if (read.Data.empty()) {
        WaitNotFound();
        return Failure(read.Status, r);
    }
    WaitForPosition(read.IdPosition, seen.Length());
    WaitBytes(DriveTime::Sector, read.EndPosition - read.IdPosition + 1, seen.Length());
    // A deleted data mark (F8): the WD1793 reads the whole field and ends the command
    // normally, only setting status bit 5 (record type). The controller sends every
    // non-zero end status as an error record, so the sector comes as an error record with
    // status 0x20 (0x28 when its CRC is bad as well) and all its bytes in the data part:
    // the host sees the mark ("Удаленные данные") and, from the missing error bits, that
    // the bytes are good. The sector list does the same per sector.
    if (read.Status != 0) return Failure(read.Status, r, std::move(read.Data));
    return Answer(std::move(read.Data));
}

WdReply Wd1793::ReadTrack() {
    RawTrack* stored = StoredTrack();
    if (stored == nullptr) return Failure(wd::kNotReady, 0);
    const Drive drive = SelectedDrive();
    const std::uint8_t track = CurrentTrackIndex();
    RawTrack seen = faults_.ApplyForRawRead(drive, track, *stored);
    WaitForIndex();
    TouchHead();
    // A drive turning a little fast or slow reads a few bytes less or more from index to
    // index; the extra bytes are the start of the track again.
    const std::ptrdiff_t change = faults_.DrawRawLengthChange(drive, track);
    const std::size_t length =
        change < 0 ? seen.Length() - std::min(seen.Length(), static_cast<std::size_t>(-change))
                   : seen.Length() + static_cast<std::size_t>(change);
    Bytes data(length);
    for (std::size_t i = 0; i < length; ++i)
        data[i] = seen.At(i);
    if (const std::optional<ReadBreak> cut = faults_.TakeRawReadBreak(drive, track)) {
        data.resize(std::min(data.size(), cut->Kept));
        WaitBytes(DriveTime::TrackTurn, data.size(), seen.Length());
        return Failure(cut->Status, 0, std::move(data));
    }
    Spend(DriveTime::TrackTurn, mechanics_.Revolution);
    return Answer(std::move(data));
}

WdReply Wd1793::WriteSector(std::uint8_t r, std::span<const std::uint8_t> data) {
    RawTrack* stored = StoredTrack();
    if (stored == nullptr) return Failure(wd::kNotReady, r);
    if (Disk(SelectedDrive())->WriteProtected) return Failure(wd::kWriteProtect, r);
    const RawTrack seen = faults_.Apply(SelectedDrive(), CurrentTrackIndex(), *stored);
    const SectorSearch search = FindSector(seen, r, false);
    TouchHead();
    if (!search.Id) {
        WaitNotFound();
        return Failure(search.Status, r);
    }
    // A host that sends fewer bytes than the sector holds leaves the WD1793 without data:
    // it writes zeros for the rest and reports lost data.
    const std::size_t size = WdSectorSize(search.Id->N);
    Bytes field(size, 0x00);
    std::copy_n(data.begin(), std::min(size, data.size()), field.begin());
    const std::size_t end = WriteDataField(*stored, *search.Id, field, kDataAddressMark);
    WaitForPosition(search.Id->MarkPosition, stored->Length());
    WaitBytes(DriveTime::Sector, end - search.Id->MarkPosition + 1, stored->Length());
    if (data.size() < size) return Failure(wd::kLostData, r);
    return Answer({});
}

WdReply Wd1793::WriteTrack(std::span<const FormatPair> pairs) {
    RawTrack* stored = StoredTrack();
    if (stored == nullptr) return Failure(wd::kNotReady, 0);
    if (Disk(SelectedDrive())->WriteProtected) return Failure(wd::kWriteProtect, 0);
    WaitForIndex();
    *stored = LayDownTrack(pairs, kStandardTrackLength);
    Spend(DriveTime::TrackTurn, mechanics_.Revolution);
    TouchHead();
    return Answer({});
}

}  // namespace morvane::virt
