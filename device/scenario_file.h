#pragma once

#include <QString>

class InstrumentSimulator;

// Scripts the instrument simulator from a text file, one directive per line, '#' starts a comment:
//   type 115|235|255                 identity SERIAL VERSION TYPE      identity-hex HEX30
//   value N ...                      status 0xNN        range 0xNN     mode 0xNN
//   adjust-status 0xNN ...           unplug-after N     unplugged
//   replug-after-ms N  (an unplugged instrument comes back N ms of program-clock time later)
//   fail REGISTER N [ERROR]          short REGISTER N BYTES            timeout REGISTER N
// REGISTER is a number (decimal or 0x hex) or one of: identity, value, status, range, mode,
// adjust-command, adjust-status. Numbers may be decimal or 0x hexadecimal.
// Returns false with a message naming the file, the line and what is wrong; the simulator may
// then be half-configured and must not be used.
bool applyScenarioFile(const QString& path, InstrumentSimulator& simulator, QString& error);

// The same for scenario text already in memory; `name` stands for the file in messages.
bool applyScenarioText(const QString& text, const QString& name, InstrumentSimulator& simulator,
                       QString& error);
