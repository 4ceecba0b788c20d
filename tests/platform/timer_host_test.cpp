#include "platform/timer_host.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrun {
namespace {

using namespace std::chrono_literals;

TEST(ManualTimerHost, RepeatsInTimeOrderUntilStopped) {
    ManualTimerHost timers;
    std::vector<std::pair<int, long>> ticks;
    auto record = [&](int id) { ticks.emplace_back(id, static_cast<long>(timers.now().count())); };
    timers.start_timer(1, 300ms, record);
    timers.start_timer(2, 500ms, [&](int id) {
        record(id);
        timers.stop_timer(1);
    });
    timers.advance(1000ms);
    std::vector<std::pair<int, long>> expected{{1, 300}, {2, 500}, {2, 1000}};
    EXPECT_EQ(ticks, expected);
    EXPECT_FALSE(timers.is_running(1));
    EXPECT_TRUE(timers.is_running(2));
}

}  // namespace
}  // namespace kestrun
