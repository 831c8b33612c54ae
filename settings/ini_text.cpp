#include "settings/ini_text.h"

#include <QStringDecoder>

#include <vector>

#include "settings/ini_integer.h"

namespace {

enum class LineKind { other, section, key };

struct Line {
    qsizetype begin = 0;       // first byte of the line
    qsizetype contentEnd = 0;  // first byte of the line end (or of the next line)
    qsizetype end = 0;         // first byte after the line end
    LineKind kind = LineKind::other;
    QString name;              // section or key name, blanks removed
    qsizetype valueBegin = 0;  // key lines: first byte after "=" and the blanks following it
};

const QByteArray byteOrderMark("\xEF\xBB\xBF");

// A stray CR (from a file whose CR LF ends were converted twice) counts as a blank.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

qsizetype skipBlanks(const QByteArray& text, qsizetype from, qsizetype to) {
    while (from < to && isBlank(text[from])) {
        ++from;
    }
    return from;
}

qsizetype trimBlanksBack(const QByteArray& text, qsizetype from, qsizetype to) {
    while (to > from && isBlank(text[to - 1])) {
        --to;
    }
    return to;
}

// QString::fromUtf8 drops a leading U+FEFF, so a name or value starting with one would not read
// back as written; only the file's own byte order mark is skipped (in parseLine).
QString textBetween(const QByteArray& text, qsizetype from, qsizetype to) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(text.constData() + from, to - from));
}

QString nameBetween(const QByteArray& text, qsizetype from, qsizetype to) {
    from = skipBlanks(text, from, to);
    to = trimBlanksBack(text, from, to);
    return textBetween(text, from, to);
}

Line parseLine(const QByteArray& text, qsizetype begin) {
    Line line;
    line.begin = begin;
    const qsizetype newline = text.indexOf('\n', begin);
    line.end = newline < 0 ? text.size() : newline + 1;
    line.contentEnd = newline < 0 ? text.size() : newline;
    if (newline > begin && text[newline - 1] == '\r') {
        line.contentEnd = newline - 1;
    }

    qsizetype first = begin;
    if (begin == 0 && text.startsWith(byteOrderMark)) {
        first = qMin(byteOrderMark.size(), line.contentEnd);
    }
    first = skipBlanks(text, first, line.contentEnd);
    if (first == line.contentEnd || text[first] == ';') {
        return line;
    }
    if (text[first] == '[') {
        qsizetype close = text.indexOf(']', first + 1);
        if (close < 0 || close > line.contentEnd) {
            close = line.contentEnd;
        }
        line.kind = LineKind::section;
        line.name = nameBetween(text, first + 1, close);
        return line;
    }
    const qsizetype equals = text.indexOf('=', first);
    if (equals < 0 || equals >= line.contentEnd) {
        return line;
    }
    line.kind = LineKind::key;
    line.name = nameBetween(text, first, equals);
    line.valueBegin = skipBlanks(text, equals + 1, line.contentEnd);
    return line;
}

std::vector<Line> parseLines(const QByteArray& text) {
    std::vector<Line> lines;
    for (qsizetype begin = 0; begin < text.size();) {
        lines.push_back(parseLine(text, begin));
        begin = lines.back().end;
    }
    return lines;
}

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Where a key stands in the text: its line, the first header of its section and the
// last key line of that section's first occurrence (each -1 when missing).
struct KeyPlace {
    int keyLine = -1;
    int sectionLine = -1;
    int lastKeyLine = -1;
};

KeyPlace findKey(const std::vector<Line>& lines, const QString& section, const QString& key) {
    KeyPlace place;
    bool inSection = false;
    bool inFirstOccurrence = false;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const Line& line = lines[i];
        if (line.kind == LineKind::section) {
            inSection = sameName(line.name, section);
            inFirstOccurrence = inSection && place.sectionLine < 0;
            if (inFirstOccurrence) {
                place.sectionLine = i;
            }
        } else if (line.kind == LineKind::key && inSection) {
            if (sameName(line.name, key)) {
                place.keyLine = i;
                return place;
            }
            if (inFirstOccurrence) {
                place.lastKeyLine = i;
            }
        }
    }
    return place;
}

QByteArray lineEndOf(const QByteArray& text) {
    const qsizetype newline = text.indexOf('\n');
    if (newline < 0) {
#ifdef Q_OS_WIN
        return "\r\n";
#else
        return "\n";
#endif
    }
    return newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

bool hasLineBreak(const QString& s) {
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

bool isFitName(const QString& name) {
    return !name.isEmpty() && name.trimmed() == name && !hasLineBreak(name);
}

}  // namespace

std::optional<QString> IniText::value(const QString& section, const QString& key) const {
    const std::vector<Line> lines = parseLines(text);
    const KeyPlace place = findKey(lines, section, key);
    if (place.keyLine < 0) {
        return std::nullopt;
    }
    const Line& line = lines[place.keyLine];
    const qsizetype valueEnd = trimBlanksBack(text, line.valueBegin, line.contentEnd);
    return textBetween(text, line.valueBegin, valueEnd);
}

QString IniText::string(const QString& section, const QString& key,
                        const QString& defaultValue) const {
    return value(section, key).value_or(defaultValue);
}

int IniText::integer(const QString& section, const QString& key, int defaultValue) const {
    const auto text = value(section, key);
    return text ? iniInteger(*text).value_or(defaultValue) : defaultValue;
}

bool IniText::setValue(const QString& section, const QString& key, const QString& value) {
    if (!isFitName(section) || section.contains(QLatin1Char(']')) || !isFitName(key) ||
        key.contains(QLatin1Char('=')) || key.startsWith(QLatin1Char('[')) ||
        key.startsWith(QLatin1Char(';')) || hasLineBreak(value)) {
        return false;
    }
    const std::vector<Line> lines = parseLines(text);
    const KeyPlace place = findKey(lines, section, key);
    if (place.keyLine >= 0) {
        const Line& line = lines[place.keyLine];
        text.replace(line.valueBegin, line.contentEnd - line.valueBegin, value.toUtf8());
        return true;
    }

    const QByteArray lineEnd = lineEndOf(text);
    QByteArray addition = key.toUtf8() + '=' + value.toUtf8() + lineEnd;
    qsizetype position = text.size();
    if (place.sectionLine >= 0) {
        const Line& after = lines[place.lastKeyLine >= 0 ? place.lastKeyLine : place.sectionLine];
        position = after.end;
    } else {
        addition.prepend('[' + section.toUtf8() + ']' + lineEnd);
    }
    if (position > 0 && position == text.size() && !text.endsWith('\n')) {
        addition.prepend(lineEnd);
    }
    text.insert(position, addition);
    return true;
}
