#include "scenario.h"

#include <cstdio>
#include <sstream>

#include "platform/byte_order.h"

namespace kestrun::clipsim {

namespace {

uint8_t bcd(int value) {
    return static_cast<uint8_t>(((value / 10) % 10) << 4 | (value % 10));
}

bool parse_time(const std::string& text, int& hundredths_total) {
    int h = 0, m = 0, s = 0, c = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d.%d%c", &h, &m, &s, &c, &tail) != 4)
        return false;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || c < 0 || c > 99)
        return false;
    hundredths_total = ((h * 60 + m) * 60 + s) * 100 + c;
    return true;
}

uint32_t lap_from_hundredths(int total) {
    return lap_value(total / 360000, total / 6000 % 60, total / 100 % 60, total % 100);
}

bool parse_hex_bytes(std::istringstream& in, uint8_t* out, int count) {
    for (int i = 0; i < count; ++i) {
        std::string word;
        unsigned value = 0;
        char tail = 0;
        if (!(in >> word) || std::sscanf(word.c_str(), "%x%c", &value, &tail) != 1 || value > 0xFF)
            return false;
        out[i] = static_cast<uint8_t>(value);
    }
    return true;
}

}  // namespace

uint32_t lap_value(int hours, int minutes, int seconds, int hundredths) {
    return uint32_t{bcd(hundredths)} | uint32_t{bcd(seconds)} << 8 | uint32_t{bcd(minutes)} << 16 |
           uint32_t{bcd(hours)} << 24;
}

Scenario parse_scenario(const std::string& text, std::string& error) {
    Scenario scenario;
    error.clear();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(number) + ": " + what;
        return scenario;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream in(line);
        std::string word;
        if (!(in >> word))
            continue;
        if (word == "id") {
            if (!parse_hex_bytes(in, scenario.identification.data(), 4))
                return fail("id needs four hex bytes");
        } else if (word == "session") {
            ScenarioSession session;
            std::string date, time;
            char tail = 0;
            if (!(in >> date >> time) ||
                std::sscanf(date.c_str(), "%d-%d-%d%c", &session.year, &session.month, &session.day,
                            &tail) != 3 ||
                std::sscanf(time.c_str(), "%d:%d:%d%c", &session.hour, &session.minute,
                            &session.second, &tail) != 3 ||
                session.year < 2000 || session.year > 2099)
                return fail("session needs YYYY-MM-DD hh:mm:ss");
            std::string key;
            while (in >> key) {
                std::string value;
                if (!(in >> value))
                    return fail(key + " needs a value");
                if (key == "slot") {
                    session.slot = std::atoi(value.c_str());
                    if (session.slot < 0 || session.slot > 98)
                        return fail("slot must be 0-98");
                } else if (key == "number") {
                    session.number = std::atoi(value.c_str());
                    if (session.number < 0 || session.number > 9999)
                        return fail("number must be 0-9999");
                } else if (key == "blocks") {
                    std::istringstream sizes(value);
                    std::string size;
                    while (std::getline(sizes, size, ',')) {
                        const int laps = std::atoi(size.c_str());
                        if (laps < 0 || laps > 65535)
                            return fail("bad block size");
                        session.block_sizes.push_back(laps);
                    }
                    if (session.block_sizes.empty())
                        return fail("blocks needs sizes");
                } else {
                    return fail("unknown session option " + key);
                }
            }
            scenario.sessions.push_back(session);
        } else if (word == "lap" || word == "laps" || word == "lap-bytes") {
            if (scenario.sessions.empty())
                return fail(word + " before any session");
            auto& laps = scenario.sessions.back().laps;
            if (word == "lap-bytes") {
                uint8_t bytes[4];
                if (!parse_hex_bytes(in, bytes, 4))
                    return fail("lap-bytes needs four hex bytes");
                laps.push_back(read_u32_le(bytes));
                continue;
            }
            int count = 1;
            if (word == "laps" && (!(in >> count) || count < 0))
                return fail("laps needs a count");
            std::string time;
            int hundredths = 0;
            if (!(in >> time) || !parse_time(time, hundredths))
                return fail("time must be h:mm:ss.hh");
            if (word == "lap") {
                laps.push_back(lap_from_hundredths(hundredths));
                continue;
            }
            // Continue from the last lap that has a decodable time.
            int last = 0;
            if (!laps.empty()) {
                const uint32_t v = laps.back();
                auto digit = [](uint32_t byte) {
                    return static_cast<int>((byte >> 4) * 10 + (byte & 15));
                };
                last = ((digit(v >> 24 & 0xFF) * 60 + digit(v >> 16 & 0xFF)) * 60 +
                        digit(v >> 8 & 0xFF)) *
                           100 +
                       digit(v & 0xFF);
            }
            for (int i = 0; i < count; ++i) {
                last += hundredths;
                if (last >= 24 * 360000)
                    return fail("laps run past 23:59:59.99");
                laps.push_back(lap_from_hundredths(last));
            }
        } else {
            return fail("unknown word " + word);
        }
    }
    return scenario;
}

