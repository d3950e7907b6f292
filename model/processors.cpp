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

void KeepOffProcessor(int processor) {
#ifdef __linux__
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return;
    CPU_CLR(processor, &allowed); // nothing for one out of the set's range, -1 included
    // The kernel refuses an empty set, as a sandbox may refuse the call: either way the thread
    // stays where the scheduler put it.
    sched_setaffinity(0, sizeof allowed, &allowed);
#else
    (void)processor;
#endif
}

} // namespace dim
