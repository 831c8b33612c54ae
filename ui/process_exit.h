#pragma once

#include <functional>

// Ends the process at once with the exit code. Tests install a handler that
// records the code instead (and must not return into the caller's loop).
[[noreturn]] void terminateProgram(int exitCode);
void setTerminateHandler(std::function<void(int)> handler);
