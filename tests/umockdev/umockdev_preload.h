#pragma once

// umockdev redirects /sys, /dev and ioctls only for a process that runs with its preload
// library. A test program calls this first thing in main: when the library is not loaded
// yet, the program starts itself again with it in LD_PRELOAD (once; when that does not
// work, it carries on and umockdevPreloaded() stays false).
void ensureUmockdevPreload(char** argv);

// True when the preload library is mapped into this process.
bool umockdevPreloaded();
