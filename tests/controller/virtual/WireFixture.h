// An emulated controller opened as the port opens it, driven through its driver calls with
// command frames and its byte stream decoded by the host's side of the wire.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "HostSide.h"
#include "controller/virtual/VirtualController.h"

namespace morvane::virt::test {

class WireTest : public ::testing::Test {
  protected:
    explicit WireTest(VirtualControllerOptions options = {}) : vc(options), host(vc) {
        EXPECT_EQ(host.Open(), kFtOk);
    }

    // The one record a frame's answer brings.
    Record One(const Bytes& frame) {
        const auto records = host.Exchange(frame);
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? Record{} : records.front();
    }

    VirtualController vc;
    Host host;
};

// The sixteen 256-byte sector IDs of a TR-DOS track of cylinder c (size code n).
inline std::vector<SectorId> TrDosIds(std::uint8_t c, std::uint8_t n = 1) {
    std::vector<SectorId> ids;
    for (std::uint8_t r = 1; r <= 16; ++r)
        ids.push_back({c, 0, r, n});
    return ids;
}

inline Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>(seed + i * 7);
    return data;
}

// Drive A holds a new, unformatted disk; drive B is empty.
class BlankDiskWireTest : public WireTest {
  protected:
    static constexpr std::uint8_t kSeekCode = 0x10, kWriteTrackCode = 0x30;

    BlankDiskWireTest() : WireTest({.DemoDiskInDriveA = false}) {
        vc.InsertDisk(Drive::A, std::make_unique<VirtualDisk>());
    }

    void SeekTo(std::uint8_t track) {
        const Record r = One(ShortFrame(kSeekCode, {track}));
        ASSERT_FALSE(r.Error);
        ASSERT_EQ(r.Data.size(), 2u);
        ASSERT_EQ(r.Data[1], track);
    }

    // Formats the track under the head; both answers of the command must be plain.
    void Format(std::span<const SectorId> ids) {
        const Bytes table = FormatTableFor(ids);
        const auto records = host.Exchange(BlockFrame(kWriteTrackCode, table));
        ASSERT_EQ(records.size(), 2u);
        EXPECT_FALSE(records[0].Error);
        EXPECT_EQ(records[0].Data, Bytes{table[0]});
        EXPECT_FALSE(records[1].Error);
        EXPECT_TRUE(records[1].Data.empty());
    }
};

}  // namespace morvane::virt::test
