// Writes a small sample workout (Track Log v2.3U): a 5 km run of ten laps with a GPS track, for
// demonstrations and for trying the command line on a real file.
#include <cstdio>
#include <string>

#include "workout/file_writers.h"

int main(int argc, char** argv) {
    using namespace kestrun;
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrun-sample OUT.tkl\n");
        return 1;
    }
    Workout workout;
    workout.summary.set_start(26, 12, 10, 7, 30, 0);
    workout.summary.set_lap_count(10);
    workout.summary.set_total_time(0, 25, 0);
    workout.summary.set_total_distance(50000);
    workout.summary.set_heart_rates(150, 171, 120);
    for (int i = 1; i <= 10; ++i) {
        LapRecord lap;
        int seconds = i * 150 - (i % 3);
        lap.set_split(0, static_cast<uint8_t>(seconds / 60), static_cast<uint8_t>(seconds % 60),
                      static_cast<uint8_t>(0x10 * (i % 10) + 5));
        lap.set_distance(5000);
        lap.set_avg_heart_rate(static_cast<uint8_t>(140 + i));
        workout.add_lap(lap);
    }
    TrackLog track;
    for (int i = 0; i < 1500; ++i) {
        TrackPoint p;
        p.set_satellites(8);
        p.set_datetime(26, 12, 10, static_cast<uint8_t>(6 + (30 + i / 60) / 60),
                       static_cast<uint8_t>((30 + i / 60) % 60), static_cast<uint8_t>(i % 60));
        p.set_longitude(85400000 + i * 30);
        p.set_latitude(473700000 + i * 12);
        p.set_altitude(static_cast<int16_t>(410 + i % 40));
        p.set_speed(1200);
        p.set_step_distance(33);
        p.set_heart_rate(static_cast<uint8_t>(120 + i / 30));
        track.add(p);
    }
    if (write_track_log_v23_to(argv[1], workout, track, "Morning run", 1.0) != 0) {
        std::fprintf(stderr, "kestrun-sample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
