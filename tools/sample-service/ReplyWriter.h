#pragma once

#include "ServiceReply.h"

#include <atomic>

// Sends one reply on a connected socket, injecting its faults. Returns whether
// the connection may carry another request.
bool sendReply(int socket, const ServiceReply &reply, bool headOnly, bool clientWantsClose,
               const std::atomic<bool> &stopping);
