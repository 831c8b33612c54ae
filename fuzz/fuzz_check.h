#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep. A broken one aborts, so libFuzzer keeps the input.
inline void check(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", property);
        std::abort();
    }
}
