// The faults of one soak run, drawn from its seed: faults of the media (bad CRCs, weak,
// missing and unstable sectors, broken and jittering reads, failing seeks), of the link
// (silences that run into the time-out, noise between frames, a device that vanishes)
// and of the user (cancel at some track).
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "SoakDisks.h"
#include "controller/virtual/VirtualController.h"

namespace morvane::soak {

class SoakHost;

enum class FaultKind : std::uint8_t {
    DataCrc,
    WeakSector,
    IdCrc,
    MissingSector,
    UnstableBytes,
    ScanBreak,
    RawReadBreak,
    RawLengthJitter,
    SeekFault,
    Silence,
    Noise,
    TornFrames,
    ErrorMarkNoise,
    Vanish,
    Cancel,
};
inline constexpr std::size_t kFaultKinds = static_cast<std::size_t>(FaultKind::Cancel) + 1;

const char* FaultName(FaultKind kind);

struct FaultPlan {
    std::array<int, kFaultKinds> counts{};
    int silencedCommands = 0;  // each may run into one time-out

    int Count(FaultKind kind) const { return counts[static_cast<std::size_t>(kind)]; }
    // A fault that may end the run before its end.
    bool EndsEarly() const;
    std::string Describe() const;
};

struct RunShape {
    const DiskImage* image = nullptr;  // the disk's layout: where sector faults may go
    int tracks = 0;                   // tracks the run goes over, from 0
    int commands = 0;                 // about how many commands the run sends without faults
    bool writing = false;
};

// Draws the faults of a run and sets them on the device and the host.
FaultPlan ArmFaults(std::mt19937& random, const RunShape& shape, virt::VirtualController& device,
                    SoakHost& host);

}  // namespace morvane::soak
