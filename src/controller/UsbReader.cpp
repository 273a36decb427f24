#include "controller/UsbReader.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace morvane {

namespace {

constexpr auto kIdlePause = std::chrono::microseconds(200);

}  // namespace

UsbReader::Hold::Hold(UsbReader& reader) : reader_(reader) {
    ++reader_.ioWaiters_;
    reader_.ioMutex_.lock();
    --reader_.ioWaiters_;
}

UsbReader::Hold::~Hold() {
    reader_.ioMutex_.unlock();
}

void UsbReader::Start(ReadPiece read) {
    Stop();
    Clear();
    failed_ = false;
    failureCode_ = 0;
    thread_ =
        std::jthread([this, read = std::move(read)](std::stop_token stop) { Loop(stop, read); });
}

void UsbReader::Stop() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    thread_.join();
}

std::size_t UsbReader::Queued() const {
    std::lock_guard lock(rxMutex_);
    return rx_.size();
}

std::size_t UsbReader::Take(std::span<std::uint8_t> out) {
    std::lock_guard lock(rxMutex_);
    const std::size_t n = std::min(out.size(), rx_.size());
    std::copy_n(rx_.begin(), n, out.begin());
    rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void UsbReader::Clear() {
    std::lock_guard lock(rxMutex_);
    rx_.clear();
}

void UsbReader::SetDataArrivedCallback(std::function<void()> callback) {
    std::lock_guard lock(callbackMutex_);
    callback_ = std::move(callback);
}

void UsbReader::Announce() {
    std::lock_guard lock(callbackMutex_);
    if (callback_) callback_();
}

void UsbReader::Loop(std::stop_token stop, const ReadPiece& read) {
    std::vector<std::uint8_t> piece(kUsbReadPiece);
    while (!stop.stop_requested()) {
        // Let a waiting caller (purge, configuration) have the device first.
        while (ioWaiters_ > 0 && !stop.stop_requested())
            std::this_thread::yield();
        Piece got;
        {
            // The bytes are stored before the device is let go, so a purge that waits
            // for it never sees them arrive afterwards.
            std::lock_guard lock(ioMutex_);
            got = read(piece);
            if (got.got > 0) {
                std::lock_guard rxLock(rxMutex_);
                const std::size_t room = kUsbReceiveLimit - std::min(rx_.size(), kUsbReceiveLimit);
                const std::size_t keep = std::min({got.got, room, piece.size()});
                rx_.insert(rx_.end(), piece.begin(),
                           piece.begin() + static_cast<std::ptrdiff_t>(keep));
            }
        }
        if (got.error < 0) {
            // Unplugged or broken: no busy retrying. The failure is announced so the
            // port polls, takes what came before it, finds every call failing, and
            // closes the link with the reason.
            failureCode_ = got.error;
            failed_ = true;
            Announce();
            return;
        }
        if (got.got == 0) {
            std::this_thread::sleep_for(kIdlePause);
            continue;
        }
        Announce();
    }
}

}  // namespace morvane
