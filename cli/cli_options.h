#pragma once

#include <QString>
#include <QStringList>
#include <optional>

enum class CliCommand { none, identify, read, log, list };

// What zalvo-cli was asked for on its command line.
struct CliOptions {
    CliCommand command = CliCommand::none;
    bool showHelp = false;
    int simulatedType = 0;  // 0: the USB instrument
    QString scenarioFile;   // scripts the simulator; implies it
    bool json = false;
    QString serialNumber;  // identify, read, log: the instrument with it; empty: the first one

    std::optional<char> modeLetter;  // 'F', 'V', '4' or 'M'
    int rangeIndex = 4;              // 0..3 fixed (0 the largest), 4 automatic ranging
    int distanceMm = 5;              // mode 'M' only
    int intervalMs = 200;
    int count = 1;  // read

    // log
    std::optional<double> durationSeconds;
    std::optional<long long> samples;
    QString outputFile;  // empty: a new file in recordingsDirectory()
    bool reconnect = false;
    QString resumeFile;    // continues this recording instead of a new one
    QString publishUrl;    // mqtt:// or mqtts:// broker and topic prefix; empty: no publishing
    QString caFile;        // mqtts: the certificate authorities to trust
    QString passwordFile;  // the broker password, from the first line of this file
};

// Parses the arguments after the program name; false with a message on bad input.
// Options take their value as "--name=VALUE" or as the next argument.
bool parseCliOptions(const QStringList& arguments, CliOptions& options, QString& error);

QString cliUsage();
