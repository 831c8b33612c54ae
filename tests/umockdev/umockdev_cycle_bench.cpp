// Cost of one measuring cycle on the libusb backend over an emulated bus: rescan, open,
// configure, claim and the three transfers of one readMeasurement. The 50 ms sample wait
// runs on simulated time, so only the link's own work is timed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "device/cad_wandler.h"
#include "device/libusb_backend.h"
#include "device/program_clock.h"
#include "device/usbread.h"
#include "emulated_bus.h"
#include "emulated_instrument.h"
#include "state/main_form_data.h"
#include "umockdev_preload.h"

namespace {
double percentile(const std::vector<double>& sorted, double fraction) {
    return sorted[static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1))];
}

// Microseconds per call of `step`, sorted.
template <typename Step>
std::vector<double> timeCycles(int cycles, Step step) {
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(cycles));
    for (int i = 0; i < cycles; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!step()) {
            std::fprintf(stderr, "cycle %d failed\n", i);
            std::exit(1);
        }
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    return micros;
}

void report(const char* what, const std::vector<double>& micros) {
    std::printf("%-40s median %8.1f us   p10 %8.1f   p90 %8.1f   (%zu cycles)\n", what,
                percentile(micros, 0.5), percentile(micros, 0.1), percentile(micros, 0.9),
                micros.size());
}
}  // namespace

int main(int argc, char** argv) {
    ensureUmockdevPreload(argv);
    if (!umockdevPreloaded()) {
        std::fprintf(stderr, "libumockdev-preload.so.0 could not be preloaded\n");
        return 1;
    }
    const int cycles = std::max(200, argc > 1 ? std::atoi(argv[1]) : 500);

    EmulatedInstrument instrument;
    instrument.setMeasuredValue(1234);
    instrument.setRangeCode(0x40);
    SimulatedClock clock;
    MainFormData data;
    auto bus = std::make_unique<EmulatedBus>();
    bus->plug(instrument, {1, 4, ""});
    auto backend = std::make_unique<LibusbBackend>();
    setProgramClock(&clock);
    setMainFormData(&data);
    CAD_wandler::setBackend(backend.get());

    CAD_wandler link;
    double value = 0;
    int rangeIndex = 0;
    int overrange = 0;
    unsigned char batteryOk = 0;
    auto cycle = [&] { return readMeasurement(value, rangeIndex, overrange, batteryOk, 1) == 1; };
    auto open = [&] { return link.openDevice() == 1; };

    timeCycles(20, cycle);  // warm-up: first scan, caches
    report("readMeasurement (full cycle)", timeCycles(cycles, cycle));
    report("openDevice (rescan+open+config+claim)", timeCycles(cycles, open));

    CAD_wandler::setBackend(nullptr);
    setMainFormData(nullptr);
    setProgramClock(nullptr);
    backend.reset();
    bus.reset();
    return 0;
}
