#include "plot/recording_loading.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Steps of the progress bar and how often it follows the loader.
constexpr int progressSteps = 1000;
constexpr int progressIntervalMs = 100;
// A load that ends sooner shows no dialog at all.
constexpr int dialogDelayMs = 400;

}  // namespace

void loadWithProgress(const QString& path, QWidget* parent, const RecordingLoader& loader,
                      LoadedPoints& loaded) {
    LoadProgress progress;
    QProgressDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Open recording"));
    dialog.setLabelText(QStringLiteral("Reading %1").arg(QFileInfo(path).fileName()));
    dialog.setRange(0, progressSteps);
    dialog.setMinimumDuration(dialogDelayMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setWindowModality(Qt::WindowModal);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog,
                     [&progress] { progress.cancel = true; });

    QTimer follow;
    follow.setInterval(progressIntervalMs);
    QObject::connect(&follow, &QTimer::timeout, &dialog, [&] {
        const qint64 total = progress.totalBytes;
        const qint64 read = progress.bytesRead;
        if (total <= 0 || progress.cancel) {
            return;
        }
        dialog.setValue(static_cast<int>(read * progressSteps / total));
        dialog.setLabelText(QStringLiteral("Reading %1\n%2 of %3")
                                .arg(QFileInfo(path).fileName(), QLocale().formattedDataSize(read),
                                     QLocale().formattedDataSize(total)));
    });

    RecordingPointSink sink(loaded.points, loaded.recording);
    QFutureWatcher<StreamedRecording> watcher;
    QEventLoop waiting;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &waiting, &QEventLoop::quit);
    // The sink and the progress live on this stack until the worker has finished with them.
    watcher.setFuture(QtConcurrent::run([&] { return loader(path, sink, &progress); }));
    dialog.setValue(0);
    follow.start();
    waiting.exec();
    follow.stop();
    loaded.outcome = watcher.result();
}
