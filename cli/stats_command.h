#pragma once

#include <QStringList>

// zalvo-cli stats: reads a recording with the streaming loader and prints its statistics over
// the whole recording and, with --from or --to, over that window. The arguments are those after
// "stats". Returns the exit code.
int runStats(const QStringList& arguments);
