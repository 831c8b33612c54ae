#include "device/command_line_options.h"

#include <QCommandLineParser>

#include "device/instrument_simulator.h"
#include "device/scenario_file.h"
#include "measure/device_modes.h"

namespace {

const QString simulateName = QStringLiteral("simulate");
const QString scenarioName = QStringLiteral("scenario");
const QString serialName = QStringLiteral("serial");
// The identity block holds eight characters of serial number.
constexpr int longestSerialNumber = 8;

}  // namespace

void addHelpAndVersionOptions(QCommandLineParser& parser) {
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
}

bool parseArguments(QCommandLineParser& parser, const QStringList& arguments, QString& error) {
    // "-name" is read as "--name", so that one spelling of a word never splits into letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (parser.parse(QStringList{QString()} + arguments)) {
        return true;
    }
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty()) {
        error = parser.errorText();
    } else {
        const QString& name = unknown.constFirst();
        error = QStringLiteral("unknown option '%1%2'")
                    .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
    }
    return false;
}

void addSimulatorOptions(QCommandLineParser& parser) {
    parser.addOption(QCommandLineOption(simulateName, QString(), QStringLiteral("TYPE")));
    parser.addOption(QCommandLineOption(scenarioName, QString(), QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(serialName, QString(), QStringLiteral("N")));
}

bool readSimulatorOptions(const QCommandLineParser& parser, SimulatorChoice& choice,
                          QString& error) {
    if (parser.isSet(simulateName)) {
        const QString type = parser.value(simulateName);
        if (type != QLatin1String("115") && type != QLatin1String("235") &&
            type != QLatin1String("255")) {
            error = QStringLiteral("--simulate takes the device type 115, 235 or 255, not '%1'")
                        .arg(type);
            return false;
        }
        choice.simulatedType = type.toInt();
    }
    if (parser.isSet(scenarioName)) {
        choice.scenarioFile = parser.value(scenarioName);
        if (choice.scenarioFile.isEmpty()) {
            error = QStringLiteral("--scenario needs a file name");
            return false;
        }
    }
    if (parser.isSet(serialName)) {
        choice.serialNumber = parser.value(serialName).trimmed();
        if (choice.serialNumber.isEmpty() || choice.serialNumber.size() > longestSerialNumber) {
            error = QStringLiteral("--serial takes a serial number of up to 8 characters, not '%1'")
                        .arg(parser.value(serialName));
            return false;
        }
    }
    return true;
}

std::unique_ptr<InstrumentSimulator> makeSimulator(const SimulatorChoice& choice, QString& error) {
    auto simulator = std::make_unique<InstrumentSimulator>(
        choice.simulatedType != 0 ? choice.simulatedType : deviceType235);
    if (!choice.scenarioFile.isEmpty() &&
        !applyScenarioFile(choice.scenarioFile, *simulator, error)) {
        return nullptr;
    }
    // The simulated instrument is the one asked for, so that simulated loggers differ.
    if (!choice.serialNumber.isEmpty()) {
        simulator->setSerialNumber(choice.serialNumber);
    }
    return simulator;
}

QString sharedOptionsHelp() {
    return QStringLiteral(
        "  --serial=N         the instrument with serial number N (default: the first one on\n"
        "                     the bus)\n"
        "  --simulate=TYPE    run on the built-in instrument simulator of device type 115,\n"
        "                     235 or 255\n"
        "  --scenario=FILE    run on the simulator, scripted by FILE\n"
        "  --version          print the version\n"
        "  --help             show this text\n");
}
