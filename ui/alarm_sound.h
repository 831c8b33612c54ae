#pragma once

#include <QString>

// Where the alarm sound goes: a sound file, or the default alert when there is none.
class AlarmSoundOutput {
public:
    virtual ~AlarmSoundOutput() = default;
    // Starts the file and returns at once; a sound still playing is replaced.
    virtual void playFile(const QString& path) = 0;
    // The platform's default alert sound.
    virtual void beep() = 0;
};

// Plays the alarm "Sound.WAV" without waiting for it; without the file, the default
// alert sounds. Never reports an error, also not on a machine without audio output.
void playAlarmSound();

// Full path of "Sound.WAV" beside the program file, else in the working directory;
// empty when neither has it.
QString alarmSoundFile();

// Installs an output (not owned), e.g. one that counts the plays; nullptr returns to
// the real one.
void setAlarmSoundOutput(AlarmSoundOutput* output);
