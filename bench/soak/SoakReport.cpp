#include "SoakReport.h"

namespace morvane::soak {

const char* OutcomeName(OperationOutcome outcome) {
    switch (outcome) {
        case OperationOutcome::Done:
            return "Done";
        case OperationOutcome::Refused:
            return "Refused";
        case OperationOutcome::Stopped:
            return "Stopped";
        case OperationOutcome::Cancelled:
            return "Cancelled";
        case OperationOutcome::LinkLost:
            return "LinkLost";
    }
    return "?";
}

void SoakReport::Add(const RunRecord& run) {
    ModeTally& mode = modes_[run.mode];
    ++mode.runs;
    ++mode.outcomes[OutcomeName(run.outcome)];
    mode.checked += run.checked;
    mode.wrong += run.wrongSectors;
    mode.maxMs = std::max(mode.maxMs, run.wallMs);
    ++outcomes_[OutcomeName(run.outcome)];
    timeouts_ += run.timeouts;
    for (std::size_t k = 0; k < kFaultKinds; ++k)
        faults_[k] += run.plan.counts[k];
    maxMs_ = std::max(maxMs_, run.wallMs);
    const double ratio = run.boundMs > 0 ? run.wallMs / run.boundMs : 0;
    if (ratio > maxRatio_) {
        maxRatio_ = ratio;
        slowest_ = "run " + std::to_string(run.index) + " (" + run.mode + ", " +
                   std::to_string(static_cast<int>(run.wallMs)) + " of " +
                   std::to_string(static_cast<int>(run.boundMs)) + " ms)";
    }
    for (const std::string& v : run.violations)
        violations_.push_back("run " + std::to_string(run.index) + " (" + run.mode + ", seed " +
                              std::to_string(run.seed) + "): " + v);
}

int SoakReport::Violations() const {
    return static_cast<int>(violations_.size() + extra_.size());
}

void SoakReport::PrintRun(std::FILE* out, const RunRecord& run) {
    std::fprintf(out,
                 "#%-3d %-17s %-5s seed %-10u %-9s %3d tracks %7.0f ms (bound %6.0f) "
                 "good %5d wrong %d time-outs %d  faults: %s\n",
                 run.index, run.mode.c_str(), run.disk.c_str(), run.seed, OutcomeName(run.outcome),
                 run.tracksDone, run.wallMs, run.boundMs, run.checked, run.wrongSectors,
                 run.timeouts, run.plan.Describe().c_str());
}

void SoakReport::Print(std::FILE* out) const {
    std::fprintf(out,
                 "\nRuns by mode                runs  outcomes                            "
                 "sectors checked  wrong  max ms\n");
    int runs = 0, checked = 0, wrong = 0;
    for (const auto& [name, tally] : modes_) {
        std::string outcomes;
        for (const auto& [outcome, n] : tally.outcomes)
            outcomes += outcome + " " + std::to_string(n) + "  ";
        std::fprintf(out, "  %-25s %4d  %-35s %15d  %5d  %6.0f\n", name.c_str(), tally.runs,
                     outcomes.c_str(), tally.checked, tally.wrong, tally.maxMs);
        runs += tally.runs;
        checked += tally.checked;
        wrong += tally.wrong;
    }
    std::fprintf(out, "  %-25s %4d  %-35s %15d  %5d  %6.0f\n", "all", runs, "", checked, wrong,
                 maxMs_);
    std::fprintf(out, "\nOutcomes:");
    for (const auto& [outcome, n] : outcomes_)
        std::fprintf(out, "  %s %d", outcome.c_str(), n);
    std::fprintf(out, "\nTime-outs: %d", timeouts_);
    std::fprintf(out, "\nFaults armed by kind:");
    for (std::size_t k = 0; k < kFaultKinds; ++k)
        std::fprintf(out, "%s %s %d", k % 5 == 0 ? "\n " : "", FaultName(static_cast<FaultKind>(k)),
                     faults_[k]);
    std::fprintf(out, "\nLongest run against its bound: %.2f of the bound, %s; longest %.0f ms\n",
                 maxRatio_, slowest_.c_str(), maxMs_);
    std::fprintf(out, "Violations: %d\n", Violations());
    for (const std::string& v : extra_)
        std::fprintf(out, "  %s\n", v.c_str());
    for (const std::string& v : violations_)
        std::fprintf(out, "  %s\n", v.c_str());
}

}  // namespace morvane::soak
