#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include "recording/file_syncer.h"
#include "recording/recording_file.h"

// What became of one row.
enum class AppendResult {
    Written,  // the row reached the operating system
    Failed,   // this row could not be written; given once, for the caller's one warning
    Skipped,  // an earlier write failed; nothing is written any more
};

// Writes one recording file. Each row goes to the operating system in one write as it comes,
// and the file is synced to the disk every syncIntervalMs (on a thread of its own, so the
// caller never waits for the disk) and when it is closed; a crash or a power cut loses at most
// the last few seconds and never leaves half a row behind. A full
// or failing disk does not throw and does not end the program: the writer reports the failure
// once, takes back a partly written row and ignores every later row. A file size limit shows
// as such a failure too (the writer ignores SIGXFSZ, which would otherwise end the process).
class RecordingWriter {
public:
    static constexpr int defaultSyncIntervalMs = 2000;

    RecordingWriter() = default;
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Creates a new file at `path` and writes the header. An existing file is never replaced:
    // then, as on any other failure, false with errorString().
    bool create(const QString& path, const RecordingHeader& header);
    // Creates the file in `directory` (made when missing), named by recordingFileName with the
    // first suffix that names no existing file.
    bool createIn(const QString& directory, const RecordingHeader& header);

    // Whether create(path) may succeed, before anything else is done for the recording: false
    // with errorString() when the name is taken or its directory takes no new file.
    bool checkNewFile(const QString& path);

    // Opens the existing recording at `path` to go on after its `rows` rows; a cut-off last
    // line (the program ended within a write) is cut away first. False with errorString().
    bool resume(const QString& path, qint64 rows);

    AppendResult append(const RecordedRow& row);
    // Syncs now and waits for it, e.g. before a long pause without rows; false when it failed.
    bool sync();
    // Syncs and closes; false when a write or the sync failed. Called by the destructor.
    bool close();

    bool isOpen() const { return fd_ >= 0; }
    bool failed() const { return failed_; }
    QString path() const { return path_; }
    QString errorString() const { return error_; }
    qint64 rowsWritten() const { return rows_; }
    void setSyncIntervalMs(int milliseconds) { syncIntervalMs_ = milliseconds; }

private:
    void reset(const QString& path);
    bool writeAll(const QByteArray& bytes);
    bool syncFile();
    bool takeSyncFailure();
    void failToCreate(const QString& path, int errorNumber);
    void fail(const QString& what, int errorNumber);

    int fd_ = -1;
    QString path_;
    QString error_;
    bool failed_ = false;
    bool exists_ = false;  // the last create failed because the name was taken
    qint64 size_ = 0;
    qint64 rows_ = 0;
    int syncIntervalMs_ = defaultSyncIntervalMs;
    QElapsedTimer sinceSync_;
    FileSyncer syncer_;
};