MemoryImage build_image(const Scenario& scenario, std::string& error) {
    MemoryImage image;
    image.fill(0xFF);
    error.clear();
    bool used[99] = {};
    std::size_t next_block = kFirstBlockAddress;
    int next_slot = 0;
    for (const ScenarioSession& session : scenario.sessions) {
        int slot = session.slot;
        if (slot < 0) {
            while (next_slot < 99 && used[next_slot])
                ++next_slot;
            slot = next_slot;
        }
        if (slot >= 99 || used[slot]) {
            error = "no free directory slot for a session";
            return image;
        }
        used[slot] = true;

        // The chain: block sizes as given, the last one repeating, until every lap has a block.
        std::vector<int> sizes;
        const int total = static_cast<int>(session.laps.size());
        if (session.block_sizes.empty()) {
            sizes.push_back(total);
        } else {
            int placed = 0;
            std::size_t i = 0;
            do {
                const int size = session.block_sizes[std::min(i, session.block_sizes.size() - 1)];
                sizes.push_back(std::min(size, total - placed));
                placed += sizes.back();
                ++i;
                if (size == 0 && placed < total && i >= session.block_sizes.size()) {
                    error = "blocks of 0 laps cannot hold the session's laps";
                    return image;
                }
            } while (placed < total || i < session.block_sizes.size());
        }

        const std::size_t first = next_block;
        std::size_t lap = 0;
        for (std::size_t b = 0; b < sizes.size(); ++b) {
            const std::size_t block = next_block;
            const std::size_t size = 4 + 4 * static_cast<std::size_t>(sizes[b]);
            if (block + size > kImageSize) {
                error = "the laps do not fit into the 8 KB memory";
                return image;
            }
            next_block += size;
            const uint16_t next = b + 1 < sizes.size() ? static_cast<uint16_t>(next_block) : 0;
            write_u16_le(&image[block], next);
            write_u16_le(&image[block + 2], static_cast<uint16_t>(sizes[b]));
            for (int k = 0; k < sizes[b]; ++k)
                write_u32_le(&image[block + 4 + 4 * k], session.laps[lap++]);
        }

        uint8_t* entry = &image[16 * slot];
        const int number = session.number >= 0 ? session.number : slot + 1;
        write_u16_le(entry,
                     static_cast<uint16_t>(bcd(number % 100) | bcd(number / 100 % 100) << 8));
        write_u16_le(entry + 2,
                     static_cast<uint16_t>(bcd(total % 100) | bcd(total / 100 % 100) << 8));
        entry[4] = bcd(session.day);
        entry[5] = bcd(session.month);
        entry[6] = bcd(session.year - 2000);
        entry[7] = bcd(session.second);
        entry[8] = bcd(session.minute);
        entry[9] = bcd(session.hour);
        write_u16_le(entry + 10, static_cast<uint16_t>(first));
        entry[12] = entry[13] = entry[14] = entry[15] = 0;
    }
    std::copy(scenario.identification.begin(), scenario.identification.end(), image.begin() + 0x0C);
    return image;
}

}  // namespace kestrun::clipsim
