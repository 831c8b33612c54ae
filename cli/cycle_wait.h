#pragma once

// Sleeps until counterSeconds() reaches `deadlineSeconds`, or until a stop is requested.
// The command line has no event loop to keep alive, so the wait sleeps instead of spinning;
// it wakes at least every 100 ms to look at the stop flag, and the last sleep ends on the
// deadline to well under a millisecond. Needs the steady program clock.
void sleepUntil(double deadlineSeconds);
