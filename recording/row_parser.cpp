#include "recording/row_parser.h"

#include <QStringList>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "recording/csv_fields.h"

namespace {

QString textOf(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips digits from `i`; false when there is none.
bool skipDigits(std::string_view text, std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i > start;
}

// "-12.5e-3" and its simpler forms, as the writer gives numbers; short enough for any
// conversion to round it the same way.
bool isPlainNumber(std::string_view text) {
    constexpr std::size_t longestPlain = 40;
    std::size_t i = 0;
    if (text.size() > longestPlain) {
        return false;
    }
    if (i < text.size() && text[i] == '-') {
        ++i;
    }
    if (!skipDigits(text, i)) {
        return false;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!skipDigits(text, i)) {
            return false;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            ++i;
        }
        if (!skipDigits(text, i)) {
            return false;
        }
    }
    return i == text.size();
}

bool readElapsed(std::string_view text, qint64& ms) {
    constexpr std::size_t safeDigits = 18;  // no overflow of qint64
    std::size_t digits = 0;
    if (text.size() <= safeDigits && skipDigits(text, digits) && digits == text.size()) {
        std::from_chars(text.data(), text.data() + text.size(), ms);
        return true;
    }
    bool ok = false;
    ms = textOf(text).toLongLong(&ok);
    return ok && ms >= 0;
}

bool readValue(std::string_view text, double& value) {
    if (text.empty()) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (isPlainNumber(text)) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        // Subnormal and out-of-range values are left to QString, which decides about them.
        if (error == std::errc() && (value == 0.0 || std::isnormal(value))) {
            return true;
        }
    }
    bool ok = false;
    value = textOf(text).toDouble(&ok);
    return ok && std::isfinite(value);
}

// The top bit of each byte of `word` that equals `byte`, and no other bit.
std::uint64_t bytesEqualTo(std::uint64_t word, char byte) {
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t x = word ^ (0x0101010101010101ULL * static_cast<unsigned char>(byte));
    return ~(((x & low7) + low7) | x | low7);
}

// The position in memory of the lowest marked byte; the words are loaded in host order.
int byteIndex(std::uint64_t marks) {
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "bytes are counted from the low end");
    return __builtin_ctzll(marks) / 8;
}

bool readFlag(std::string_view text, bool& flag) {
    flag = text == "1";
    return text.empty() || text == "0" || text == "1";
}

}  // namespace

const QString* TextTable::intern(std::string_view bytes) {
    if (last != nullptr && bytes == lastBytes) {
        return last;
    }
    auto known = texts.find(std::string(bytes));
    if (known == texts.end()) {
        known = texts.emplace(std::string(bytes), std::make_unique<QString>(textOf(bytes))).first;
    }
    lastBytes = known->first;
    last = known->second.get();
    return last;
}

bool RowParser::split(const char* begin, const char* end) {
    // Eight bytes at a time, which costs no mispredicted branch per byte: one pass finds the
    // commas and any quote; a line with quotes takes the general way.
    fields.clear();
    const char* field = begin;
    const char* c = begin;
    for (; end - c >= 8; c += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, c, sizeof word);
        if (bytesEqualTo(word, '"') != 0) {
            return splitQuoted(begin, end);
        }
        for (std::uint64_t commas = bytesEqualTo(word, ','); commas != 0; commas &= commas - 1) {
            const char* comma = c + byteIndex(commas);
            fields.emplace_back(field, static_cast<std::size_t>(comma - field));
            field = comma + 1;
        }
    }
    for (; c != end; ++c) {
        if (*c == ',') {
            fields.emplace_back(field, static_cast<std::size_t>(c - field));
            field = c + 1;
        } else if (*c == '"') {
            return splitQuoted(begin, end);
        }
    }
    fields.emplace_back(field, static_cast<std::size_t>(end - field));
    return true;
}

bool RowParser::splitQuoted(const char* begin, const char* end) {
    QStringList texts;
    if (!splitCsvLine(textOf(std::string_view(begin, static_cast<std::size_t>(end - begin))),
                      texts)) {
        return false;
    }
    fields.clear();
    unquoted.clear();
    for (const QString& text : texts) {
        unquoted.push_back(text.toUtf8());
    }
    for (const QByteArray& bytes : unquoted) {
        fields.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return true;
}

bool RowParser::parse(const char* begin, const char* end, StreamedRow& row, QString& problem) {
    static const QString noText;
    if (!split(begin, end)) {
        problem = QStringLiteral("a quoted text is not closed");
        return false;
    }
    if (fields.size() != static_cast<std::size_t>(columns.count)) {
        problem = QStringLiteral("%1 fields instead of %2").arg(fields.size()).arg(columns.count);
        return false;
    }
    const std::string_view elapsed = fields[static_cast<std::size_t>(columns.elapsed)];
    if (!readElapsed(elapsed, row.elapsedMs)) {
        problem = QStringLiteral("the elapsed time '%1' is no number of milliseconds")
                      .arg(textOf(elapsed));
        return false;
    }
    const auto fieldOf = [this](int column) {
        return column < 0 ? std::string_view() : fields[static_cast<std::size_t>(column)];
    };
    if (!readFlag(fieldOf(columns.overrange), row.overrange) ||
        !readFlag(fieldOf(columns.gap), row.gap)) {
        problem = QStringLiteral("a flag is neither 0 nor 1");
        return false;
    }
    const std::string_view value = fields[static_cast<std::size_t>(columns.value)];
    if (!readValue(value, row.value)) {
        problem = QStringLiteral("the value '%1' is no number").arg(textOf(value));
        return false;
    }
    row.unit = columns.unit < 0 ? &noText : units.intern(fieldOf(columns.unit));
    row.rangeText = columns.range < 0 ? &noText : ranges.intern(fieldOf(columns.range));
    row.modeText = fieldOf(columns.mode);
    row.timeText = fieldOf(columns.time);
    return true;
}
