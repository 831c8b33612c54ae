#include "ui/event_pump.h"

#include "device/program_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// Enough to push a simulated wait past rounding in the callers' millisecond arithmetic.
constexpr double simulatedSlackMs = 0.001;
// Keeps the timer interval well inside an int.
constexpr double longestTimerMs = 24.0 * 3600.0 * 1000.0;

}  // namespace

void letPendingEventsRun() {
    QCoreApplication::processEvents();
}

void letEventsRunFor(double maxMs) {
    ProgramClock& clock = programClock();
    if (clock.isSimulated()) {
        QCoreApplication::processEvents();
        clock.advanceMs(std::max(maxMs, 0.0) + simulatedSlackMs);
        return;
    }
    if (!(maxMs >= 1.0)) {
        // The last millisecond is spun through: a timer cannot end it precisely.
        QCoreApplication::processEvents();
        return;
    }
    // The timer bounds the wait when no event comes.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(static_cast<int>(std::floor(std::min(maxMs, longestTimerMs))));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Some event dispatchers only wake up when an event is posted during the wait and
    // leave it for the next round: run it now so that the caller sees its effect.
    QCoreApplication::processEvents();
}
