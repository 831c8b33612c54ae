#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// Syncs a file to the disk on a thread of its own, so that the measuring loop that appends the
// rows never waits for the disk (a sync takes milliseconds, tens of them on a busy disk).
class FileSyncer {
public:
    FileSyncer() = default;
    ~FileSyncer();
    FileSyncer(const FileSyncer&) = delete;
    FileSyncer& operator=(const FileSyncer&) = delete;

    // Starts the thread for an open file descriptor (not owned).
    void start(int fd);
    // Asks for a sync and returns at once; a request while one is running is kept for after it.
    void request();
    // The errno of a sync that failed since the last call; 0 when none did.
    int takeError();
    // Ends the thread after the sync in progress; the caller syncs a last time itself.
    void stop();

private:
    void run();

    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    int fd = -1;
    bool pending = false;
    bool stopping = false;
    int error = 0;
};
