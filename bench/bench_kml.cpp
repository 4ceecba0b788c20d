// KML export of tracks of 100,000 and 1,000,000 points (read the track log, prepare its tracks,
// write the document), beside a floor that reads the same file and writes one "%.7f,%.7f,%d"
// line per point with std::to_chars and the same distance thinning.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "export/kml_writer.h"
#include "export/point_distance.h"
#include "platform/byte_order.h"
#include "settings/library_state.h"
#include "support.h"
#include "workout/stored_datetime.h"
#include "workout/track_filters.h"
#include "workout/track_log_file.h"

namespace {

using namespace kestrun;

struct Folder {
    std::string path;
    Folder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kestrun-bench-kml-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        LibraryPaths paths;
        paths.data_path = path;
        library_state().set_paths(paths);
        ::mkdir(library_state().workout_folder().c_str(), 0777);
    }
    ~Folder() { std::filesystem::remove_all(path); }
};

Folder& folder() {
    static Folder instance;
    return instance;
}

// A walk of one point a second, about 2 m apart, with a pause every so often (points closer
// than the minimum distance, which the thinning drops).
std::string track_file(std::size_t points) {
    static std::map<std::size_t, std::string> files;
    auto it = files.find(points);
    if (it != files.end())
        return it->second;
    folder();
    Workout workout;
    workout.summary.set_start(11, 2, 7, 8, 25, 50);
    TrackLog track;
    track.reserve(points);
    const StoredDateTime start{11, 2, 7, 7, 25, 50};
    int32_t lon = 80000000;
    int32_t lat = 470000000;
    for (std::size_t i = 0; i < points; ++i) {
        TrackPoint p;
        auto t = shift_datetime(start, static_cast<int64_t>(i));
        p.set_datetime(t->year, t->month, t->day, t->hour, t->minute, t->second);
        p.set_satellites(7);
        bool paused = i % 50 >= 45;
        lon += paused ? 1 : 180;
        lat += paused ? 1 : 110;
        p.set_longitude(lon);
        p.set_latitude(lat);
        p.set_altitude(static_cast<int16_t>(400 + i % 300));
        p.set_speed(paused ? 0 : 800);
        p.set_step_distance(paused ? 1 : 22);
        p.set_heart_rate(static_cast<uint8_t>(120 + i % 40));
        track.add(p);
    }
    std::string name;
    write_track_log(workout, track, "bench", 1.0, name);
    std::string path = library_state().workout_folder() + "/" + name.substr(0, 4) + "/" +
                       name.substr(4, 2) + "/" + name;
    std::string kept = folder().path + "/track" + std::to_string(points) + ".tkl";
    std::filesystem::rename(path, kept);
    files[points] = kept;
    return kept;
}

void report(benchmark::State& state, std::size_t points, const std::string& out) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * points));
    state.counters["kml_MB"] = static_cast<double>(std::filesystem::file_size(out)) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(bench::peak_resident_bytes()) / 1e6;
}

void BM_KmlExport(benchmark::State& state) {
    auto points = static_cast<std::size_t>(state.range(0));
    const std::string in = track_file(points);
    const std::string out = folder().path + "/export.kml";
    bench::reset_peak_resident();
    for (auto _ : state) {
        TrackLog raw;
        Workout workout;
        HeaderTimeShift shift;
        std::string name;
        read_track_log(in, &raw, &workout, &shift, &name);
        TrackLog display =
            prepare_display_track(std::move(raw), workout, shift, TrackFilterSettings{});
        int result = write_workout_kml(&display, out, KmlOptions{}, KmlUser{});
        benchmark::DoNotOptimize(result);
    }
    report(state, points, out);
}

// The floor: the file read whole, each point slot decoded, thinned by the same distance test,
// and one coordinate line written per kept point.
void BM_KmlFloor(benchmark::State& state) {
    auto points = static_cast<std::size_t>(state.range(0));
    const std::string in = track_file(points);
    const std::string out = folder().path + "/floor.txt";
    bench::reset_peak_resident();
    for (auto _ : state) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(in.c_str(), "rb"),
                                                             &std::fclose);
        std::vector<uint8_t> bytes(std::filesystem::file_size(in));
        std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
        std::size_t offset = 48 + 144 + 16 + 48;  // header, name, counts, summary (no laps)
        std::size_t count = read_u32_le(&bytes[48 + 144]);
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> output(std::fopen(out.c_str(), "wb"),
                                                               &std::fclose);
        std::vector<char> text;
        text.reserve(1 << 16);
        char line[96];
        int32_t last_lon = 0;
        int32_t last_lat = 0;
        bool any = false;
        for (std::size_t i = 0; i < count && offset + 25 <= got; ++i, offset += 32) {
            const uint8_t* p = &bytes[offset];
            int32_t lon = read_i32_le(p + 8);
            int32_t lat = read_i32_le(p + 12);
            int16_t alt = read_i16_le(p + 16);
            if (lon == 2000000000)
                continue;
            if (any && i + 1 != count && point_distance_dm(last_lon, last_lat, lon, lat) < 5.0) {
                continue;
            }
            char* at =
                std::to_chars(line, line + 40, lon / 10000000.0, std::chars_format::fixed, 7).ptr;
            *at++ = ',';
            at = std::to_chars(at, line + 80, lat / 10000000.0, std::chars_format::fixed, 7).ptr;
            *at++ = ',';
            at = std::to_chars(at, line + 94, int{alt}).ptr;
            *at++ = '\n';
            text.insert(text.end(), line, at);
            if (text.size() >= (1 << 16) - 96) {
                std::fwrite(text.data(), 1, text.size(), output.get());
                text.clear();
            }
            last_lon = lon;
            last_lat = lat;
            any = true;
        }
        std::fwrite(text.data(), 1, text.size(), output.get());
        benchmark::DoNotOptimize(text.data());
    }
    report(state, points, out);
}

BENCHMARK(BM_KmlExport)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KmlFloor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
