#include <fuzzer/FuzzedDataProvider.h>

#include <QBuffer>
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "recording/printable_text.h"
#include "recording/recording_file.h"
#include "tests/support/kept_recording.h"

namespace {

const QString fileName = QStringLiteral("fuzz.csv");

KeptRecording readBytes(const QByteArray& bytes) {
    return readAllRows(bytes, fileName);
}

// Any bytes: the loader never fails silently, names the file in its message and gives no row
// of a file it refuses.
void checkAnyBytes(const QByteArray& bytes) {
    const KeptRecording loaded = readBytes(bytes);
    switch (loaded.status) {
        case KeptRecording::Status::Complete:
            check(loaded.message.isEmpty(), "a complete recording has no message");
            break;
        case KeptRecording::Status::Partial:
            check(loaded.message.contains(fileName), "a partial recording says which file");
            break;
        case KeptRecording::Status::Refused:
            check(loaded.message.contains(fileName) && loaded.points.empty(),
                  "a refused file is named and gives no row");
            break;
        case KeptRecording::Status::Cancelled:
            check(false, "nothing cancels");
            break;
    }
    check(loaded.rows == loaded.points.size(), "every row read is handed over");
    for (const KeptRow& point : loaded.points) {
        check(point.elapsedMs >= 0, "an elapsed time is not negative");
        check(!std::isinf(point.value), "a value is a number or missing");
    }
}

QString textFrom(FuzzedDataProvider& input) {
    return QString::fromStdString(input.ConsumeRandomLengthString(20));
}

// Another header key as the writer can keep it in an unquoted first field: a key holding a
// comma or a quote, or ending in a blank, is written quoted and the line is no header line.
QString plainKeyFrom(FuzzedDataProvider& input) {
    QString key = QStringLiteral("note ") + textFrom(input);
    key.replace(QLatin1Char(','), QLatin1Char('_')).replace(QLatin1Char('"'), QLatin1Char('_'));
    while (key.back().isSpace()) {
        key.chop(1);
    }
    return key;
}

// A reading's value, or none (infinite or NaN). Finite values stay within +-1e300: written with
// 15 digits, the largest doubles round past DBL_MAX and would not read back.
double valueFrom(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return -std::numeric_limits<double>::infinity();
        default:
            return input.ConsumeFloatingPointInRange<double>(-1e300, 1e300);
    }
}

// A recording written by this program reads back as it was written.
void checkRoundTrip(FuzzedDataProvider& input) {
    RecordingHeader header;
    QString* const texts[] = {&header.program,         &header.deviceType, &header.serialNumber,
                              &header.softwareVersion, &header.modeText,   &header.rangeText,
                              &header.rangeSetting,    &header.unit,       &header.distanceMm};
    for (QString* text : texts) {
        *text = textFrom(input);
    }
    header.samplingTimeMs = input.ConsumeIntegralInRange<int>(0, 24 * 3600 * 1000);
    const int offsetSeconds = 60 * input.ConsumeIntegralInRange<int>(-14 * 60, 14 * 60);
    header.start = QDateTime::fromMSecsSinceEpoch(
        input.ConsumeIntegralInRange<qint64>(0, 4102444800000LL), QTimeZone(offsetSeconds));
    for (int n = input.ConsumeIntegralInRange<int>(0, 2); n > 0; --n) {
        header.otherKeys.append({plainKeyFrom(input), textFrom(input)});
    }

    std::vector<RecordedRow> rows(input.ConsumeIntegralInRange<std::size_t>(0, 8));
    QByteArray file = recordingHeaderText(header);
    for (RecordedRow& row : rows) {
        row.elapsedMs = input.ConsumeIntegralInRange<qint64>(0, 1LL << 40);
        row.time = header.start.addMSecs(row.elapsedMs);
        row.value = valueFrom(input);
        row.unit = textFrom(input);
        row.rangeText = textFrom(input);
        row.modeText = textFrom(input);
        row.overrange = input.ConsumeBool();
        row.gap = input.ConsumeBool();
        file += recordingRowLine(row);
    }

    const KeptRecording loaded = readBytes(file);
    if (loaded.status != KeptRecording::Status::Complete) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.message));
    }
    check(loaded.status == KeptRecording::Status::Complete, "a written recording reads whole");
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        const RecordingHeader& read = loaded.header;
        const QString* const readTexts[] = {
            &read.program,         &read.deviceType, &read.serialNumber,
            &read.softwareVersion, &read.modeText,   &read.rangeText,
            &read.rangeSetting,    &read.unit,       &read.distanceMm};
        check(*readTexts[i] == printableText(*texts[i]), "a header text reads back");
    }
    check(loaded.header.samplingTimeMs == header.samplingTimeMs, "the sampling time reads back");
    check(
        loaded.header.start == header.start && loaded.header.start.offsetFromUtc() == offsetSeconds,
        "the start reads back with its offset");
    check(loaded.header.otherKeys.size() == header.otherKeys.size(), "other keys read back");
    for (qsizetype i = 0; i < header.otherKeys.size(); ++i) {
        check(loaded.header.otherKeys[i].first == printableText(header.otherKeys[i].first) &&
                  loaded.header.otherKeys[i].second == printableText(header.otherKeys[i].second),
              "another key reads back with its value");
    }
    check(loaded.points.size() == rows.size(), "every row reads back");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RecordedRow& row = rows[i];
        const KeptRow& point = loaded.points[i];
        check(point.elapsedMs == row.elapsedMs, "the elapsed time reads back");
        check(point.overrange == row.overrange && point.gap == row.gap, "the flags read back");
        check(point.unit == printableText(row.unit), "the unit reads back");
        if (row.overrange || !std::isfinite(row.value)) {
            check(std::isnan(point.value), "a row without a value reads as NaN");
        } else {
            check(point.value == recordedNumber(row.value).toDouble(),
                  "a value reads back to its 15 written digits");
        }
    }
    QBuffer device(&file);
    device.open(QIODevice::ReadOnly);
    std::size_t i = 0;
    scanRecordingRows(device, fileName, [&](const RecordedRow& read) {
        check(read.time == rows[i].time && read.time.offsetFromUtc() == offsetSeconds &&
                  read.rangeText == printableText(rows[i].rangeText) &&
                  read.modeText == printableText(rows[i].modeText),
              "a whole row reads back with its time and texts");
        ++i;
    });
}

}  // namespace

// Input: a first byte that chooses, then either a file's bytes for the loader or the header
// and rows of a recording that is written and read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    if (data[0] % 2 == 0) {
        checkAnyBytes(
            QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
    } else {
        FuzzedDataProvider input(data + 1, size - 1);
        checkRoundTrip(input);
    }
    return 0;
}
