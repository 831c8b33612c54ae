// Start-up time to the first window on screen: the program against a minimal Qt Widgets
// window, on the same X server, runs interleaved (the order swapped every round), so that a
// change in the machine's load hits both alike. The clock stops when the X server maps the
// started process's first top-level window.
//   startup_bench ROUNDS MINIMAL_WINDOW PROGRAM [ARGUMENT ...]
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Starts the command and returns the milliseconds until a top-level window is mapped; a
// negative value when none appears within 20 s. The process is ended afterwards.
double timeToWindow(xcb_connection_t* connection, std::vector<char*> command) {
    command.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, command[0], nullptr, nullptr, command.data(), environ) != 0) {
        std::perror(command[0]);
        return -1;
    }
    double elapsed = -1;
    const Clock::time_point deadline = start + std::chrono::seconds(20);
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (elapsed < 0 && Clock::now() < deadline) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection);
        if (!event) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            poll(&descriptor, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
            !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect) {
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        std::free(event);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    xcb_flush(connection);
    return elapsed;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ROUNDS MINIMAL_WINDOW PROGRAM [ARGUMENT ...]\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    const std::vector<char*> minimal{argv[2]};
    const std::vector<char*> program(argv + 3, argv + argc);

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X server (DISPLAY)\n");
        return 2;
    }
    // Every top-level window's MapNotify arrives at the root window.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    std::vector<double> minimalTimes;
    std::vector<double> programTimes;
    std::printf("%5s %12s %12s\n", "round", "minimal ms", "program ms");
    for (int round = 0; round < rounds; ++round) {
        double minimalTime = 0;
        double programTime = 0;
        if (round % 2 == 0) {
            minimalTime = timeToWindow(connection, minimal);
            programTime = timeToWindow(connection, program);
        } else {
            programTime = timeToWindow(connection, program);
            minimalTime = timeToWindow(connection, minimal);
        }
        if (minimalTime < 0 || programTime < 0) {
            std::fprintf(stderr, "no window appeared within 20 s\n");
            return 1;
        }
        minimalTimes.push_back(minimalTime);
        programTimes.push_back(programTime);
        std::printf("%5d %12.1f %12.1f\n", round + 1, minimalTime, programTime);
    }
    const double minimalMedian = median(minimalTimes);
    const double programMedian = median(programTimes);
    std::printf("median %11.1f %12.1f   ratio %.2f\n", minimalMedian, programMedian,
                programMedian / minimalMedian);
    xcb_disconnect(connection);
    return 0;
}
