#include "seriallink/dump_runner.h"

#include <mutex>
#include <optional>

#include "seriallink/conversation_loop.h"
#include "seriallink/dump_file.h"
#include "seriallink/dump_outcome.h"
#include "seriallink/watch_messages.h"

namespace kestrun {
namespace {

std::string without_carriage_returns(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\r')
            out.push_back(c);
    }
    return out;
}

// The transfer window as the command line shows it: log lines go to `print`.
class PrintingHost : public DumpHost {
public:
    explicit PrintingHost(const std::function<void(const std::string&)>& print) : print_(print) {}

    void append_log(const std::string& line) override { print_(line + "\n"); }
    void replace_log(const std::string& text) override {
        if (!text.empty())
            print_(without_carriage_returns(text));
    }
    void set_window_texts(const std::string&, const std::string&) override {}
    void show_window() override {}
    void finish() override {
        finished = true;
        if (conversation)
            conversation->end();
    }

    DumpConversation* conversation = nullptr;
    bool finished = false;

private:
    const std::function<void(const std::string&)>& print_;
};

// The main window's side: only the outcome matters here.
class OutcomeSink : public MessageSink {
public:
    void post(Message message) override {
        if (auto record = read_dump_outcome(message)) {
            std::lock_guard lock(mutex_);
            outcome_ = record;
        }
    }
    std::optional<DumpOutcome> outcome() {
        std::lock_guard lock(mutex_);
        return outcome_;
    }

private:
    std::mutex mutex_;
    std::optional<DumpOutcome> outcome_;
};

}  // namespace

DumpRunResult run_memory_dump(const std::string& dump_path, SerialLinkSettings& settings,
                              const std::function<void(const std::string&)>& print,
                              DumpConversationOptions options, std::chrono::milliseconds limit) {
    DumpRunResult result;
    if (create_dump_file(dump_path) != 0) {
        result.status = 2;
        return result;
    }
    ConversationLoop loop;
    PrintingHost host(print);
    OutcomeSink main_window;
    DumpConversation conversation(host, loop, loop, main_window, settings, std::move(options));
    host.conversation = &conversation;

    conversation.StartDump();
    loop.run([&](const Message& message) { conversation.handle(message); },
             [&] { return host.finished || conversation.dump_started(); }, limit);

    // Where the window would wait for Cancel, the conversation ends as Cancel ends it.
    const bool started = conversation.dump_started() && !host.finished;
    conversation.end();
    if (started) {
        result.status = 0;
        return result;
    }
    // A conversation that did not end in time is a watch that does not communicate.
    const auto outcome = main_window.outcome();
    result.message = dump_outcome_text(outcome ? outcome->result : kDumpResultNoAnswer);
    result.status = 1;
    return result;
}

}  // namespace kestrun
