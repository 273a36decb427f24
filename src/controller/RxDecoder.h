// The state machine that turns the controller's byte stream into answer and error records.
//
//   0x0A          start of an answer (drops a partial answer; closes a pending error)
//   0x0B          the data so far becomes the data part; status bytes follow (ignored
//                 outside a frame)
//   0xAA          end of the answer or of the error answer
//   0x20..0x2F    high nibble of a data byte
//   0x30..0x3F    low nibble; completes the byte
//   0xB0..0xFF    a data byte standing for itself
//   anything else is ignored, as is every data byte outside a frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "RxRecords.h"

namespace morvane {

inline constexpr std::uint8_t kRxStart = 0x0A;
inline constexpr std::uint8_t kRxErrorMark = 0x0B;
inline constexpr std::uint8_t kRxEnd = 0xAA;

// Receives the records as they complete.
class RxRecordSink {
  public:
    virtual ~RxRecordSink() = default;
    virtual void OnAnswer(AnswerRecord&& answer) = 0;
    virtual void OnError(ErrorRecord&& error) = 0;
};

class RxDecoder {
  public:
    RxDecoder();

    void Feed(std::uint8_t b, RxRecordSink& sink);
    void Feed(std::span<const std::uint8_t> bytes, RxRecordSink& sink);

    // Forgets any frame in progress (both collecting states off).
    void Reset();

    bool CollectingAnswer() const { return answerCollecting_; }
    bool CollectingError() const { return errorCollecting_; }

  private:
    void StartPart();
    void Append(std::uint8_t b);
    void CloseAnswer(RxRecordSink& sink);
    void CloseError(RxRecordSink& sink);

    std::vector<std::uint8_t> collect_;  // capacity kCollectCapacity, reserved once
    bool collectCut_ = false;
    std::vector<std::uint8_t> savedData_;  // data part of the error in progress
    bool savedDataCut_ = false;
    bool answerCollecting_ = false;
    bool errorCollecting_ = false;
    std::uint8_t pendingHigh_ = 0;
};

}  // namespace morvane
