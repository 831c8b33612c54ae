// Cost of one measuring cycle on the instrument simulator: rescan, open, configure, claim and the
// three transfers of one reading. The 50 ms pause after the sample runs on simulated time, so
// only the work itself is measured.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "device/cad_wandler.h"
#include "device/instrument_simulator.h"
#include "device/program_clock.h"
#include "device/usbread.h"

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::max(200, std::atoi(argv[1])) : 1000;
    SimulatedClock clock;
    setProgramClock(&clock);
    InstrumentSimulator simulator(235);
    CAD_wandler::setBackend(&simulator);

    std::vector<double> microseconds;
    microseconds.reserve(cycles);
    for (int i = 0; i < cycles; ++i) {
        double value = 0;
        int range = 0;
        int overrange = 0;
        unsigned char battery = 0;
        const auto start = std::chrono::steady_clock::now();
        readMeasurement(value, range, overrange, battery, 1);
        const auto end = std::chrono::steady_clock::now();
        microseconds.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(microseconds.begin(), microseconds.end());
    std::printf("simulator cycle over %d cycles: median %.2f us, p90 %.2f us\n", cycles,
                microseconds[microseconds.size() / 2], microseconds[microseconds.size() * 9 / 10]);
    CAD_wandler::setBackend(nullptr);
    setProgramClock(nullptr);
    return 0;
}
