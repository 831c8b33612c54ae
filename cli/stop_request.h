#pragma once

// SIGINT and SIGTERM only set a flag; the loops look at it between their steps and end after
// writing what they have, so an interrupted log is a whole file.
void installStopHandlers();
bool stopRequested();
