#include "cli/cli_options.h"

#include <QSet>

namespace {

constexpr int minimumIntervalMs = 200;
constexpr int maximumIntervalMs = 24 * 60 * 60 * 1000;
constexpr double maximumDurationSeconds = 1e7;

// The options each command takes besides the global ones.
QSet<QString> optionsOf(CliCommand command) {
    switch (command) {
        case CliCommand::list:
            return {QStringLiteral("json")};
        case CliCommand::identify:
            return {QStringLiteral("json"), QStringLiteral("serial")};
        case CliCommand::read:
            return {QStringLiteral("mode"),  QStringLiteral("range"),    QStringLiteral("distance"),
                    QStringLiteral("count"), QStringLiteral("interval"), QStringLiteral("json"),
                    QStringLiteral("serial")};
        case CliCommand::log:
            return {QStringLiteral("mode"),         QStringLiteral("range"),
                    QStringLiteral("distance"),     QStringLiteral("interval"),
                    QStringLiteral("duration"),     QStringLiteral("samples"),
                    QStringLiteral("output"),       QStringLiteral("reconnect"),
                    QStringLiteral("serial"),       QStringLiteral("resume"),
                    QStringLiteral("publish"),      QStringLiteral("ca-file"),
                    QStringLiteral("password-file")};
        case CliCommand::none:
            break;
    }
    return {};
}

bool isFlag(const QString& name) {
    return name == QLatin1String("json") || name == QLatin1String("reconnect");
}

bool parseWhole(const QString& text, long long minimum, long long maximum, long long& number) {
    bool ok = false;
    number = text.toLongLong(&ok, 10);
    return ok && number >= minimum && number <= maximum;
}

class OptionReader {
public:
    OptionReader(CliOptions& options, QString& error) : options(options), error(error) {}

    bool take(const QString& name, const QString& value) {
        if (name == QLatin1String("simulate")) {
            if (value != QLatin1String("115") && value != QLatin1String("235") &&
                value != QLatin1String("255")) {
                return fail(QStringLiteral("--simulate takes the device type 115, 235 or 255, "
                                           "not '%1'")
                                .arg(value));
            }
            options.simulatedType = value.toInt();
        } else if (name == QLatin1String("scenario")) {
            if (value.isEmpty()) {
                return fail(QStringLiteral("--scenario needs a file name"));
            }
            options.scenarioFile = value;
        } else if (name == QLatin1String("json")) {
            options.json = true;
        } else if (name == QLatin1String("reconnect")) {
            options.reconnect = true;
        } else if (name == QLatin1String("mode")) {
            if (value.size() != 1 || !QStringLiteral("FV4M").contains(value.toUpper())) {
                return fail(QStringLiteral("--mode takes F, V, 4 or M, not '%1'").arg(value));
            }
            options.modeLetter = value.toUpper().at(0).toLatin1();
        } else if (name == QLatin1String("range")) {
            long long index = 0;
            if (value == QLatin1String("auto")) {
                options.rangeIndex = 4;
            } else if (parseWhole(value, 0, 3, index)) {
                options.rangeIndex = static_cast<int>(index);
            } else {
                return fail(
                    QStringLiteral("--range takes 0, 1, 2, 3 or auto, not '%1'").arg(value));
            }
        } else if (name == QLatin1String("distance")) {
            return number(name, value, 5, 300, options.distanceMm);
        } else if (name == QLatin1String("count")) {
            return number(name, value, 1, 1000000000, options.count);
        } else if (name == QLatin1String("interval")) {
            return number(name, value, minimumIntervalMs, maximumIntervalMs, options.intervalMs);
        } else if (name == QLatin1String("samples")) {
            long long samples = 0;
            if (!parseWhole(value, 1, 1000000000000LL, samples)) {
                return fail(
                    QStringLiteral("--samples takes a number of at least 1, not '%1'").arg(value));
            }
            options.samples = samples;
        } else if (name == QLatin1String("duration")) {
            bool ok = false;
            const double seconds = value.toDouble(&ok);
            if (!ok || !(seconds > 0) || seconds > maximumDurationSeconds) {
                return fail(
                    QStringLiteral("--duration takes seconds above 0, not '%1'").arg(value));
            }
            options.durationSeconds = seconds;
        } else if (name == QLatin1String("serial")) {
            if (value.trimmed().isEmpty() || value.trimmed().size() > 8) {
                return fail(QStringLiteral("--serial takes a serial number of up to 8 "
                                           "characters, not '%1'")
                                .arg(value));
            }
            options.serialNumber = value.trimmed();
        } else if (name == QLatin1String("resume") || name == QLatin1String("publish") ||
                   name == QLatin1String("ca-file") || name == QLatin1String("password-file")) {
            if (value.isEmpty()) {
                return fail(QStringLiteral("--%1 needs a value").arg(name));
            }
            (name == QLatin1String("resume")    ? options.resumeFile
             : name == QLatin1String("publish") ? options.publishUrl
             : name == QLatin1String("ca-file") ? options.caFile
                                                : options.passwordFile) = value;
        } else if (name == QLatin1String("output")) {
            if (value.isEmpty()) {
                return fail(QStringLiteral("--output needs a file name"));
            }
            options.outputFile = value;
        } else {
            return fail(QStringLiteral("unknown option '--%1'").arg(name));
        }
        return true;
    }

private:
    bool number(const QString& name, const QString& value, int minimum, int maximum, int& target) {
        long long parsed = 0;
        if (!parseWhole(value, minimum, maximum, parsed)) {
            return fail(QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'")
                            .arg(name)
                            .arg(minimum)
                            .arg(maximum)
                            .arg(value));
        }
        target = static_cast<int>(parsed);
        return true;
    }

