#include "workout/track_log_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/atomic_file.h"
#include "platform/byte_order.h"
#include "platform/debug_print.h"
#include "platform/text_encoding.h"
#include "settings/library_state.h"
#include "workout/file_writers.h"
#include "workout/record_io.h"
#include "workout/stored_datetime.h"
#include "workout/value_rules.h"

namespace kestrun {

namespace {

std::atomic<double> g_firmware_version{0.0};

constexpr uint8_t kPointPadding[7] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};

void fill_header(uint8_t* header, std::string_view text, std::string_view trailer,
                 const HeaderShiftBytes& shift) {
    std::memset(header, 0, kHeaderSize);
    std::memcpy(header, text.data(), text.size());
    if (shift.present) {
        // A marked header keeps zeros up to the marker, as the stopwatch files have it.
        std::memcpy(header + 32, shift.bytes, 16);
    } else {
        std::memcpy(header + text.size(), trailer.data(), trailer.size());
    }
}

// The count block; the "LAP" marker carries the lap count whenever the summary's 8-bit count
// would not read the list back whole.
bool fill_count_block(uint8_t* block, std::size_t points, std::size_t laps, bool lap_marker) {
    std::memset(block, 0, kCountBlockSize);
    if (points > UINT32_MAX || laps > UINT16_MAX)
        return false;
    write_u32_le(block, static_cast<uint32_t>(points));
    if (lap_marker) {
        std::memcpy(block + 4, "LAP", 4);
        write_u16_le(block + 8, static_cast<uint16_t>(laps));
    }
    return true;
}

bool write_points(AtomicFileWriter& out, const TrackLog& track) {
    for (const TrackPoint& point : track.points()) {
        out.write(point.bytes.data(), TrackPoint::kSize);
        if (!out.write(kPointPadding, sizeof kPointPadding))
            return false;
    }
    return true;
}

uint8_t from_bcd(uint8_t value) {
    return static_cast<uint8_t>((value >> 4) * 10 + (value & 0x0F));
}

LapRecord lap_from_session(uint32_t value) {
    LapRecord lap;
    lap.set_split(from_bcd(static_cast<uint8_t>(value >> 24)),
                  from_bcd(static_cast<uint8_t>(value >> 16)),
                  from_bcd(static_cast<uint8_t>(value >> 8)), static_cast<uint8_t>(value));
    return lap;
}

// Writes one stopwatch session file to `path` with `name`.
int write_session_file(const std::string& path, const StopwatchSession& session,
                       const std::string& name) {
    uint8_t header[kHeaderSize] = {};
    std::memcpy(header, kTrackLogV23Text.data(), kTrackLogV23Text.size());
    std::memcpy(header + 32, "PAT", 4);
    std::memset(header + 36, 0xFF, 12);  // both shift times invalid

    uint8_t name_block[kLongNameBlockSize];
    build_long_name_block(name_block, format_firmware_version(1.0), name);

    uint8_t count_block[kCountBlockSize];
    if (!fill_count_block(count_block, 0, session.laps.size(), true))
        return kWriteFailed;

    SessionSummary summary;
    const auto& s = session.start;
    summary.set_start(s[0], s[1], s[2], s[3], s[4], s[5]);
    summary.set_lap_count(static_cast<uint8_t>(session.laps.size() % 256));

    AtomicFileWriter out;
    if (!out.open(path))
        return kWriteFailed;
    out.write(header, sizeof header);
    out.write(name_block, sizeof name_block);
    out.write(count_block, sizeof count_block);
    out.write(summary.bytes.data(), SessionSummary::kSize);
    for (uint32_t value : session.laps)
        out.write(lap_from_session(value).bytes.data(), LapRecord::kSize);
    return out.commit() ? kWriteOk : kWriteFailed;
}

// The laps a session would be written with equal the laps of the file already there.
bool same_laps(const StopwatchSession& session, const Workout& existing) {
    if (existing.lap_count_in_list() != session.laps.size())
        return false;
    for (std::size_t i = 0; i < session.laps.size(); ++i) {
        if (!(existing.lap(i) == lap_from_session(session.laps[i])))
            return false;
    }
    return true;
}

}  // namespace

double last_firmware_version() {
    return g_firmware_version.load();
}

bool ensure_subfolder(const std::string& base, const std::string& name) {
    if (!is_directory(base))
        return false;
    std::string path = base + "/" + name;
    if (is_directory(path))
        return true;
    return ::mkdir(path.c_str(), 0777) == 0 || is_directory(path);
}

int prepare_workout_path(const std::string& workout_folder, const std::string& file_name,
                         std::string& full_path, int year_failure, int month_failure) {
    std::string year = file_name.substr(0, 4);
    std::string month = file_name.substr(4, 2);
    if (!ensure_subfolder(workout_folder, year))
        return year_failure;
    std::string year_folder = workout_folder + "/" + year;
    if (!ensure_subfolder(year_folder, month))
        return month_failure;
    full_path = year_folder + "/" + month + "/" + file_name;
    return 0;
}

