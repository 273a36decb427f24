#include "operations/Positioning.h"

#include "controller/ControllerProtocol.h"
#include "operations/OperationSession.h"

namespace morvane {

namespace {

constexpr std::uint8_t kWriteProtectBit = 0x40;

}  // namespace

PositioningTexts ReadPositioningTexts() {
    return {QStringLiteral("Диск отсутствует."),
            QStringLiteral("Время ожидания контроллера вышло."),
            QString(),
            QStringLiteral("Ошибка позиционирования."),
            QStringLiteral("Ошибка позиционирования."),
            false};
}

PositioningTexts RunPositioningTexts() {
    PositioningTexts texts = ReadPositioningTexts();
    texts.seekTrack = QStringLiteral("Ошибка позиционирования. Дорожка - ");
    texts.seekTrackNamesTrack = true;
    return texts;
}

PositioningTexts WritePositioningTexts() {
    return {QStringLiteral("Диск отсутствует!"),
            QStringLiteral("Время ожидания контроллера вышло!"),
            QStringLiteral("Диск защищен от записи!"),
            QStringLiteral("Ошибка позиционирования!"),
            QStringLiteral("Ошибка позиционирования!"),
            false};
}

OperationOutcome PrepareHead(OperationSession& session, const PositioningTexts& texts) {
    StatusOutcome how = StatusOutcome::Status;
    const std::uint8_t status = session.Protocol().QueryStatus(&how);
    if (const auto stop = session.Interrupted(how)) return *stop;
    if (status == kStatusErrorRecord) {
        session.ShowError(texts.noDisk);
        return OperationOutcome::Stopped;
    }
    if (status == kStatusTimedOut) {
        session.ShowError(texts.timeout);
        return OperationOutcome::Stopped;
    }
    if (!texts.writeProtected.isEmpty() && (status & kWriteProtectBit) != 0) {
        session.ShowError(texts.writeProtected);
        return OperationOutcome::Stopped;
    }
    if (!session.Protocol().SeekTrack(kHomeTrack)) {
        if (const auto stop = session.Interrupted(session.Protocol().LastWaitResult()))
            return *stop;
        session.ShowError(texts.seekHome);
        return OperationOutcome::Stopped;
    }
    return OperationOutcome::Done;
}

OperationOutcome SeekToTrack(OperationSession& session, std::uint8_t track,
                             const PositioningTexts& texts) {
    if (!session.Protocol().SeekTrack(track)) {
        if (const auto stop = session.Interrupted(session.Protocol().LastWaitResult()))
            return *stop;
        session.ShowError(texts.seekTrackNamesTrack ? texts.seekTrack + QString::number(track)
                                                    : texts.seekTrack);
        return OperationOutcome::Stopped;
    }
    return OperationOutcome::Done;
}

OperationOutcome PositionHead(OperationSession& session, std::uint8_t track,
                              const PositioningTexts& texts) {
    const OperationOutcome home = PrepareHead(session, texts);
    if (home != OperationOutcome::Done) return home;
    return SeekToTrack(session, track, texts);
}

}  // namespace morvane
