// Writing and reading back Track Log v2.3U files of 10,000 and 1,000,000 points, against copying
// a file of the same size with the standard library.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/library_state.h"
#include "support.h"
#include "workout/track_log_file.h"

namespace {

using namespace kestrun;

struct Library {
    std::string folder;
    Library() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kestrun-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        LibraryPaths paths;
        paths.data_path = folder;
        library_state().set_paths(paths);
        ::mkdir(library_state().workout_folder().c_str(), 0777);
    }
    ~Library() { std::filesystem::remove_all(folder); }
};

Library& library() {
    static Library instance;
    return instance;
}

void make_workout(std::size_t points, Workout& workout, TrackLog& track) {
    workout.summary.set_start(11, 2, 7, 8, 25, 50);
    workout.summary.set_lap_count(10);
    for (int i = 0; i < 10; ++i) {
        LapRecord lap;
        lap.set_split(0, static_cast<uint8_t>(i), 0, 0);
        workout.add_lap(lap);
    }
    track.reserve(points);
    for (std::size_t i = 0; i < points; ++i) {
        TrackPoint p;
        p.set_datetime(11, 2, 7, static_cast<uint8_t>(8 + i / 3600 % 16),
                       static_cast<uint8_t>(i / 60 % 60), static_cast<uint8_t>(i % 60));
        p.set_longitude(static_cast<int32_t>(80000000 + i));
        p.set_latitude(static_cast<int32_t>(470000000 + i));
        p.set_speed(1200);
        p.set_step_distance(33);
        p.set_heart_rate(140);
        track.add(p);
    }
}

std::string written_path(const std::string& file_name) {
    return library_state().workout_folder() + "/" + file_name.substr(0, 4) + "/" +
           file_name.substr(4, 2) + "/" + file_name;
}

void report(benchmark::State& state, std::size_t points, const std::string& path) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * points));
    state.SetBytesProcessed(
        static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(bench::peak_resident_bytes()) / 1e6;
}

void BM_WriteTrackLog(benchmark::State& state) {
    library();
    auto points = static_cast<std::size_t>(state.range(0));
    Workout workout;
    TrackLog track;
    make_workout(points, workout, track);
    std::string file_name;
    for (auto _ : state) {
        if (write_track_log(workout, track, "bench", 1.0, file_name) != 0)
            state.SkipWithError("write failed");
    }
    report(state, points, written_path(file_name));
}

void BM_ReadTrackLog(benchmark::State& state) {
    library();
    auto points = static_cast<std::size_t>(state.range(0));
    std::string file_name;
    {
        Workout workout;
        TrackLog track;
        make_workout(points, workout, track);
        write_track_log(workout, track, "bench", 1.0, file_name);
    }
    std::string path = written_path(file_name);
    bench::reset_peak_resident();
    std::size_t base = bench::peak_resident_bytes();
    for (auto _ : state) {
        TrackLog track;
        Workout workout;
        HeaderTimeShift shift;
        std::string name;
        if (read_track_log(path, &track, &workout, &shift, &name) != 0)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(track.size());
    }
    report(state, points, path);
    state.counters["read_peak_growth_MB"] =
        static_cast<double>(bench::peak_resident_bytes() - base) / 1e6;
}

// The yardstick: the same number of bytes copied with the standard library.
void BM_CopyFileSameSize(benchmark::State& state) {
    library();
    auto points = static_cast<std::size_t>(state.range(0));
    std::string source = library().folder + "/source.bin";
    std::size_t size = 48 + 144 + 16 + 48 + 10 * 16 + points * 32;
    {
        std::ofstream out(source, std::ios::binary);
        std::string block(size, 'x');
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    std::string target = library().folder + "/copy.bin";
    for (auto _ : state) {
        std::filesystem::copy_file(source, target,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * points));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

// Writers flush the file to disk before renaming it over the old one; the synced copy is the
// yardstick with the same durability.
void BM_CopyFileSameSizeSynced(benchmark::State& state) {
    library();
    auto points = static_cast<std::size_t>(state.range(0));
    std::size_t size = 48 + 144 + 16 + 48 + 10 * 16 + points * 32;
    std::string source = library().folder + "/source.bin";
    std::string target = library().folder + "/copy.bin";
    for (auto _ : state) {
        std::filesystem::copy_file(source, target,
                                   std::filesystem::copy_options::overwrite_existing);
        int fd = ::open(target.c_str(), O_RDONLY);
        ::fsync(fd);
        ::close(fd);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * points));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

BENCHMARK(BM_WriteTrackLog)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadTrackLog)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyFileSameSize)
    ->Arg(10000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CopyFileSameSizeSynced)
    ->Arg(10000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
