#pragma once

#include <functional>
#include <string>

#include "platform/timer_host.h"

// The burn-in test: the stopwatch download repeated a chosen number of times, with a 10-second
// countdown between two downloads that the user may cancel. The windows show its texts; the main
// window starts the downloads it asks for.
namespace kestrun {

class BurnInTest {
public:
    enum class Step {
        kStartDownload,  // start the next download
        kCompleted,      // "Burn-in test is completed !"
        kAborted,        // "Burn-in test aborted !"
    };
    static constexpr int kCountdownTimer = 1000;
    static constexpr int kCountdownSeconds = 10;

    // `on_step` is told what to do each time the countdown ends or is cancelled.
    BurnInTest(TimerHost& timers, std::function<void(Step)> on_step);
    ~BurnInTest();

    // "No. of test": the last count chosen (20 at first).
    int last_count() const { return last_count_; }
    // OK of the "Burn in test" dialog: test mode on with test 1 (0 means 10). The caller then
    // starts the first download.
    void Start(int count);
    bool active() const { return active_; }
    int current() const { return current_; }
    int total() const { return total_; }
    // Status pane 2: "Test %d/%d".
    std::string status_text() const;

    // A download ended with success while the test runs: opens the countdown.
    void OnDownloadCompleted();
    bool countdown_open() const { return countdown_open_; }
    int seconds_left() const { return seconds_left_; }
    // "Cancel burn-in test".
    void CancelCountdown();
    // "Reset to normal mode": test mode off; returns "Reset to normal operation mode.".
    std::string Reset();

    // The texts of the ends.
    static std::string completed_text();
    static std::string aborted_text();

private:
    void tick();
    void close_countdown();

    TimerHost& timers_;
    std::function<void(Step)> on_step_;
    int last_count_ = 20;
    bool active_ = false;
    int current_ = 0;
    int total_ = 0;
    bool countdown_open_ = false;
    int seconds_left_ = 0;
};

}  // namespace kestrun
