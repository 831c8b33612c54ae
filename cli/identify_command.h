#pragma once

#include "cli/cli_options.h"
#include "cli/instrument_connection.h"

// zalvo-cli identify: what "Device info" shows. Returns the exit code.
int runIdentify(const CliOptions& options, const InstrumentConnection& connection);
