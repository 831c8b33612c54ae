#pragma once

#include <QString>
#include <functional>

#include "plot/opened_recording.h"
#include "plot/point_store.h"
#include "recording/recording_stream.h"

class QWidget;

// Reads a recording file into a sink, reporting progress and polling for Cancel.
using RecordingLoader =
    std::function<StreamedRecording(const QString& path, RecordingSink& sink, LoadProgress*)>;

// A recording read into points of its own, to be shown in place of the chart's.
struct LoadedPoints {
    StreamedRecording outcome;
    PointStore points;
    OpenedRecording recording;
};

// Loads a recording on a worker thread while a progress dialog over `parent` shows the
// bytes read and offers Cancel; the user interface keeps running meanwhile. Returns when
// the load has ended: complete, partial, refused or cancelled.
void loadWithProgress(const QString& path, QWidget* parent, const RecordingLoader& loader,
                      LoadedPoints& loaded);
