#pragma once

#include <QString>
#include <vector>

#include "cli/cli_options.h"
#include "cli/instrument_connection.h"

// One instrument on the bus as list shows it.
struct ListedInstrument {
    int bus = 0;
    int address = 0;
    QString problem;  // why it could not be opened or identified; empty when it was
    DeviceIdentity identity;
    bool hasBattery = false;  // 235 and 255 report it
    bool batteryOk = true;
};

// Opens every instrument on the bus in bus order, reads its identity (and battery) and closes
// it again. Leaves the device link without a choice of instrument.
std::vector<ListedInstrument> listInstruments(const InstrumentConnection& connection);

// "12340417 (bus 1, address 4), 12340418 (bus 1, address 5)", or "no instrument".
QString instrumentsSummary(const std::vector<ListedInstrument>& instruments);

// zalvo-cli list. Returns the exit code.
int runList(const CliOptions& options, const InstrumentConnection& connection);

// Before a command with --serial: makes the device link use that instrument; false with a
// message listing what is on the bus when none has that serial number.
bool chooseSerial(const QString& serialNumber, const InstrumentConnection& connection);
