#pragma once

#include <QString>

// A message on stderr: "zalvo-cli: " + message.
void printMessage(const QString& message);

// One line on stdout, flushed at once so that a pipe sees each reading as it comes.
void printLine(const QString& line);
