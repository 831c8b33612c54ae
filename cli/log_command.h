#pragma once

#include "cli/cli_options.h"
#include "cli/instrument_connection.h"

// zalvo-cli log: the chart window's recording loop without a window. Each reading becomes a
// row of a recording file, written as it comes. Returns the exit code.
int runLog(const CliOptions& options, const InstrumentConnection& connection);
