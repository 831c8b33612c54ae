#include "settings/program_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "file_helpers.h"
#include "settings/data_directory.h"
#include "settings/ini_file.h"

namespace {

class ProgramSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("SETUP.INI");
    QByteArray savedHome = qgetenv("HOME");

    void SetUp() override { qputenv("HOME", "/srv/operator"); }
    void TearDown() override { qputenv("HOME", savedHome); }

    int limitFromLine(const QByteArray& line) {
        putFile(path, "[Display]\r\n" + line + "\r\n");
        return readProgramSettings(path).limit;
    }
};

}  // namespace

TEST_F(ProgramSettingsTest, FileWithOnlyTheLimitGivesDefaultsForTheRest) {
    putFile(path, "[Display]\r\nLimit=80\r\n");
    const ProgramSettings settings = readProgramSettings(path);
    EXPECT_EQ(settings.displayDepiction, 0);
    EXPECT_EQ(settings.limit, 80);
    EXPECT_EQ(settings.dataDirectory, "/srv/operator/");
    EXPECT_EQ(settings.samplingTimeDisplay, 200);
    EXPECT_EQ(settings.samplingTimeChart, 200);
}

TEST_F(ProgramSettingsTest, MissingFileGivesDefaultsAndIsNotCreated) {
    const ProgramSettings settings = readProgramSettings(path);
    EXPECT_EQ(settings.limit, 50);
    EXPECT_EQ(settings.dataDirectory, "/srv/operator/");
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ProgramSettingsTest, ReadsAllFiveKeysInAnyCase) {
    putFile(path,
            "[display]\nlimit=30\ndisplaydepiction=1\nDATADIRECTORY=/data/records/\n"
            "[sampling]\nsamplingtimechart=6000\nSamplingTimeDisplay=0\n");
    const ProgramSettings settings = readProgramSettings(path);
    EXPECT_EQ(settings.displayDepiction, 1);
    EXPECT_EQ(settings.limit, 30);
    EXPECT_EQ(settings.dataDirectory, "/data/records/");
    EXPECT_EQ(settings.samplingTimeDisplay, 0);
    EXPECT_EQ(settings.samplingTimeChart, 6000);
}

TEST_F(ProgramSettingsTest, HandEditedValues) {
    EXPECT_EQ(limitFromLine("Limit= 12"), 12);
    EXPECT_EQ(limitFromLine("Limit = 12 "), 12);
    EXPECT_EQ(limitFromLine("Limit=0x1F"), 31);
    EXPECT_EQ(limitFromLine("Limit=-5"), -5);
    EXPECT_EQ(limitFromLine("Limit=1e3"), 50);
    EXPECT_EQ(limitFromLine("Limit=99999999999"), 50);
    EXPECT_EQ(limitFromLine("Limit="), 50);
    EXPECT_EQ(limitFromLine("Limit=1 2"), 50);
    EXPECT_EQ(limitFromLine(QByteArray("Limit=\x00\xff\x12", 9)), 50);
    EXPECT_EQ(limitFromLine("Limit 30"), 50);
    EXPECT_EQ(limitFromLine("Limit=40\r\nLimit=41"), 40);
}

TEST_F(ProgramSettingsTest, StoresCreateTheFileAndReadBack) {
    storeSetupValues(path, 1, 30, 500);
    EXPECT_EQ(fileBytes(path),
              "[Display]\nDisplayDepiction=1\nLimit=30\n[Sampling]\nSamplingTimeDisplay=500\n");

    storeSamplingTimeChart(path, 1200);
    storeDataDirectory(path, directoryOfFile(QString::fromUtf8("/home/jürgen/Messungen/a.csv")));
    const ProgramSettings settings = readProgramSettings(path);
    EXPECT_EQ(settings.displayDepiction, 1);
    EXPECT_EQ(settings.limit, 30);
    EXPECT_EQ(settings.samplingTimeDisplay, 500);
    EXPECT_EQ(settings.samplingTimeChart, 1200);
    EXPECT_EQ(settings.dataDirectory, QString::fromUtf8("/home/jürgen/Messungen/"));
}

TEST_F(ProgramSettingsTest, StoresReplaceOnlyTheirLines) {
    const QByteArray original =
        "; read-out\r\n[Display]\r\nDisplayDepiction=0\r\nLimit=50\r\nDataDirectory=/old/\r\n"
        "\r\n[Sampling]\r\nSamplingTimeDisplay=200\r\nSamplingTimeChart=200\r\n";
    putFile(path, original);

    storeSetupValues(path, 1, -7, 9999);
    storeSamplingTimeChart(path, 400);
    storeDataDirectory(path, "/new/");

    EXPECT_EQ(fileBytes(path),
              "; read-out\r\n[Display]\r\nDisplayDepiction=1\r\nLimit=-7\r\nDataDirectory=/new/\r\n"
              "\r\n[Sampling]\r\nSamplingTimeDisplay=9999\r\nSamplingTimeChart=400\r\n");
}

TEST_F(ProgramSettingsTest, FailedStoreRaisesAndWritesNothing) {
    const QString unreachable = dir.filePath("gone/SETUP.INI");
    EXPECT_THROW(storeSetupValues(unreachable, 1, 30, 500), SettingsWriteError);
    EXPECT_THROW(storeSamplingTimeChart(unreachable, 400), SettingsWriteError);
    EXPECT_THROW(storeDataDirectory(unreachable, "/x/"), SettingsWriteError);

    putFile(path, "[Display]\nLimit=80\n");
    EXPECT_THROW(storeDataDirectory(path, "/odd\nname/"), SettingsWriteError);
    EXPECT_EQ(fileBytes(path), "[Display]\nLimit=80\n");
}
