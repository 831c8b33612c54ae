#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

#include "fuzz/fuzz_check.h"
#include "settings/ini_file.h"
#include "settings/ini_integer.h"
#include "settings/ini_text.h"

namespace {

// A name of the program's settings file most of the time, so that the input's own lines match.
QString nameFrom(FuzzedDataProvider& input, const char* const* known, std::size_t knownCount) {
    const auto pick = input.ConsumeIntegral<std::uint8_t>();
    if (pick < 2 * knownCount) {
        QString name = QString::fromLatin1(known[pick / 2]);
        return pick % 2 ? name.toUpper() : name;
    }
    return QString::fromStdString(input.ConsumeRandomLengthString(24));
}

QString withoutBlanksAround(const QString& value) {
    qsizetype first = 0;
    qsizetype last = value.size();
    while (first < last && (value[first] == u' ' || value[first] == u'\t')) {
        ++first;
    }
    while (last > first && (value[last - 1] == u' ' || value[last - 1] == u'\t')) {
        --last;
    }
    return value.mid(first, last - first);
}

// The integer a value stands for, worked out on a wider type: "-"? decimal digits, or 0x hex.
std::optional<int> referenceInteger(const QString& text) {
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const bool negative = !hex && text.startsWith(QLatin1Char('-'));
    const QString digits = text.mid(hex ? 2 : negative ? 1 : 0);
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    long double magnitude = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9') {
            digit = u - u'0';
        } else if (hex && u >= u'a' && u <= u'f') {
            digit = u - u'a' + 10;
        } else if (hex && u >= u'A' && u <= u'F') {
            digit = u - u'A' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        // Held just beyond int's range once past it, so that no digit count overflows it.
        magnitude = std::min(magnitude * (hex ? 16 : 10) + digit, 1e12L);
    }
    const long double value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

void checkReading(const IniText& ini, const QString& section, const QString& key) {
    const std::optional<QString> value = ini.value(section, key);
    check(
        ini.string(section, key, QStringLiteral("\x01")) == value.value_or(QStringLiteral("\x01")),
        "a missing key reads as the default");
    const int integer = ini.integer(section, key, -424242);
    const std::optional<int> expected = value ? referenceInteger(*value) : std::nullopt;
    check(integer == expected.value_or(-424242),
          "an integer value is decimal or 0x hex within int, anything else the default");
}

}  // namespace

// Input: section, key and value to write, a second key to watch, whether the edit goes through a
// file too, then the file's bytes. The key reads back what was written (without blanks around
// it), the watched key keeps its value, a refused write changes nothing, and writing the file
// does what the in-memory edit does.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const sections[] = {"Display", "Sampling"};
    static const char* const keys[] = {"DisplayDepiction", "Limit", "DataDirectory",
                                       "SamplingTimeDisplay", "SamplingTimeChart"};
    FuzzedDataProvider input(data, size);
    const QString section = nameFrom(input, sections, std::size(sections));
    const QString key = nameFrom(input, keys, std::size(keys));
    const QString value = QString::fromStdString(input.ConsumeRandomLengthString(40));
    const QString otherSection = nameFrom(input, sections, std::size(sections));
    const QString otherKey = nameFrom(input, keys, std::size(keys));
    // The file round trip is slow (a safe save syncs the disk), so only some inputs take it.
    const bool throughFile = input.ConsumeIntegral<std::uint8_t>() < 8;
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), static_cast<qsizetype>(rest.size()));

    IniText ini(bytes);
    checkReading(ini, section, key);
    checkReading(ini, otherSection, otherKey);
    const std::optional<QString> otherBefore = ini.value(otherSection, otherKey);

    const bool written = ini.setValue(section, key, value);
    if (!written) {
        check(ini.bytes() == bytes, "a refused write changes nothing");
    } else {
        check(ini.value(section, key) == withoutBlanksAround(value),
              "the written key reads back its value");
        const bool sameKey = QString::compare(section, otherSection, Qt::CaseInsensitive) == 0 &&
                             QString::compare(key, otherKey, Qt::CaseInsensitive) == 0;
        check(sameKey || ini.value(otherSection, otherKey) == otherBefore,
              "every other key keeps its value");
    }

    if (!throughFile) {
        return 0;
    }
    static QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("SETUP.INI"));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                  file.write(bytes) == bytes.size(),
              "the input file is written");
    }
    bool refused = false;
    try {
        writeIniString(path, section, key, value);
    } catch (const SettingsWriteError& error) {
        refused = true;
        check(error.message().startsWith(QStringLiteral("Cannot write file ")),
              "a refused write says which file");
    }
    check(refused == !written, "the file is written exactly when the text takes the value");
    check(readIniFile(path).bytes() == ini.bytes(), "the file holds what the text holds");
    if (written) {
        check(readIniString(path, section, key, QString()) == withoutBlanksAround(value),
              "the written key reads back from the file");
    }
    return 0;
}
