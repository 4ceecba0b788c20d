#include "export/google_earth.h"

#include <gtest/gtest.h>

#include "export/google_earth_export.h"
#include "export/kml_fixtures.h"
#include "export/kml_temp_files.h"
#include "support/temp_dir.h"

namespace kestrun {
namespace {

TEST(GoogleEarth, StartsTheProgramWithTheFileAsOneArgument) {
    FakeLauncher launcher;
    GoogleEarthSettings settings{"C:\\Program Files\\Google Earth\\", false};
    int asked = 0;
    auto ask = [&](const std::string&) { return ++asked, true; };
    EXPECT_EQ(launch_google_earth("/data/my run.kml", settings, ask, launcher),
              GoogleEarthLaunch::kStarted);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "C:\\Program Files\\Google Earth\\/googleearth.exe");
    EXPECT_EQ(launcher.started[0].arguments, (std::vector<std::string>{"/data/my run.kml"}));
    EXPECT_EQ(asked, 0);
}

TEST(GoogleEarth, MissingProgramIsOfferedOnce) {
    for (bool ok : {false, true}) {
        FakeLauncher launcher;
        GoogleEarthSettings settings;
        std::string question;
        auto ask = [&](const std::string& text) { return question = text, ok; };
        EXPECT_EQ(launch_google_earth("/a.kml", settings, ask, launcher),
                  GoogleEarthLaunch::kWarned);
        EXPECT_EQ(question.rfind("No Google Earth is installed in your system.", 0), 0u);
        EXPECT_TRUE(settings.warn_disabled);
        EXPECT_EQ(launcher.opened_urls.size(), ok ? 1u : 0u);

        question.clear();
        EXPECT_EQ(launch_google_earth("/a.kml", settings, ask, launcher),
                  GoogleEarthLaunch::kNothing);
        EXPECT_TRUE(question.empty());
        EXPECT_TRUE(launcher.started.empty());
    }
}

TEST(GoogleEarth, LaunchModes) {
    EXPECT_EQ(google_earth_launch_mode(0), kGoogleEarthDisabled);
    EXPECT_EQ(google_earth_launch_mode(1), kGoogleEarthSingleClick);
    EXPECT_EQ(google_earth_launch_mode(7), kGoogleEarthDoubleClick);
    EXPECT_EQ(google_earth_launch_mode(-1), kGoogleEarthDoubleClick);
}

TEST(GoogleEarth, ExportWritesLaunchesAndRemembersTheTemporaryFile) {
    kestrun::testing::TempDir dir;
    delete_kml_temp_files();
    TrackLog track = kml_testing::track_of({kml_testing::point(100000000, 500000000)});
    TrackLog empty_track = kml_testing::track_of({kml_testing::no_position()});
    FakeLauncher launcher;
    GoogleEarthSettings settings{"/opt/google/earth", false};
    KmlOptions options;
    options.line_color = 0x000000FF;
    options.show_lap_info = 1;

    GoogleEarthExport request;
    request.workout_name = "a\"#*/:<>?\\|b";
    request.data_path = dir.path();
    request.display_track = &track;
    request.launch_mode = kGoogleEarthSingleClick;
    GoogleEarthExportResult result =
        export_to_google_earth(request, options, settings, {}, launcher);
    EXPECT_EQ(result.kml_path, dir.path() + "/a__________b.kml");
    EXPECT_EQ(result.write_result, kKmlWritten);
    EXPECT_TRUE(kestrun::testing::file_exists(result.kml_path));
    EXPECT_EQ(options.line_color, 0x00FFFF00u);
    EXPECT_EQ(options.show_lap_info, 0);
    ASSERT_EQ(launcher.started.size(), 1u);

    // Without a remark the workout file's name is used; without GPS data nothing is written.
    request.workout_name.clear();
    request.workout_file = "/lib/2011/02/20110207082550.tkl";
    request.display_track = &empty_track;
    GoogleEarthExportResult none = export_to_google_earth(request, options, settings, {}, launcher);
    EXPECT_EQ(none.kml_path, dir.path() + "/20110207082550.kml");
    EXPECT_EQ(none.status_text_id, 353);
    EXPECT_FALSE(none.launched);

    request.display_track = &track;
    request.launch_mode = kGoogleEarthDisabled;
    GoogleEarthExportResult off = export_to_google_earth(request, options, settings, {}, launcher);
    EXPECT_FALSE(off.launched);
    EXPECT_FALSE(kestrun::testing::file_exists(off.kml_path));
    EXPECT_EQ(launcher.started.size(), 1u);

    EXPECT_EQ(kml_temp_files(), (std::vector<std::string>{result.kml_path, none.kml_path}));
    delete_kml_temp_files();
    EXPECT_FALSE(kestrun::testing::file_exists(result.kml_path));
    EXPECT_TRUE(kml_temp_files().empty());
}

}  // namespace
}  // namespace kestrun
