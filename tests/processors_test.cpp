#include "model/processors.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <thread>
#include <vector>

namespace dim {
namespace {

// Runs on a thread of its own, so that the test process keeps its processors: the thread is
// set to run on `runsOn` (all it may when empty), kept off `keepOff`, and its processors read.
std::vector<int> KeptOff(std::vector<int> runsOn, int keepOff, bool *moved) {
    std::vector<int> after;
    std::thread([&] {
        cpu_set_t set;
        CPU_ZERO(&set);
        for (int p : runsOn)
            CPU_SET(p, &set);
        if (!runsOn.empty() && sched_setaffinity(0, sizeof set, &set) != 0)
            return;
        *moved = KeepOffProcessor(keepOff);
        if (sched_getaffinity(0, sizeof set, &set) != 0)
            return;
        for (int p = 0; p < CPU_SETSIZE; ++p)
            if (CPU_ISSET(p, &set))
                after.push_back(p);
    }).join();
    return after;
}

TEST(Processors, AThreadIsKeptOffOneProcessorOnlyWhereItHasOthersToRunOn) {
    bool moved = false;
    const std::vector<int> all = KeptOff({}, -1, &moved);
    if (all.size() < 2 || KeptOff(all, -1, &moved).empty())
        GTEST_SKIP() << "needs two processors and leave to choose among them";
    const std::vector<int> allButFirst(all.begin() + 1, all.end());
    EXPECT_EQ(KeptOff(all, all[0], &moved), allButFirst);
    EXPECT_TRUE(moved);
    EXPECT_EQ(KeptOff({all[0]}, all[0], &moved), std::vector<int>{all[0]}); // the only one
    EXPECT_FALSE(moved);
    EXPECT_EQ(KeptOff({all[0]}, all[1], &moved), std::vector<int>{all[0]}); // not among them
    EXPECT_FALSE(moved);
}

} // namespace
} // namespace dim
