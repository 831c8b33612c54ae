#include "device/scenario_file.h"

#include <libusb.h>

#include <QFile>
#include <QRegularExpression>
#include <optional>
#include <vector>

#include "device/instrument_simulator.h"
#include "device/measurement_decoding.h"

namespace {

std::optional<long long> parseNumber(const QString& text) {
    bool ok = false;
    long long value = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        value = text.mid(2).toLongLong(&ok, 16);
    } else {
        value = text.toLongLong(&ok, 10);
    }
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> parseRegister(const QString& text) {
    static const std::pair<const char*, int> names[] = {{"identity", reg::identity},
                                                        {"value", reg::measuredValue},
                                                        {"status", reg::status},
                                                        {"range", reg::range},
                                                        {"mode", reg::mode},
                                                        {"adjust-command", reg::adjustCommand},
                                                        {"adjust-status", reg::adjustStatus}};
    for (const auto& [name, number] : names) {
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return number;
        }
    }
    const auto number = parseNumber(text);
    if (!number || *number < 0 || *number > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

class LineParser {
public:
    LineParser(const QStringList& words, QString& problem) : words(words), problem(problem) {}

    bool expectCount(int minimum, int maximum) {
        const int given = static_cast<int>(words.size()) - 1;
        if (given < minimum || given > maximum) {
            problem = minimum == maximum ? QStringLiteral("'%1' takes %2 argument(s), %3 given")
                                               .arg(words[0])
                                               .arg(minimum)
                                               .arg(given)
                                         : QStringLiteral("'%1' takes %2 to %3 arguments, %4 given")
                                               .arg(words[0])
                                               .arg(minimum)
                                               .arg(maximum)
                                               .arg(given);
            return false;
        }
        return true;
    }

    std::optional<long long> number(int i, long long minimum, long long maximum) {
        const auto value = parseNumber(words[i]);
        if (!value || *value < minimum || *value > maximum) {
            problem = QStringLiteral("'%1' is not a number from %2 to %3")
                          .arg(words[i])
                          .arg(minimum)
                          .arg(maximum);
            return std::nullopt;
        }
        return value;
    }

    // The argument of a directive that takes exactly one number.
    std::optional<long long> onlyNumber(long long minimum, long long maximum) {
        if (!expectCount(1, 1)) {
            return std::nullopt;
        }
        return number(1, minimum, maximum);
    }

    // The arguments of a directive that takes a list of numbers.
    std::optional<std::vector<long long>> numberList(long long minimum, long long maximum) {
        if (!expectCount(1, 100000)) {
            return std::nullopt;
        }
        std::vector<long long> values;
        for (int i = 1; i < words.size(); ++i) {
            const auto value = number(i, minimum, maximum);
            if (!value) {
                return std::nullopt;
            }
            values.push_back(*value);
        }
        return values;
    }

    struct RegisterFault {
        int reg;
        int count;
    };

    // The register and the count of transfers that a fault directive starts with.
    std::optional<RegisterFault> registerFault(int minimum, int maximum) {
        if (!expectCount(minimum, maximum)) {
            return std::nullopt;
        }
        const auto reg = registerAt(1);
        if (!reg) {
            return std::nullopt;
        }
        const auto count = number(2, 1, 1000000000);
        if (!count) {
            return std::nullopt;
        }
        return RegisterFault{*reg, static_cast<int>(*count)};
    }

    std::optional<int> registerAt(int i) {
        const auto value = parseRegister(words[i]);
        if (!value) {
            problem = QStringLiteral("'%1' is not a register").arg(words[i]);
        }
        return value;
    }

private:
    const QStringList& words;
    QString& problem;
};

bool applyLine(const QStringList& words, InstrumentSimulator& sim, QString& problem) {
    LineParser p(words, problem);
    const QString& directive = words[0];
    if (directive == QLatin1String("type")) {
        const auto type = p.onlyNumber(0, 999);
        if (!type) {
            return false;
        }
        if (*type != 115 && *type != 235 && *type != 255) {
            problem = QStringLiteral("device type must be 115, 235 or 255");
            return false;
        }
        const QByteArray block = sim.identityBlock();
        sim.setIdentity(QString::fromLatin1(block.left(8)), QString::fromLatin1(block.mid(8, 3)),
                        QString::number(*type));
        return true;
    }
    if (directive == QLatin1String("identity")) {
        if (!p.expectCount(3, 3)) {
            return false;
        }
        if (words[1].size() > 8 || words[2].size() > 3 || words[3].size() > 3) {
            problem = QStringLiteral("identity texts are at most 8, 3 and 3 characters");
            return false;
        }
        sim.setIdentity(words[1], words[2], words[3]);
        return true;
    }
    if (directive == QLatin1String("identity-hex")) {
        if (!p.expectCount(1, 1)) {
            return false;
        }
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{30}$"));
        if (!hex.match(words[1]).hasMatch()) {
            problem = QStringLiteral("identity-hex needs exactly 30 hexadecimal digits");
            return false;
        }
        sim.setIdentityBlock(QByteArray::fromHex(words[1].toLatin1()));
        return true;
    }
    if (directive == QLatin1String("value")) {
        const auto counts = p.numberList(0, 9999);
        if (!counts) {
            return false;
        }
        sim.setValues(std::vector<int>(counts->begin(), counts->end()));
        return true;
    }
    if (directive == QLatin1String("status") || directive == QLatin1String("range") ||
        directive == QLatin1String("mode")) {
        const auto byte = p.onlyNumber(0, 255);
        if (!byte) {
            return false;
        }
        const auto value = static_cast<std::uint8_t>(*byte);
        if (directive == QLatin1String("status")) {
            sim.setStatus(value);
        } else if (directive == QLatin1String("range")) {
            sim.setReportedRange(value);
        } else {
            sim.setModeCode(value);
        }
        return true;
    }
    if (directive == QLatin1String("adjust-status")) {
        const auto statuses = p.numberList(0, 255);
        if (!statuses) {
            return false;
        }
        sim.setAdjustStatuses(std::vector<std::uint8_t>(statuses->begin(), statuses->end()));
        return true;
    }
    if (directive == QLatin1String("unplug-after")) {
        const auto transfers = p.onlyNumber(0, 1000000000);
        if (!transfers) {
            return false;
        }
        sim.unplugAfter(static_cast<int>(*transfers));
        return true;
    }
    if (directive == QLatin1String("replug-after-ms")) {
        const auto ms = p.onlyNumber(0, 1000000000);
        if (!ms) {
            return false;
        }
        sim.replugAfterMs(static_cast<double>(*ms));
        return true;
    }
    if (directive == QLatin1String("unplugged")) {
        if (!p.expectCount(0, 0)) {
            return false;
        }
        sim.unplug();
        return true;
    }
    if (directive == QLatin1String("fail")) {
        const auto fault = p.registerFault(2, 3);
        if (!fault) {
            return false;
        }
        long long error = LIBUSB_ERROR_PIPE;
        if (words.size() == 4) {
            const auto e = p.number(3, -99, -1);
            if (!e) {
                return false;
            }
            error = *e;
        }
        sim.failRegister(fault->reg, fault->count, static_cast<int>(error));
        return true;
    }
    if (directive == QLatin1String("short")) {
        const auto fault = p.registerFault(3, 3);
        if (!fault) {
            return false;
        }
        const auto bytes = p.number(3, 0, 64);
        if (!bytes) {
            return false;
        }
        sim.shortRegister(fault->reg, fault->count, static_cast<int>(*bytes));
        return true;
    }
    if (directive == QLatin1String("timeout")) {
        const auto fault = p.registerFault(2, 2);
        if (!fault) {
            return false;
        }
        sim.timeoutRegister(fault->reg, fault->count);
        return true;
    }
    problem = QStringLiteral("unknown directive '%1'").arg(directive);
    return false;
}

}  // namespace

bool applyScenarioText(const QString& text, const QString& name, InstrumentSimulator& simulator,
                       QString& error) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        const int comment = line.indexOf(QLatin1Char('#'));
        if (comment >= 0) {
            line.truncate(comment);
        }
        const QStringList words = line.split(blanks, Qt::SkipEmptyParts);
        if (words.isEmpty()) {
            continue;
        }
        QString problem;
        if (!applyLine(words, simulator, problem)) {
            error = QStringLiteral("%1:%2: %3").arg(name).arg(i + 1).arg(problem);
            return false;
        }
    }
    return true;
}

bool applyScenarioFile(const QString& path, InstrumentSimulator& simulator, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error =
            QStringLiteral("%1: cannot read the scenario file: %2").arg(path, file.errorString());
        return false;
    }
    // Devices and pipes report no size, so the cap applies to what is read.
    constexpr qint64 largest = 16 * 1024 * 1024;
    const QByteArray bytes = file.read(largest + 1);
    if (bytes.size() > largest) {
        error = QStringLiteral("%1: the scenario file is larger than 16 MiB").arg(path);
        return false;
    }
    return applyScenarioText(QString::fromUtf8(bytes), path, simulator, error);
}
