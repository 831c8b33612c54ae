#pragma once

// The exit codes of zalvo-cli; scripts rely on them, so they never change meaning.
namespace exitCode {
constexpr int ok = 0;              // done, or ended by SIGINT / SIGTERM with everything written
constexpr int usage = 1;           // bad command line, or a mode the device type does not have
constexpr int badScenario = 2;     // the --scenario file cannot be read or has a bad line
constexpr int noInstrument = 3;    // no instrument to open, no identity, unknown device type
constexpr int instrumentLost = 4;  // the instrument stopped answering during the command
constexpr int fileError = 5;       // the recording file cannot be created or written
constexpr int neverBack = 6;       // --reconnect: the lost instrument was still away at the end
}  // namespace exitCode
