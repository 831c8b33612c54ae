#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "recording_sample.h"
#include "tests/support/kept_recording.h"

namespace {

KeptRecording readBytes(const QByteArray& bytes) {
    return readAllRows(bytes, "fuzz.csv");
}

bool samePoint(const KeptRow& a, const KeptRow& b) {
    const bool sameValue = (std::isnan(a.value) && std::isnan(b.value)) || a.value == b.value;
    return a.elapsedMs == b.elapsedMs && sameValue && a.unit == b.unit &&
           a.overrange == b.overrange && a.gap == b.gap;
}

}  // namespace

// A file cut anywhere, as a killed program or a full disk leaves it, loads exactly the rows
// whose line ended before the cut.
TEST(RecordingFuzz, EveryCutLoadsThePrefixOfWholeRows) {
    const QByteArray whole = sampleFileBytes(25);
    const KeptRecording full = readBytes(whole);
    ASSERT_EQ(full.status, KeptRecording::Status::Complete);
    const qsizetype headerEnd = whole.indexOf("gap\n") + 4;
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const QByteArray part = whole.left(cut);
        const KeptRecording loaded = readBytes(part);
        if (cut < headerEnd) {
            EXPECT_EQ(loaded.status, KeptRecording::Status::Refused) << cut;
            continue;
        }
        const auto wholeRows = static_cast<std::size_t>(part.count('\n') - 13);
        ASSERT_EQ(loaded.points.size(), wholeRows) << cut;
        EXPECT_EQ(loaded.status, part.endsWith('\n') ? KeptRecording::Status::Complete
                                                     : KeptRecording::Status::Partial)
            << cut;
        for (std::size_t i = 0; i < wholeRows; ++i) {
            ASSERT_TRUE(samePoint(loaded.points[i], full.points[i])) << cut << " row " << i;
        }
    }
}

// Damage of any kind never crashes the loader, and what it loads is a run of rows of the file.
TEST(RecordingFuzz, RandomDamageIsRefusedOrLoadedUpToIt) {
    std::mt19937 random(20261209);
    const QByteArray whole = sampleFileBytes(30);
    const KeptRecording full = readBytes(whole);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = whole;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i) {
            const auto at = static_cast<qsizetype>(random() % bytes.size());
            switch (random() % 4) {
                case 0:
                    bytes[at] = static_cast<char>(random() % 256);
                    break;
                case 1:
                    bytes.remove(at, 1 + static_cast<qsizetype>(random() % 40));
                    break;
                case 2:
                    bytes.insert(at, static_cast<char>(random() % 256));
                    break;
                default:
                    bytes.truncate(at);
                    break;
            }
            if (bytes.isEmpty()) {
                break;
            }
        }
        const KeptRecording loaded = readBytes(bytes);
        if (loaded.status == KeptRecording::Status::Refused) {
            EXPECT_TRUE(loaded.points.empty());
            EXPECT_FALSE(loaded.message.isEmpty());
        }
        if (loaded.status == KeptRecording::Status::Partial) {
            EXPECT_FALSE(loaded.message.isEmpty());
        }
        for (const KeptRow& point : loaded.points) {
            EXPECT_GE(point.elapsedMs, 0);
            EXPECT_TRUE(std::isnan(point.value) || std::isfinite(point.value));
        }
    }
    for (int round = 0; round < 300; ++round) {
        QByteArray noise(static_cast<qsizetype>(random() % 4000), '\0');
        for (char& c : noise) {
            c = static_cast<char>(random() % 256);
        }
        EXPECT_EQ(readBytes(noise).status, KeptRecording::Status::Refused);
    }
    EXPECT_EQ(full.points.size(), 30u);
}
