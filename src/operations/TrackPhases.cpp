#include "operations/TrackPhases.h"

#include <algorithm>
#include <optional>

#include "controller/ControllerProtocol.h"
#include "controller/RxRecords.h"
#include "controller/StatusText.h"
#include "model/SizeCode.h"
#include "model/DiskImage.h"
#include "operations/OperationHost.h"
#include "operations/OperationSession.h"

namespace morvane {

namespace {

constexpr std::size_t kIdRecordLength = 6;
constexpr std::size_t kScanMinimumForDiskRun = 4;  // a run ignores answers of 4 bytes or less
constexpr std::uint8_t kDeletedMark = 0x20;
constexpr std::uint8_t kReadFailureBits = 0x80 | 0x10 | 0x08 | 0x04;
// Expected size before any slot of the track gave one (size codes above 3 keep the last).
constexpr std::size_t kDefaultExpectedSize = 256;

QString Dec(std::size_t v) {
    return QString::number(v);
}

// Copies at most the 6500 bytes a buffer holds.
std::size_t CopyInto(std::span<const std::uint8_t> from, std::span<std::uint8_t> to) {
    const std::size_t n = std::min(from.size(), to.size());
    std::copy_n(from.begin(), n, to.begin());
    return n;
}

QString StatusText(int type, std::uint8_t status) {
    return QString::fromStdString(DecodeStatus(type, status));
}

}  // namespace

void EmptySlotsFrom(DiskImage& disk, Track& track, std::size_t first) {
    // The track is what the drive says it is: slots the scan did not fill (another disk's
    // sectors, say) are emptied, so nothing asks for sectors this disk does not have.
    for (std::size_t k = first; k < kSlotsPerTrack; ++k) {
        if (track.Slots[k].Present == 0) continue;
        track.ClearSlot(static_cast<std::uint8_t>(k));
        disk.RedrawSectorCell(track.Number, static_cast<std::uint8_t>(k));
    }
}

void FillSlots(DiskImage& disk, Track& track, std::span<const std::uint8_t> records) {
    const std::size_t count = std::min(records.size() / kIdRecordLength, kSlotsPerTrack);
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t* id = records.data() + k * kIdRecordLength;
        track.Present = kPresent;
        SectorSlot& slot = track.Slots[k];
        // Data read for another ID field does not belong to this one.
        if (slot.Cylinder != id[0] || slot.Head != id[1] || slot.Sector != id[2] ||
            slot.SizeCode != id[3])
            track.ClearSlot(static_cast<std::uint8_t>(k));
        slot.Present = kPresent;
        slot.Cylinder = id[0];
        slot.Head = id[1];
        slot.Sector = id[2];
        slot.SizeCode = id[3];
        slot.HeaderCrc = static_cast<std::uint16_t>(id[4] << 8 | id[5]);
        disk.RedrawSectorCell(track.Number, static_cast<std::uint8_t>(k));
    }
}

bool DeletedMarkOnly(const ErrorRecord& error) {
    const std::uint8_t status = error.StatusByte(0);
    return (status & kDeletedMark) != 0 && (status & kReadFailureBits) == 0 &&
           error.DataLength() > 0;
}

OperationOutcome ReadRawImages(OperationSession& session, Track& track,
                               std::vector<RawReadBuffer>& reads, std::size_t& length) {
    length = 0;
    std::vector<std::size_t> lengths;
    lengths.reserve(reads.size());
    for (RawReadBuffer& buffer : reads) {
        session.Protocol().SendCommand(CommandCode::ReadTrack);
        const WaitResult result = session.Wait();
        buffer.fill(0);
        if (result == WaitResult::Answer) {
            length = CopyInto(session.TakeAnswer().data, buffer);
        } else if (result == WaitResult::Error) {
            const ErrorRecord& error = session.TakeError();
            session.TrackLog(track, QStringLiteral("Ошибка чтения - ") + Hex2(error.StatusByte(0)),
                             true);
            length = CopyInto(error.data, buffer);
        } else if (const auto stop = session.Interrupted(result)) {
            return *stop;
        } else {
            session.ShowError(QStringLiteral("Время ожидания контроллера вышло."));
            return OperationOutcome::Stopped;
        }
        session.TrackLog(track,
                         QStringLiteral("Образ дорожки считан, размер - ") + Dec(length) + " байт.",
                         false);
        lengths.push_back(length);
    }
    length = VoteRawLength(lengths);
    return OperationOutcome::Done;
}

