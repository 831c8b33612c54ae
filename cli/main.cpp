#include <QStringList>

#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/identify_command.h"
#include "cli/instrument_connection.h"
#include "cli/list_command.h"
#include "cli/log_command.h"
#include "cli/read_command.h"
#include "cli/stats_command.h"
#include "cli/stop_request.h"

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    // stats reads a file and needs no instrument; its options are its own.
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("stats")) {
        return runStats(arguments.mid(1));
    }
    CliOptions options;
    QString error;
    if (!parseCliOptions(arguments, options, error)) {
        printMessage(error + QStringLiteral("\nTry 'zalvo-cli --help'."));
        return exitCode::usage;
    }
    if (options.showHelp) {
        printLine(cliUsage().chopped(1));
        return exitCode::ok;
    }
    InstrumentConnection connection;
    if (!connection.start(options, error)) {
        printMessage(error);
        return exitCode::badScenario;
    }
    installStopHandlers();
    if (!options.serialNumber.isEmpty() && !chooseSerial(options.serialNumber, connection)) {
        return exitCode::unknownSerial;
    }
    switch (options.command) {
        case CliCommand::list:
            return runList(options, connection);
        case CliCommand::identify:
            return runIdentify(options, connection);
        case CliCommand::read:
            return runRead(options, connection);
        case CliCommand::log:
            return runLog(options, connection);
        case CliCommand::none:
            break;
    }
    return exitCode::usage;
}
