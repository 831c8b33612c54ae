// A long measurement on simulated time: the display window's measuring loop and then the chart
// window's recording loop, each for many cycles, driven through the real windows on the
// instrument simulator. Prints the process's resident memory and open file descriptors before,
// after a warm-up and at the end of each, and what the chart keeps of the recording, so that a
// leak per cycle shows apart from the chart's points, which are kept on purpose.
//
// Usage: endurance_bench [cycles per loop, default 100000] [display|chart, default both]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "app/windows.h"
#include "chart/form_chart.h"
#include "device/cad_wandler.h"
#include "device/dialog/form_read_usb.h"
#include "device/instrument_simulator.h"
#include "device/measurement_decoding.h"
#include "device/program_clock.h"
#include "display/form_display.h"
#include "plot/chart_widget.h"
#include "plot/point_store.h"
#include "settings/dialog/form_setup.h"
#include "ui/alarm_sound.h"
#include "ui/operator_dialogs.h"
#include "ui/process_exit.h"

namespace {

constexpr int warmUpCycles = 1000;

// Resident memory in kB, from /proc/self/status.
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

long openFileDescriptors() {
    return static_cast<long>(QDir(QStringLiteral("/proc/self/fd"))
                                 .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                                 .size());
}

// No box may appear in a fault-free run; one that does ends the benchmark instead of blocking.
class NoDialogs : public OperatorDialogs {
public:
    void showMessage(const QString& text, const QString& caption) override {
        fail(caption + QStringLiteral(": ") + text);
    }
    Answer askOkCancel(const QString& text, const QString& caption) override {
        fail(caption + QStringLiteral(": ") + text);
    }
    bool inputText(const QString& caption, const QString&, QString&) override { fail(caption); }
    QString saveFileName(const SaveFileRequest&) override { fail(QStringLiteral("save dialog")); }
    QString openFileName(const OpenFileRequest&) override { fail(QStringLiteral("open dialog")); }
    void showError(const QString& text) override { fail(text); }

private:
    [[noreturn]] static void fail(const QString& what) {
        std::fprintf(stderr, "unexpected box: %s\n", qPrintable(what));
        std::exit(2);
    }
};

class Silence : public AlarmSoundOutput {
public:
    bool playFile(const QString&) override { return true; }
    void beep() override {}
};

struct Snapshot {
    long residentKb = 0;
    long fds = 0;
    double simulatedMs = 0;
};

Snapshot snapshot(const SimulatedClock& clock) {
    return Snapshot{residentKb(), openFileDescriptors(), clock.nowMs()};
}

void printSnapshot(const char* when, int cycles, const Snapshot& s) {
    std::printf("  %-10s cycle %7d: RSS %8ld kB, open fds %3ld, simulated %10.1f s\n", when, cycles,
                s.residentKb, s.fds, s.simulatedMs / 1000.0);
}

// Counts the loop's cycles at its value reads and presses Break at the last one; takes
// snapshots after the warm-up.
class LoopDriver {
public:
    LoopDriver(InstrumentSimulator& sim, SimulatedClock& clock, int cycles,
               std::function<void()> pressBreak)
        : sim(sim), clock(clock), cycles(cycles), pressBreak(std::move(pressBreak)) {}