OperationOutcome ScanIdFields(OperationSession& session, Track& track, PhaseStyle style,
                              std::size_t& found) {
    found = 0;
    const bool run = style == PhaseStyle::DiskRun;
    const std::uint8_t t = track.Number;
    session.TrackLog(track, QStringLiteral("Начало сканирования дорожки."), false);
    session.Protocol().SendCommand(CommandCode::ReadAddresses);
    const WaitResult result = session.Wait();
    std::span<std::uint8_t> buffer = session.Protocol().ReplyBuffer().first(kTrackBufferSize);
    std::size_t length = 0;
    if (result == WaitResult::Answer) {
        length = CopyInto(session.TakeAnswer().data, buffer);
        if (run)
            session.TrackLog(track, QStringLiteral("Данные приняты - ") + Dec(length) + " bytes",
                             false);
    } else if (result == WaitResult::Error) {
        const ErrorRecord& error = session.TakeError();
        length = CopyInto(error.data, buffer);
        const QString what = run ? StatusText(kStatusTypeReadAddress, error.StatusByte(0))
                                 : Hex2(error.StatusByte(0));
        session.TrackLog(
            track, QStringLiteral("Ошибка сканирования - ") + what + " (Track - " + Dec(t) + ")",
            true);
    } else if (const auto stop = session.Interrupted(result)) {
        return *stop;
    } else {
        session.ShowError(QStringLiteral("Время ожидания вышло..."));
        return OperationOutcome::Stopped;
    }

    DiskImage& disk = session.Disk();
    // Only whole records, and no more than the track has slots.
    const std::size_t records = std::min(length / kIdRecordLength, kSlotsPerTrack);
    EmptySlotsFrom(disk, track, records);
    if (run && length <= kScanMinimumForDiskRun) return OperationOutcome::Done;
    if (!run) track.Present = kPresent;
    disk.RedrawTrackCell(t);
    FillSlots(disk, track, buffer.first(records * kIdRecordLength));
    found = records;
    session.TrackLog(
        track, QStringLiteral("Сканирование завершено. Найдено ") + Dec(records) + " секторов.",
        !run);
    return OperationOutcome::Done;
}

namespace {

// The size each of slots 0..count-1 should bring, from its size code; a code above 3
// keeps the size of the slot before it (256 before any).
std::vector<std::size_t> ExpectedSizes(const Track& track, std::size_t count) {
    std::vector<std::size_t> sizes(count);
    std::size_t expected = kDefaultExpectedSize;
    for (std::size_t m = 0; m < count; ++m) {
        const std::size_t size = SizeFromCode(track.Slots[m].SizeCode);
        if (size != 0) expected = size;
        sizes[m] = expected;
    }
    return sizes;
}

// The records of one sector list read, matched to the listed slots. The device answers
// the slots in list order, one record each; an answer carries no sector number, but an
// error record names its sector (status byte 1), and one that names another sector than
// the slot waited for is not taken for it. It belongs to a later slot when its records
// went missing on the way (those slots stay failed), or to no slot still to come (a
// record the device never sent for this list): it is passed over and the wait goes on.
// The list is order: slot indices, each once, in the order the sectors are asked for.
class ListRead {
  public:
    ListRead(OperationSession& session, Track& track, std::span<const std::uint8_t> order,
             PhaseStyle style, int& failed, Bytes* view, const ListRecordHook& hook)
        : session_(session),
          track_(track),
          order_(order),
          run_(style == PhaseStyle::DiskRun),
          failed_(failed),
          view_(view),
          hook_(hook),
          expected_(ExpectedSizes(track, SlotsSpanned(order))) {}

    OperationOutcome Run() {
        const std::size_t count = order_.size();
        for (std::size_t p = 0; p < count; ++p) {
            Visit(p);
            for (;;) {
                const WaitResult result = session_.Wait();
                if (const auto stop = session_.Interrupted(result)) return *stop;
                if (result != WaitResult::Answer && result != WaitResult::Error) {
                    session_.ShowError(QStringLiteral("Время ожидания вышло..."));
                    return OperationOutcome::Stopped;
                }
                if (result == WaitResult::Answer) {
                    if (hook_) hook_(p, false);
                    Store(p, session_.TakeAnswer().data, nullptr);
                    break;
                }
                const ErrorRecord& error = session_.TakeError();
                const std::optional<std::size_t> owner = OwnerOf(error, p);
                if (!owner) {
                    Passed(p, error.StatusByte(1));
                    continue;
                }
                // The slots before the record's own stay failed: theirs went missing.
                while (p < *owner) {
                    NoRecord(p, error.StatusByte(1));
                    Visit(++p);
                }
                if (hook_) hook_(p, true);
                Store(p, error.data, &error);
                break;
            }
        }
        return OperationOutcome::Done;
    }

  private:
    static std::size_t SlotsSpanned(std::span<const std::uint8_t> order) {
        std::size_t spanned = 0;
        for (std::uint8_t slot : order)
            spanned = std::max<std::size_t>(spanned, std::size_t{slot} + 1);
        return spanned;
    }
    SectorSlot& Slot(std::size_t p) { return track_.Slots[order_[p]]; }
    std::uint8_t Sector(std::size_t p) const { return track_.Slots[order_[p]].Sector; }
    QString Where(std::size_t p) const {
        return " (Track - " + Dec(track_.Number) + " / Sector - " + Dec(Sector(p)) + ")";
    }
    void Redraw(std::size_t p) { session_.Disk().RedrawSectorCell(track_.Number, order_[p]); }

