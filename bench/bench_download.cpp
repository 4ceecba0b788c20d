// A full download of a stopwatch holding 99 sessions and 2,000 laps from the simulated clip, with
// a device delay of 0 ms and of 1 ms per answer: wall time, reads per second, the link's own time
// per read beyond the device delays, and the processor time used. The link's fixed waits
// (connect, handshake, the pause before the download) are set to zero: only the download thread
// is timed. A last benchmark measures the processor time of an idle connected link.
#include <benchmark/benchmark.h>
#include <time.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "clip_server.h"
#include "platform/sim_clip_transport.h"
#include "stopwatch/link_messages.h"
#include "stopwatch/stopwatch_link.h"
#include "workout/stopwatch_session.h"

namespace {

using namespace kestrun;
using Clock = std::chrono::steady_clock;

// 20 sessions of 21 laps (blocks of 10, 10 and 1) and 79 of 20 laps (two blocks of 10). The
// sessions share two lap chains, as 2,000 laps of their own would not fit into 8 KB.
clipsim::MemoryImage full_stopwatch() {
    std::string error;
    const clipsim::Scenario scenario = clipsim::parse_scenario(
        "session 2011-01-01 06:00:00 blocks 10\nlaps 21 0:01:00.00\n"
        "session 2011-01-02 06:00:00 blocks 10\nlaps 20 0:01:00.00\n",
        error);
    clipsim::MemoryImage image = clipsim::build_image(scenario, error);
    if (!error.empty())
        std::abort();
    for (int slot = 2; slot < 99; ++slot) {
        uint8_t* entry = &image[16 * slot];
        std::copy_n(&image[slot <= 20 ? 0 : 16], 12, entry);
        entry[0] = static_cast<uint8_t>(((slot + 1) / 10) << 4 | (slot + 1) % 10);  // number
        entry[4] = static_cast<uint8_t>(((slot % 28 + 1) / 10) << 4 | (slot % 28 + 1) % 10);  // day
        entry[5] = static_cast<uint8_t>(slot / 28 + 2);  // month
    }
    return image;
}

class EndWaiter : public MessageSink {
public:
    void post(Message message) override {
        std::lock_guard lock(mutex_);
        if (message.id == kMsgDownloadEnded || message.id == kMsgTransferNotice) {
            ended_ = true;
            success_ = message.id == kMsgDownloadEnded && message.wparam == 1;
            changed_.notify_all();
        }
    }
    bool wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return ended_; });
        ended_ = false;
        return success_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = false;
    bool success_ = false;
};

double process_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

LinkTiming no_fixed_waits() {
    LinkTiming timing;
    timing.after_connect = timing.after_disconnect = timing.before_handshake =
        std::chrono::milliseconds(0);
    timing.after_handshake = std::chrono::milliseconds(0);
    timing.handshake_answer = std::chrono::milliseconds(100);
    return timing;
}

struct Clip {
    std::string folder;
    std::unique_ptr<clipsim::ClipServer> server;
    std::unique_ptr<SimClipTransport> transport;

    explicit Clip(std::chrono::microseconds delay) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kestrun-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        clipsim::ServerOptions options;
        options.socket_path = folder + "/clip.sock";
        options.delay = delay;
        server = std::make_unique<clipsim::ClipServer>(full_stopwatch(),
                                                       std::vector<clipsim::Fault>{}, options);
        std::string error;
        if (!server->start(error))
            std::abort();
        transport = std::make_unique<SimClipTransport>(options.socket_path);
    }
    ~Clip() {
        server.reset();
        std::filesystem::remove_all(folder);
    }
};

