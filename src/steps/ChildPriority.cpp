#include "steps/ChildPriority.h"

#include <sys/resource.h>

void lowerChildPriority()
{
    // Nice 19 rather than SCHED_IDLE: the converter still moves on a busy
    // machine instead of starving behind every other process.
    setpriority(PRIO_PROCESS, 0, 19);
}
