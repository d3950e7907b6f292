#include "model/processors.h"

#ifdef __linux__
#include <sched.h>
#endif

namespace dim {

int CurrentProcessor() {
#ifdef __linux__
    return sched_getcpu();
#else
    return -1;
#endif
}

bool KeepOffProcessor(int processor) {
#ifdef __linux__
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    // CPU_ISSET is false for a processor out of the set's range, -1 included.
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0 || !CPU_ISSET(processor, &allowed))
        return false;
    CPU_CLR(processor, &allowed);
    // The kernel refuses an empty set, as it refuses a sandbox's thread: either way the thread
    // stays where the scheduler put it.
    return sched_setaffinity(0, sizeof allowed, &allowed) == 0;
#else
    (void)processor;
    return false;
#endif
}

} // namespace dim
