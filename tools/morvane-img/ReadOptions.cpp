#include "ReadOptions.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <sstream>

#include "imagefiles/ImageFiles.h"
#include "operations/DiskRun.h"

namespace morvane {

namespace {

constexpr int kLastTrack = 165;
constexpr int kMaxTracks = 166;

std::optional<long long> Number(const std::string& text, long long low, long long high) {
    long long v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || text.empty() || v < low || v > high) return {};
    return v;
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ':'))
        parts.push_back(part);
    return parts;
}

const std::map<std::string, int>& Modes() {
    static const std::map<std::string, int> modes = {
        {"full", 7}, {"raw", 1}, {"scan", 2}, {"scan-sectors", 6}, {"fast", kRunFast}};
    return modes;
}

}  // namespace

std::optional<FaultOption> ParseFault(const std::string& text) {
    const std::vector<std::string> p = Split(text);
    if (p.empty()) return {};
    FaultOption f;
    auto track = [&](std::size_t i) { return Number(p[i], 0, kLastTrack); };
    auto sector = [&](std::size_t i) { return Number(p[i], 0, 255); };
    if ((p[0] == "crc" && (p.size() == 3 || p.size() == 4)) ||
        ((p[0] == "idcrc" || p[0] == "missing") && p.size() == 3)) {
        const auto t = track(1), r = sector(2);
        if (!t || !r) return {};
        f.kind = p[0] == "crc" ? FaultKind::DataCrc
                               : (p[0] == "idcrc" ? FaultKind::IdCrc : FaultKind::Missing);
        f.track = static_cast<int>(*t);
        f.sector = static_cast<int>(*r);
        if (p.size() == 4) {
            const auto reads = Number(p[3], 1, 1000000);
            if (!reads) return {};
            f.reads = static_cast<int>(*reads);
        }
        return f;
    }
    if (p[0] == "unstable" && p.size() == 4) {
        const auto t = track(1), first = Number(p[2], 0, 65535), count = Number(p[3], 1, 65535);
        if (!t || !first || !count) return {};
        f.kind = FaultKind::Unstable;
        f.track = static_cast<int>(*t);
        f.first = static_cast<std::size_t>(*first);
        f.count = static_cast<std::size_t>(*count);
        return f;
    }
    if (p[0] == "weak" && p.size() == 4) {
        const auto t = track(1), r = sector(2);
        char* end = nullptr;
        const double probability = std::strtod(p[3].c_str(), &end);
        if (!t || !r || p[3].empty() || end != p[3].c_str() + p[3].size() ||
            !(probability > 0 && probability <= 1))
            return {};
        f.kind = FaultKind::Weak;
        f.track = static_cast<int>(*t);
        f.sector = static_cast<int>(*r);
        f.probability = probability;
        return f;
    }
    if (p[0] == "vanish-after" && p.size() == 2) {
        const auto n = Number(p[1], 0, 100000000);
        if (!n) return {};
        f.kind = FaultKind::VanishAfter;
        f.commands = static_cast<int>(*n);
        return f;
    }
    return {};
}

std::optional<ReadOptions> ParseReadOptions(const std::vector<std::string>& args,
                                            std::string& problem) {
    ReadOptions o;
    std::vector<std::string> files;
    auto value = [&](std::size_t& i) -> const std::string* {
        if (i + 1 >= args.size()) {
            problem = args[i] + " needs a value";
            return nullptr;
        }
        return &args[++i];
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const std::string* v = nullptr;
        if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "--realtime") {
            o.realTime = true;
        } else if (a == "--virtual" || a == "--drive" || a == "--mode" || a == "--tracks" ||
                   a == "--reread" || a == "--fault" || a == "--resume" || a == "--passes" ||
                   a == "--seed") {
            if (!(v = value(i))) return {};
            if (a == "--virtual") {
                o.virtualImage = *v;
            } else if (a == "--resume") {
                o.resume = *v;
                if (!CanReadFormat(FormatFromPath(o.resume))) {
                    problem = "unknown image format: " + o.resume;
                    return {};
                }
            } else if (a == "--seed") {
                const auto n = Number(*v, 0, 0xFFFFFFFFLL);
                if (!n) {
                    problem = "--seed takes 0..4294967295";
                    return {};
                }
                o.seed = static_cast<std::uint32_t>(*n);
            } else if (a == "--passes") {
                const auto n = Number(*v, 1, 100);
                if (!n) {
                    problem = "--passes takes 1..100";
                    return {};
                }
                o.passes = static_cast<int>(*n);
            } else if (a == "--drive") {
                if (*v != "A" && *v != "B" && *v != "a" && *v != "b") {
                    problem = "--drive takes A or B";
                    return {};
                }
                o.driveB = *v == "B" || *v == "b";
            } else if (a == "--mode") {
                const auto m = Modes().find(*v);
                if (m == Modes().end()) {
                    problem = "--mode takes full, raw, scan, scan-sectors or fast";
                    return {};
                }
                o.mode = m->second;
            } else if (a == "--tracks") {
                const auto n = Number(*v, 1, kMaxTracks);
                if (!n) {
                    problem = "--tracks takes 1..166";
                    return {};
                }
                o.tracks = static_cast<int>(*n);
            } else if (a == "--reread") {
                const auto n = Number(*v, 0, 1000);
                if (!n) {
                    problem = "--reread takes 0..1000";
                    return {};
                }
                o.reread = static_cast<int>(*n);
            } else {
                const auto f = ParseFault(*v);
                if (!f) {
                    problem = "bad --fault " + *v;
                    return {};
                }
                o.faults.push_back(*f);
            }
        } else if (a.starts_with("--")) {
            problem = "unknown option " + a;
            return {};
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 1) {
        problem = "read takes one output file";
        return {};
    }
    o.output = files[0];
    if (!CanWriteFormat(FormatFromPath(o.output))) {
        problem = "cannot write this format: " + o.output;
        return {};
    }
    if (o.virtualImage.empty() && (!o.faults.empty() || o.realTime || o.seed)) {
        problem = "--fault, --seed and --realtime need --virtual";
        return {};
    }
    return o;
}

}  // namespace morvane
