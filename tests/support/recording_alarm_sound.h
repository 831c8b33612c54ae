#pragma once

#include "ui/alarm_sound.h"

#include <QStringList>

// Records the alarm sounds instead of playing them. Installs itself while it exists.
class RecordingAlarmSound : public AlarmSoundOutput {
public:
    RecordingAlarmSound() { setAlarmSoundOutput(this); }
    ~RecordingAlarmSound() override { setAlarmSoundOutput(nullptr); }
    RecordingAlarmSound(const RecordingAlarmSound&) = delete;
    RecordingAlarmSound& operator=(const RecordingAlarmSound&) = delete;

    void playFile(const QString& path) override { playedFiles.append(path); }
    void beep() override { ++beeps; }

    // Every alarm, by file or by the default alert.
    int plays() const { return static_cast<int>(playedFiles.size()) + beeps; }

    QStringList playedFiles;
    int beeps = 0;
};
