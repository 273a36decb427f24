#include "operations/TrackPhases.h"

#include <algorithm>
#include <optional>

#include "controller/ControllerProtocol.h"
#include "controller/RxRecords.h"
#include "controller/StatusText.h"
#include "model/SizeCode.h"
#include "model/ZxDisk.h"
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

QString SectorListText(const TTrack& track, std::size_t count) {
    QString text;
    for (std::size_t i = 0; i < count; ++i)
        text += QLatin1Char(' ') + Hex2(track.Slots[i].Sector);
    return text;
}

QString StatusText(int type, std::uint8_t status) {
    return QString::fromStdString(DecodeStatus(type, status));
}

}  // namespace

bool DeletedMarkOnly(const ErrorRecord& error) {
    const std::uint8_t status = error.StatusByte(0);
    return (status & kDeletedMark) != 0 && (status & kReadFailureBits) == 0 &&
           error.DataLength() > 0;
}

OperationOutcome ReadRawImages(OperationSession& session, TTrack& track,
                               std::vector<RawReadBuffer>& reads, std::size_t& length) {
    length = 0;
    std::vector<std::size_t> lengths;
    lengths.reserve(reads.size());
    for (RawReadBuffer& buffer : reads) {
        session.Protocol().SendCommand(cmdReadTrack);
        const int result = session.Wait();
        buffer.fill(0);
        if (result == wrAnswer) {
            length = CopyInto(session.TakeAnswer().data, buffer);
        } else if (result == wrError) {
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

OperationOutcome ScanIdFields(OperationSession& session, TTrack& track, PhaseStyle style,
                              std::size_t& found) {
    found = 0;
    const bool run = style == PhaseStyle::DiskRun;
    const std::uint8_t t = track.Number;
    session.TrackLog(track, QStringLiteral("Начало сканирования дорожки."), false);
    session.Protocol().SendCommand(cmdReadAddresses);
    const int result = session.Wait();
    std::span<std::uint8_t> buffer = session.Protocol().ReplyBuffer().first(kTrackBufferSize);
    std::size_t length = 0;
    if (result == wrAnswer) {
        length = CopyInto(session.TakeAnswer().data, buffer);
        if (run)
            session.TrackLog(track, QStringLiteral("Данные приняты - ") + Dec(length) + " bytes",
                             false);
    } else if (result == wrError) {
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

    TZX_Disk& disk = session.Disk();
    // Only whole records, and no more than the track has slots.
    const std::size_t records = std::min(length / kIdRecordLength, kSlotsPerTrack);
    // The track is what the drive says it is: slots the scan did not fill (another disk's
    // sectors, say) are emptied, so nothing asks for sectors this disk does not have.
    for (std::size_t k = records; k < kSlotsPerTrack; ++k) {
        if (track.Slots[k].Present == 0) continue;
        track.ClearSlot(static_cast<std::uint8_t>(k));
        disk.RedrawSectorCell(t, static_cast<std::uint8_t>(k));
    }
    if (run && length <= kScanMinimumForDiskRun) return OperationOutcome::Done;
    if (!run) track.Present = kPresent;
    disk.RedrawTrackCell(t);
    for (std::size_t k = 0; k < records; ++k) {
        const std::uint8_t* id = buffer.data() + k * kIdRecordLength;
        track.Present = kPresent;
        TSectorSlot& slot = track.Slots[k];
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
        disk.RedrawSectorCell(t, static_cast<std::uint8_t>(k));
    }
    found = records;
    session.TrackLog(
        track, QStringLiteral("Сканирование завершено. Найдено ") + Dec(records) + " секторов.",
        !run);
    return OperationOutcome::Done;
}

namespace {

// The records of one sector list read, matched to the listed slots. The device answers
// the slots in list order, one record each; an answer carries no sector number, but an
// error record names its sector (status byte 1), and one that names another sector than
// the slot waited for is not taken for it. It belongs to a later slot when its records
// went missing on the way (those slots stay failed), or to no slot still to come (a
// record the device never sent for this list): it is passed over and the wait goes on.
class ListRead {
  public:
    ListRead(OperationSession& session, TTrack& track, std::size_t count, PhaseStyle style,
             int& failed, Bytes* view)
        : session_(session),
          track_(track),
          count_(count),
          run_(style == PhaseStyle::DiskRun),
          failed_(failed),
          view_(view) {}

    OperationOutcome Run() {
        for (std::size_t m = 0; m < count_; ++m) {
            Visit(m);
            for (;;) {
                const int result = session_.Wait();
                if (const auto stop = session_.Interrupted(result)) return *stop;
                if (result != wrAnswer && result != wrError) {
                    session_.ShowError(QStringLiteral("Время ожидания вышло..."));
                    return OperationOutcome::Stopped;
                }
                if (result == wrAnswer) {
                    Store(m, session_.TakeAnswer().data, nullptr);
                    break;
                }
                const ErrorRecord& error = session_.TakeError();
                const std::optional<std::size_t> owner = OwnerOf(error, m);
                if (!owner) {
                    Passed(m, error.StatusByte(1));
                    continue;
                }
                // The slots before the record's own stay failed: theirs went missing.
                while (m < *owner) {
                    NoRecord(m, error.StatusByte(1));
                    Visit(++m);
                }
                Store(m, error.data, &error);
                break;
            }
        }
        return OperationOutcome::Done;
    }

  private:
    std::uint8_t Sector(std::size_t m) const { return track_.Slots[m].Sector; }
    QString Where(std::size_t m) const {
        return " (Track - " + Dec(track_.Number) + " / Sector - " + Dec(Sector(m)) + ")";
    }

    void Visit(std::size_t m) {
        session_.Log(QStringLiteral("Чтение сектора - ") + Dec(Sector(m)));
        const std::size_t size = SizeFromCode(track_.Slots[m].SizeCode);
        if (size != 0) expected_ = size;
    }

    // The slot the error record answers, from m on; none when it names a sector that no
    // slot from m on has. A record too short to name its sector is taken for slot m.
    std::optional<std::size_t> OwnerOf(const ErrorRecord& error, std::size_t m) const {
        if (error.StatusLength() < 2) return m;
        for (std::size_t k = m; k < count_; ++k)
            if (Sector(k) == error.StatusByte(1)) return k;
        return std::nullopt;
    }

    void Passed(std::size_t m, std::uint8_t named) {
        session_.TrackLog(track_,
                          QStringLiteral("Ответ сектора ") + Dec(named) +
                              " пропущен: ожидался сектор " + Dec(Sector(m)) + Where(m),
                          true);
    }

    void NoRecord(std::size_t m, std::uint8_t named) {
        TSectorSlot& slot = track_.Slots[m];
        session_.TrackLog(track_,
                          QStringLiteral("Сектор ") + Dec(slot.Sector) +
                              " не считан: пришёл ответ сектора " + Dec(named) + Where(m),
                          true);
        slot.DataLength = 0;
        slot.DataGood = 0;
        ++failed_;
        session_.Disk().RedrawSectorCell(track_.Number, static_cast<std::uint8_t>(m));
    }

    // The bytes of slot m from its answer, or from its error record when error is set.
    void Store(std::size_t m, std::span<const std::uint8_t> data, const ErrorRecord* error) {
        TSectorSlot& slot = track_.Slots[m];
        bool good = true;
        if (error && DeletedMarkOnly(*error)) {
            session_.TrackLog(
                track_,
                StatusText(kStatusTypeReadSector, error->StatusByte(0)).trimmed() + Where(m),
                false);
            error = nullptr;
        } else if (error) {
            good = false;
            ++failed_;
        }
        const std::size_t n =
            CopyInto(data, slot.Data.first(std::min(data.size(), slot.Data.size())));
        slot.DataLength = static_cast<std::uint16_t>(n);
        if (n != expected_) {
            session_.TrackLog(track_,
                              QStringLiteral("Длинна сектора - ") + Dec(expected_) +
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
                                  detail + Where(m),
                              true);
        } else {
            slot.Present = kPresent;
        }
        slot.DataGood = good ? kDataGood : 0;
        session_.Disk().RedrawSectorCell(track_.Number, static_cast<std::uint8_t>(m));
    }

    OperationSession& session_;
    TTrack& track_;
    const std::size_t count_;
    const bool run_;
    int& failed_;
    Bytes* view_;
    std::size_t expected_ = kDefaultExpectedSize;
};

}  // namespace

OperationOutcome ReadListedSectors(OperationSession& session, TTrack& track, PhaseStyle style,
                                   int& failed, Bytes* view) {
    const std::size_t count = track.CountSectors();
    if (count == 0) return OperationOutcome::Done;
    if (style == PhaseStyle::DiskRun) session.Disk().RedrawTrackCell(track.Number);
    session.TrackLog(track, QStringLiteral("Чтение секторов - ") + SectorListText(track, count),
                     true);
    Bytes list(count);
    for (std::size_t i = 0; i < count; ++i)
        list[i] = track.Slots[i].Sector;
    session.Protocol().SendCommandBlock(cmdReadSectors, list);
    return ListRead(session, track, count, style, failed, view).Run();
}

}  // namespace morvane