    bool fail(const QString& message) {
        error = message;
        return false;
    }

    CliOptions& options;
    QString& error;
};

bool commandOf(const QString& word, CliCommand& command) {
    if (word == QLatin1String("identify")) {
        command = CliCommand::identify;
    } else if (word == QLatin1String("read")) {
        command = CliCommand::read;
    } else if (word == QLatin1String("log")) {
        command = CliCommand::log;
    } else if (word == QLatin1String("list")) {
        command = CliCommand::list;
    } else {
        return false;
    }
    return true;
}

bool checkCombination(const CliOptions& options, const QSet<QString>& given, QString& error) {
    if (options.command == CliCommand::none) {
        error = QStringLiteral("no command given (list, identify, read or log)");
        return false;
    }
    const QSet<QString> allowed = optionsOf(options.command);
    for (const QString& name : given) {
        if (!allowed.contains(name)) {
            error = QStringLiteral("--%1 does not go with this command").arg(name);
            return false;
        }
    }
    if (given.contains(QStringLiteral("distance")) && options.modeLetter != 'M') {
        error = QStringLiteral("--distance goes with --mode M only");
        return false;
    }
    if (options.command == CliCommand::log && !given.contains(QStringLiteral("interval"))) {
        error = QStringLiteral("log needs --interval MS");
        return false;
    }
    if (!options.resumeFile.isEmpty() && !options.outputFile.isEmpty()) {
        error = QStringLiteral("give either --output or --resume, not both");
        return false;
    }
    if ((!options.caFile.isEmpty() || !options.passwordFile.isEmpty()) &&
        options.publishUrl.isEmpty()) {
        error = QStringLiteral("--ca-file and --password-file go with --publish only");
        return false;
    }
    if (options.durationSeconds && options.samples) {
        error = QStringLiteral("give either --duration or --samples, not both");
        return false;
    }
    return true;
}

}  // namespace

bool parseCliOptions(const QStringList& arguments, CliOptions& options, QString& error) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.showHelp = true;
            return true;
        }
    }
    OptionReader reader(options, error);
    QSet<QString> given;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            if (options.command != CliCommand::none || !commandOf(argument, options.command)) {
                error = argument.startsWith(QLatin1Char('-'))
                            ? QStringLiteral("unknown option '%1'").arg(argument)
                            : QStringLiteral("unexpected argument '%1'").arg(argument);
                return false;
            }
            continue;
        }
        QString name = argument.mid(2);
        QString value;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
            if (isFlag(name)) {
                error = QStringLiteral("--%1 takes no value").arg(name);
                return false;
            }
        } else if (!isFlag(name) && name != QLatin1String("help")) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("--%1 needs a value").arg(name);
                return false;
            }
            value = arguments[++i];
        }
        if (!reader.take(name, value)) {
            return false;
        }
        if (name != QLatin1String("simulate") && name != QLatin1String("scenario")) {
            given.insert(name);
        }
    }
    return checkCombination(options, given, error);
}

