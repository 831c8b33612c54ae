#include "app/program_options.h"

#include <QCommandLineParser>

#include "state/version_info.h"

bool parseProgramOptions(const QStringList& arguments, ProgramOptions& options, QString& error) {
    QCommandLineParser parser;
    addHelpAndVersionOptions(parser);
    addSimulatorOptions(parser);
    if (!parseArguments(parser, arguments, error)) {
        return false;
    }
    options.showHelp = parser.isSet(QStringLiteral("help"));
    options.showVersion = parser.isSet(QStringLiteral("version"));
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument '%1'")
                    .arg(parser.positionalArguments().constFirst());
        return false;
    }
    return readSimulatorOptions(parser, options.simulator, error);
}

namespace {

QString fileVersion() {
    VersionInfo info;
    readVersionInfo(info);
    return info.fileVersion;
}

}  // namespace

QString programUsage(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [--simulate=115|235|255] [--scenario=FILE] [--serial=N]\n"
               "Read-out for the Zalvo electrostatic field meters on USB, version %2.\n"
               "\n")
               .arg(programName, fileVersion()) +
           sharedOptionsHelp();
}

QString programVersionLine(const QString& programName) {
    return programName + QLatin1Char(' ') + fileVersion() + QLatin1Char('\n');
}
