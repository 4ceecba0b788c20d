#include "platform/debug_print.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "platform/registry_store.h"
#include "settings_fixture.h"

namespace kestrun {
namespace {

class CollectingWindow : public DiagnosticWindowSink {
public:
    void append_line(std::string line) override {
        std::lock_guard lock(mutex_);
        lines_.push_back(std::move(line));
    }
    std::vector<std::string> lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

class DebugOutput : public testing::SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        set_debugger_output([this](std::string_view line) {
            std::lock_guard lock(mutex_);
            debugger_.emplace_back(line);
        });
        set_diagnostic_window(window_);
    }
    void TearDown() override {
        set_debugger_output(nullptr);
        set_diagnostic_window(nullptr);
        SettingsTest::TearDown();
    }
    void switch_to(const char* name, const char* value) {
        ASSERT_TRUE(RegKey(RegistryRoot::kCurrentUser, kVelmoraKey).set_text(name, value));
    }
    std::vector<std::string> debugger() {
        std::lock_guard lock(mutex_);
        return debugger_;
    }

    std::shared_ptr<CollectingWindow> window_ = std::make_shared<CollectingWindow>();
    std::mutex mutex_;
    std::vector<std::string> debugger_;
};

TEST_F(DebugOutput, SwitchesDecideWhereLinesGo) {
    DebugPrint("Total segments=%d , laps = %d", 3, 41);
    EXPECT_TRUE(debugger().empty());

    switch_to("DebugView", "1");
    DebugPrint("Total segments=%d , laps = %d", 3, 41);
    DebugPrintMasked("Activate Wnd", 0x100);
    EXPECT_EQ(debugger(), std::vector<std::string>{"Total segments=3 , laps = 41"});

    switch_to("DebugViewExtra", "256");
    DebugPrintMasked("Activate Wnd", 0x100);
    DebugPrintMasked("Open COM Error", 2);
    EXPECT_EQ(debugger().back(), "Activate Wnd");
    EXPECT_EQ(debugger().size(), 2u);

    EXPECT_TRUE(window_->lines().empty());
    switch_to("DebugLevel", "1");
    DebugPrint("not for the window");
    EXPECT_TRUE(window_->lines().empty());
    switch_to("DebugLevel", "2");
    DebugPrint("Shuddown ...");
    EXPECT_EQ(window_->lines(), std::vector<std::string>{"Shuddown ..."});
}

TEST_F(DebugOutput, LongLinesAreCutToTheBuffer) {
    switch_to("DebugView", "1");
    DebugPrint("%s", std::string(600, 'x').c_str());
    ASSERT_EQ(debugger().size(), 1u);
    EXPECT_EQ(debugger()[0].size(), kDebugLineUnits);
}

TEST_F(DebugOutput, ManyThreadsEmitWhileTheWindowIsRemoved) {
    switch_to("DebugView", "1");
    switch_to("DebugLevel", "2");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 25; ++i)
                DebugPrint("thread %d line %d", t, i);
        });
    }
    set_diagnostic_window(nullptr);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(debugger().size(), 100u);
    EXPECT_LE(window_->lines().size(), 100u);
}

}  // namespace
}  // namespace kestrun
