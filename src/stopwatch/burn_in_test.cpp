#include "stopwatch/burn_in_test.h"

#include <chrono>

#include "settings/language.h"
#include "ui/string_ids.h"

namespace kestrun {

BurnInTest::BurnInTest(TimerHost& timers, std::function<void(Step)> on_step)
    : timers_(timers), on_step_(std::move(on_step)) {}

BurnInTest::~BurnInTest() {
    if (countdown_open_)
        timers_.stop_timer(kCountdownTimer);
}

void BurnInTest::Start(int count) {
    if (count <= 0)
        count = 10;
    last_count_ = count;
    total_ = count;
    current_ = 1;
    active_ = true;
}

std::string BurnInTest::status_text() const {
    // The pattern comes from a language file: only its %d are filled, nothing else is read.
    const std::string pattern = GetText(kStrTestOfTotal);
    const int values[] = {current_, total_};
    std::string text;
    std::size_t used = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'd' && used < 2) {
            text += std::to_string(values[used++]);
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

void BurnInTest::OnDownloadCompleted() {
    if (!active_)
        return;
    countdown_open_ = true;
    seconds_left_ = kCountdownSeconds;
    timers_.start_timer(kCountdownTimer, std::chrono::seconds(1), [this](int) { tick(); });
}

void BurnInTest::close_countdown() {
    timers_.stop_timer(kCountdownTimer);
    countdown_open_ = false;
}

void BurnInTest::tick() {
    if (!countdown_open_)
        return;
    if (--seconds_left_ > 0)
        return;
    close_countdown();
    if (current_ >= total_) {
        active_ = false;
        if (on_step_)
            on_step_(Step::kCompleted);
        return;
    }
    ++current_;
    if (on_step_)
        on_step_(Step::kStartDownload);
}

void BurnInTest::CancelCountdown() {
    if (!countdown_open_)
        return;
    close_countdown();
    active_ = false;
    if (on_step_)
        on_step_(Step::kAborted);
}

std::string BurnInTest::Reset() {
    if (countdown_open_)
        close_countdown();
    active_ = false;
    return GetText(kStrResetToNormalOperationMode);
}

std::string BurnInTest::completed_text() {
    return GetText(kStrBurnInTestCompleted);
}
std::string BurnInTest::aborted_text() {
    return GetText(kStrBurnInTestAborted);
}

}  // namespace kestrun
