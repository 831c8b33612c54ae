#include "app/program_options.h"

#include <QCommandLineParser>

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

QString programUsage(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [--simulate=115|235|255] [--scenario=FILE]\n"
               "Read-out for the Zalvo electrostatic field meters on USB, version %2.\n"
               "\n")
               .arg(programName, QStringLiteral(ZALVO_FILE_VERSION)) +
           sharedOptionsHelp();
}

QString programVersionLine(const QString& programName) {
    return programName + QStringLiteral(" " ZALVO_FILE_VERSION "\n");
}
