#include "app/program_options.h"

bool parseProgramOptions(const QStringList& arguments, ProgramOptions& options, QString& error) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.showHelp = true;
        } else if (argument.startsWith(QLatin1String("--simulate="))) {
            const QString type = argument.mid(11);
            if (type != QLatin1String("115") && type != QLatin1String("235") &&
                type != QLatin1String("255")) {
                error = QStringLiteral("--simulate takes the device type 115, 235 or 255, not '%1'")
                            .arg(type);
                return false;
            }
            options.simulatedType = type.toInt();
        } else if (argument.startsWith(QLatin1String("--scenario="))) {
            options.scenarioFile = argument.mid(11);
            if (options.scenarioFile.isEmpty()) {
                error = QStringLiteral("--scenario needs a file name");
                return false;
            }
        } else if (argument.startsWith(QLatin1String("--serial="))) {
            options.serialNumber = argument.mid(9).trimmed();
            if (options.serialNumber.isEmpty() || options.serialNumber.size() > 8) {
                error = QStringLiteral("--serial takes a serial number of up to 8 characters");
                return false;
            }
        } else if (argument.startsWith(QLatin1Char('-'))) {
            error = QStringLiteral("unknown option '%1'").arg(argument);
            return false;
        } else {
            error = QStringLiteral("unexpected argument '%1'").arg(argument);
            return false;
        }
    }
    return true;
}

QString programUsage(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [--simulate=115|235|255] [--scenario=FILE] [--serial=N]\n"
               "Read-out for the Zalvo electrostatic field meters on USB.\n\n"
               "  --simulate=TYPE   run on the built-in instrument simulator of that device type\n"
               "  --scenario=FILE   run on the simulator, scripted by FILE (see README)\n"
               "  --serial=N        the instrument with serial number N (default: the first)\n"
               "  --help            show this text\n")
        .arg(programName);
}
