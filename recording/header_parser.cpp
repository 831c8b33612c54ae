#include "recording/header_parser.h"

#include <QStringList>

#include "recording/csv_fields.h"
#include "recording/memory_check.h"

namespace {

// The program writes a dozen header lines; a file with this many is no recording of it.
constexpr int maximumHeaderLines = 1000;
// Far beyond any header this program writes; the rows of a longer one would never be reached.
constexpr qsizetype maximumHeaderBytes = 4 * 1024 * 1024;

// The first line: "# Zalvo recording,VERSION".
bool readMagic(const QString& line, const QString& name, QString& problem) {
    QStringList fields;
    if (!splitCsvLine(line, fields) || fields.size() != 2 || fields[0] != recordingMagic()) {
        problem = QStringLiteral("%1 is not a Zalvo recording").arg(name);
        return false;
    }
    bool ok = false;
    const int version = fields[1].toInt(&ok);
    if (!ok || version < 1) {
        problem =
            QStringLiteral("%1: the format version '%2' is not a number").arg(name, fields[1]);
        return false;
    }
    if (version > recordingFormatVersion) {
        problem = QStringLiteral(
                      "%1 was written in format version %2; this program reads up to "
                      "version %3")
                      .arg(name)
                      .arg(version)
                      .arg(recordingFormatVersion);
        return false;
    }
    return true;
}

}  // namespace

HeaderParser::Step HeaderParser::take(std::string_view bytes, qsizetype lineBytes) {
    const QString line = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    ++lineNumber;
    headerBytes += lineBytes;
    if (lineNumber == 1) {
        QString problem;
        return readMagic(line, name, problem) ? Step::More : refuse(problem);
    }
    if (lineNumber > maximumHeaderLines) {
        return refuse(QStringLiteral("%1 has more than %2 lines before its column header: this "
                                     "is no recording of this program")
                          .arg(name)
                          .arg(maximumHeaderLines));
    }
    if (!line.startsWith(QLatin1Char('#'))) {
        if (!readColumnHeader(line, columnsRead)) {
            return refuse(QStringLiteral("%1:%2: this is no column header of a recording")
                              .arg(name)
                              .arg(lineNumber));
        }
        return Step::Done;
    }
    if (headerBytes > maximumHeaderBytes) {
        return refuse(
            QStringLiteral("%1: no column header within the first %2: this is no recording")
                .arg(name, sizeText(maximumHeaderBytes)));
    }
    return takeKey(line);
}

// Only "# key,value" lines carry header keys; any other comment is passed over.
HeaderParser::Step HeaderParser::takeKey(const QString& line) {
    QStringList fields;
    if (!splitCsvLine(line, fields) || fields.size() > 2 ||
        !fields[0].startsWith(QLatin1String("# "))) {
        return Step::More;
    }
    const QString value = fields.size() > 1 ? fields[1] : QString();
    QString problem;
    if (!applyHeaderKey(read, fields[0].mid(2), value, problem)) {
        return refuse(QStringLiteral("%1:%2: %3").arg(name).arg(lineNumber).arg(problem));
    }
    return Step::More;
}

QString HeaderParser::unfinished() const {
    if (lineNumber == 0) {
        return QStringLiteral("%1 is not a Zalvo recording").arg(name);
    }
    return QStringLiteral("%1 ends before its column header: the header is incomplete").arg(name);
}

HeaderParser::Step HeaderParser::refuse(const QString& message) {
    refusal = message;
    return Step::Refused;
}
