#pragma once

#include <QString>
#include <QStringList>

// What the program was asked for on its command line.
struct ProgramOptions {
    int simulatedType = 0;  // 0: the USB instrument
    QString scenarioFile;   // scripts the simulator; implies it
    QString serialNumber;   // the instrument with it; empty: the first one found
    bool showHelp = false;
};

// Parses the arguments after the program name; returns false with a message on bad input.
bool parseProgramOptions(const QStringList& arguments, ProgramOptions& options, QString& error);

QString programUsage(const QString& programName);
