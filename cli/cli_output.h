#pragma once

#include <QJsonObject>
#include <QString>

// A message on stderr: "zalvo-cli: " + message.
void printMessage(const QString& message);

// The object as one line of compact JSON. Control characters that JSON may leave raw (DEL and
// C1) are escaped as well, so that none reaches the terminal.
QString jsonLine(const QJsonObject& object);

// One line on stdout, flushed at once so that a pipe sees each reading as it comes.
void printLine(const QString& line);
