#include <QRegularExpression>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "device/cad_wandler.h"
#include "device/instrument_simulator.h"
#include "device/program_clock.h"
#include "device/scenario_file.h"
#include "device/usbread.h"
#include "fuzz/fuzz_check.h"

namespace {

// Drives every command against a simulator the scenario has set up, whatever it set.
void useInstrument(InstrumentSimulator& simulator) {
    CAD_wandler::setBackend(&simulator);
    QString serial, version, type;
    if (usbreadLink().openDevice() == 1) {
        readIdentity(serial, version, type);
    }
    double value = 0;
    int rangeIndex = 0, overrange = 0, modeIndex = 0;
    unsigned char batteryOk = 0;
    char modeLetter = 0;
    for (int i = 0; i < 3; ++i) {
        readMeasurement(value, rangeIndex, overrange, batteryOk, 1);
        check(overrange == 0 || overrange == 1, "the overrange is 0 or 1");
        check(value >= -9999 && value <= 9999, "a value is at most four digits");
    }
    readMode(modeIndex, modeLetter);
    setRange(4);
    setMode(1);
    readRangeAndBattery(rangeIndex, batteryOk);
    CAD_wandler::setBackend(nullptr);
}

}  // namespace

// Input: a scenario text. It either sets the simulator up or is refused with the name, the
// line and what is wrong; a simulator that took it answers every command.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SimulatedClock clock;
    setProgramClock(&clock);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    InstrumentSimulator simulator;
    QString error;
    if (!applyScenarioText(text, QStringLiteral("fuzz.scn"), simulator, error)) {
        static const QRegularExpression message(QStringLiteral("^fuzz\\.scn:([0-9]+): \\S"));
        const QRegularExpressionMatch match = message.match(error);
        check(match.hasMatch(), "a refusal names the file and the line");
        const int line = match.captured(1).toInt();
        check(line >= 1 && line <= text.count(QLatin1Char('\n')) + 1, "the line is in the text");
        return 0;
    }
    check(error.isEmpty(), "an accepted scenario reports no error");
    useInstrument(simulator);
    return 0;
}
