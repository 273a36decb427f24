// The USB-level faults of one emulated bus: which bulk transfer times out, which one moves
// fewer bytes, after which one the controller is unplugged. Only transfers that carry
// data are counted (an idle read that brings nothing but the chip's two status bytes
// is not), so a count names the same transfer however fast the host polls. Each fault
// happens once.
#pragma once

#include <mutex>

namespace morvane::usbemu {

enum class TransferFate { Normal, TimeOut, Short };

class FaultPlan {
  public:
    FaultPlan() = default;
    // 0 leaves a fault out.
    FaultPlan(long unplugAfter, long timeoutAt, long shortAt)
        : unplugAfter_(unplugAfter), timeoutAt_(timeoutAt), shortAt_(shortAt) {}

    // Counts one transfer that carries data; how it is to go.
    TransferFate Count() {
        std::lock_guard lock(mutex_);
        ++counted_;
        if (counted_ == timeoutAt_) return TransferFate::TimeOut;
        if (counted_ == shortAt_) return TransferFate::Short;
        return TransferFate::Normal;
    }
    // True once, when the transfers before the unplug have all been made.
    bool TakeUnplug() {
        std::lock_guard lock(mutex_);
        if (unplugged_ || unplugAfter_ <= 0 || counted_ < unplugAfter_) return false;
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
    long counted_ = 0;
    bool unplugged_ = false;
};

}  // namespace morvane::usbemu
