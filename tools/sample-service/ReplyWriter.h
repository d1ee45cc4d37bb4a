#pragma once

#include "ServiceReply.h"

#include <atomic>

// Sends one reply on a connected socket, injecting its faults. Returns whether
// the connection may carry another request. connectionSent counts the body
// bytes the connection has carried, for a reset every so many of them.
bool sendReply(int socket, const ServiceReply &reply, bool headOnly, bool clientWantsClose,
               const std::atomic<bool> &stopping, qint64 *connectionSent = nullptr);