QString cliUsage() {
    return QStringLiteral(
        "Usage: zalvo-cli COMMAND [OPTIONS] [--simulate=115|235|255] [--scenario=FILE]\n"
        "Reads the Zalvo electrostatic field meters on USB without a window.\n"
        "\n"
        "Commands:\n"
        "  list [--json]\n"
        "      every instrument on the bus in bus order: bus and address, serial number,\n"
        "      software version, device type, battery; or why it cannot be opened\n"
        "  identify [--json]\n"
        "      serial number, software version, device type and, for 235 and 255, the battery\n"
        "  read [--mode F|V|4|M] [--range 0|1|2|3|auto] [--distance MM] [--count N]\n"
        "       [--interval MS] [--json]\n"
        "      N evaluated values (default 1), one line each, as the display window shows them\n"
        "  log --interval MS [--duration S | --samples N] [--output FILE] [--reconnect]\n"
        "      [--mode F|V|4|M] [--range 0|1|2|3|auto] [--distance MM]\n"
        "      [--resume FILE] [--publish URL [--ca-file FILE] [--password-file FILE]]\n"
        "      records one value per interval into a recording file until the duration or the\n"
        "      number of samples is reached, or until SIGINT (Ctrl+C) or SIGTERM\n"
        "  stats FILE [--from TIME] [--to TIME] [--limit PERCENT] [--json]\n"
        "      readings, time span, minimum, maximum, mean, standard deviation and time above\n"
        "      the limit (default 50 % of each reading's range) of a recording; TIME is seconds,\n"
        "      [hours:]minutes:seconds from its first reading, or a date and time\n"
        "\n"
        "Options:\n"
        "  --mode F|V|4|M     field meter, voltmeter adapters, distance voltmeter; default: the\n"
        "                     instrument's mode (235, 255) or F (115)\n"
        "  --range 0..3|auto  fixed range, 0 the largest, 3 the smallest; default auto\n"
        "  --distance MM      measuring distance for --mode M, 5 to 300 (default 5)\n"
        "  --interval MS      time from one reading to the next, 200 to 86400000 (read: 200)\n"
        "  --count N          readings of read\n"
        "  --duration S       log for S seconds\n"
        "  --samples N        log N readings\n"
        "  --output FILE      the recording file; never replaced if it exists (default: a new\n"
        "                     file in $XDG_DATA_HOME/zalvo/recordings)\n"
        "  --reconnect        log: wait for a lost instrument to come back and go on\n"
        "  --serial N         identify, read, log: the instrument with serial number N\n"
        "                     (default: the first one on the bus)\n"
        "  --resume FILE      log: go on with the recording FILE (and its publishing)\n"
        "  --publish URL      log: each row also as an MQTT message, URL\n"
        "                     mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/PREFIX; the password\n"
        "                     may also come from --password-file or ZALVO_MQTT_PASSWORD\n"
        "  --ca-file FILE     mqtts: the certificate authorities to trust\n"
        "  --password-file F  the broker password: the first line of F\n"
        "  --json             one JSON object per line\n"
        "  --simulate=TYPE    run on the built-in instrument simulator of that device type\n"
        "  --scenario=FILE    run on the simulator, scripted by FILE\n"
        "  --help             show this text\n"
        "\n"
        "Exit codes: 0 done (also after SIGINT/SIGTERM), 1 bad command line, 2 bad scenario\n"
        "file, 3 no instrument, 4 instrument lost, 5 recording file error, 6 instrument lost\n"
        "and not back when --duration ended (--reconnect), 7 stats: no recording to read,\n"
        "8 stats: read up to damage in the file, 9 no instrument with the serial number,\n"
        "10 bad --publish URL or password file, 11 --resume file is no recording or not of\n"
        "this instrument.\n");
}
