// The emulated FTDI chip on its own: the descriptor bytes, the vendor requests libftdi1
// sends, the packets of a bulk read (status bytes first, short packet last, the latency
// timer when nothing waits), and the transfer faults.
#include "FtdiChip.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <algorithm>
#include <deque>
#include <thread>
#include <vector>

namespace morvane::usbemu {
namespace {

// Sends back whatever it is sent, and says so, as the controller says an answer came.
class EchoBackend final : public FtdiDriver {
  public:
    FtStatus DeviceCount(std::uint32_t& count) override {
        count = 1;
        return kFtOk;
    }
    FtStatus DeviceSerialNumber(std::uint32_t, std::string& s) override {
        s = "ECHO";
        return kFtOk;
    }
    FtStatus DeviceDescription(std::uint32_t, std::string& s) override {
        s = "echo";
        return kFtOk;
    }
    FtStatus OpenByDescription(const std::string&) override { return kFtOk; }
    FtStatus Close() override { return kFtOk; }
    FtStatus SetUsbParameters(std::uint32_t, std::uint32_t) override { return kFtOk; }
    FtStatus SetBaudRate(std::uint32_t) override { return kFtOk; }
    FtStatus SetDataCharacteristics(std::uint8_t, std::uint8_t, std::uint8_t) override {
        return kFtOk;
    }
    FtStatus SetFlowControl(std::uint16_t, std::uint8_t, std::uint8_t) override { return kFtOk; }
    FtStatus SetChars(std::uint8_t, bool, std::uint8_t, bool) override { return kFtOk; }
    FtStatus SetDivisor(std::uint16_t) override { return kFtOk; }
    FtStatus SetTimeouts(std::uint32_t, std::uint32_t) override { return kFtOk; }
    FtStatus Purge(std::uint32_t mask) override {
        std::lock_guard lock(mutex_);
        purges_.push_back(mask);
        if (mask & kFtPurgeRx) rx_.clear();
        return kFtOk;
    }
    FtStatus SetBitMode(std::uint8_t, std::uint8_t) override { return kFtOk; }
    FtStatus GetQueueStatus(std::uint32_t& queued) override {
        std::lock_guard lock(mutex_);
        queued = static_cast<std::uint32_t>(rx_.size());
        return kFtOk;
    }
    FtStatus GetStatus(std::uint32_t& rx, std::uint32_t& tx, std::uint32_t& events) override {
        std::lock_guard lock(mutex_);
        rx = static_cast<std::uint32_t>(rx_.size());
        tx = events = 0;
        return kFtOk;
    }
    FtStatus Read(std::span<std::uint8_t> buffer, std::uint32_t& got) override {
        std::lock_guard lock(mutex_);
        got = static_cast<std::uint32_t>(std::min(buffer.size(), rx_.size()));
        std::copy_n(rx_.begin(), got, buffer.begin());
        rx_.erase(rx_.begin(), rx_.begin() + got);
        return kFtOk;
    }
    FtStatus Write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override {
        {
            std::lock_guard lock(mutex_);
            rx_.insert(rx_.end(), bytes.begin(), bytes.end());
            written = static_cast<std::uint32_t>(bytes.size());
        }
        std::lock_guard lock(callbackMutex_);
        if (callback_) callback_();
        return kFtOk;
    }
    void SetDataArrivedCallback(std::function<void()> callback) override {
        std::lock_guard lock(callbackMutex_);
        callback_ = std::move(callback);
    }

    std::vector<std::uint32_t> Purges() {
        std::lock_guard lock(mutex_);
        return purges_;
    }

