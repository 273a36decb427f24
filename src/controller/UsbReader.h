// The reader thread under a USB driver whose library reads synchronously and keeps no
// receive count (libftdi): it reads the device continuously into a receive buffer of its
// own, announces every arrival, and steps aside while a caller needs the device for a
// control call. The read itself is a function given at start, so the thread's paths,
// failure included, can be driven without a device.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <stop_token>
#include <thread>
#include <vector>

namespace morvane {

// One read of the thread: as much as one bulk transfer of libftdi on Linux brings (its
// chunk size is held to 16 KiB there), so a read never has to leave bytes behind.
inline constexpr std::size_t kUsbReadPiece = 16384;
inline constexpr std::size_t kUsbReceiveLimit = 4 * 1024 * 1024;  // bytes held unread

class UsbReader {
  public:
    // One read: the bytes it stored at the head of the buffer (0 for nothing yet), and a
    // negative library error code when the device failed, after those bytes.
    struct Piece {
        std::size_t got = 0;
        int error = 0;
    };
    // Reads up to buffer.size() bytes.
    using ReadPiece = std::function<Piece(std::span<std::uint8_t> buffer)>;

    UsbReader() = default;
    ~UsbReader() { Stop(); }
    UsbReader(const UsbReader&) = delete;
    UsbReader& operator=(const UsbReader&) = delete;

    // Empties the buffer, forgets an earlier failure and starts reading.
    void Start(ReadPiece read);
    // Stops the thread and waits for it; received bytes stay until Clear.
    void Stop();

    // Holds the device against the thread for a control call; the thread lets the
    // caller in before its next read.
    class Hold {
      public:
        explicit Hold(UsbReader& reader);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        UsbReader& reader_;
    };

    std::size_t Queued() const;
    // Moves up to out.size() of the oldest bytes into out; how many.
    std::size_t Take(std::span<std::uint8_t> out);
    void Clear();

    // The device failed under the thread, which then ended. What the failing read brought
    // is kept; the failure is announced through the data-arrived callback, so a poller
    // finds it at once.
    bool Failed() const { return failed_; }
    int FailureCode() const { return failureCode_; }

    // Called on the thread after each arrival and after a failure. Once this returns,
    // the previous callback is not called any more.
    void SetDataArrivedCallback(std::function<void()> callback);

  private:
    void Loop(std::stop_token stop, const ReadPiece& read);
    void Announce();

    std::mutex ioMutex_;
    std::atomic<int> ioWaiters_{0};
    std::jthread thread_;
    std::atomic<bool> failed_{false};
    std::atomic<int> failureCode_{0};

    mutable std::mutex rxMutex_;
    std::vector<std::uint8_t> rx_;

    std::mutex callbackMutex_;
    std::function<void()> callback_;
};

}  // namespace morvane
