#include "ui/shell/DiskWriteQuestions.h"

#include <optional>

#include "model/DiskImage.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

Question Confirmation(const QString& text) {
    return {.caption = kCaptionAttention, .text = text.toStdString(), .buttons = Buttons::OkCancel};
}

// "дорожку 10 (цилиндр 5, сторона 0)": the map's track index and where it lies.
QString TrackText(std::uint8_t track) {
    return Ui::tr("%1 (цилиндр %2, сторона %3)").arg(track).arg(track / 2).arg(track % 2);
}

}  // namespace

QString DriveText(Drive drive) {
    return drive == Drive::B ? QStringLiteral("B:") : QStringLiteral("A:");
}

Question FormatKindQuestion() {
    return {.caption = QT_TRANSLATE_NOOP("morvane::Ui", "Форматировать диск"),
            .text = QT_TRANSLATE_NOOP("morvane::Ui",
                                      "Разметить диск под TR-DOS (16 секторов по 256 байт)?\n"
                                      "\"Нет\" - под CP/M Profi (5 секторов по 1024 байта)."),
            .buttons = Buttons::YesNoCancel};
}

Question FormatDiskQuestion(Drive drive, NewDiskKind kind, const QString& name) {
    const QString layout =
        kind == NewDiskKind::TrDos
            ? Ui::tr("TR-DOS (16 секторов по 256 байт, имя диска \"%1\")").arg(name)
            : Ui::tr("CP/M Profi (5 секторов по 1024 байта)");
    return Confirmation(Ui::tr("Форматировать диск в дисководе %1 под %2?\n"
                               "Все 160 дорожек диска будут размечены заново: всё, что записано "
                               "на диске, будет потеряно.")
                            .arg(DriveText(drive), layout));
}

std::optional<Question> WriteDiskQuestion(Drive drive, const DiskImage& image) {
    std::optional<std::uint8_t> first;
    std::uint8_t last = 0;
    int count = 0;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track* track = image.GetTrack(static_cast<std::uint8_t>(t));
        if (track == nullptr || track->Present == 0) continue;
        if (!first) first = static_cast<std::uint8_t>(t);
        last = static_cast<std::uint8_t>(t);
        ++count;
    }
    if (!first) return std::nullopt;
    return Confirmation(Ui::tr("Записать образ на диск в дисководе %1?\n"
                               "Дорожки диска с %2 по %3, которые есть в образе (%4), будут "
                               "размечены заново: всё, что на них записано, будет потеряно.")
                            .arg(DriveText(drive))
                            .arg(*first)
                            .arg(last)
                            .arg(count));
}

Question FormatTrackQuestion(Drive drive, std::uint8_t track) {
    return Confirmation(Ui::tr("Разметить заново дорожку %1 на диске в дисководе %2?\n"
                               "Всё, что записано на этой дорожке, будет потеряно.")
                            .arg(TrackText(track), DriveText(drive)));
}

Question WriteTrackQuestion(Drive drive, std::uint8_t track) {
    return Confirmation(Ui::tr("Записать дорожку %1 образа на диск в дисководе %2?\n"
                               "Дорожка будет размечена заново: всё, что на ней записано, "
                               "будет потеряно.")
                            .arg(TrackText(track), DriveText(drive)));
}

Question WriteSectorQuestion(Drive drive, std::uint8_t track, std::uint8_t sector) {
    return Confirmation(Ui::tr("Записать сектор %1 дорожки %2 на диск в дисководе %3?\n"
                               "То, что записано в этом секторе, будет потеряно.")
                            .arg(QString::number(sector), TrackText(track), DriveText(drive)));
}

}  // namespace morvane
