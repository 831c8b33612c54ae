#include <gtest/gtest.h>

#include <QBuffer>
#include <cmath>
#include <map>

#include "recording/recording_statistics.h"
#include "recording/recording_stream.h"
#include "recording_sample.h"

namespace {

class CollectingSink : public RecordingSink {
public:
    explicit CollectingSink(StatisticsCollector& collector) : collector(collector) {}
    std::size_t bytesPerRow() const override { return 0; }
    void row(const StreamedRow& row) override { collector.add(row); }

private:
    StatisticsCollector& collector;
};

RecordingStatistics collect(QByteArray bytes, double limit, qint64 from, qint64 to) {
    StatisticsCollector collector(limit, from, to);
    collector.setUnit("kV/m");
    CollectingSink sink(collector);
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    EXPECT_EQ(streamRecording(device, "f.csv", sink).status, StreamedRecording::Status::Complete);
    return collector.result();
}

QByteArray fileOf(const std::vector<RecordedRow>& rows) {
    QByteArray bytes = recordingHeaderText(sampleHeader());
    for (const RecordedRow& row : rows) {
        bytes += recordingRowLine(row);
    }
    return bytes;
}

// The same figures the plain way, from the written rows and the sample's own ranges:
// two passes for mean and deviation, excursions as runs of rows above the limit.
RecordingStatistics direct(const std::vector<RecordedRow>& rows, double limit, qint64 from,
                           qint64 to) {
    const std::map<QString, double> fullScaleInKiloVoltPerMetre = {{"2kV/m", 2.0}, {"200V/m", 0.2}};
    std::vector<const RecordedRow*> inside;
    for (const RecordedRow& row : rows) {
        if (row.elapsedMs >= from && row.elapsedMs <= to) {
            inside.push_back(&row);
        }
    }
    RecordingStatistics s;
    std::vector<double> values;
    std::vector<bool> above;
    for (const RecordedRow* row : inside) {
        const double kilo = row->value * (row->unit == "V/m" ? 0.001 : 1.0);
        above.push_back(row->overrange ||
                        std::abs(kilo) >=
                            limit / 100 * fullScaleInKiloVoltPerMetre.at(row->rangeText));
        s.overrangeReadings += row->overrange;
        s.gapReadings += row->gap;
        if (row->overrange) {
            continue;
        }
        values.push_back(kilo);
        if (values.size() == 1 || kilo < s.minimum) {
            s.minimum = kilo;
            s.minimumAtMs = row->elapsedMs;
        }
        if (values.size() == 1 || kilo > s.maximum) {
            s.maximum = kilo;
            s.maximumAtMs = row->elapsedMs;
        }
    }
    s.readings = inside.size();
    s.values = values.size();
    if (!inside.empty()) {
        s.firstMs = inside.front()->elapsedMs;
        s.lastMs = inside.back()->elapsedMs;
    }
    for (const double v : values) {
        s.mean += v / static_cast<double>(values.size());
    }
    for (const double v : values) {
        s.standardDeviation += (v - s.mean) * (v - s.mean) / static_cast<double>(values.size());
    }
    s.standardDeviation = std::sqrt(s.standardDeviation);
    for (std::size_t i = 0; i < inside.size(); ++i) {
        if (!above[i] || (i > 0 && above[i - 1] && !inside[i]->gap)) {
            continue;
        }
        ++s.excursions;
        std::size_t end = i;
        while (end + 1 < inside.size() && above[end + 1] && !inside[end + 1]->gap) {
            ++end;
        }
        const bool endsBelow = end + 1 < inside.size() && !inside[end + 1]->gap;
        s.excursionMs +=
            (endsBelow ? inside[end + 1] : inside[end])->elapsedMs - inside[i]->elapsedMs;
    }
    return s;
}

void expectSame(const RecordingStatistics& got, const RecordingStatistics& want) {
    EXPECT_EQ(got.readings, want.readings);
    EXPECT_EQ(got.values, want.values);
    EXPECT_EQ(got.overrangeReadings, want.overrangeReadings);
    EXPECT_EQ(got.gapReadings, want.gapReadings);
    EXPECT_EQ(got.otherUnitReadings, 0u);
    EXPECT_EQ(got.firstMs, want.firstMs);
    EXPECT_EQ(got.lastMs, want.lastMs);
    EXPECT_DOUBLE_EQ(got.minimum, want.minimum);
    EXPECT_EQ(got.minimumAtMs, want.minimumAtMs);
    EXPECT_DOUBLE_EQ(got.maximum, want.maximum);
    EXPECT_EQ(got.maximumAtMs, want.maximumAtMs);
    EXPECT_NEAR(got.mean, want.mean, 1e-12);
    EXPECT_NEAR(got.standardDeviation, want.standardDeviation, 1e-12);
    EXPECT_EQ(got.excursions, want.excursions);
    EXPECT_EQ(got.excursionMs, want.excursionMs);
}

std::vector<RecordedRow> allOverrange(int count) {
    std::vector<RecordedRow> rows = sampleRows(count);
    for (RecordedRow& row : rows) {
        row.overrange = true;
    }
    return rows;
}

}  // namespace

TEST(RecordingStatistics, MatchADirectComputation) {
    struct Case {
        const char* name;
        std::vector<RecordedRow> rows;
        double limit;
        qint64 from;
        qint64 to;
    };
    const std::vector<RecordedRow> sample = sampleRows(60);
    const Case cases[] = {
        {"whole", sample, 50, 0, 1'000'000},
        {"window", sample, 50, 1000, 7000},
        {"limit 0", sample, 0, 0, 1'000'000},
        {"limit 100", sample, 100, 0, 1'000'000},
        {"low limit", sample, 5, 600, 11'800},
        {"empty window", sample, 50, 100'000, 200'000},
        {"one row", sampleRows(1), 50, 0, 1'000'000},
        {"only overrange", allOverrange(12), 50, 0, 1'000'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectSame(collect(fileOf(c.rows), c.limit, c.from, c.to),
                   direct(c.rows, c.limit, c.from, c.to));
    }
}

// Values far from zero with a small spread: summing squares would lose every digit.
TEST(RecordingStatistics, DeviationStaysExactFarFromZero) {
    std::vector<RecordedRow> rows = sampleRows(4);
    const double offsets[] = {4, 7, 13, 16};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = sampleRows(1).front();
        rows[i].elapsedMs = static_cast<qint64>(i) * 200;
        rows[i].value = 1e9 + offsets[i];
    }
    const RecordingStatistics s = collect(fileOf(rows), 50, 0, 1000);
    EXPECT_DOUBLE_EQ(s.mean, 1e9 + 10);
    EXPECT_NEAR(s.standardDeviation, std::sqrt(22.5), 1e-6);
}

TEST(RecordingStatistics, UnitsConvertOnlyAcrossAKiloPrefix) {
    EXPECT_EQ(unitFactor("kV/m", "V/m"), 1000.0);
    EXPECT_EQ(unitFactor("V/m", "kV/m"), 0.001);
    EXPECT_EQ(unitFactor("V", "V"), 1.0);
    EXPECT_FALSE(unitFactor("V", "V/m"));
    EXPECT_FALSE(unitFactor("kV", "V/m"));
    EXPECT_FALSE(unitFactor("k", ""));
}
