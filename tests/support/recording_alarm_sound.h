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

    bool playFile(const QString& path) override {
        playedFiles.append(path);
        return filesPlayable;
    }
    void beep() override { ++beeps; }

    // Every alarm, by file or by the default alert (a file that could not be played counts
    // by its alert).
    int plays() const {
        return filesPlayable ? static_cast<int>(playedFiles.size()) + beeps : beeps;
    }

    QStringList playedFiles;
    int beeps = 0;
    bool filesPlayable = true;  // false: as on a machine without sound output
};
