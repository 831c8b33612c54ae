#pragma once

#include <QString>

// Where the alarm sound goes: a sound file, or the default alert when there is none.
class AlarmSoundOutput {
public:
    virtual ~AlarmSoundOutput() = default;
    // Starts the file and returns at once; a sound still playing is replaced. False when it
    // cannot be played: no sound output, or a file that is no readable sound.
    virtual bool playFile(const QString& path) = 0;
    // The platform's default alert sound.
    virtual void beep() = 0;
};

// Plays the alarm "Sound.WAV" without waiting for it; without the file, or when it cannot be
// played, the default alert sounds instead. Never reports an error.
void playAlarmSound();

// Full path of "Sound.WAV" beside the program file, else in the working directory;
// empty when neither has it.
QString alarmSoundFile();

// Installs an output (not owned), e.g. one that counts the plays; nullptr returns to
// the real one.
void setAlarmSoundOutput(AlarmSoundOutput* output);

// The real output: the desktop's event sound service (libcanberra), opened at the first play.
AlarmSoundOutput& systemAlarmSoundOutput();
