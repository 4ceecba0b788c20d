#include "export/lap_export.h"

#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/text_encoding.h"
#include "settings/language.h"
#include "ui/string_ids.h"
#include "workout/file_copy.h"
#include "workout/statistics.h"
#include "workout/value_rules.h"

namespace kestrun {
namespace {

std::string format(const char* fmt, auto... args) {
    int n = std::snprintf(nullptr, 0, fmt, args...);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, args...);
    return out;
}

std::string lower_extension(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return ext;
}

class Utf16Lines {
public:
    void add(const std::string& utf8) {
        for (char16_t unit : utf8_to_utf16(utf8)) {
            bytes_.push_back(static_cast<uint8_t>(unit & 0xFF));
            bytes_.push_back(static_cast<uint8_t>(unit >> 8));
        }
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_{0xFF, 0xFE};
};

}  // namespace

int write_lap_csv(const Workout* workout, const std::string& path) {
    if (!workout || path.empty())
        return kLapCsvBadArguments;
    const SessionSummary& s = workout->summary;
    Utf16Lines out;
    out.add(format("\"%s\"\t\"%d/%02d/%02d %02d:%02d:%02d\"\r\n\r\n", GetText(kStrDate).c_str(),
                   s.start_year() + 2000, s.start_month(), s.start_day(), s.start_hour(),
                   s.start_minute(), s.start_second()));
    out.add(format("\"%s\"\t\"%s\"\t\"%s\"\r\n", GetText(kStrLap).c_str(),
                   GetText(kStrLapTime).c_str(), GetText(kStrSplitTime).c_str()));

    const std::size_t n = workout->lap_count_in_list();
    std::size_t fastest = 0;
    uint32_t fastest_duration = 0;
    double total = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const LapRecord& lap = workout->lap(i);
        uint32_t d = lap_duration(*workout, i);
        SplitTime t = split_hundredths(d);
        out.add(format("\"%d\"\t\"%d:%02d:%02d.%02d\"\t\"%d:%02d:%02d.%02d\"\r\n",
                       static_cast<int>(i + 1), int{t.hours}, static_cast<int>(t.minutes),
                       static_cast<int>(t.seconds), static_cast<int>(t.hundredths),
                       int{lap.split_hours()}, int{lap.split_minutes()}, int{lap.split_seconds()},
                       decode_hundredths(lap.split_hundredths())));
        // Of equal durations the later lap is the fastest.
        if (i == 0 || d <= fastest_duration) {
            fastest = i;
            fastest_duration = d;
        }
        total += d;
    }
    out.add("\r\n");

    if (n == 0) {
        // Without laps there is no total, fastest or average lap to state.
        for (int id : {kStrTotalTime, kStrFastLap, kStrAverageLapTime}) {
            out.add(format("\"%s\"\t\"---\"\r\n", GetText(id).c_str()));
        }
    } else {
        SplitTime t = split_hundredths(lap_cumulative(workout->lap(n - 1)));
        out.add(format("\"%s\"\t\"%02u:%02u:%02u.%02u\"\r\n", GetText(kStrTotalTime).c_str(),
                       unsigned{t.hours}, t.minutes, t.seconds, t.hundredths));
        SplitTime f = split_hundredths(fastest_duration);
        if (f.hours != 0) {
            out.add(format("\"%s\"\t\"%d ( %02u:%02u:%02u.%02u )\"\r\n",
                           GetText(kStrFastLap).c_str(), static_cast<int>(fastest + 1),
                           unsigned{f.hours}, f.minutes, f.seconds, f.hundredths));
        } else {
            out.add(format("\"%s\"\t\"%d ( %02u:%02u.%02u )\"\r\n", GetText(kStrFastLap).c_str(),
                           static_cast<int>(fastest + 1), f.minutes, f.seconds, f.hundredths));
        }
        SplitTime a = split_hundredths(static_cast<uint32_t>(total / static_cast<double>(n)));
        out.add(format("\"%s\"\t\"%02u:%02u:%02u.%02u\"\r\n", GetText(kStrAverageLapTime).c_str(),
                       unsigned{a.hours}, a.minutes, a.seconds, a.hundredths));
    }
    return write_file_atomically(path, out.bytes()) == 0 ? kLapCsvWritten : kLapCsvCannotWrite;
}

std::string export_proposed_name(const std::string& selected_file) {
    std::string name = selected_file.substr(selected_file.find_last_of('/') + 1);
    auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

LapExportResult export_workout_file(const std::string& selected_file,
                                    const std::string& chosen_path, const Workout* workout) {
    LapExportResult result;
    if (lower_extension(selected_file) != "tkl")
        return result;
    const std::string ext = lower_extension(chosen_path);
    if (ext == "csv") {
        result.csv_result = write_lap_csv(workout, chosen_path);
    } else if (ext == "tkl") {
        result.status_text_id = copy_file_safely(selected_file, chosen_path, true) == kCopyOk
                                    ? kStrFileSaved
                                    : kStrErrorSavingFile;
    }
    return result;
}

}  // namespace kestrun