  private:
    std::mutex mutex_;
    std::deque<std::uint8_t> rx_;
    std::vector<std::uint32_t> purges_;
    std::mutex callbackMutex_;
    std::function<void()> callback_;
};

ChipIdentity Controller() {
    ChipIdentity id;
    id.description = "USB <-> Parallel";
    id.serial = "MRVEMU01";
    return id;
}

Bytes Sequence(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return b;
}

class Chip : public ::testing::Test {
  protected:
    void SetUp() override { Make(0, 0, 0); }
    void Make(long unplugAfter, long timeoutAt, long shortAt) {
        chip.reset();
        faults = std::make_shared<FaultPlan>(unplugAfter, timeoutAt, shortAt);
        backend = std::make_shared<EchoBackend>();
        chip = std::make_unique<FtdiChip>(Controller(), backend, faults);
    }
    int Vendor(FtdiRequest request, std::uint16_t value, std::uint16_t index = 1) {
        return chip->Control(kVendorOut, static_cast<std::uint8_t>(request), value, index, {});
    }
    // The host writes bytes; the echo puts them into the chip's receive buffer.
    void Feed(std::size_t n) {
        const Bytes data = Sequence(n);
        ASSERT_EQ(chip->BulkOut(data, 1000).moved, n);
    }

    std::shared_ptr<FaultPlan> faults;
    std::shared_ptr<EchoBackend> backend;
    std::unique_ptr<FtdiChip> chip;
};

// --- Descriptors: little-endian fields where libusb looks for them.

struct DescriptorField {
    const char* name;
    Bytes (*build)();
    std::size_t at;
    Bytes expected;
};

class Descriptors : public ::testing::TestWithParam<DescriptorField> {};

TEST_P(Descriptors, FieldBytes) {
    const DescriptorField& f = GetParam();
    const Bytes d = f.build();
    ASSERT_GE(d.size(), f.at + f.expected.size());
    EXPECT_EQ(Bytes(d.begin() + static_cast<std::ptrdiff_t>(f.at),
                    d.begin() + static_cast<std::ptrdiff_t>(f.at + f.expected.size())),
              f.expected);
}

Bytes Device() {
    return DeviceDescriptor(Controller());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Descriptors,
    ::testing::Values(
        DescriptorField{"DeviceHeader", Device, 0, {18, 1, 0x00, 0x02}},
        DescriptorField{"Vendor", Device, 8, {0x03, 0x04}},
        DescriptorField{"Product", Device, 10, {0x01, 0x60}},
        DescriptorField{"Release", Device, 12, {0x00, 0x06}},
        DescriptorField{"StringsAndConfigs", Device, 14, {1, 2, 3, 1}},
        DescriptorField{"ConfigTotal", ConfigurationDescriptor, 0, {9, 2, 32, 0, 1}},
        DescriptorField{"Interface", ConfigurationDescriptor, 9, {9, 4, 0, 0, 2, 0xFF, 0xFF, 0xFF}},
        DescriptorField{"BulkIn", ConfigurationDescriptor, 18, {7, 5, 0x81, 2, 64, 0}},
        DescriptorField{"BulkOut", ConfigurationDescriptor, 25, {7, 5, 0x02, 2, 64, 0}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(StringDescriptors, LanguagesThenUtf16Texts) {
    const ChipIdentity id = Controller();
    EXPECT_EQ(StringDescriptor(id, 0), (Bytes{4, 3, 0x09, 0x04}));
    const Bytes serial = StringDescriptor(id, 3);
    ASSERT_EQ(serial.size(), 2 + 2 * id.serial.size());
    EXPECT_EQ(serial[0], serial.size());
    EXPECT_EQ(serial[1], 3);
    for (std::size_t i = 0; i < id.serial.size(); ++i) {
        EXPECT_EQ(serial[2 + 2 * i], static_cast<std::uint8_t>(id.serial[i]));
        EXPECT_EQ(serial[3 + 2 * i], 0);
    }
    EXPECT_TRUE(StringDescriptor(id, 4).empty());
}

// --- The baud-rate divisor libftdi1 computes, back to a rate.

struct DivisorCase {
    std::uint16_t value, index;
    std::uint32_t baud;
};

class Divisors : public ::testing::TestWithParam<DivisorCase> {};

TEST_P(Divisors, DecodeToTheRate) {
    EXPECT_EQ(BaudFromDivisor(GetParam().value, GetParam().index), GetParam().baud);
}

INSTANTIATE_TEST_SUITE_P(Table, Divisors,
                         ::testing::Values(DivisorCase{0, 0, 3000000}, DivisorCase{1, 0, 2000000},
                                           DivisorCase{0x8003, 0, 923077},  // 3.25
                                           DivisorCase{0x4138, 0, 9600},    // 312.5
                                           DivisorCase{0xC003, 1, 774194},  // 3.875
                                           DivisorCase{26, 0, 115385},
                                           DivisorCase{0x4001, 0, 0}));  // 1.5 is no divisor

// --- Vendor requests: what each sets, and what the chip refuses.

struct RequestCase {
    const char* name;
    FtdiRequest request;
    std::uint16_t value, index;
    int result;
    bool (*check)(const ChipState&);
};

class Requests : public Chip, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(Requests, SetTheChip) {
    const RequestCase& c = GetParam();
    EXPECT_EQ(Vendor(c.request, c.value, c.index), c.result);
    EXPECT_TRUE(c.check(chip->State()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Requests,
    ::testing::Values(
        RequestCase{"Latency", FtdiRequest::SetLatency, 2, 1, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.latencyMs == 2; }},
        RequestCase{"LatencyZeroRefused", FtdiRequest::SetLatency, 0, 1, LIBUSB_ERROR_PIPE,
                    [](const ChipState& s) { return s.latencyMs == kDefaultLatencyMs; }},
        RequestCase{
            "BaudRate", FtdiRequest::BaudRate, 0x8003, 0, LIBUSB_SUCCESS,
            [](const ChipState& s) { return s.baudRate == 923077 && s.baudValue == 0x8003; }},
        RequestCase{"BadDivisorRefused", FtdiRequest::BaudRate, 0x4001, 0, LIBUSB_ERROR_PIPE,
                    [](const ChipState& s) { return s.baudRate == 0; }},
        RequestCase{"Line8N1", FtdiRequest::LineProperty, 0x0008, 1, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.lineProperty == 8; }},
        RequestCase{"NoFlowControl", FtdiRequest::FlowControl, 0, 0x0001, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.flowMode == 0; }},
        RequestCase{
            "XonXoff", FtdiRequest::FlowControl, 0x1311, 0x0401, LIBUSB_SUCCESS,
            [](const ChipState& s) { return s.flowMode == 4 && s.xon == 0x11 && s.xoff == 0x13; }},
        RequestCase{"EventCharOn", FtdiRequest::EventChar, 0x017E, 1, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.eventChar == 0x017E; }},
        RequestCase{"ErrorCharOff", FtdiRequest::ErrorChar, 0x0000, 1, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.errorChar == 0; }},
        RequestCase{"BitModeReset", FtdiRequest::BitMode, 0x00FF, 1, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.bitMask == 0xFF && s.bitMode == 0; }},
        RequestCase{"ChipReset", FtdiRequest::Reset, kResetChip, 1, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.resets == 1; }},
        RequestCase{"PurgeChipToHost", FtdiRequest::Reset, kPurgeChipToHost, 1, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.chipToHostPurges == 1; }},
        RequestCase{"PurgeHostToChip", FtdiRequest::Reset, kPurgeHostToChip, 1, LIBUSB_SUCCESS,
                    [](const ChipState& s) { return s.hostToChipPurges == 1; }},
        RequestCase{"UnknownReset", FtdiRequest::Reset, 7, 1, LIBUSB_ERROR_PIPE,
                    [](const ChipState& s) { return s.resets == 0; }},
        RequestCase{"ReadRequestAsWrite", FtdiRequest::ModemStatus, 0, 1, LIBUSB_ERROR_PIPE,
                    [](const ChipState&) { return true; }}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(Chip, ReadRequestsAnswerTheirBytes) {
    std::array<std::uint8_t, 4> data{};
    EXPECT_EQ(
        chip->Control(kVendorIn, static_cast<std::uint8_t>(FtdiRequest::ModemStatus), 0, 1, data),
        2);
    EXPECT_EQ(data[0], kModemStatus0);
    EXPECT_EQ(data[1], kModemStatus1);
    Vendor(FtdiRequest::SetLatency, 9);
    EXPECT_EQ(chip->Control(kVendorIn, static_cast<std::uint8_t>(FtdiRequest::GetLatency), 0, 1,
                            std::span(data).first(1)),
              1);
    EXPECT_EQ(data[0], 9);
    EXPECT_EQ(chip->Control(kVendorIn, 0x90, 0, 0, data), LIBUSB_ERROR_PIPE);  // no EEPROM
    // A descriptor asked for with a shorter buffer comes cut to it.
    EXPECT_EQ(chip->Control(kStandardIn, kGetDescriptor, kDescriptorDevice << 8, 0, data), 4);
    EXPECT_EQ(data[0], 18);
}

TEST_F(Chip, PurgesEmptyTheReceiveBufferAndTheBackend) {
    Feed(10);
    Vendor(FtdiRequest::Reset, kPurgeChipToHost);
    EXPECT_EQ(backend->Purges(), (std::vector<std::uint32_t>{kFtPurgeRx}));
    Vendor(FtdiRequest::SetLatency, 1);
    std::array<std::uint8_t, 256> in{};
    EXPECT_EQ(chip->BulkIn(in, 1000).moved, kStatusBytes) << "nothing left to read";
}

// --- Bulk reads: the packets for what waits in the receive buffer.

struct PacketCase {
    const char* name;
    std::size_t waiting;
    std::size_t buffer;
    std::size_t moved;     // bytes of the transfer, status bytes included
    std::size_t leftOver;  // bytes still waiting afterwards
};

class Packets : public Chip, public ::testing::WithParamInterface<PacketCase> {};

TEST_P(Packets, StatusBytesHeadEveryPacket) {
    const PacketCase& c = GetParam();
    Vendor(FtdiRequest::SetLatency, 1);
    if (c.waiting > 0) Feed(c.waiting);
    std::vector<std::uint8_t> in(c.buffer);
    const BulkResult r = chip->BulkIn(in, 1000);
    ASSERT_EQ(r.status, LIBUSB_SUCCESS);
    ASSERT_EQ(r.moved, c.moved);
    Bytes payload;
    for (std::size_t at = 0; at < r.moved; at += kPacketSize) {
        EXPECT_EQ(in[at], kModemStatus0) << "packet at " << at;
        EXPECT_EQ(in[at + 1], kModemStatus1) << "packet at " << at;
        const std::size_t end = std::min(at + kPacketSize, r.moved);
        payload.insert(payload.end(), in.begin() + static_cast<std::ptrdiff_t>(at + 2),
                       in.begin() + static_cast<std::ptrdiff_t>(end));
    }
    const Bytes sent = Sequence(c.waiting);
    EXPECT_EQ(payload, Bytes(sent.begin(), sent.end() - static_cast<std::ptrdiff_t>(c.leftOver)));
    // What stayed comes with the next read.
    std::vector<std::uint8_t> more(4096);
    const BulkResult next = chip->BulkIn(more, 1000);
    EXPECT_EQ(next.moved, c.leftOver == 0 ? kStatusBytes
                                          : c.leftOver + kStatusBytes * ((c.leftOver + 61) / 62) +
                                                (c.leftOver % 62 == 0 ? kStatusBytes : 0));
}

INSTANTIATE_TEST_SUITE_P(Table, Packets,
                         ::testing::Values(PacketCase{"NothingWaits", 0, 4096, 2, 0},
                                           PacketCase{"ShortPacket", 10, 4096, 12, 0},
                                           PacketCase{"OneFullPacketThenStatus", 62, 4096, 66, 0},
                                           PacketCase{"FullAndShort", 100, 4096, 104, 0},
                                           PacketCase{"TwoFullThenStatus", 124, 4096, 130, 0},
                                           PacketCase{"BufferFullFirst", 200, 128, 128, 76},
                                           PacketCase{"BufferEndsMidPacket", 100, 40, 40, 62}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(Chip, EmptyReadWaitsForTheLatencyTimerOrTimesOut) {
    std::array<std::uint8_t, 512> in{};
    Vendor(FtdiRequest::SetLatency, 20);
    // A transfer that gives up before the latency timer runs out gets nothing at all.
    const BulkResult early = chip->BulkIn(in, 5);
    EXPECT_EQ(early.status, LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(early.moved, 0u);
    const auto start = std::chrono::steady_clock::now();
    const BulkResult late = chip->BulkIn(in, 1000);
    EXPECT_EQ(late.status, LIBUSB_SUCCESS);
    EXPECT_EQ(late.moved, kStatusBytes);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(19));
}

TEST_F(Chip, DataArrivingWakesAWaitingRead) {
    Vendor(FtdiRequest::SetLatency, 255);
    std::array<std::uint8_t, 512> in{};
    BulkResult r;
    std::thread reader([&] { r = chip->BulkIn(in, 5000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Feed(5);
    reader.join();
    EXPECT_EQ(r.moved, 5 + kStatusBytes);
}

// --- Faults of the plan: counted over the transfers that carry data.

TEST_F(Chip, TimedOutAndShortTransfersFollowThePlan) {
    Make(0, 2, 3);
    Vendor(FtdiRequest::SetLatency, 1);
    std::array<std::uint8_t, 512> in{};
    EXPECT_EQ(chip->BulkIn(in, 100).moved, kStatusBytes) << "an idle read counts for nothing";
    const Bytes data = Sequence(40);
    EXPECT_EQ(chip->BulkOut(data, 100).moved, 40u);    // 1
    const BulkResult timedOut = chip->BulkIn(in, 30);  // 2: the echo waits, times out
    EXPECT_EQ(timedOut.status, LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(timedOut.moved, 0u);
    const BulkResult cut = chip->BulkIn(in, 100);  // 3: fewer bytes than wait
    EXPECT_EQ(cut.status, LIBUSB_SUCCESS);
    EXPECT_EQ(cut.moved, 20 + kStatusBytes);
    EXPECT_EQ(chip->BulkIn(in, 100).moved, 20 + kStatusBytes) << "the rest, nothing lost";
    EXPECT_EQ(faults->Counted(), 4);
}

TEST_F(Chip, TimedOutWriteDeliversNothing) {
    Make(0, 1, 2);
    Vendor(FtdiRequest::SetLatency, 1);
    const Bytes data = Sequence(10);
    EXPECT_EQ(chip->BulkOut(data, 10).status, LIBUSB_ERROR_TIMEOUT);
    const BulkResult cut = chip->BulkOut(data, 10);
    EXPECT_EQ(cut.moved, 5u);
    std::array<std::uint8_t, 512> in{};
    EXPECT_EQ(chip->BulkIn(in, 100).moved, 5 + kStatusBytes);
}

TEST(FaultPlanCount, UnplugComesOnceAfterItsTransfer) {
    FaultPlan plan(3, 0, 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(plan.Count(), TransferFate::Normal);
        EXPECT_FALSE(plan.TakeUnplug());
    }
    plan.Count();
    EXPECT_TRUE(plan.TakeUnplug());
    plan.Count();
    EXPECT_FALSE(plan.TakeUnplug()) << "once only";
}

// --- Unplugging.

TEST_F(Chip, UnplugEndsAWaitingReadAndEveryLaterCall) {
    Vendor(FtdiRequest::SetLatency, 255);
    std::array<std::uint8_t, 512> in{};
    BulkResult r;
    std::thread reader([&] { r = chip->BulkIn(in, 5000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    chip->Unplug();
    reader.join();
    EXPECT_EQ(r.status, LIBUSB_ERROR_NO_DEVICE);
    EXPECT_FALSE(chip->Plugged());
    EXPECT_EQ(Vendor(FtdiRequest::SetLatency, 2), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(chip->BulkOut(Sequence(3), 100).status, LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(chip->Claim(this, 0), LIBUSB_ERROR_NO_DEVICE);
}

TEST_F(Chip, OneHandleClaimsTheInterface) {
    const int first = 0, second = 0;
    EXPECT_EQ(chip->Claim(&first, 0), LIBUSB_SUCCESS);
    EXPECT_EQ(chip->Claim(&second, 0), LIBUSB_ERROR_BUSY);
    EXPECT_EQ(chip->Claim(&first, 1), LIBUSB_ERROR_NOT_FOUND);
    EXPECT_EQ(chip->Release(&second, 0), LIBUSB_ERROR_NOT_FOUND);
    EXPECT_EQ(chip->Release(&first, 0), LIBUSB_SUCCESS);
    EXPECT_EQ(chip->Claim(&second, 0), LIBUSB_SUCCESS);
    EXPECT_TRUE(chip->ClaimedBy(&second));
}

}  // namespace
}  // namespace morvane::usbemu
