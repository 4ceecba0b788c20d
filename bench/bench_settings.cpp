// The settings start runs before every command-line command and every diagnostic line reads the
// registry store anew; these measure what that costs.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/debug_print.h"
#include "settings/language.h"
#include "settings/settings_start.h"
#include "settings/settings_store.h"
#include "ui/string_ids.h"

namespace {

// A program folder, registry store and data folder of their own, with the shipped languages.
struct BenchFolders {
    BenchFolders() {
        char pattern[] = "/tmp/kestrun-bench-XXXXXX";
        root = ::mkdtemp(pattern);
        std::filesystem::create_directories(root + "/prog");
        ::setenv("KESTRUN_PROGRAM_DIR", (root + "/prog").c_str(), 1);
        ::setenv("KESTRUN_REGISTRY", (root + "/registry.ini").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        std::error_code error;
        // The shipped language files, beside this folder in the source tree.
        std::filesystem::copy(std::filesystem::path(__FILE__).parent_path().parent_path() / "Lang",
                              root + "/prog/Lang", error);
    }
    ~BenchFolders() {
        std::error_code error;
        std::filesystem::remove_all(root, error);
    }
    std::string root;
};

void BM_SettingsStart(benchmark::State& state) {
    BenchFolders folders;
    kestrun::AppSettings settings;
    kestrun::run_settings_start(settings, {});
    settings.current_user = "user";
    kestrun::SaveSettings(settings);
    for (auto _ : state) {
        kestrun::AppSettings loaded;
        kestrun::run_settings_start(loaded, {});
        benchmark::DoNotOptimize(loaded.data_path);
    }
}
BENCHMARK(BM_SettingsStart)->Unit(benchmark::kMillisecond);

void BM_SaveSettings(benchmark::State& state) {
    BenchFolders folders;
    kestrun::AppSettings settings;
    kestrun::run_settings_start(settings, {});
    for (auto _ : state)
        kestrun::SaveSettings(settings);
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond);

void BM_GetTextTranslated(benchmark::State& state) {
    BenchFolders folders;
    for (const kestrun::LanguageRecord& record : kestrun::ListLanguages()) {
        if (record.code == "de")
            kestrun::SelectLanguage(record);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(kestrun::GetText(kestrun::kStrLapTime));
    kestrun::UseBuiltInEnglish();
}
BENCHMARK(BM_GetTextTranslated);

void BM_LoadTranslation(benchmark::State& state) {
    BenchFolders folders;
    const std::string file = folders.root + "/prog/Lang/de.ini";
    std::vector<kestrun::TranslationEntry> table;
    for (auto _ : state)
        kestrun::read_translation(file, table);
    state.counters["texts"] = static_cast<double>(table.size());
}
BENCHMARK(BM_LoadTranslation)->Unit(benchmark::kMicrosecond);

void BM_DebugPrintSwitchedOff(benchmark::State& state) {
    BenchFolders folders;
    for (auto _ : state)
        kestrun::DebugPrint("Segment %d , Lap = %d", 1, 20);
}
BENCHMARK(BM_DebugPrintSwitchedOff)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
