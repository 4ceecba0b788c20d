// Feeds arbitrary bytes to the workout file readers as ".tkl" and ".ss" files: no input may crash
// them or make them read outside their buffers.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "workout/session_file.h"
#include "workout/track_log_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace kestrun;
    static const std::string folder = [] {
        char pattern[] = "/tmp/kestrun-fuzz-XXXXXX";
        return std::string(::mkdtemp(pattern));
    }();
    for (const char* name : {"/input.tkl", "/input.ss"}) {
        std::string path = folder + name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return 0;
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    TrackLog track;
    Workout workout;
    HeaderTimeShift shift;
    std::string text;
    read_track_log(folder + "/input.tkl", &track, &workout, &shift, &text);
    effective_start_time(workout.summary, shift);
    read_session_file(folder + "/input.ss", &workout, &text);
    return 0;
}
