// What the window asks before a command writes to the disk in the drive: which drive, and
// what on that disk is lost. Every such question offers OK and Cancel, Cancel the default
// and the answer to Escape; the command goes on only on OK. "Форматировать диск" first asks
// which disk to make, with Cancel beside TR-DOS ("Да") and CP/M ("Нет").
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "controller/ControllerCommands.h"
#include "model/UserQuestion.h"
#include "operations/DiskWrite.h"

namespace morvane {

class DiskImage;

// "A:" or "B:".
QString DriveText(Drive drive);

// "Форматировать диск": TR-DOS (Yes), CP/M (No) or nothing (Cancel).
Question FormatKindQuestion();
// "Форматировать диск", once the kind (and a TR-DOS disk's name) is chosen.
Question FormatDiskQuestion(Drive drive, NewDiskKind kind, const QString& name);
// "Записать диск": the present tracks of the image are laid down anew. Nothing when the
// image has no present track (the command then writes nothing).
std::optional<Question> WriteDiskQuestion(Drive drive, const DiskImage& image);
// "Формат дорожки" and "Записать дорожку" on track index `track`.
Question FormatTrackQuestion(Drive drive, std::uint8_t track);
Question WriteTrackQuestion(Drive drive, std::uint8_t track);
// "Записать сектор": sector number `sector` of track index `track`.
Question WriteSectorQuestion(Drive drive, std::uint8_t track, std::uint8_t sector);

}  // namespace morvane
