#include "RxDecoder.h"

#include <algorithm>

namespace morvane {

RxDecoder::RxDecoder() {
    collect_.reserve(kCollectCapacity);
    savedData_.reserve(kErrorDataCapacity);
}

void RxDecoder::Reset() {
    answerCollecting_ = false;
    errorCollecting_ = false;
}

void RxDecoder::StartPart() {
    pendingHigh_ = 0;
    collect_.clear();
    collectCut_ = false;
}

void RxDecoder::Append(std::uint8_t b) {
    if (collect_.size() < kCollectCapacity)
        collect_.push_back(b);
    else
        collectCut_ = true;
}

void RxDecoder::CloseAnswer(RxRecordSink& sink) {
    AnswerRecord answer;
    const std::size_t n = std::min(collect_.size(), kAnswerCapacity);
    answer.data.assign(collect_.begin(), collect_.begin() + static_cast<std::ptrdiff_t>(n));
    answer.truncated = collectCut_ || n < collect_.size();
    answerCollecting_ = false;
    sink.OnAnswer(std::move(answer));
}

void RxDecoder::CloseError(RxRecordSink& sink) {
    ErrorRecord error;
    const std::size_t n = std::min(collect_.size(), kErrorStatusCapacity);
    error.status.assign(collect_.begin(), collect_.begin() + static_cast<std::ptrdiff_t>(n));
    error.data = savedData_;
    error.truncated = collectCut_ || n < collect_.size() || savedDataCut_;
    errorCollecting_ = false;
    sink.OnError(std::move(error));
}

void RxDecoder::Feed(std::uint8_t b, RxRecordSink& sink) {
    const bool collecting = answerCollecting_ || errorCollecting_;
    if (b == kRxStart) {
        if (errorCollecting_ && !collect_.empty()) CloseError(sink);
        errorCollecting_ = false;
        answerCollecting_ = true;
        StartPart();
    } else if (b == kRxErrorMark) {
        // The device opens every answer, failed or not, with a start byte. A mark with no
        // frame open is line noise like any other byte outside a frame: taken as an error
        // record, it would stand in for the answer of the next command and shift every
        // later answer onto the wrong command.
        if (!collecting) return;
        // A mark inside an error's status part has no data part; the data of the earlier
        // mark must not be reported again.
        savedData_.clear();
        savedDataCut_ = false;
        if (answerCollecting_) {
            const std::size_t n = std::min(collect_.size(), kErrorDataCapacity);
            savedData_.assign(collect_.begin(), collect_.begin() + static_cast<std::ptrdiff_t>(n));
            savedDataCut_ = collectCut_ || n < collect_.size();
            answerCollecting_ = false;
        }
        errorCollecting_ = true;
        StartPart();
    } else if (b == kRxEnd) {
        if (answerCollecting_) CloseAnswer(sink);
        if (errorCollecting_) CloseError(sink);
    } else if (!collecting) {
        return;
    } else if (b >= 0x20 && b <= 0x2F) {
        pendingHigh_ = static_cast<std::uint8_t>((b & 0x0F) << 4);
    } else if (b >= 0x30 && b <= 0x3F) {
        Append(static_cast<std::uint8_t>(pendingHigh_ | (b & 0x0F)));
        pendingHigh_ = 0;
    } else if (b >= 0xB0) {
        pendingHigh_ = 0;
        Append(b);
    }
}

void RxDecoder::Feed(std::span<const std::uint8_t> bytes, RxRecordSink& sink) {
    for (std::uint8_t b : bytes)
        Feed(b, sink);
}

}  // namespace morvane
