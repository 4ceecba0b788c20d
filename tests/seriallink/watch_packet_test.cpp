#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "seriallink/watch_packet.h"

namespace kestrun {
namespace {

using Bytes = std::vector<uint8_t>;

struct Capture {
    std::vector<Bytes> payloads;
    std::vector<std::string> log;
    PacketScanner scanner{
        [this](const uint8_t* p, std::size_t n) { payloads.emplace_back(p, p + n); },
        [this](std::string_view line) { log.emplace_back(line); }};
};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(PacketChecksum, SumsPayloadBytesModulo32768) {
    struct Case {
        Bytes payload;
        uint16_t checksum;
    };
    const Case cases[] = {
        {{0x10}, 0x0010},
        {{0x2C}, 0x002C},
        {Bytes(129, 0xFF), 0x007F},  // 32895 keeps its low 15 bits
        {Bytes(300, 0xFF), 0x2AD4},  // 76500 wraps the 16-bit sum first
        {{}, 0x0000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(packet_checksum(c.payload.data(), c.payload.size()), c.checksum)
            << c.payload.size() << " bytes";
    }
}

TEST(BuildFrame, FramesThePayload) {
    EXPECT_EQ(build_frame(Bytes{0x10}),
              (Bytes{0xA0, 0xA2, 0x00, 0x01, 0x10, 0x00, 0x10, 0xB0, 0xB3}));
    EXPECT_EQ(build_frame(Bytes{0x2C}),
              (Bytes{0xA0, 0xA2, 0x00, 0x01, 0x2C, 0x00, 0x2C, 0xB0, 0xB3}));
    const Bytes big = build_frame(Bytes(300, 0xFF));
    ASSERT_EQ(big.size(), 308u);
    EXPECT_EQ(big[2], 0x01);  // length 300, high byte first
    EXPECT_EQ(big[3], 0x2C);
    EXPECT_EQ(big[304], 0x2A);
    EXPECT_EQ(big[305], 0xD4);
}

TEST(PacketScanner, CutsStreamsIntoFrames) {
    const Bytes version = build_frame(Bytes{0x11, 0x01, 0x00, 0x17, 0x00});
    const Bytes status = build_frame(Bytes{0x2D, 0x00, 0x01});
    Bytes bad_checksum = version;
    bad_checksum[9] ^= 0x01;
    Bytes bad_end = status;
    bad_end.back() = 0xB4;
    Bytes b3_header = status;
    b3_header[0] = 0xB3;
    Bytes too_long = {0xA0, 0xA2, 0x14, 0x01};  // 5121
    Bytes max_len = build_frame(Bytes(5120, 0x01));

    struct Case {
        const char* name;
        Bytes stream;
        std::vector<Bytes> expected;
        int header_log_lines;
    };
    const std::vector<Case> cases = {
        {"one frame", version, {{0x11, 0x01, 0x00, 0x17, 0x00}}, 0},
        {"two frames in one chunk",
         concat({version, status}),
         {{0x11, 0x01, 0x00, 0x17, 0x00}, {0x2D, 0x00, 0x01}},
         0},
        {"garbage before a frame",
         concat({{0x00, 0xA2, 0xB0, 0x55, 0xFF}, status}),
         {{0x2D, 0x00, 0x01}},
         0},
        {"A0 A0 A2 loses the frame",
         concat({{0xA0}, version, {0x00}, status}),
         {{0x2D, 0x00, 0x01}},
         0},
        {"wrong checksum", concat({bad_checksum, status}), {{0x2D, 0x00, 0x01}}, 0},
        {"B3 A2 header", b3_header, {{0x2D, 0x00, 0x01}}, 1},
        {"5121 bytes refused", concat({too_long, status}), {{0x2D, 0x00, 0x01}}, 0},
        {"5120 bytes accepted", max_len, {Bytes(5120, 0x01)}, 0},
        {"wrong end bytes resynchronise",
         concat({bad_end, version}),
         {{0x11, 0x01, 0x00, 0x17, 0x00}},
         0},
        {"empty payload", {0xA0, 0xA2, 0x00, 0x00, 0x00, 0x00, 0xB0, 0xB3}, {{}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Whole, and one byte at a time: the result may not depend on how reads cut the stream.
        Capture whole;
        whole.scanner.feed(c.stream);
        EXPECT_EQ(whole.payloads, c.expected);
        EXPECT_EQ(static_cast<int>(whole.log.size()), c.header_log_lines);
        if (c.header_log_lines > 0) {
            EXPECT_EQ(whole.log[0], "Error in header = 0xb3");
        }

        Capture bytewise;
        for (uint8_t b : c.stream)
            bytewise.scanner.feed(&b, 1);
        EXPECT_EQ(bytewise.payloads, c.expected);
    }
}

TEST(PacketScanner, ResetDropsAnUnfinishedFrame) {
    Capture capture;
    const Bytes frame = build_frame(Bytes{0x11, 0x41});
    capture.scanner.feed(frame.data(), 5);
    capture.scanner.reset();
    capture.scanner.feed(frame.data() + 5, frame.size() - 5);
    // The rest ends in B3, which the scanner takes for a possible header start; the byte after it
    // decides, and an A0 there would be dropped with it.
    capture.scanner.feed(Bytes{0x00});
    capture.scanner.feed(frame);
    EXPECT_EQ(capture.payloads, (std::vector<Bytes>{{0x11, 0x41}}));
}

// Streams made to fill the buffer: long announced lengths with wrong end bytes, and random bytes
// rich in header bytes. The scanner must never hold more than one whole frame.
TEST(PacketScanner, NeverHoldsMoreThanItsBuffer) {
    Capture capture;
    Bytes stream = {0xA0, 0xA2, 0x14, 0x00};  // 5120 bytes announced
    stream.insert(stream.end(), 6000, 0xA0);
    for (uint8_t b : stream) {
        capture.scanner.feed(&b, 1);
        ASSERT_LE(capture.scanner.buffered(), kScannerBufferSize);
    }

    std::mt19937 random(7);
    const uint8_t favourites[] = {0xA0, 0xA2, 0xB0, 0xB3, 0x14, 0x00, 0x13};
    for (int i = 0; i < 400000; ++i) {
        uint8_t b = static_cast<uint8_t>(random());
        if (b < 160)
            b = favourites[b % sizeof favourites];
        capture.scanner.feed(&b, 1);
        ASSERT_LE(capture.scanner.buffered(), kScannerBufferSize);
    }
    // And it still finds a good frame afterwards, once a header can be recognised again.
    capture.payloads.clear();
    capture.scanner.reset();
    capture.scanner.feed(build_frame(Bytes{0x2D, 0x01, 0x02}));
    EXPECT_EQ(capture.payloads, (std::vector<Bytes>{{0x2D, 0x01, 0x02}}));
}

}  // namespace
}  // namespace kestrun
