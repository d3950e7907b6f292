#include "model/processors.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <thread>
#include <vector>

namespace dim {
namespace {

// On a thread of its own, so that the test process keeps its processors: the processors a
// thread set to run on `runsOn` (all it may when empty) may run on once kept off `keepOff`.
std::vector<int> KeptOff(std::vector<int> runsOn, int keepOff) {
    std::vector<int> after;
    std::thread([&] {
        cpu_set_t set;
        CPU_ZERO(&set);
        for (int p : runsOn)
            CPU_SET(p, &set);
        if (!runsOn.empty() && sched_setaffinity(0, sizeof set, &set) != 0)
            return;
        KeepOffProcessor(keepOff);
        if (sched_getaffinity(0, sizeof set, &set) == 0)
            for (int p = 0; p < CPU_SETSIZE; ++p)
                if (CPU_ISSET(p, &set))
                    after.push_back(p);
    }).join();
    return after;
}

TEST(Processors, AThreadIsKeptOffOneProcessorOnlyWhereItHasOthersToRunOn) {
    const std::vector<int> all = KeptOff({}, -1);
    if (all.size() < 2 || KeptOff(all, -1).empty())
        GTEST_SKIP() << "needs two processors and leave to choose among them";
    EXPECT_EQ(KeptOff(all, all[0]), std::vector<int>(all.begin() + 1, all.end()));
    EXPECT_EQ(KeptOff({all[1]}, all[1]), std::vector<int>{all[1]}); // its only one
}

} // namespace
} // namespace dim
