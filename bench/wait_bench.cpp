// Processor load and punctuality of the measuring loops' wait: the deadline wait
// against a wait that spins on the event queue.
//
// Usage: wait_bench [seconds per wait, default 20] [sampling time in ms, default 200]

#include "device/usbread.h"
#include "ui/event_pump.h"

#include <QApplication>
#include <QByteArray>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(fraction * (values.size() - 1) + 0.5);
    return values[index];
}

// The measuring loops' wait shape, cycle after cycle; returns how late each cycle ended.
template <typename Wait>
std::vector<double> runCycles(double seconds, double samplingMs, Wait wait) {
    std::vector<double> lateness;
    const double end = counterSeconds() + seconds;
    while (counterSeconds() < end) {
        const double cycleStart = counterSeconds();
        double elapsed = 0.0;
        do {
            elapsed = (counterSeconds() - cycleStart) * 1000.0;
            wait(samplingMs - elapsed);
        } while (elapsed < samplingMs);
        lateness.push_back((counterSeconds() - cycleStart) * 1000.0 - samplingMs);
    }
    return lateness;
}

template <typename Wait>
void measure(const char* name, double seconds, double samplingMs, Wait wait) {
    const double cpuStart = cpuSeconds();
    const double wallStart = counterSeconds();
    const std::vector<double> lateness = runCycles(seconds, samplingMs, wait);
    const double cpu = cpuSeconds() - cpuStart;
    const double wall = counterSeconds() - wallStart;
    std::printf(
        "%-14s %4zu cycles  CPU %6.2f %% of a core  lateness median %.3f ms  p95 %.3f ms"
        "  max %.3f ms\n",
        name, lateness.size(), 100.0 * cpu / wall, percentile(lateness, 0.5),
        percentile(lateness, 0.95), *std::max_element(lateness.begin(), lateness.end()));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const double samplingMs = argc > 2 ? std::atof(argv[2]) : 200.0;
    if (seconds <= 0 || samplingMs <= 0) {
        std::fprintf(stderr, "usage: wait_bench [seconds] [sampling ms]\n");
        return 2;
    }
    std::printf("sampling time %.0f ms, %.0f s per wait\n", samplingMs, seconds);
    measure("deadline wait", seconds, samplingMs,
            [](double remainingMs) { letEventsRunFor(remainingMs); });
    measure("spinning wait", seconds, samplingMs, [](double) { letPendingEventsRun(); });
    return 0;
}
