// The options of morvane-img read, parsed without touching any device.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

enum class FaultKind { DataCrc, IdCrc, Missing, Unstable, VanishAfter, Weak };

struct FaultOption {
    FaultKind kind = FaultKind::DataCrc;
    int track = 0;
    int sector = 0;
    int reads = -1;                    // data CRC: reads that fail, -1 always
    std::size_t first = 0, count = 0;  // unstable bytes
    int commands = 0;                  // vanish-after
    double probability = 0;            // weak: of each byte turning on a read
};

struct ReadOptions {
    std::string virtualImage;  // empty: the USB controller
    bool driveB = false;
    int mode = 6;
    std::optional<int> tracks;
    int reread = 0;
    std::string resume;         // the image whose bad tracks alone are read again
    std::optional<int> passes;  // recovery passes over the tracks with bad sectors
    std::vector<FaultOption> faults;
    std::optional<std::uint32_t> seed;  // the emulated controller's random source
    bool realTime = false;
    bool verbose = false;
    std::string output;
};

// args[0] is "read". None with the reason in problem on wrong usage.
std::optional<ReadOptions> ParseReadOptions(const std::vector<std::string>& args,
                                            std::string& problem);
// "crc:T:R[:READS]", "idcrc:T:R", "missing:T:R", "unstable:T:FIRST:COUNT",
// "vanish-after:N", "weak:T:R:P" (P the probability of each byte turning, 0 < P <= 1).
std::optional<FaultOption> ParseFault(const std::string& text);

}  // namespace morvane
