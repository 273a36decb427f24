// The tallies of a soak and their printout: runs by mode and outcome, faults by kind,
// the sector checks, wall times against their bounds, and every violation found.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "SoakFaults.h"
#include "operations/OperationContext.h"

namespace morvane::soak {

const char* OutcomeName(OperationOutcome outcome);

struct RunRecord {
    int index = 0;
    std::string mode;
    std::string disk;
    std::uint32_t seed = 0;
    FaultPlan plan;
    OperationOutcome outcome = OperationOutcome::Done;
    double wallMs = 0;
    double boundMs = 0;
    int tracksDone = 0;
    int timeouts = 0;  // waits that ran into the time-out
    int checked = 0;   // sectors compared with the disk
    int wrongSectors = 0;
    std::vector<std::string> violations;
};

class SoakReport {
  public:
    void Add(const RunRecord& run);
    void AddViolation(const std::string& text) { extra_.push_back(text); }
    int Violations() const;
    void Print(std::FILE* out) const;
    static void PrintRun(std::FILE* out, const RunRecord& run);

  private:
    struct ModeTally {
        int runs = 0;
        std::map<std::string, int> outcomes;
        int checked = 0;
        int wrong = 0;
        double maxMs = 0;
    };
    std::map<std::string, ModeTally> modes_;
    std::array<int, kFaultKinds> faults_{};
    std::map<std::string, int> outcomes_;
    int timeouts_ = 0;
    double maxMs_ = 0, maxRatio_ = 0;
    std::string slowest_;
    std::vector<std::string> violations_;
    std::vector<std::string> extra_;
};

}  // namespace morvane::soak
