// The USB-level faults of one emulated bus: which bulk transfer times out, which one moves
// fewer bytes, after which one the controller is unplugged. Only transfers that carry
// data are counted (an idle read that brings nothing but the chip's two status bytes
// is not), so a count names the same transfer however fast the host polls. The unplug
// may instead wait for an answer: the controller goes right after the first answer of
// at least so many bytes has gone up to the host in full, before the host can take it
// from its driver. Each fault happens once.
#pragma once

#include <cstddef>
#include <mutex>

namespace morvane::usbemu {

enum class TransferFate { Normal, TimeOut, Short };

class FaultPlan {
  public:
    FaultPlan() = default;
    // 0 leaves a fault out.
    FaultPlan(long unplugAfter, long timeoutAt, long shortAt, long unplugAfterAnswer = 0)
        : unplugAfter_(unplugAfter),
          timeoutAt_(timeoutAt),
          shortAt_(shortAt),
          unplugAfterAnswer_(unplugAfterAnswer) {}

    // Counts one transfer that carries data; how it is to go.
    TransferFate Count() {
        std::lock_guard lock(mutex_);
        ++counted_;
        if (counted_ == timeoutAt_) return TransferFate::TimeOut;
        if (counted_ == shortAt_) return TransferFate::Short;
        return TransferFate::Normal;
    }
    // The chip moved the last byte of an answer of this many bytes: nothing more waits.
    void AnswerUp(std::size_t bytes) {
        std::lock_guard lock(mutex_);
        if (unplugAfterAnswer_ > 0 && bytes >= static_cast<std::size_t>(unplugAfterAnswer_))
            answerUp_ = true;
    }
    // True once, when the transfers (or the answer) before the unplug have all been made.
    bool TakeUnplug() {
        std::lock_guard lock(mutex_);
        const bool counted = unplugAfter_ > 0 && counted_ >= unplugAfter_;
        if (unplugged_ || (!counted && !answerUp_)) return false;
        unplugged_ = true;
        return true;
    }
    long Counted() const {
        std::lock_guard lock(mutex_);
        return counted_;
    }

  private:
    mutable std::mutex mutex_;
    long unplugAfter_ = 0;
    long timeoutAt_ = 0;
    long shortAt_ = 0;
    long unplugAfterAnswer_ = 0;
    long counted_ = 0;
    bool answerUp_ = false;
    bool unplugged_ = false;
};

}  // namespace morvane::usbemu
