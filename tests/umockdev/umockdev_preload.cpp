#include "umockdev_preload.h"

#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
constexpr const char* preloadLibrary = "libumockdev-preload.so.0";
constexpr const char* restartedMarker = "ZALVO_UMOCKDEV_RESTARTED";
}  // namespace

bool umockdevPreloaded() {
    bool found = false;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "libumockdev-preload")) {
                *static_cast<bool*>(data) = true;
                return 1;
            }
            return 0;
        },
        &found);
    return found;
}

void ensureUmockdevPreload(char** argv) {
    if (umockdevPreloaded() || std::getenv(restartedMarker)) {
        return;
    }
    std::string preload = preloadLibrary;
    if (const char* existing = std::getenv("LD_PRELOAD"); existing && *existing) {
        preload += std::string(":") + existing;
    }
    setenv("LD_PRELOAD", preload.c_str(), 1);
    setenv(restartedMarker, "1", 1);
    execv("/proc/self/exe", argv);
}
