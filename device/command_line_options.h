#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class InstrumentSimulator;
class QCommandLineParser;

// What the program and zalvo-cli share on their command lines: the parsing rules, --help,
// --version, which instrument to open (--serial=N) and the built-in instrument simulator
// (--simulate=TYPE, --scenario=FILE).

// Declares --help (-h) and --version on a parser.
void addHelpAndVersionOptions(QCommandLineParser& parser);

// Parses the arguments after the program name. Values follow an "=" or stand in the next
// argument. False with a message on an unknown option or a missing or unexpected value.
bool parseArguments(QCommandLineParser& parser, const QStringList& arguments, QString& error);

struct SimulatorChoice {
    int simulatedType = 0;  // 0: none given (a scenario alone runs the device type 235)
    QString scenarioFile;   // scripts the simulator; implies it
    QString serialNumber;   // the instrument with it (the simulator takes it); empty: the first

    bool wanted() const { return simulatedType != 0 || !scenarioFile.isEmpty(); }
};

// Declares --simulate, --scenario and --serial on a parser.
void addSimulatorOptions(QCommandLineParser& parser);

// Reads them from a parser that has parsed; false with a message on a bad value.
bool readSimulatorOptions(const QCommandLineParser& parser, SimulatorChoice& choice,
                          QString& error);

// The simulator of the chosen device type, scripted by the scenario file if one is given;
// nullptr with the file, line and reason when the scenario cannot be used.
std::unique_ptr<InstrumentSimulator> makeSimulator(const SimulatorChoice& choice, QString& error);

// The lines of --serial, --simulate, --scenario, --version and --help for a help text.
QString sharedOptionsHelp();