int read_track_log(const std::string& path, TrackLog* track, Workout* workout,
                   HeaderTimeShift* time_shift, std::string* name) {
    g_firmware_version = 0.0;
    if (track)
        track->clear();
    if (workout)
        workout->clear();
    if (!track || !workout || !time_shift || !name || path.empty())
        return kReadBadArguments;
    name->clear();
    *time_shift = HeaderTimeShift{};

    int kind = 0;
    int version = 0;
    if (detect_workout_file(path, kind, version) < 0)
        return kReadBadArguments;

    RecordReader in;
    if (!in.open(path))
        return kReadCannotOpen;

    uint8_t header[kHeaderSize];
    if (!in.read(header, sizeof header))
        return kReadTooShort;

    if (version_has_name_block(kind, version)) {
        uint8_t block[kLongNameBlockSize] = {};
        std::size_t size = name_block_size(kind, version);
        if (!in.read(block, size))
            return kReadTooShort;
        if (version_has_firmware(kind, version))
            g_firmware_version = parse_firmware_version(block);
        *name = parse_name(block, size, version_has_utf16_name(kind, version));
    }

    *time_shift = parse_header_time_shift(header);

    uint8_t count_block[kCountBlockSize];
    if (!in.read(count_block, sizeof count_block))
        return kReadTooShort;
    uint32_t point_count = read_u32_le(count_block);
    bool lap_marker = std::memcmp(count_block + 4, "LAP", 4) == 0;

    // A version without a summary leaves none behind from an earlier read.
    workout->summary = SessionSummary{};
    if (version_has_summary(kind, version)) {
        if (!in.read(workout->summary.bytes.data(), SessionSummary::kSize))
            return kReadTooShort;
        std::size_t lap_count =
            lap_marker ? read_u16_le(count_block + 8) : workout->summary.lap_count();
        workout->reserve_laps(std::min<uint64_t>(lap_count, in.remaining() / LapRecord::kSize));
        for (std::size_t i = 0; i < lap_count; ++i) {
            LapRecord lap;
            if (!in.read(lap.bytes.data(), LapRecord::kSize))
                return kReadTruncated;
            workout->add_lap(lap);
        }
    }

    // The count is the file's word, not ours: never reserve more than the bytes can hold.
    track->reserve(std::min<uint64_t>(point_count, in.remaining() / kPointSlotSize + 1));
    for (uint32_t i = 0; i < point_count; ++i) {
        TrackPoint point;
        if (!in.read(point.bytes.data(), TrackPoint::kSize))
            return kReadTruncated;
        track->add(point);
        if (!in.skip(kPointSlotSize - TrackPoint::kSize) && i + 1 < point_count)
            return kReadTruncated;
    }
    return kReadOk;
}

namespace {

// Header, name block and count block, then the summary and laps when there is a workout, then the
// points; committed only when every byte is written.
int write_track_file(const std::string& path, const uint8_t* header, const uint8_t* name_block,
                     const uint8_t* count_block, const Workout* workout, const TrackLog& track) {
    AtomicFileWriter out;
    if (!out.open(path))
        return kWriteFailed;
    out.write(header, kHeaderSize);
    out.write(name_block, kLongNameBlockSize);
    out.write(count_block, kCountBlockSize);
    if (workout) {
        out.write(workout->summary.bytes.data(), SessionSummary::kSize);
        for (const LapRecord& lap : workout->laps())
            out.write(lap.bytes.data(), LapRecord::kSize);
    }
    write_points(out, track);
    return out.commit() ? kWriteOk : kWriteFailed;
}

// The path of a new track log in the workout folder, named by `bare_name` once the track is
// known to have points, with its year and month folders made.
int library_target(const TrackLog& track, const std::function<std::string()>& bare_name,
                   std::string& bare, std::string& path) {
    std::string folder = library_state().workout_folder();
    if (!is_directory(folder))
        return kWriteNoFolder;
    if (track.empty())
        return kWriteEmptyTrack;
    bare = bare_name();
    return prepare_workout_path(folder, bare, path);
}

}  // namespace

int write_track_log_v23_to(const std::string& path, const Workout& workout, const TrackLog& track,
                           const std::string& name, double firmware_version,
                           const HeaderShiftBytes& shift) {
    uint8_t header[kHeaderSize];
    fill_header(header, kTrackLogV23Text, std::string_view("\x0D\x0A\x1A\xAA\x55\x01\x01", 7),
                shift);
    uint8_t name_block[kLongNameBlockSize];
    build_long_name_block(name_block, format_firmware_version(firmware_version), name);
    uint8_t count_block[kCountBlockSize];
    std::size_t laps = workout.lap_count_in_list();
    if (!fill_count_block(count_block, track.size(), laps, laps != workout.summary.lap_count()))
        return kWriteFailed;
    return write_track_file(path, header, name_block, count_block, &workout, track);
}

