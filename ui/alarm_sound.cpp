#include "ui/alarm_sound.h"

#include <canberra.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString soundFileName = QStringLiteral("Sound.WAV");

// The alarm's id: a new alarm cancels the one still playing.
constexpr uint32_t alarmSoundId = 1;

// Sounds the default alert in the main thread, the only one that may use the display.
void beepSoon() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            application, [] { QApplication::beep(); }, Qt::QueuedConnection);
    }
}

// Plays through libcanberra, a small library made for event sounds. Its sound back end is
// loaded at the first alarm, not at start. A failure it finds only while playing (on its own
// thread) still ends in the default alert.
class CanberraOutput : public AlarmSoundOutput {
public:
    bool playFile(const QString& path) override {
        if (!context && !open()) {
            return false;
        }
        ca_context_cancel(context, alarmSoundId);
        ca_proplist* properties = nullptr;
        if (ca_proplist_create(&properties) != CA_SUCCESS) {
            return false;
        }
        ca_proplist_sets(properties, CA_PROP_MEDIA_FILENAME, QFile::encodeName(path).constData());
        // The file is read anew each time: it may have been replaced since.
        ca_proplist_sets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
        ca_proplist_sets(properties, CA_PROP_MEDIA_ROLE, "event");
        const int result =
            ca_context_play_full(context, alarmSoundId, properties, &playingEnded, nullptr);
        ca_proplist_destroy(properties);
        return result == CA_SUCCESS;
    }

    void beep() override { QApplication::beep(); }

private:
    bool open() {
        if (ca_context_create(&context) != CA_SUCCESS) {
            context = nullptr;
            return false;
        }
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Zalvo read-out", nullptr);
        return true;
    }

    static void playingEnded(ca_context*, uint32_t, int error, void*) {
        if (error != CA_SUCCESS && error != CA_ERROR_CANCELED) {
            beepSoon();
        }
    }

    // Kept for the whole process: ending it at exit could race its playback thread.
    ca_context* context = nullptr;
};

AlarmSoundOutput* installedOutput = nullptr;

AlarmSoundOutput& alarmSoundOutput() {
    return installedOutput ? *installedOutput : systemAlarmSoundOutput();
}

}  // namespace

AlarmSoundOutput& systemAlarmSoundOutput() {
    static CanberraOutput* output = new CanberraOutput;
    return *output;
}

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
    if (path.isEmpty() || !alarmSoundOutput().playFile(path)) {
        alarmSoundOutput().beep();
    }
}

void setAlarmSoundOutput(AlarmSoundOutput* output) {
    installedOutput = output;
}
