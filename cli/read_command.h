#pragma once

#include "cli/cli_options.h"
#include "cli/instrument_connection.h"

// zalvo-cli read: the display window's measuring loop for a number of readings, each printed
// as the display shows it. Returns the exit code.
int runRead(const CliOptions& options, const InstrumentConnection& connection);
