#pragma once

#include <QString>
#include <QStringList>

#include "device/command_line_options.h"

// What the program was asked for on its command line.
struct ProgramOptions {
    SimulatorChoice simulator;  // none: the USB instrument
    bool showHelp = false;
    bool showVersion = false;
};

// Parses the arguments after the program name; returns false with a message on bad input.
bool parseProgramOptions(const QStringList& arguments, ProgramOptions& options, QString& error);

QString programUsage(const QString& programName);

// "zalvo 2.0.3.4": the program's name and the project's version.
QString programVersionLine(const QString& programName);
