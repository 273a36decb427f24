// Start-up benchmark: starts each program given in turn, round after round, and times
// from process start to its first frame on the screen (the "shown" line printed under
// --quit-when-shown, see app/QuitWhenShown.h). Taking turns lets the machine's load hit
// every program alike. Run it under an X server, for example:
//
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/rel/bench/startup_bench --runs 21
//     build/rel/bench/bare_main_window build/rel/app/morvane
//
// Prints for each program the median, lowest and highest wall time, and the median of its
// own CPU time up to the first frame (which a loaded machine stretches less), each with
// its ratio to the first program's.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "QuitWhenShown.h"

namespace {

constexpr int kDefaultRuns = 15;
constexpr int kTimeoutMs = 30000;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    if (n == 0) return 0;
    return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Sample {
    double wallMs = 0;  // process start to the "shown" line
    double cpuMs = 0;   // the program's own CPU time up to then, from that line
};

// Nothing when the program failed to show a window.
std::optional<Sample> TimeOneStart(const QString& program) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {QString::fromLatin1(morvane::kQuitWhenShownOption)});
    std::optional<Sample> sample;
    QByteArray out;
    while (!sample && timer.elapsed() < kTimeoutMs) {
        if (!process.waitForReadyRead(kTimeoutMs)) break;
        out += process.readAllStandardOutput();
        const qsizetype at = out.indexOf(morvane::kShownLine);
        if (at < 0 || out.indexOf('\n', at) < 0) continue;
        sample = Sample{static_cast<double>(timer.nsecsElapsed()) / 1e6, 0};
        const QList<QByteArray> words = out.mid(at).split('\n').front().split(' ');
        if (words.size() > 1) sample->cpuMs = words[1].toDouble();
    }
    if (!process.waitForFinished(kTimeoutMs)) process.kill();
    return sample;
}

int Usage() {
    std::fprintf(stderr, "usage: startup_bench [--runs N] PROGRAM...\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int runs = kDefaultRuns;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = args[1].toInt();
        args = args.mid(2);
    }
    if (runs < 1 || args.isEmpty()) return Usage();

    std::vector<std::vector<Sample>> samples(static_cast<std::size_t>(args.size()));
    // One untimed round first, so every program starts from a warm file cache.
    for (int round = -1; round < runs; ++round) {
        for (qsizetype i = 0; i < args.size(); ++i) {
            const std::optional<Sample> sample = TimeOneStart(args[i]);
            if (!sample) {
                std::fprintf(stderr, "%s did not show a window\n", qPrintable(args[i]));
                return 1;
            }
            if (round >= 0) samples[static_cast<std::size_t>(i)].push_back(*sample);
        }
    }

    std::vector<double> wall;
    std::vector<double> cpu;
    for (const std::vector<Sample>& s : samples) {
        std::vector<double> w;
        std::vector<double> c;
        for (const Sample& one : s) {
            w.push_back(one.wallMs);
            c.push_back(one.cpuMs);
        }
        wall.push_back(Median(w));
        cpu.push_back(Median(c));
    }
    std::printf("medians of %d runs; ratios to the first program\n", runs);
    std::printf("%-20s %9s %9s %9s %8s %9s %8s\n", "program", "wall ms", "min ms", "max ms",
                "ratio", "CPU ms", "ratio");
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto [low, high] = std::minmax_element(
            samples[i].begin(), samples[i].end(),
            [](const Sample& a, const Sample& b) { return a.wallMs < b.wallMs; });
        std::printf("%-20s %9.1f %9.1f %9.1f %8.2f %9.1f %8.2f\n",
                    qPrintable(QFileInfo(args[static_cast<qsizetype>(i)]).fileName()), wall[i],
                    low->wallMs, high->wallMs, wall[0] > 0 ? wall[i] / wall[0] : 0.0, cpu[i],
                    cpu[0] > 0 ? cpu[i] / cpu[0] : 0.0);
    }
    return 0;
}