    // Runs the loop through `start` and reports the figures.
    void run(const char* name, const std::function<void()>& start) {
        std::printf("%s, %d cycles:\n", name, cycles);
        reads = 0;
        before = snapshot(clock);
        printSnapshot("start", 0, before);
        sim.setTransferObserver([this](const TransferRecord& transfer) {
            if (!transfer.in || transfer.value != reg::measuredValue) {
                return;
            }
            // The first value read comes before the first cycle.
            const int cycle = reads++;
            if (cycle == warmUpCycles) {
                warm = snapshot(clock);
                printSnapshot("warmed up", cycle, warm);
            } else if (cycle > warmUpCycles && cycle < cycles && cycle % (cycles / 5) == 0) {
                printSnapshot("", cycle, snapshot(clock));
            }
            if (cycle == cycles) {
                pressBreak();
            }
        });
        QElapsedTimer real;
        real.start();
        start();
        sim.setTransferObserver(nullptr);
        const Snapshot after = snapshot(clock);
        printSnapshot("end", reads - 1, after);
        const int measured = reads - 1 - warmUpCycles;
        std::printf("  real time %.1f s (%.1f us per cycle)\n", real.elapsed() / 1000.0,
                    real.nsecsElapsed() / 1000.0 / (reads - 1));
        std::printf(
            "  after warm-up: RSS %+ld kB over %d cycles (%.2f bytes per cycle), fds %+ld\n",
            after.residentKb - warm.residentKb, measured,
            (after.residentKb - warm.residentKb) * 1024.0 / measured, after.fds - warm.fds);
        last = after;
    }

    Snapshot warm;
    Snapshot last;

private:
    InstrumentSimulator& sim;
    SimulatedClock& clock;
    int cycles;
    std::function<void()> pressBreak;
    Snapshot before;
    int reads = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const int cycles = argc > 1 ? std::max(2 * warmUpCycles, std::atoi(argv[1])) : 100000;
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    SimulatedClock clock;
    setProgramClock(&clock);
    InstrumentSimulator sim(235);
    CAD_wandler::setBackend(&sim);
    NoDialogs dialogs;
    setOperatorDialogs(&dialogs);
    Silence silence;
    setAlarmSoundOutput(&silence);
    setTerminateHandler([](int code) {
        std::fprintf(stderr, "the program ended with exit code %d\n", code);
        std::exit(2);
    });

    auto main = std::make_unique<TMainForm>();
    auto readUsb = std::make_unique<TFormReadUSB>();
    auto display = std::make_unique<TFormDisplay>();
    auto chart = std::make_unique<TFormChart>();
    auto setup = std::make_unique<TForm_Setup>();
    MainForm = main.get();
    FormReadUSB = readUsb.get();
    FormDisplay = display.get();
    FormChart = chart.get();
    Form_Setup = setup.get();
    connectWindows();
    main->show();
    main->Button_Device_infoClick();
    main->Button_Info_OKClick();

    const Snapshot initial = snapshot(clock);
    std::printf("windows built: RSS %ld kB, open fds %ld\n", initial.residentKb, initial.fds);

    if (only != QStringLiteral("chart")) {
        main->Button_Start_DisplayClick();
        LoopDriver displayDriver(sim, clock, cycles, [&] { display->BitBtn_breakClick(); });
        displayDriver.run("display measuring loop", [&] { display->BitBtn_startClick(); });
        std::printf("  last value shown: %s %s\n", qPrintable(display->Label_measuredValue->text()),
                    qPrintable(display->Label_unit->text()));
        display->BitBtn_backClick();
    }
    if (only != QStringLiteral("display")) {
        main->Button_Start_ChartClick();
        const std::size_t storeBefore = chart->Chart1->points().reservedBytes();
        LoopDriver chartDriver(sim, clock, cycles, [&] { chart->BitBtn_BreakClick(); });
        chartDriver.run("chart recording loop", [&] { chart->BitBtn_StartClick(); });
        const std::size_t points = chart->Chart1->pointCount();
        const double storeKb =
            static_cast<double>(chart->Chart1->points().reservedBytes() - storeBefore) / 1024.0;
        const double growthKb =
            static_cast<double>(chartDriver.last.residentKb - chartDriver.warm.residentKb);
        std::printf("  chart points: %zu; point store %.0f kB (%.1f bytes per point)\n", points,
                    storeKb, storeKb * 1024.0 / static_cast<double>(points));
        std::printf("  RSS growth after warm-up beside the point store: %+.0f kB\n",
                    growthKb - storeKb * (points - warmUpCycles) / static_cast<double>(points));

        chart->BitBtn_BackClick();
    }
    CAD_wandler::setBackend(nullptr);
    setProgramClock(nullptr);
    return 0;
}
