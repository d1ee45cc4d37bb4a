#pragma once

// Runs in a freshly forked child before it executes the converter: the
// converter then only takes CPU time nobody else wants. Async-signal-safe.
void lowerChildPriority();
