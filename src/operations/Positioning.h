// Putting the head on a track the way every operation does it: status query (missing
// disk, controller time-out, optionally write protect), seek to track index 160, seek to
// the track. Each operation family words its messages differently, so the texts are
// parameters; the steps are one.
#pragma once

#include <QString>

#include <cstdint>

#include "operations/OperationContext.h"

namespace morvane {

class OperationSession;

struct PositioningTexts {
    QString noDisk;                    // status query answered with an error record
    QString timeout;                   // status query timed out
    QString writeProtected;            // status bit 6 set; empty: not checked
    QString seekHome;                  // the seek to track index 160 failed
    QString seekTrack;                 // the seek to the track failed
    bool seekTrackNamesTrack = false;  // seekTrack is followed by the track index
};

// Texts of the single-track reads: "Диск отсутствует." ... "Ошибка позиционирования."
PositioningTexts ReadPositioningTexts();
// Texts of the whole-disk runs and the bad-sector reread: the track seek names the track.
PositioningTexts RunPositioningTexts();
// Texts of sector write and track format, with the write-protect check.
PositioningTexts WritePositioningTexts();

inline constexpr std::uint8_t kHomeTrack = 160;

// Status query, then the seek to track index 160. Done, Stopped (message shown) or
// LinkLost (message shown).
OperationOutcome PrepareHead(OperationSession& session, const PositioningTexts& texts);
// The seek to one track, with its message on failure.
OperationOutcome SeekToTrack(OperationSession& session, std::uint8_t track,
                             const PositioningTexts& texts);
// All three steps.
OperationOutcome PositionHead(OperationSession& session, std::uint8_t track,
                              const PositioningTexts& texts);

}  // namespace morvane
