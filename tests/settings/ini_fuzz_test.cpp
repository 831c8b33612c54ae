#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <map>
#include <random>
#include <utility>

#include "file_helpers.h"
#include "settings/ini_file.h"
#include "settings/ini_text.h"

// Random files and random writes: nothing crashes, a written value reads back, and the
// values of all other keys stay what they were.
namespace {

const QStringList sections{"Display", "Sampling", "Other"};
const QStringList keys{"Limit", "DataDirectory", "SamplingTimeChart", "K"};

class RandomIni {
public:
    explicit RandomIni(unsigned seed) : random(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    QString randomCase(const QString& name) {
        QString result;
        for (QChar c : name) {
            result += below(2) ? c.toUpper() : c.toLower();
        }
        return result;
    }

    QByteArray blanks() { return QByteArray(below(3), below(2) ? ' ' : '\t'); }

    QByteArray garbage() {
        QByteArray bytes;
        for (int n = below(12); n > 0; --n) {
            bytes += static_cast<char>(below(256));
        }
        return bytes;
    }

    QByteArray file() {
        QByteArray bytes = below(5) == 0 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        const QByteArray lineEnd = below(2) ? "\r\n" : "\n";
        for (int n = below(25); n > 0; --n) {
            switch (below(7)) {
                case 0:
                    bytes += blanks() + '[' + randomCase(sections[below(3)]).toUtf8() + ']';
                    break;
                case 1:
                case 2:
                    bytes += blanks() + randomCase(keys[below(4)]).toUtf8() + blanks() + '=' +
                             blanks() + garbage().replace('\n', 'n');
                    break;
                case 3:
                    bytes += "; " + garbage();
                    break;
                case 4:
                    bytes += garbage();
                    break;
                default:
                    break;
            }
            bytes += below(8) ? lineEnd : QByteArray(below(2) ? "\n" : "");
        }
        return bytes;
    }

    // Values as the program writes them: no line break, no blanks around them.
    QString value() {
        QString text;
        for (int n = below(10); n > 0; --n) {
            const char16_t pick[] = {u'a', u'7', u'-', u'/',      u' ',
                                     u'=', u'[', u';', u'\u00FC', u'\u20AC'};
            text += QChar(pick[below(10)]);
        }
        return text.trimmed();
    }

private:
    std::mt19937 random;
};

using Values = std::map<std::pair<QString, QString>, std::optional<QString>>;

Values allValues(const IniText& text) {
    Values values;
    for (const QString& section : sections) {
        for (const QString& key : keys) {
            values[{section, key}] = text.value(section, key);
        }
    }
    return values;
}

}  // namespace

TEST(IniFuzz, RandomTextsReadBackWhatWasWritten) {
    RandomIni random(20240611);
    for (int round = 0; round < 3000; ++round) {
        IniText text(random.file());
        for (int write = 0; write < 6; ++write) {
            const QString section = sections[random.below(3)];
            const QString key = keys[random.below(4)];
            const QString value = random.value();
            Values expected = allValues(text);
            expected[{section, key}] = value;

            ASSERT_TRUE(text.setValue(random.randomCase(section), random.randomCase(key), value));
            ASSERT_EQ(allValues(text), expected)
                << "round " << round << ": " << text.bytes().toHex().toStdString();
        }
    }
}

TEST(IniFuzz, RandomFilesReadBackWhatWasWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("SETUP.INI");
    RandomIni random(7);
    for (int round = 0; round < 40; ++round) {
        putFile(path, random.file());
        for (int write = 0; write < 5; ++write) {
            const QString section = sections[random.below(3)];
            const QString key = keys[random.below(4)];
            const QString value = random.value();
            Values expected = allValues(readIniFile(path));
            expected[{section, key}] = value;

            writeIniString(path, section, random.randomCase(key), value);
            ASSERT_EQ(allValues(readIniFile(path)), expected) << "round " << round;
            ASSERT_EQ(readIniString(path, section, key, "default"), value);
        }
    }
}
