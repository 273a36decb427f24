// Start-up benchmark: starts each program given in turn, round after round, and times
// from process start to its first frame on the screen (the "shown" line printed under
// --quit-when-shown, see app/QuitWhenShown.h). Taking turns lets the machine's load hit
// every program alike. Run it under an X server, for example:
//
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/rel/bench/startup_bench --runs 21 \
//       build/rel/bench/bare_main_window build/rel/app/morvane
//
// Prints each program's median, lowest and highest time and its median over the first
// program's.
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

// Milliseconds from start to the "shown" line; nothing when the program failed to show.
std::optional<double> TimeOneStart(const QString& program) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {QString::fromLatin1(morvane::kQuitWhenShownOption)});
    std::optional<double> ms;
    QByteArray out;
    while (!ms && timer.elapsed() < kTimeoutMs) {
        if (!process.waitForReadyRead(kTimeoutMs)) break;
        out += process.readAllStandardOutput();
        if (out.contains(morvane::kShownLine)) ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    if (!process.waitForFinished(kTimeoutMs)) process.kill();
    return ms;
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

    std::vector<std::vector<double>> times(static_cast<std::size_t>(args.size()));
    // One untimed round first, so every program starts from a warm file cache.
    for (int round = -1; round < runs; ++round) {
        for (qsizetype i = 0; i < args.size(); ++i) {
            const std::optional<double> ms = TimeOneStart(args[i]);
            if (!ms) {
                std::fprintf(stderr, "%s did not show a window\n", qPrintable(args[i]));
                return 1;
            }
            if (round >= 0) times[static_cast<std::size_t>(i)].push_back(*ms);
        }
    }

    const double reference = Median(times[0]);
    std::printf("%-24s %10s %10s %10s %8s\n", "program", "median ms", "min ms", "max ms", "ratio");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const std::vector<double>& t = times[static_cast<std::size_t>(i)];
        const double median = Median(t);
        std::printf("%-24s %10.1f %10.1f %10.1f %8.2f\n", qPrintable(QFileInfo(args[i]).fileName()),
                    median, *std::min_element(t.begin(), t.end()),
                    *std::max_element(t.begin(), t.end()),
                    reference > 0 ? median / reference : 0.0);
    }
    return 0;
}
