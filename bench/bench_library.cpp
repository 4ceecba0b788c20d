// Scanning libraries of 10,000 and 100,000 workout files over 20 years, with the workouts in
// the default activity or in the current one of ten activities, beside a bare walk of the same
// folders that collects and sorts the names.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "settings/library_state.h"
#include "support.h"
#include "workout/library.h"

namespace {

using namespace kestrun;
namespace fs = std::filesystem;

struct Root {
    std::string path;
    Root() {
        std::string pattern = (fs::temp_directory_path() / "kestrun-bench-library-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~Root() { fs::remove_all(path); }
};

Root& root() {
    static Root instance;
    return instance;
}

void touch(const std::string& path) {
    int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd >= 0)
        ::close(fd);
}

// Writes `files` workout names spread over the months of 2001..2020 below `folder`.
void fill(const std::string& folder, int files) {
    const int months = 20 * 12;
    for (int m = 0; m < months; ++m) {
        char year[8];
        char month[4];
        std::snprintf(year, sizeof year, "%04d", 2001 + m / 12);
        std::snprintf(month, sizeof month, "%02d", 1 + m % 12);
        std::string dir = folder + "/" + year + "/" + month;
        fs::create_directories(dir);
        int here = files / months + (m < files % months ? 1 : 0);
        for (int i = 0; i < here; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "%s%s%02d%02d%02d%02d.%s", year, month, 1 + i % 28,
                          i / 28 % 24, i / 672 % 60, i % 60, i % 7 == 0 ? "ss" : "tkl");
            touch(dir + "/" + name);
        }
    }
}

// The paths of a generated library: `files` workouts in the current workout folder.
LibraryPaths library(int files, bool activities) {
    static std::map<std::pair<int, bool>, LibraryPaths> made;
    auto key = std::make_pair(files, activities);
    if (auto it = made.find(key); it != made.end())
        return it->second;
    LibraryPaths paths;
    paths.data_path = root().path + "/" + std::to_string(files) + (activities ? "a" : "d");
    fs::create_directories(paths.user_folder() + "/PathLib");
    fs::create_directories(paths.user_folder() + "/ActivityLib");
    if (activities) {
        paths.current_activity = "Running";
        for (int a = 0; a < 9; ++a)
            fill(paths.user_folder() + "/Other" + std::to_string(a) + ".act", 100);
    }
    fill(paths.workout_folder(), files);
    made[key] = paths;
    return paths;
}

void BM_ScanLibrary(benchmark::State& state) {
    LibraryPaths paths = library(static_cast<int>(state.range(0)), state.range(1) != 0);
    library_state().set_paths(paths);
    for (auto _ : state) {
        scan_library();
        benchmark::DoNotOptimize(library_index().years.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The floor: every name below the workout folder collected and sorted.
void BM_ScanFloor(benchmark::State& state) {
    LibraryPaths paths = library(static_cast<int>(state.range(0)), state.range(1) != 0);
    const std::string folder = paths.workout_folder();
    for (auto _ : state) {
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(folder, ec), end; it != end; it.increment(ec)) {
            if (it->is_directory() && it->path().extension() == ".act") {
                it.disable_recursion_pending();
                continue;
            }
            names.push_back(it->path().filename().string());
        }
        std::sort(names.begin(), names.end(), std::greater<>());
        benchmark::DoNotOptimize(names.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ScanLibrary)
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->ArgNames({"files", "activities"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ScanFloor)
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->ArgNames({"files", "activities"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