int write_track_only_v30_to(const std::string& path, const TrackLog& track, const std::string& name,
                            const HeaderShiftBytes& shift) {
    uint8_t header[kHeaderSize];
    fill_header(header, kTrackLogV30Text, std::string_view("\x0A\x1A\xAA\x55\x01\x01", 6), shift);
    uint8_t name_block[kLongNameBlockSize];
    build_long_name_block(name_block, {}, name);
    uint8_t count_block[kCountBlockSize];
    if (!fill_count_block(count_block, track.size(), 0, false))
        return kWriteFailed;
    return write_track_file(path, header, name_block, count_block, nullptr, track);
}

int write_track_log(const Workout& workout, const TrackLog& track, const std::string& name,
                    double firmware_version, std::string& file_name) {
    std::string bare;
    std::string path;
    auto named = [&] { return start_file_name(summary_start(workout.summary), "tkl"); };
    if (int result = library_target(track, named, bare, path); result != 0)
        return result;
    int result = write_track_log_v23_to(path, workout, track, name, firmware_version);
    if (result == kWriteOk)
        file_name = bare;
    return result;
}

int write_track_only_log(const TrackLog& track, const std::string& name, int32_t time_zone_offset,
                         std::string* file_name) {
    // Named after the first point's local time, so the name and the folders follow the user's
    // calendar; a point without a valid time gives its stored fields.
    auto named = [&] {
        const TrackPoint& first = track.at(0);
        StoredDateTime when{first.year(), first.month(),  first.day(),
                            first.hour(), first.minute(), first.second()};
        if (has_valid_datetime(first)) {
            if (auto local = shift_datetime(when, time_zone_offset))
                when = *local;
        }
        return start_file_name(when, "tkl");
    };
    std::string bare;
    std::string path;
    if (int result = library_target(track, named, bare, path); result != 0)
        return result;
    int result = write_track_only_v30_to(path, track, name);
    if (result == kWriteOk && file_name)
        *file_name = bare;
    return result;
}

int write_stopwatch_sessions(const std::vector<StopwatchSession>& sessions,
                             std::vector<std::string>& saved_paths) {
    saved_paths.clear();
    int result = kWriteOk;
    for (const StopwatchSession& session : sessions) {
        std::string folder = library_state().workout_folder();
        if (!is_directory(folder))
            return kWriteNoFolder;
        const auto& s = session.start;
        char bare[64];
        std::snprintf(bare, sizeof bare, "%d%02d%02d%02d%02d%02d.tkl", s[0] + 2000, s[1], s[2],
                      s[3], s[4], s[5]);
        std::string path;
        if (int prepared = prepare_workout_path(folder, bare, path); prepared != 0)
            return prepared;

        // A session downloaded again keeps the name the user gave its file; when its laps are
        // the file's laps, the file is left as it is.
        std::string name;
        bool exists = file_exists(path);
        DebugPrint("%s -> %s", bare, exists ? "file exist" : "save");
        if (exists) {
            TrackLog points;
            Workout existing;
            HeaderTimeShift shift;
            if (read_track_log(path, &points, &existing, &shift, &name) == kReadOk &&
                points.empty() && same_laps(session, existing)) {
                saved_paths.push_back(path);
                continue;
            }
        }
        if (write_session_file(path, session, name) == kWriteOk) {
            saved_paths.push_back(path);
        } else {
            result = kWriteFailed;
        }
    }
    return result;
}

int write_stopwatch_sessions(std::vector<std::string>& saved_paths) {
    return write_stopwatch_sessions(session_table().snapshot(), saved_paths);
}

int is_lap_marked_file(const std::string& path) {
    if (path.empty())
        return -1;
    if (file_extension(path) != "tkl")
        return -2;
    RecordReader in;
    if (!in.open(path))
        return -3;
    uint8_t marker[4] = {};
    constexpr std::size_t kMarkerOffset = kHeaderSize + kLongNameBlockSize + 4;
    if (!in.skip(kMarkerOffset) || !in.read(marker, sizeof marker))
        return 99;
    return std::memcmp(marker, "LAP", 4) == 0 ? 0 : 99;
}

int rewrite_name(const std::string& path, const std::string& name) {
    if (path.empty())
        return -1;
    RecordReader in;
    if (!in.open(path))
        return -1;
    uint8_t head[kHeaderSize + kLongNameBlockSize];
    if (!in.read(head, sizeof head))
        return -1;
    uint8_t* area = head + kHeaderSize + 16;
    std::memset(area, 0, 128);
    utf8_to_utf16le_bytes(name, area, kMaxNameUnits);

    // The whole file is copied with the new name and renamed over the old one, so a failure
    // never leaves half a name.
    AtomicFileWriter out;
    if (!out.open(path))
        return -1;
    out.write(head, sizeof head);
    uint8_t chunk[65536];
    for (;;) {
        std::size_t take =
            static_cast<std::size_t>(std::min<uint64_t>(sizeof chunk, in.remaining()));
        if (take == 0) {
            // remaining() may not know a special file's size; finish byte by byte.
            uint8_t byte;
            if (!in.read(&byte, 1))
                break;
            out.write(&byte, 1);
            continue;
        }
        if (!in.read(chunk, take))
            return -1;
        out.write(chunk, take);
    }
    return out.commit() ? 0 : -1;
}

}  // namespace kestrun
