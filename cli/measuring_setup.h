#pragma once

#include <QStringList>

#include "cli/cli_options.h"
#include "cli/instrument_connection.h"
#include "measure/window_kind.h"

// What read and log know before their first reading.
struct MeasuringSetup {
    DeviceIdentity identity;
    int deviceType = 0;  // the identity's device type as a number
    char modeLetter = 'F';
    QStringList rangeItems;  // the window's range items; the distance rule reads them in 'M'
};

// Opens and identifies the instrument and checks that this program knows its device type;
// says what failed. Returns the exit code; exitCode::ok to go on.
int identifyKnownInstrument(const InstrumentConnection& connection, DeviceIdentity& identity);

// identifyKnownInstrument, then chooses the mode and builds the range items as the window of
// that kind would. Sets the device type and currentRange of
// mainFormData(). Returns the exit code; exitCode::ok to go on.
int prepareMeasuring(const CliOptions& options, const InstrumentConnection& connection,
                     WindowKind kind, MeasuringSetup& setup);

// The message and exit code of a reading that failed: the instrument is gone.
int reportLostInstrument(int result);