void BM_FullDownload(benchmark::State& state) {
    const auto delay = std::chrono::microseconds(state.range(0));
    Clip clip(delay);
    EndWaiter owner;
    ManualTimerHost timers;
    double wall = 0, cpu = 0;
    int64_t reads = 0;
    for (auto _ : state) {
        StopwatchLink link(owner, timers, *clip.transport, no_fixed_waits());
        if (!link.Connect()) {
            state.SkipWithError("no clip");
            return;
        }
        const int before = clip.server->reports_received();
        const double cpu_before = process_cpu_seconds();
        const auto started = Clock::now();
        link.StartDownload();
        if (!owner.wait()) {
            state.SkipWithError("download failed");
            return;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        cpu += process_cpu_seconds() - cpu_before;
        state.SetIterationTime(seconds);
        wall += seconds;
        reads += clip.server->reports_received() - before;
    }
    std::size_t laps = 0;
    for (const auto& session : session_table().snapshot())
        laps += session.laps.size();
    const double runs = static_cast<double>(state.iterations());
    const double reads_per_run = static_cast<double>(reads) / runs;
    const double delays = reads_per_run * std::chrono::duration<double>(delay).count();
    state.counters["sessions"] = static_cast<double>(session_table().size());
    state.counters["laps"] = static_cast<double>(laps);
    state.counters["reads"] = reads_per_run;
    state.counters["reads_per_s"] = reads_per_run / (wall / runs);
    state.counters["wall_ms"] = wall / runs * 1e3;
    state.counters["device_delays_ms"] = delays * 1e3;
    state.counters["wall_over_delays"] = delays > 0 ? (wall / runs) / delays : 0;
    state.counters["link_us_per_read"] = ((wall / runs) - delays) / reads_per_run * 1e6;
    state.counters["cpu_ms_with_sim"] = cpu / runs * 1e3;
}
BENCHMARK(BM_FullDownload)
    ->Arg(0)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// The floor the platform and the simulator set: the same number of reads of the same sizes sent
// and answered on the bare socket by one thread, without the link's receive thread, sequence
// rules and hand-over. The link's own cost is the difference to BM_FullDownload.
void BM_BareSocketReads(benchmark::State& state) {
    const auto delay = std::chrono::microseconds(state.range(0));
    Clip clip(delay);
    auto connection = clip.transport->open(kClipVendorId, kClipProductId);
    std::vector<uint8_t> request(kSimClipReportLength, 0), answer;
    uint8_t sequence = 0;
    double wall = 0;
    constexpr int kReads = 635;
    for (auto _ : state) {
        const auto started = Clock::now();
        for (int i = 0; i < kReads; ++i) {
            const uint8_t payload[] = {0x03, 0x02, 0x40, 0x06,
                                       static_cast<uint8_t>(i % 2 ? 40 : 4)};
            request[1] = sequence++;
            request[2] = sizeof payload;
            std::copy(payload, payload + sizeof payload, request.begin() + 3);
            unsigned sum = 0;
            for (std::size_t k = 1; k < sizeof payload + 3; ++k)
                sum += request[k];
            request[sizeof payload + 3] = static_cast<uint8_t>(sum);
            connection->write_report(request);
            if (connection->read_report(answer, Clock::now() + std::chrono::seconds(5)) !=
                HidStatus::kOk) {
                state.SkipWithError("no answer");
                return;
            }
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        state.SetIterationTime(seconds);
        wall += seconds;
    }
    const double runs = static_cast<double>(state.iterations());
    const double delays = kReads * std::chrono::duration<double>(delay).count();
    state.counters["reads"] = kReads;
    state.counters["wall_ms"] = wall / runs * 1e3;
    state.counters["wall_over_delays"] = delays > 0 ? (wall / runs) / delays : 0;
    state.counters["us_per_read_beyond_delay"] = ((wall / runs) - delays) / kReads * 1e6;
}
BENCHMARK(BM_BareSocketReads)
    ->Arg(0)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// A connected link waiting for nothing: its receive thread sleeps in the kernel.
void BM_IdleConnectedLink(benchmark::State& state) {
    Clip clip(std::chrono::microseconds(0));
    EndWaiter owner;
    ManualTimerHost timers;
    StopwatchLink link(owner, timers, *clip.transport, no_fixed_waits());
    if (!link.Connect()) {
        state.SkipWithError("no clip");
        return;
    }
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpu_before = process_cpu_seconds();
        const auto started = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        cpu += process_cpu_seconds() - cpu_before;
        wall += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["core_percent_with_sim"] = cpu / wall * 100;
}
BENCHMARK(BM_IdleConnectedLink)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
