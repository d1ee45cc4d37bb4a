#pragma once

#include <QStringList>

// Runs one job for the arguments after the program name; returns the exit
// status: 0 saved, 1 error, 2 stopped, 64 bad usage.
int RunCli(const QStringList &arguments);
