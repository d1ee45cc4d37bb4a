#include "convert/ChildPriority.h"

#include <sched.h>
#include <sys/resource.h>

void lowerChildPriority()
{
    // The nice value counts where SCHED_IDLE is refused (some sandboxes).
    setpriority(PRIO_PROCESS, 0, 19);
    sched_param param{};
    param.sched_priority = 0;
    sched_setscheduler(0, SCHED_IDLE, &param);
}
