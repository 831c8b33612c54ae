#include "ui/process_exit.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {
std::function<void(int)>& terminateHandler() {
    static std::function<void(int)> handler;
    return handler;
}
}  // namespace

void terminateProgram(int exitCode) {
    if (terminateHandler()) {
        terminateHandler()(exitCode);
    }
    // Written files are flushed per write; nothing else is saved at exit.
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void setTerminateHandler(std::function<void(int)> handler) {
    terminateHandler() = std::move(handler);
}
