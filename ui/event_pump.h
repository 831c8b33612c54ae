#pragma once

// Long procedures run on the user-interface thread; these keep the windows alive
// while they work.

// Runs the events that are pending now, without waiting for more.
void letPendingEventsRun();

// Runs pending events, then waits at most maxMs for new ones without using the
// processor, and returns once events were handled or the time is up. The caller loops
// and checks its own condition; with maxMs <= 0 only pending events run. Under a
// simulated program clock the clock is moved on by maxMs (and a little more, so every
// waiting loop makes progress).
void letEventsRunFor(double maxMs);
