#include "recording/file_syncer.h"

#include <unistd.h>

#include <cerrno>

FileSyncer::~FileSyncer() {
    stop();
}

void FileSyncer::start(int fileDescriptor) {
    stop();
    fd = fileDescriptor;
    pending = false;
    stopping = false;
    error = 0;
    thread = std::thread(&FileSyncer::run, this);
}

void FileSyncer::request() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        pending = true;
    }
    wake.notify_one();
}

int FileSyncer::takeError() {
    std::lock_guard<std::mutex> lock(mutex);
    const int taken = error;
    error = 0;
    return taken;
}

void FileSyncer::stop() {
    if (!thread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    thread.join();
}

void FileSyncer::run() {
    std::unique_lock<std::mutex> lock(mutex);
    while (true) {
        wake.wait(lock, [this] { return pending || stopping; });
        if (stopping) {
            return;
        }
        pending = false;
        lock.unlock();
        // EINVAL: the file cannot be synced (a pipe, a terminal); nothing to report.
        const int result = ::fdatasync(fd);
        const int syncError = result != 0 && errno != EINVAL ? errno : 0;
        lock.lock();
        if (syncError != 0) {
            error = syncError;
        }
    }
}
