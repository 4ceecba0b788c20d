#include "stopwatch/burn_in_test.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrun {
namespace {

using namespace std::chrono_literals;

struct BurnInFixture : ::testing::Test {
    ManualTimerHost timers;
    std::vector<BurnInTest::Step> steps;
    BurnInTest test{timers, [this](BurnInTest::Step step) { steps.push_back(step); }};
};

TEST_F(BurnInFixture, RunsEveryDownloadWithATenSecondCountdownBetween) {
    EXPECT_EQ(test.last_count(), 20);
    test.Start(2);
    EXPECT_TRUE(test.active());
    EXPECT_EQ(test.status_text(), "Test 1/2");

    test.OnDownloadCompleted();
    EXPECT_TRUE(test.countdown_open());
    timers.advance(9s);
    EXPECT_EQ(test.seconds_left(), 1);
    EXPECT_TRUE(steps.empty());
    timers.advance(1s);
    ASSERT_EQ(steps, std::vector{BurnInTest::Step::kStartDownload});
    EXPECT_EQ(test.status_text(), "Test 2/2");

    test.OnDownloadCompleted();
    timers.advance(10s);
    EXPECT_EQ(steps.back(), BurnInTest::Step::kCompleted);
    EXPECT_FALSE(test.active());
    EXPECT_FALSE(timers.is_running(BurnInTest::kCountdownTimer));
    EXPECT_EQ(BurnInTest::completed_text(), "Burn-in test is completed !");
}

TEST_F(BurnInFixture, CountZeroMeansTenAndIsRememberedForTheNextDialog) {
    test.Start(0);
    EXPECT_EQ(test.total(), 10);
    EXPECT_EQ(test.last_count(), 10);
}

TEST_F(BurnInFixture, CancelDuringTheCountdownAbortsTheTest) {
    test.Start(5);
    test.OnDownloadCompleted();
    timers.advance(3s);
    test.CancelCountdown();
    ASSERT_EQ(steps, std::vector{BurnInTest::Step::kAborted});
    EXPECT_FALSE(test.active());
    timers.advance(20s);
    EXPECT_EQ(steps.size(), 1u);
    EXPECT_EQ(BurnInTest::aborted_text(), "Burn-in test aborted !");
}

TEST_F(BurnInFixture, ResetSwitchesTestModeOffAndStopsTheCountdown) {
    test.Start(3);
    test.OnDownloadCompleted();
    EXPECT_EQ(test.Reset(), "Reset to normal operation mode.");
    EXPECT_FALSE(test.active());
    timers.advance(20s);
    EXPECT_TRUE(steps.empty());
    // Outside test mode a completed download opens no countdown.
    test.OnDownloadCompleted();
    EXPECT_FALSE(test.countdown_open());
}

}  // namespace
}  // namespace kestrun
