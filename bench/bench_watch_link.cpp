// The watch link's receive side and a command's round trip over a terminal.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "platform/message.h"
#include "seriallink/watch_link.h"
#include "seriallink/watch_messages.h"
#include "seriallink/watch_packet.h"

namespace kestrun {
namespace {

// A stream of status-sized and large frames with a little noise between them, cut into the
// receive thread's 4200-byte reads.
void BM_ScannerThroughput(benchmark::State& state) {
    const std::size_t payload_size = static_cast<std::size_t>(state.range(0));
    std::vector<uint8_t> stream;
    std::vector<uint8_t> payload(payload_size);
    for (std::size_t i = 0; i < payload_size; ++i)
        payload[i] = static_cast<uint8_t>(i * 7);
    payload[0] = 0x2D;
    while (stream.size() < (1u << 20)) {
        const std::vector<uint8_t> frame = build_frame(payload);
        stream.insert(stream.end(), frame.begin(), frame.end());
        stream.push_back(0x00);
    }
    std::size_t frames = 0;
    PacketScanner scanner([&frames](const uint8_t*, std::size_t) { ++frames; });
    for (auto _ : state) {
        for (std::size_t offset = 0; offset < stream.size(); offset += kReadChunk) {
            scanner.feed(stream.data() + offset, std::min(kReadChunk, stream.size() - offset));
        }
    }
    benchmark::DoNotOptimize(frames);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_ScannerThroughput)->Arg(16)->Arg(1024)->Arg(5120);

}  // namespace
}  // namespace kestrun

BENCHMARK_MAIN();
