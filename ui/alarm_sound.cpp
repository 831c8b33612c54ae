#include "ui/alarm_sound.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace {

const QString soundFileName = QStringLiteral("Sound.WAV");

// Qt Multimedia playback. Without an audio device QSoundEffect reports that and
// play() still returns at once; its playing state is never waited for.
class SoundEffectOutput : public AlarmSoundOutput {
public:
    void playFile(const QString& path) override {
        QSoundEffect& effect = soundEffect();
        const QUrl source = QUrl::fromLocalFile(path);
        // A file that failed to load is loaded anew: it may have been replaced since.
        if (effect.source() != source || effect.status() == QSoundEffect::Error) {
            effect.setSource(QUrl());
            effect.setSource(source);
        }
        effect.stop();
        effect.play();
    }

    void beep() override { QApplication::beep(); }

private:
    // Created on first use, once the application object exists, and owned by it.
    static QSoundEffect& soundEffect() {
        static QSoundEffect* effect = new QSoundEffect(QCoreApplication::instance());
        return *effect;
    }
};

AlarmSoundOutput* installedOutput = nullptr;

AlarmSoundOutput& alarmSoundOutput() {
    static SoundEffectOutput soundEffectOutput;
    return installedOutput ? *installedOutput : soundEffectOutput;
}

}  // namespace

QString alarmSoundFile() {
    for (const QString& directory : {QCoreApplication::applicationDirPath(), QDir::currentPath()}) {
        const QFileInfo file(QDir(directory), soundFileName);
        if (file.isFile()) {
            return file.absoluteFilePath();
        }
    }
    return QString();
}

void playAlarmSound() {
    const QString path = alarmSoundFile();
    if (path.isEmpty()) {
        alarmSoundOutput().beep();
    } else {
        alarmSoundOutput().playFile(path);
    }
}

void setAlarmSoundOutput(AlarmSoundOutput* output) {
    installedOutput = output;
}
