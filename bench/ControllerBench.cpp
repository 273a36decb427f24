// The controller link against the instant emulated controller: whole exchanges through
// the real port and protocol, the wake-up time of a wait when the answer comes from
// another thread (as with the hardware's reader thread), and the receive decoder alone.
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "controller/ControllerProtocol.h"
#include "controller/RxDecoder.h"
#include "controller/UsbPort.h"
#include "controller/virtual/VirtualController.h"

namespace morvane {
namespace {

using Clock = std::chrono::steady_clock;

struct Link {
    explicit Link(std::unique_ptr<FtdiDriver> driver) : port(std::move(driver)), protocol(port) {
        port.SetDeviceName(QStringLiteral("USB <-> Parallel"));
        port.SetDeviceActive(true);
        port.SetEnableMessage(true);
    }
    UsbPort port;
    ControllerProtocol protocol;
};

void BM_StatusExchange(benchmark::State& state) {
    Link link(std::make_unique<virt::VirtualController>());
    for (auto _ : state) {
        const std::uint8_t status = link.protocol.QueryStatus();
        if (status >= kStatusErrorRecord) state.SkipWithError("status query failed");
        benchmark::DoNotOptimize(status);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StatusExchange);

void BM_ReadSectorExchange(benchmark::State& state) {
    Link link(std::make_unique<virt::VirtualController>());
    link.protocol.SeekTrack(0);
    for (auto _ : state) {
        link.protocol.SendCommand(CommandCode::ReadSector, 1);
        if (link.protocol.WaitAnswer() != WaitResult::Answer) state.SkipWithError("no answer");
        benchmark::DoNotOptimize(link.port.TakeAnswer());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ReadSectorExchange);

void BM_ReadTrackExchange(benchmark::State& state) {
    Link link(std::make_unique<virt::VirtualController>());
    link.protocol.SeekTrack(0);
    for (auto _ : state) {
        link.protocol.SendCommand(CommandCode::ReadTrack);
        if (link.protocol.WaitAnswer() != WaitResult::Answer) state.SkipWithError("no answer");
        benchmark::DoNotOptimize(link.port.TakeAnswer());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadTrackExchange);

// Holds back the emulated controller's answer and releases it from another thread, the
// way the hardware driver's reader thread announces bytes. The benchmark measures from
// the release (the last byte's arrival) to WaitAnswer returning.
class DelayedDriver final : public FtdiDriver {
  public:
    explicit DelayedDriver(std::unique_ptr<virt::VirtualController> inner)
        : inner_(std::move(inner)) {
        inner_->SetDataArrivedCallback([] {});
    }
    ~DelayedDriver() override { Join(); }

    Clock::time_point ReleasedAt() const { return releasedAt_; }

    FtStatus DeviceCount(std::uint32_t& c) override { return inner_->DeviceCount(c); }
    FtStatus DeviceSerialNumber(std::uint32_t i, std::string& s) override {
        return inner_->DeviceSerialNumber(i, s);
    }
    FtStatus DeviceDescription(std::uint32_t i, std::string& d) override {
        return inner_->DeviceDescription(i, d);
    }
    FtStatus OpenByDescription(const std::string& d) override {
        return inner_->OpenByDescription(d);
    }
    FtStatus Close() override { return inner_->Close(); }
    FtStatus SetUsbParameters(std::uint32_t a, std::uint32_t b) override {
        return inner_->SetUsbParameters(a, b);
    }
    FtStatus SetBaudRate(std::uint32_t b) override { return inner_->SetBaudRate(b); }
    FtStatus SetDataCharacteristics(std::uint8_t w, std::uint8_t s, std::uint8_t p) override {
        return inner_->SetDataCharacteristics(w, s, p);
    }
    FtStatus SetFlowControl(std::uint16_t f, std::uint8_t on, std::uint8_t off) override {
        return inner_->SetFlowControl(f, on, off);
    }
    FtStatus SetChars(std::uint8_t e, bool ee, std::uint8_t r, bool re) override {
        return inner_->SetChars(e, ee, r, re);
    }
    FtStatus SetDivisor(std::uint16_t d) override { return inner_->SetDivisor(d); }
    FtStatus SetTimeouts(std::uint32_t r, std::uint32_t w) override {
        return inner_->SetTimeouts(r, w);
    }
    FtStatus Purge(std::uint32_t m) override { return inner_->Purge(m); }
    FtStatus SetBitMode(std::uint8_t m, std::uint8_t o) override {
        return inner_->SetBitMode(m, o);
    }
    FtStatus GetQueueStatus(std::uint32_t& q) override {
        if (!released_) {
            q = 0;
            return kFtOk;
        }
        return inner_->GetQueueStatus(q);
    }
    FtStatus GetStatus(std::uint32_t& r, std::uint32_t& t, std::uint32_t& e) override {
        return inner_->GetStatus(r, t, e);
    }
    FtStatus Read(std::span<std::uint8_t> b, std::uint32_t& got) override {
        return inner_->Read(b, got);
    }
    FtStatus Write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override {
        Join();
        released_ = false;
        const FtStatus status = inner_->Write(bytes, written);
        releaser_ = std::thread([this] {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            releasedAt_ = Clock::now();
            released_ = true;
            if (callback_) callback_();
        });
        return status;
    }
    void SetDataArrivedCallback(std::function<void()> callback) override {
        Join();
        callback_ = std::move(callback);
    }

  private:
    void Join() {
        if (releaser_.joinable()) releaser_.join();
    }
    std::unique_ptr<virt::VirtualController> inner_;
    std::function<void()> callback_;
    std::thread releaser_;
    std::atomic<bool> released_{true};
    Clock::time_point releasedAt_{};
};

void BM_WaitWakeAfterLastByte(benchmark::State& state) {
    auto owned = std::make_unique<DelayedDriver>(std::make_unique<virt::VirtualController>());
    DelayedDriver* driver = owned.get();
    Link link(std::move(owned));
    double totalUs = 0;
    double worstUs = 0;
    for (auto _ : state) {
        link.protocol.SendCommand(CommandCode::Status);
        if (link.protocol.WaitAnswer() != WaitResult::Answer) state.SkipWithError("no answer");
        const double us =
            std::chrono::duration<double, std::micro>(Clock::now() - driver->ReleasedAt()).count();
        totalUs += us;
        worstUs = std::max(worstUs, us);
        link.port.TakeAnswer();
    }
    state.counters["wake_us_mean"] = totalUs / static_cast<double>(state.iterations());
    state.counters["wake_us_max"] = worstUs;
}
BENCHMARK(BM_WaitWakeAfterLastByte)->UseRealTime();

// The real-time emulated controller: seek and sector-list read of each of 20 tracks, as a
// whole-disk scan does them. wall_per_device is the wall time over the time the drive
// itself needed for the same commands; what is above 1 is what the host side adds.
void BM_RealTimeSectorListRun(benchmark::State& state) {
    auto owned = std::make_unique<virt::VirtualController>();
    virt::VirtualController* device = owned.get();
    Link link(std::move(owned));
    link.protocol.SetTimeoutInterval(kTimeoutRunMs);
    device->SetRealTime(true);
    std::vector<std::uint8_t> sectors(16);
    for (std::size_t i = 0; i < sectors.size(); ++i)
        sectors[i] = static_cast<std::uint8_t>(i + 1);
    double wall = 0;
    double busy = 0;
    for (auto _ : state) {
        device->ResetDeviceTime();
        const Clock::time_point start = Clock::now();
        for (std::uint8_t t = 0; t < 20; ++t) {
            if (!link.protocol.SeekTrack(t)) state.SkipWithError("seek failed");
            link.protocol.SendCommandBlock(CommandCode::ReadSectors, sectors);
            for (std::size_t k = 0; k < sectors.size(); ++k) {
                const WaitResult r = link.protocol.WaitAnswer();
                if (r == WaitResult::Answer)
                    link.port.TakeAnswer();
                else if (r == WaitResult::Error)
                    link.port.TakeError();
                else
                    state.SkipWithError("no record");
            }
        }
        wall += std::chrono::duration<double>(Clock::now() - start).count();
        busy += std::chrono::duration<double>(device->DeviceTime()).count();
    }
    state.counters["wall_per_device"] = busy > 0 ? wall / busy : 0;
}
BENCHMARK(BM_RealTimeSectorListRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_DecodeTrackStream(benchmark::State& state) {
    std::vector<std::uint8_t> stream{0x0A};
    for (int i = 0; i < 6250; ++i) {
        const auto b = static_cast<std::uint8_t>(i * 13);
        if (b >= 0xB0) {
            stream.push_back(b);
        } else {
            stream.push_back(static_cast<std::uint8_t>(0x20 | (b >> 4)));
            stream.push_back(static_cast<std::uint8_t>(0x30 | (b & 0x0F)));
        }
    }
    stream.push_back(0xAA);
    struct Sink : RxRecordSink {
        std::size_t bytes = 0;
        void OnAnswer(AnswerRecord&& a) override { bytes += a.data.size(); }
        void OnError(ErrorRecord&&) override {}
    } sink;
    RxDecoder decoder;
    for (auto _ : state)
        decoder.Feed(stream, sink);
    benchmark::DoNotOptimize(sink.bytes);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
}
BENCHMARK(BM_DecodeTrackStream);

}  // namespace
}  // namespace morvane

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
