#include "operations/TrackPhases.h"

#include <algorithm>

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
    if (run && length <= kScanMinimumForDiskRun) return OperationOutcome::Done;
    if (!run) track.Present = kPresent;
    disk.RedrawTrackCell(t);
    // Only whole records, and no more than the track has slots.
    const std::size_t records = std::min(length / kIdRecordLength, kSlotsPerTrack);
    for (std::size_t k = 0; k < records; ++k) {
        const std::uint8_t* id = buffer.data() + k * kIdRecordLength;
        track.Present = kPresent;
        TSectorSlot& slot = track.Slots[k];
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

OperationOutcome ReadListedSectors(OperationSession& session, TTrack& track, PhaseStyle style,
                                   int& failed, Bytes* view) {
    const bool run = style == PhaseStyle::DiskRun;
    const std::uint8_t t = track.Number;
    const std::size_t count = track.CountSectors();
    if (count == 0) return OperationOutcome::Done;
    TZX_Disk& disk = session.Disk();
    if (run) disk.RedrawTrackCell(t);
    session.TrackLog(track, QStringLiteral("Чтение секторов - ") + SectorListText(track, count),
                     true);
    Bytes list(count);
    for (std::size_t i = 0; i < count; ++i)
        list[i] = track.Slots[i].Sector;
    session.Protocol().SendCommandBlock(cmdReadSectors, list);

    std::size_t expected = kDefaultExpectedSize;
    for (std::size_t m = 0; m < count; ++m) {
        TSectorSlot& slot = track.Slots[m];
        const std::uint8_t r = slot.Sector;
        session.Log(QStringLiteral("Чтение сектора - ") + Dec(r));
        if (SizeFromCode(slot.SizeCode) != 0) expected = SizeFromCode(slot.SizeCode);
        const int result = session.Wait();
        if (const auto stop = session.Interrupted(result)) return *stop;
        if (result != wrAnswer && result != wrError) {
            session.ShowError(QStringLiteral("Время ожидания вышло..."));
            return OperationOutcome::Stopped;
        }
        std::span<const std::uint8_t> data;
        bool good = true;
        const ErrorRecord* error = nullptr;
        if (result == wrAnswer) {
            data = session.TakeAnswer().data;
        } else {
            error = &session.TakeError();
            data = error->data;
            if (DeletedMarkOnly(*error)) {
                session.TrackLog(track,
                                 StatusText(kStatusTypeReadSector, error->StatusByte(0)).trimmed() +
                                     " (Track - " + Dec(t) + " / Sector - " + Dec(r) + ")",
                                 false);
                error = nullptr;
            } else {
                good = false;
                ++failed;
            }
        }
        const std::size_t n =
            CopyInto(data, slot.Data.first(std::min(data.size(), slot.Data.size())));
        slot.DataLength = static_cast<std::uint16_t>(n);
        if (n != expected) {
            session.TrackLog(track,
                             QStringLiteral("Длинна сектора - ") + Dec(expected) +
                                 " byte не равна колличеству считанных байтов - " + Dec(n),
                             true);
            // An error record already counted this sector.
            if (good) ++failed;
            good = false;
        }
        if (view)
            view->insert(view->end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
        if (error) {
            const QString detail =
                run ? QStringLiteral(" / Ошибка - ") +
                          StatusText(kStatusTypeReadSector, error->StatusByte(0))
                    : QStringLiteral(" - #1Fr reg = ") + Hex2(error->StatusByte(0));
            session.TrackLog(track,
                             QStringLiteral("Ошибка чтения сектора ") + Dec(error->StatusByte(1)) +
                                 detail + " (Track - " + Dec(t) + " / Sector - " + Dec(r) + ")",
                             true);
        } else {
            slot.Present = kPresent;
        }
        slot.DataGood = good ? kDataGood : 0;
        disk.RedrawSectorCell(t, static_cast<std::uint8_t>(m));
    }
    return OperationOutcome::Done;
}

}  // namespace morvane
