#pragma once

#include <QString>
#include <optional>

// The measuring mode a command starts in: the one asked for, else the instrument's own mode
// (235 and 255 report it), else the field meter. A mode asked for is sent to 235 and 255 as
// the windows' mode selection sends it ('M' goes as the plain voltmeter mode). False with a
// message when the device type has no such mode.
bool chooseMode(int deviceType, std::optional<char> asked, char& modeLetter, QString& error);

// Sends a mode letter to 235 and 255 as the windows' mode selection does; 115 takes none.
void sendMode(int deviceType, char modeLetter);

// The measuring distance a mode stands for, as the display's record names it: empty for the
// field meter, 10 and 200 for the two adapters, the set distance for 'M'.
QString distanceOfMode(int deviceType, char modeLetter, int distanceMm);