    void Visit(std::size_t p) {
        session_.Log(QStringLiteral("Чтение сектора - ") + Dec(Sector(p)));
    }

    // The list position the error record answers, from p on; none when it names a sector
    // that no position from p on has. A record too short to name its sector is taken for
    // position p.
    std::optional<std::size_t> OwnerOf(const ErrorRecord& error, std::size_t p) const {
        if (error.StatusLength() < 2) return p;
        for (std::size_t k = p; k < order_.size(); ++k)
            if (Sector(k) == error.StatusByte(1)) return k;
        return std::nullopt;
    }

    void Passed(std::size_t p, std::uint8_t named) {
        session_.TrackLog(track_,
                          QStringLiteral("Ответ сектора ") + Dec(named) +
                              " пропущен: ожидался сектор " + Dec(Sector(p)) + Where(p),
                          true);
    }

    void NoRecord(std::size_t p, std::uint8_t named) {
        SectorSlot& slot = Slot(p);
        session_.TrackLog(track_,
                          QStringLiteral("Сектор ") + Dec(slot.Sector) +
                              " не считан: пришёл ответ сектора " + Dec(named) + Where(p),
                          true);
        slot.DataLength = 0;
        slot.DataGood = 0;
        ++failed_;
        Redraw(p);
    }

    // The bytes of position p from its answer, or from its error record when error is set.
    void Store(std::size_t p, std::span<const std::uint8_t> data, const ErrorRecord* error) {
        SectorSlot& slot = Slot(p);
        const std::size_t expected = expected_[order_[p]];
        bool good = true;
        if (error && DeletedMarkOnly(*error)) {
            session_.TrackLog(
                track_,
                StatusText(kStatusTypeReadSector, error->StatusByte(0)).trimmed() + Where(p),
                false);
            error = nullptr;
        } else if (error) {
            good = false;
            ++failed_;
        }
        const std::size_t n =
            CopyInto(data, slot.Data.first(std::min(data.size(), slot.Data.size())));
        slot.DataLength = static_cast<std::uint16_t>(n);
        if (n != expected) {
            session_.TrackLog(track_,
                              QStringLiteral("Длинна сектора - ") + Dec(expected) +
                                  " byte не равна колличеству считанных байтов - " + Dec(n),
                              true);
            // An error record already counted this sector.
            if (good) ++failed_;
            good = false;
        }
        if (view_)
            view_->insert(view_->end(), data.begin(),
                          data.begin() + static_cast<std::ptrdiff_t>(n));
        if (error) {
            const QString detail =
                run_ ? QStringLiteral(" / Ошибка - ") +
                           StatusText(kStatusTypeReadSector, error->StatusByte(0))
                     : QStringLiteral(" - #1Fr reg = ") + Hex2(error->StatusByte(0));
            session_.TrackLog(track_,
                              QStringLiteral("Ошибка чтения сектора ") + Dec(error->StatusByte(1)) +
                                  detail + Where(p),
                              true);
        } else {
            slot.Present = kPresent;
        }
        slot.DataGood = good ? kDataGood : 0;
        Redraw(p);
    }

    OperationSession& session_;
    Track& track_;
    const std::span<const std::uint8_t> order_;
    const bool run_;
    int& failed_;
    Bytes* view_;
    const ListRecordHook& hook_;
    const std::vector<std::size_t> expected_;  // by slot
};

QString OrderText(const Track& track, std::span<const std::uint8_t> order) {
    QString text;
    for (std::uint8_t slot : order)
        text += QLatin1Char(' ') + Hex2(track.Slots[slot].Sector);
    return text;
}

}  // namespace

OperationOutcome ReadListedSectors(OperationSession& session, Track& track, PhaseStyle style,
                                   int& failed, Bytes* view, const ListRecordHook& hook) {
    const std::size_t count = track.CountSectors();
    if (count == 0) return OperationOutcome::Done;
    Bytes order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = static_cast<std::uint8_t>(i);
    return ReadSlotsInOrder(session, track, order, style, failed, view, hook);
}

OperationOutcome ReadSlotsInOrder(OperationSession& session, Track& track,
                                  std::span<const std::uint8_t> order, PhaseStyle style,
                                  int& failed, Bytes* view, const ListRecordHook& hook) {
    if (order.empty()) return OperationOutcome::Done;
    if (style == PhaseStyle::DiskRun) session.Disk().RedrawTrackCell(track.Number);
    session.TrackLog(track, QStringLiteral("Чтение секторов - ") + OrderText(track, order), true);
    Bytes list(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        list[i] = track.Slots[order[i]].Sector;
    session.Protocol().SendCommandBlock(CommandCode::ReadSectors, list);
    return ListRead(session, track, order, style, failed, view, hook).Run();
}

}  // namespace morvane
