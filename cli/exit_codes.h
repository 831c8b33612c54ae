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
constexpr int noRecording = 7;     // stats: the file cannot be read as a recording at all
constexpr int partialRead = 8;     // stats: read up to damage; printed for the rows before it
constexpr int unknownSerial = 9;   // no instrument on the bus has the serial number asked for
constexpr int badPublishing = 10;   // the --publish URL or the password file is unusable
constexpr int badResume = 11;       // the --resume file is no recording, or of another instrument
}  // namespace exitCode
