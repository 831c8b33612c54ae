#include "ui/alarm_sound.h"
#include "device/usbread.h"
#include "tests/support/recording_alarm_sound.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// Runs each test in an empty working directory.
class AlarmSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(workingDirectory.isValid());
        ASSERT_FALSE(QFile::exists(QCoreApplication::applicationDirPath() + "/Sound.WAV"))
            << "the test program's folder must not hold a sound file";
        QDir::setCurrent(workingDirectory.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    QString placeSoundFile() {
        const QString path = QDir(workingDirectory.path()).filePath("Sound.WAV");
        EXPECT_TRUE(QFile::copy(ZALVO_SOUND_FILE, path));
        return path;
    }

    QString previous = QDir::currentPath();
    QTemporaryDir workingDirectory;
};

TEST_F(AlarmSoundTest, MissingFileSoundsTheDefaultAlert) {
    RecordingAlarmSound sound;
    playAlarmSound();
    playAlarmSound();

    EXPECT_TRUE(alarmSoundFile().isEmpty());
    EXPECT_EQ(sound.beeps, 2);
    EXPECT_TRUE(sound.playedFiles.isEmpty());
}

TEST_F(AlarmSoundTest, FileInTheWorkingDirectoryIsPlayed) {
    const QString path = placeSoundFile();
    RecordingAlarmSound sound;
    playAlarmSound();

    EXPECT_EQ(sound.playedFiles, QStringList{path});
    EXPECT_EQ(sound.beeps, 0);
}

TEST_F(AlarmSoundTest, FileThatCannotBePlayedSoundsTheDefaultAlert) {
    const QString path = placeSoundFile();
    RecordingAlarmSound sound;
    sound.filesPlayable = false;
    playAlarmSound();

    EXPECT_EQ(sound.playedFiles, QStringList{path});
    EXPECT_EQ(sound.beeps, 1);
}

TEST_F(AlarmSoundTest, RealOutputRefusesAFileThatIsNoSound) {
    const QString path = QDir(workingDirectory.path()).filePath("Sound.WAV");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(QByteArray(4096, 'x')), 4096);
    file.close();
    // Whether or not this machine has a sound output, such a file cannot be played.
    EXPECT_FALSE(systemAlarmSoundOutput().playFile(path));
}

TEST_F(AlarmSoundTest, RealPlaybackNeverHoldsTheCaller) {
    const double start = counterSeconds();
    playAlarmSound();  // no file: the default alert
    // The resource folder outlives the test, so loading can finish after it.
    QDir::setCurrent(QFileInfo(ZALVO_SOUND_FILE).absolutePath());
    for (int i = 0; i < 5; ++i) {
        playAlarmSound();
    }
    EXPECT_EQ(alarmSoundFile(), QFileInfo(ZALVO_SOUND_FILE).absoluteFilePath());
    EXPECT_LT((counterSeconds() - start) * 1000.0, 500.0);
}

}  // namespace
