#pragma once

// Runs in a freshly forked child before it executes the converter, which then
// gets the lowest CPU priority (nice 19). Async-signal-safe.
void lowerChildPriority();
